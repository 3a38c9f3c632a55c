#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Deals with the modal windows that a tested action opens, from inside their
// own event loops. Each modal window that appears goes to the next queued
// handler, or, when none is queued, is noted and closed. Whatever a handler
// does, the watch closes the window afterwards, so a failed check never
// leaves a test waiting in exec().
class ModalWatch final : public QObject
{
    Q_OBJECT

public:
    struct Seen
    {
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool hasParent = false;
        bool staysOnTop = false;
    };
    using Handler = std::function<void(QWidget *modal)>;

    ModalWatch();

    void expect(Handler handler);
    qsizetype pendingHandlers() const { return m_handlers.size(); }
    // The message boxes seen so far, in order, and forgets them.
    QList<Seen> takeSeen();

    static Seen describe(QWidget *modal);
    static void close(QWidget *modal);

private:
    void poll();

    QTimer m_timer;
    QList<Handler> m_handlers;
    QList<Seen> m_seen;
};

// The visible top-level windows; a test leaves none behind.
QWidgetList OpenWindows();

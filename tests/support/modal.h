#pragma once

// Driving modal windows from a test, from inside their own event loops.
//
// A watch hands each modal window that opens to the next queued handler, or,
// when none is queued, notes it and closes it. Whatever a handler does, the
// watch closes the window afterwards, so a failed check never leaves a test
// waiting in exec(). A window is taken only once it is the active window: a
// window closed before its activation arrived would take the activation, and
// with it the keyboard, after it was gone.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

// Windows' print dialog is the system's own: no window watch can drive it, and
// it refuses a PDF printer.
#ifdef Q_OS_WIN
#define SKIP_WHERE_PRINT_DIALOG_IS_NATIVE()                                                        \
    QSKIP("Windows' print dialog is the system's own, which a test cannot drive and which "        \
          "refuses a PDF printer")
#else
#define SKIP_WHERE_PRINT_DIALOG_IS_NATIVE()
#endif

class ModalWatch final : public QObject
{
public:
    struct Seen
    {
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool hasParent = false;
        bool staysOnTop = false;
        int buttonCount = 0;
    };
    using Handler = std::function<void(QWidget *modal)>;

    // Which modal windows the watch takes; the others it leaves alone.
    enum class Takes
    {
        AnyWindow,
        MessageBoxes
    };

    explicit ModalWatch(Takes takes = Takes::AnyWindow) : m_takes(takes)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    void expect(Handler handler) { m_handlers.append(std::move(handler)); }
    qsizetype pendingHandlers() const { return m_handlers.size(); }
    // The message boxes seen so far, in order, and forgets them.
    QList<Seen> takeSeen() { return std::exchange(m_seen, {}); }

    // The watch ends itself after the first window it takes, or after
    // `timeoutMs` without one.
    void endAfterOne(int timeoutMs)
    {
        m_endAfterOne = true;
        m_timeoutMs = timeoutMs;
        m_clock.start();
    }

    static Seen describe(QWidget *modal)
    {
        Seen seen;
        seen.caption = modal->windowTitle();
        seen.hasParent = modal->parentWidget() != nullptr;
        seen.staysOnTop = modal->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        if (const auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttonCount = int(box->buttons().size());
        }
        return seen;
    }

    // A message box with OK, and a dialog rejected; any other window closed.
    static void close(QWidget *modal)
    {
        if (!modal->isVisible())
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal); box && box->button(QMessageBox::Ok))
            box->button(QMessageBox::Ok)->click();
        else if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->done(QDialog::Rejected);
        else
            modal->close();
    }

private:
    void poll()
    {
        if (m_endAfterOne && m_clock.hasExpired(m_timeoutMs))
            return end();
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !modal->isActiveWindow())
            return;
        const bool isBox = qobject_cast<QMessageBox *>(modal) != nullptr;
        if (m_takes == Takes::MessageBoxes && !isBox)
            return;
        if (isBox)
            m_seen.append(describe(modal));
        if (!m_handlers.isEmpty())
            m_handlers.takeFirst()(modal);
        close(modal);
        if (m_endAfterOne)
            end();
    }

    // Timers do not fire again while their handler runs, so the watch goes
    // only once the window it took is dealt with.
    void end()
    {
        m_timer.stop();
        deleteLater();
    }

    Takes m_takes;
    QTimer m_timer;
    QList<Handler> m_handlers;
    QList<Seen> m_seen;
    bool m_endAfterOne = false;
    int m_timeoutMs = 0;
    QElapsedTimer m_clock;
};

// Runs `act` on the next modal window that opens, then closes that window if
// `act` left it open. If none opens within `timeoutMs` (long, for loaded
// machines and sanitizer builds), gives up, so that a failing test never hangs.
inline void WhenModal(ModalWatch::Handler act, int timeoutMs = 30000)
{
    auto *watch = new ModalWatch;
    watch->setParent(qApp);
    watch->expect(std::move(act));
    watch->endAfterOne(timeoutMs);
}

// Runs `work`, closing with OK every message box that opens meanwhile; gives
// what the boxes showed, in order.
inline QList<ModalWatch::Seen> CloseMessageBoxes(const std::function<void()> &work)
{
    ModalWatch watch(ModalWatch::Takes::MessageBoxes);
    work();
    return watch.takeSeen();
}

inline QStringList TextsOf(const QList<ModalWatch::Seen> &seen)
{
    QStringList texts;
    for (const ModalWatch::Seen &one : seen)
        texts.append(one.text);
    return texts;
}

// The visible top-level windows; a test leaves none behind.
inline QWidgetList OpenWindows()
{
    QWidgetList open;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            open.append(window);
    }
    return open;
}

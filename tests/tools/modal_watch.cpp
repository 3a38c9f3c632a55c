#include "modal_watch.h"

#include <QApplication>
#include <QDialog>

ModalWatch::ModalWatch()
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalWatch::poll);
    m_timer.start();
}

void ModalWatch::expect(Handler handler)
{
    m_handlers.append(std::move(handler));
}

QList<ModalWatch::Seen> ModalWatch::takeSeen()
{
    return std::exchange(m_seen, {});
}

ModalWatch::Seen ModalWatch::describe(QWidget *modal)
{
    Seen seen;
    seen.caption = modal->windowTitle();
    seen.hasParent = modal->parentWidget() != nullptr;
    seen.staysOnTop = modal->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (const auto *box = qobject_cast<QMessageBox *>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
    }
    return seen;
}

void ModalWatch::close(QWidget *modal)
{
    if (!modal->isVisible())
        return;
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
}

void ModalWatch::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (qobject_cast<QMessageBox *>(modal))
        m_seen.append(describe(modal));
    if (!m_handlers.isEmpty())
        m_handlers.takeFirst()(modal);
    close(modal);
}

QWidgetList OpenWindows()
{
    QWidgetList open;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            open.append(window);
    }
    return open;
}

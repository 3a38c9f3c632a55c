#pragma once

// Driving modal windows from a test: the action runs as soon as a modal
// window is open, inside its event loop.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `act` on the next modal window that opens. If none opens within
// `timeoutMs` (long, for loaded machines and sanitizer builds), gives up,
// so that a failing test never hangs.
inline void WhenModal(std::function<void(QWidget *)> act, int timeoutMs = 30000)
{
    auto *poll = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, act = std::move(act), timeoutMs] {
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            poll->deleteLater();
            poll->stop();
            act(modal);
        } else if (clock->elapsed() > timeoutMs) {
            poll->deleteLater();
            poll->stop();
        }
    });
    poll->start(10);
}

// Collects the texts of the message boxes that open while `work` runs, closing
// each with OK. Also collects the caption and icon of the last one.
struct SeenBoxes
{
    QStringList texts;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
};

inline SeenBoxes CloseMessageBoxes(const std::function<void()> &work)
{
    SeenBoxes seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&seen] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (!box->isVisible())
                return;
            seen.texts.append(box->text());
            seen.caption = box->windowTitle();
            seen.icon = box->icon();
            seen.buttonCount = int(box->buttons().size());
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject();
        }
    });
    poll.start(5);
    work();
    return seen;
}

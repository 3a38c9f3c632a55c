#include "tools/decimal_key_preview.h"

#include "core/number_text.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

DecimalKeyPreview::DecimalKeyPreview(QWidget *window) : QObject(window), m_window(window) {}

void DecimalKeyPreview::switchOn()
{
    // Installing again replaces the earlier installation, so every showing may
    // switch it on.
    m_window->installEventFilter(this);
    for (QWidget *control : m_window->findChildren<QWidget *>())
        control->installEventFilter(this);
}

bool DecimalKeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress)
        return FormKeyPress(watched, static_cast<QKeyEvent *>(event));
    return false;
}

bool DecimalKeyPreview::FormKeyPress(QObject *watched, QKeyEvent *event)
{
    const QChar separator = DecimalSeparator();
    if (event->text() != QStringLiteral(".") || separator == QLatin1Char('.'))
        return false;
    // The control gets the separator in place of the typed point, as if that
    // key had been pressed.
    const Qt::Key key =
        separator.unicode() < 0x80 ? Qt::Key(separator.toUpper().unicode()) : Qt::Key_unknown;
    QKeyEvent replacement(QEvent::KeyPress, key, event->modifiers(), QString(separator),
                          event->isAutoRepeat(), ushort(event->count()));
    QCoreApplication::sendEvent(watched, &replacement);
    return true;
}

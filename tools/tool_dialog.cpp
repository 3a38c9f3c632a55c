#include "tools/tool_dialog.h"

#include "app/number_text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

namespace {

const QString DesignFamily = QStringLiteral("MS Sans Serif");

} // namespace

QFont WindowFont()
{
    return PointFont(8);
}

QFont PointFont(int points, bool bold)
{
    QFont font(DesignFamily, points);
    font.setBold(bold);
    return font;
}

QFont PixelFont(int pixels)
{
    QFont font(DesignFamily);
    font.setPixelSize(pixels);
    return font;
}

ToolDialog::ToolDialog(const QString &caption, QSize clientSize, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(caption);
    setFont(WindowFont());
    setFixedSize(clientSize);
}

void ToolDialog::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
        m_centred = true;
    }
    QDialog::showEvent(event);
}

void ToolDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

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

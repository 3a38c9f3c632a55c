#include "widgets/fixed_dialog.h"

#include <QApplication>
#include <QFontMetrics>
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

QFont PixelFont(int pixels, bool bold)
{
    QFont font(DesignFamily);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont CondensedToFit(const QFont &font, const QString &text, int width)
{
    if (QFontMetrics(font).horizontalAdvance(text) <= width)
        return font;
    // Half the width is as far as a face stays readable.
    QFont condensed = font;
    for (int stretch = 99; stretch > 50; --stretch) {
        condensed.setStretch(stretch);
        if (QFontMetrics(condensed).horizontalAdvance(text) <= width)
            break;
    }
    return condensed;
}

FixedDialog::FixedDialog(const QString &caption, QSize clientSize, QWidget *parent,
                         CloseBox closeBox)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::MSWindowsFixedSizeDialogHint |
                  (closeBox == CloseBox::Shown ? Qt::WindowCloseButtonHint : Qt::WindowFlags()))
{
    setWindowTitle(caption);
    setFont(WindowFont());
    setFixedSize(clientSize);
}

void FixedDialog::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
        m_centred = true;
    }
    QDialog::showEvent(event);
}

void FixedDialog::keyPressEvent(QKeyEvent *event)
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

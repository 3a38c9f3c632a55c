#pragma once

#include <QDialog>

class QKeyEvent;

// The frame every dialog of the program shares: a fixed client area, a title
// bar with a close box or none, the window font, and placement in the middle
// of the screen when first shown (later showings keep the place). Keys that a
// plain dialog would act on do nothing here: Escape never closes, and Enter
// presses only a button that has the focus.
class FixedDialog : public QDialog
{
    Q_OBJECT

public:
    enum class CloseBox
    {
        Shown,
        None
    };

    FixedDialog(const QString &caption, QSize clientSize, QWidget *parent,
                CloseBox closeBox = CloseBox::Shown);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_centred = false;
};

// The fonts of the windows. "MS Sans Serif" is the design font; where it is
// missing, the application's font substitution stands in for it.
QFont WindowFont();
QFont PointFont(int points, bool bold = false);
QFont PixelFont(int pixels, bool bold = false);

// The font condensed, as little as it takes, so that the text fits the width
// in pixels; its height stays. The font itself where the text fits already.
QFont CondensedToFit(const QFont &font, const QString &text, int width);

#pragma once

#include <QDialog>

class QKeyEvent;

// The frame the tool windows share: a fixed client area, a title bar with
// only a close box, the window font, and placement in the middle of the screen
// when first shown (later showings keep the place). Keys that a plain dialog
// would act on do nothing here: Escape never closes, and Enter presses only a
// button that has the focus.
class ToolDialog : public QDialog
{
    Q_OBJECT

public:
    ToolDialog(const QString &caption, QSize clientSize, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_centred = false;
};

// The key preview of the calculators: once switched on, the window sees every
// typed character before the control with the focus and turns a typed "." into
// the decimal separator of the regional settings. Pasted text never passes
// here and stays as it is.
class DecimalKeyPreview final : public QObject
{
    Q_OBJECT

public:
    explicit DecimalKeyPreview(QWidget *window);

    void switchOn();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool FormKeyPress(QObject *watched, QKeyEvent *event);

    QWidget *m_window;
};

// The fonts of the tool windows. "MS Sans Serif" is the design font; where it
// is missing, the application's font substitution stands in for it.
QFont WindowFont();
QFont PointFont(int points, bool bold = false);
QFont PixelFont(int pixels);

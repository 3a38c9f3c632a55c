#pragma once

#include <QObject>

class QKeyEvent;

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

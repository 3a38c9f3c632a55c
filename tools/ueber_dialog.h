#pragma once

#include "widgets/fixed_dialog.h"

class ClickLabel;
class QLabel;
class QPushButton;

// The about window: the nutrition society's logo on the left, the maker's on
// the right, each with its web address beneath. Clicking a logo opens its web
// site and leaves the window open; "OK" and the close box close it.
class TUeber final : public FixedDialog
{
    Q_OBJECT

public:
    explicit TUeber(QWidget *parent = nullptr);

    ClickLabel *Image1() const { return m_image1; }
    ClickLabel *Image2() const { return m_image2; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label3() const { return m_label3; }
    QPushButton *Button1() const { return m_button1; }

private:
    void Image1Click();
    void Image2Click();
    void Button1Click();

    ClickLabel *m_image1 = nullptr;
    ClickLabel *m_image2 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label3 = nullptr;
    QPushButton *m_button1 = nullptr;
};

#pragma once

#include "tools/decimal_key_preview.h"
#include "widgets/fixed_dialog.h"

class Announcer;
class QLabel;
class QLineEdit;
class QPushButton;

// The BMI calculator: body height in cm and weight in kg give the body mass
// index. Its texts stay as the last use left them; only the close box of the
// title bar closes it.
class TBMI final : public FixedDialog
{
    Q_OBJECT

public:
    explicit TBMI(QWidget *parent = nullptr);

    QLineEdit *Edit1() const { return m_edit1; }
    QLineEdit *Edit2() const { return m_edit2; }
    QLabel *Label6() const { return m_label6; }
    QPushButton *Button1() const { return m_button1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Button1Click();
    void FormShow();

    QLineEdit *m_edit1 = nullptr;
    QLineEdit *m_edit2 = nullptr;
    QLabel *m_label6 = nullptr;
    QPushButton *m_button1 = nullptr;
    DecimalKeyPreview *m_keyPreview = nullptr;
    Announcer *m_announcer = nullptr;
};

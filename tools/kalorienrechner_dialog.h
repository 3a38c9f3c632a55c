#pragma once

#include "tools/decimal_key_preview.h"
#include "widgets/fixed_dialog.h"

class Announcer;
class QLineEdit;
class QPushButton;

// The calorie calculator: grams of protein, carbohydrate and fat give their
// kcal. Its texts stay as the last use left them; only the close box of the
// title bar closes it.
class TKalorienrechner final : public FixedDialog
{
    Q_OBJECT

public:
    explicit TKalorienrechner(QWidget *parent = nullptr);

    QLineEdit *Edit1() const { return m_edit1; }
    QLineEdit *Edit2() const { return m_edit2; }
    QLineEdit *Edit3() const { return m_edit3; }
    QLineEdit *Edit4() const { return m_edit4; }
    QPushButton *Button1() const { return m_button1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Button1Click();
    void FormShow();

    QLineEdit *m_edit1 = nullptr;
    QLineEdit *m_edit2 = nullptr;
    QLineEdit *m_edit3 = nullptr;
    QLineEdit *m_edit4 = nullptr;
    QPushButton *m_button1 = nullptr;
    DecimalKeyPreview *m_keyPreview = nullptr;
    Announcer *m_announcer = nullptr;
};

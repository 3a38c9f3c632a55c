#include "tools/bmi_dialog.h"

#include "tools/bmi_calculation.h"
#include "widgets/command_guard.h"
#include "widgets/display_accessibility.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

QLabel *makeLabel(QWidget *parent, const QString &objectName, const QString &text, QPoint at,
                  const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const QString &objectName, const QString &text,
                    const QRect &geometry, const QString &accessibleName)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(objectName);
    edit->setGeometry(geometry);
    edit->setAccessibleName(accessibleName);
    return edit;
}

// The limit messages stand alone: no owner window, above all other windows.
void showLimitMessage(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), message, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace

TBMI::TBMI(QWidget *parent) : FixedDialog(QStringLiteral("BMI Rechner"), QSize(263, 143), parent)
{
    const QFont labelFont = PointFont(12);
    const QFont resultFont = PointFont(14, true);

    makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Größe:"), {16, 16}, labelFont);
    m_edit1 = makeEdit(this, QStringLiteral("Edit1"), QStringLiteral("170"), {104, 16, 57, 21},
                       QStringLiteral("Größe in cm"));
    makeLabel(this, QStringLiteral("Label3"), QStringLiteral("cm"), {184, 16}, labelFont);
    makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Gewicht:"), {16, 48}, labelFont);
    m_edit2 = makeEdit(this, QStringLiteral("Edit2"), QStringLiteral("50"), {104, 48, 57, 21},
                       QStringLiteral("Gewicht in kg"));
    makeLabel(this, QStringLiteral("Label4"), QStringLiteral("kg"), {184, 48}, labelFont);
    QLabel *label5 =
        makeLabel(this, QStringLiteral("Label5"), QStringLiteral("BMI:"), {16, 80}, resultFont);
    // The start text is fixed, with a point whatever the separator; the first
    // calculation replaces it.
    m_label6 =
        makeLabel(this, QStringLiteral("Label6"), QStringLiteral("17.30"), {104, 80}, resultFont);
    QPalette red = m_label6->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_label6->setPalette(red);
    // A screen reader reads the result as its number, captioned "BMI:".
    label5->setBuddy(m_label6);
    m_announcer = new Announcer(this);

    m_button1 = new QPushButton(QStringLiteral("Berechnen"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(8, 112, 249, 25);
    m_button1->setFont(PointFont(8, true));
    m_button1->setAutoDefault(false);
    connect(m_button1, &QPushButton::clicked, this, &TBMI::Button1Click);

    // Button, weight, height: the button comes first and has the focus when
    // the window is first shown.
    setTabOrder(m_button1, m_edit2);
    setTabOrder(m_edit2, m_edit1);
    m_button1->setFocus();

    m_keyPreview = new DecimalKeyPreview(this);
}

void TBMI::showEvent(QShowEvent *event)
{
    FormShow();
    FixedDialog::showEvent(event);
}

void TBMI::FormShow()
{
    m_keyPreview->switchOn();
}

void TBMI::Button1Click()
{
    RunGuarded(this, [this] {
        const BmiOutcome outcome = CalculateBmi(m_edit1->text(), m_edit2->text());
        if (!outcome.limitMessage.isEmpty()) {
            showLimitMessage(outcome.limitMessage);
            return;
        }
        m_label6->setText(outcome.bmi);
        m_label6->adjustSize();
        // The focus stays on the button, so a screen reader would not see
        // the result appear.
        m_announcer->announce(QStringLiteral("BMI ") + outcome.bmi);
    });
}

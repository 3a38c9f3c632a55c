#include "tools/kalorienrechner_dialog.h"

#include "tools/calorie_calculation.h"
#include "widgets/command_guard.h"
#include "widgets/display_accessibility.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

void makeLabel(QWidget *parent, const QString &objectName, const QString &text, QPoint at)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setFont(PointFont(12));
    label->move(at);
    label->adjustSize();
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

} // namespace

TKalorienrechner::TKalorienrechner(QWidget *parent)
    : FixedDialog(QStringLiteral("Kalorienrechner"), QSize(285, 188), parent)
{
    const QString gramm = QStringLiteral("gramm");
    makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Eiweiß"), {16, 16});
    m_edit1 = makeEdit(this, QStringLiteral("Edit1"), QStringLiteral("10"), {136, 16, 49, 21},
                       QStringLiteral("Eiweiß in Gramm"));
    makeLabel(this, QStringLiteral("Label2"), gramm, {200, 16});
    makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Kohlenhydrate"), {16, 48});
    m_edit2 = makeEdit(this, QStringLiteral("Edit2"), QStringLiteral("50"), {136, 48, 49, 21},
                       QStringLiteral("Kohlenhydrate in Gramm"));
    makeLabel(this, QStringLiteral("Label4"), gramm, {200, 48});
    makeLabel(this, QStringLiteral("Label5"), QStringLiteral("Fett"), {16, 80});
    m_edit3 = makeEdit(this, QStringLiteral("Edit3"), QStringLiteral("5"), {136, 80, 49, 21},
                       QStringLiteral("Fett in Gramm"));
    makeLabel(this, QStringLiteral("Label6"), gramm, {200, 80});
    makeLabel(this, QStringLiteral("Label7"), QStringLiteral("Gesammt"), {16, 120});
    m_edit4 = makeEdit(this, QStringLiteral("Edit4"), QString(), {96, 120, 89, 21},
                       QStringLiteral("Gesamt in kcal"));
    // The total can be selected and copied but not typed into.
    m_edit4->setReadOnly(true);
    QPalette grey = m_edit4->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Button));
    m_edit4->setPalette(grey);
    makeLabel(this, QStringLiteral("Label8"), QStringLiteral("kcal"), {200, 120});

    m_button1 = new QPushButton(QStringLiteral("Kalorien berechnen"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(8, 152, 273, 33);
    m_button1->setFont(PointFont(12));
    m_button1->setAutoDefault(false);
    connect(m_button1, &QPushButton::clicked, this, &TKalorienrechner::Button1Click);

    // The read-only total comes first and has the focus when the window is
    // first shown.
    setTabOrder(m_edit4, m_edit1);
    setTabOrder(m_edit1, m_edit2);
    setTabOrder(m_edit2, m_edit3);
    setTabOrder(m_edit3, m_button1);
    m_edit4->setFocus();

    m_keyPreview = new DecimalKeyPreview(this);
    m_announcer = new Announcer(this);
}

void TKalorienrechner::showEvent(QShowEvent *event)
{
    FormShow();
    FixedDialog::showEvent(event);
}

void TKalorienrechner::FormShow()
{
    m_keyPreview->switchOn();
}

void TKalorienrechner::Button1Click()
{
    RunGuarded(this, [this] {
        const QString total = CalculateCalories(m_edit1->text(), m_edit2->text(), m_edit3->text());
        m_edit4->setText(total);
        // The focus stays on the button, so a screen reader would not see
        // the total appear.
        m_announcer->announce(QStringLiteral("Gesamt ") + total + QStringLiteral(" kcal"));
    });
}

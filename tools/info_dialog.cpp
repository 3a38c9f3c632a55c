#include "tools/info_dialog.h"

#include "core/food_columns.h"
#include "tools/nutrient_slices.h"
#include "tools/pie_chart.h"
#include "widgets/command_guard.h"

#include <QGroupBox>
#include <QLabel>

namespace {

const QColor SkyBlue(0xa6, 0xca, 0xf0);

QLabel *makeStaticText(QWidget *parent, const QString &objectName, const QString &text,
                       const QRect &geometry, const QColor &background, const QColor &foreground)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setGeometry(geometry);
    label->setFont(PixelFont(13));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setIndent(2);
    label->setAutoFillBackground(true);
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, foreground);
    label->setPalette(colours);
    return label;
}

QColor toColor(const Rgb &colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

} // namespace

TInfo::TInfo(QWidget *parent)
    : FixedDialog(QStringLiteral("Nährstoff Info"), QSize(540, 428), parent)
{
    m_name = makeStaticText(this, QStringLiteral("Name"), QStringLiteral("Name"),
                            QRect(2, 2, 247, 18), SkyBlue, Qt::black);
    m_kcal = makeStaticText(this, QStringLiteral("KCAL"), QStringLiteral("KCAL"),
                            QRect(256, 2, 201, 18), SkyBlue, Qt::black);

    m_groupBox1 = new QGroupBox(QStringLiteral("Prozentuale Kalorienverteilung"), this);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox1->setGeometry(2, 24, 535, 401);
    // The caption stands in the frame line, which runs at half its height, so
    // that the colour keys at the top fit below the line.
    m_groupBox1->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 7px; top: -1px; padding: 0 2px; }"));
    makeStaticText(m_groupBox1, QStringLiteral("StaticText1"), QStringLiteral("Eiweiss"),
                   QRect(8, 15, 89, 18), toColor(ProteinColour), Qt::white);
    makeStaticText(m_groupBox1, QStringLiteral("StaticText3"), QStringLiteral("Kohlenhydrate"),
                   QRect(104, 15, 89, 18), toColor(CarbohydrateColour), Qt::black);
    makeStaticText(m_groupBox1, QStringLiteral("StaticText2"), QStringLiteral("Fett"),
                   QRect(200, 15, 89, 18), toColor(FatColour), Qt::white);

    m_c1 = new PieChart(m_groupBox1);
    m_c1->setObjectName(QStringLiteral("C1"));
    m_c1->setGeometry(6, 40, 523, 353);
}

void ShowNutrientInfo(TInfo &info, const QStringList &food)
{
    info.C1()->clear();
    info.C1()->setAccessibleDescription(QString());
    info.Name()->setText(food.value(FoodName));
    info.KCAL()->setText(QStringLiteral("100 gr = ") + food.value(FoodKcal) +
                         QStringLiteral(" kcal"));
    // This calculation shows its own message in place of the error's: all
    // slices are computed before the first is added, so a failure leaves the
    // chart empty.
    try {
        const QList<NutrientSlice> slices = NutrientSlices(
            food.value(FoodProtein), food.value(FoodFat), food.value(FoodCarbohydrate));
        // The slices come in the order protein, fat, carbohydrate; a screen
        // reader hears them as text, since the chart only paints them.
        const QStringView nutrients[] = {FoodColumnNames[FoodProtein], FoodColumnNames[FoodFat],
                                         FoodColumnNames[FoodCarbohydrate]};
        QStringList described;
        for (qsizetype i = 0; i < slices.size(); ++i) {
            info.C1()->addSlice(slices[i].value, slices[i].label, toColor(slices[i].colour));
            described.append(nutrients[std::min<qsizetype>(i, 2)].toString() +
                             QStringLiteral(": ") + slices[i].label.trimmed());
        }
        info.C1()->setAccessibleDescription(described.join(QStringLiteral("; ")));
    } catch (...) {
        ShowCalculationError();
    }
    info.exec();
}

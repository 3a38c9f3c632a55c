#include "catalogue/menge_dialog.h"

#include "core/food_columns.h"

#include "widgets/glyphs.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Title bar and borders of a standard dialog frame: outer 235 shows the
// whole client area of 203.
constexpr int FrameHeight = 32;
constexpr int ClientWidth = 329;

QPushButton *makeButton(QWidget *parent, const QString &caption, Glyph glyph, const QColor &colour,
                        const QRect &geometry)
{
    auto *button = new QPushButton(GlyphIcon(glyph, 18), caption, parent);
    button->setGeometry(geometry);
    button->setIconSize(QSize(18, 18));
    button->setAutoDefault(false);
    button->setFont(PixelFont(13, true));
    QPalette colours = button->palette();
    colours.setColor(QPalette::ButtonText, colour);
    button->setPalette(colours);
    return button;
}

} // namespace

TMenge::TMenge(QWidget *parent)
    : FixedDialog(QStringLiteral("Menge"), QSize(ClientWidth, PortionHeight - FrameHeight), parent,
                  CloseBox::None)
{
    struct Row
    {
        Field field;
        int y;
        const char16_t *label;
        const char16_t *unit;
        const char16_t *accessibleName;
    };
    const Row rows[] = {
        {KCAL, 32, u"Kalorien", u"kcal", u"Kalorien je 100 Gramm"},
        {EW, 56, u"Eiweiss", u"gr", u"Eiweiss in Gramm je 100 Gramm"},
        {FT, 80, u"Fett", u"gr", u"Fett in Gramm je 100 Gramm"},
        {KH, 104, u"Kohlenhydrate", u"gr", u"Kohlenhydrate in Gramm je 100 Gramm"},
        {GR, 144, u"Portion", u"gr", u"Portion in Gramm"},
    };

    m_fields[Name] = new QLineEdit(QStringLiteral("Name"), this);
    m_fields[Name]->setGeometry(8, 8, 313, 21);
    m_fields[Name]->setAccessibleName(QStringLiteral("Name des Lebensmittels"));
    for (const Row &row : rows) {
        auto *label = new QLabel(QString::fromUtf16(row.label), this);
        label->setFont(PixelFont(13));
        label->setGeometry(8, row.y, 190, 21);
        auto *edit = new QLineEdit(QStringLiteral("0"), this);
        edit->setGeometry(208, row.y, 57, 21);
        edit->setAccessibleName(QString::fromUtf16(row.accessibleName));
        label->setBuddy(edit);
        auto *unit = new QLabel(QString::fromUtf16(row.unit), this);
        unit->setFont(PixelFont(13));
        unit->setGeometry(272, row.y, 50, 21);
        m_fields[row.field] = edit;
    }
    auto *separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(8, 136, 313, 3);

    m_ok = makeButton(this, QStringLiteral("OK"), Glyph::Tick, QColor(0, 128, 0),
                      QRect(0, 171, 225, 33));
    m_cancel = makeButton(this, QStringLiteral("Abbruch"), Glyph::Cross, QColor(192, 0, 0),
                          QRect(224, 171, 105, 33));
    // The buttons are created after the fields so that they paint above the
    // portion row they cover in catalogue-edit mode.
    connect(m_ok, &QPushButton::clicked, this, &TMenge::BitBtn1Click);
    connect(m_cancel, &QPushButton::clicked, this, &TMenge::BitBtn2Click);

    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_fields[Name]);
    for (int i = Name; i < GR; ++i)
        setTabOrder(m_fields[i], m_fields[i + 1]);

    m_rememberedFocus = m_fields[GR];
    setOuterHeight(PortionHeight);
}

TMenge::~TMenge() = default;

QString TMenge::text(Field field) const
{
    return m_fields[field]->text();
}

void TMenge::setText(Field field, const QString &text)
{
    m_fields[field]->setText(text);
}

void TMenge::setFieldEnabled(Field field, bool enabled)
{
    m_fields[field]->setEnabled(enabled);
}

void TMenge::setOuterHeight(int height)
{
    const int clientHeight = height - FrameHeight;
    setFixedSize(ClientWidth, clientHeight);
    m_ok->move(m_ok->x(), clientHeight - 32);
    m_cancel->move(m_cancel->x(), clientHeight - 32);
}

int TMenge::outerHeight() const
{
    return height() + FrameHeight;
}

void TMenge::prepareCatalogueEdit()
{
    for (Field field : {Name, KCAL, KH, EW, FT})
        setFieldEnabled(field, true);
    setFieldEnabled(GR, false);
    setText(GR, QString());
    setOuterHeight(CatalogueEditHeight);
}

void TMenge::preparePortion()
{
    setOuterHeight(PortionHeight);
    for (Field field : {Name, KCAL, KH, EW, FT})
        setFieldEnabled(field, false);
    setFieldEnabled(GR, true);
}

namespace {

// The fields that show a food's columns, in the order of the columns.
constexpr std::array<TMenge::Field, FoodFieldCount> FoodFields = {
    TMenge::Name, TMenge::KCAL, TMenge::EW, TMenge::FT, TMenge::KH};

} // namespace

void TMenge::fillFromFood(const QStringList &food)
{
    for (int column = 0; column < FoodFieldCount; ++column)
        setText(FoodFields[size_t(column)], food.value(column));
}

QStringList TMenge::foodTexts() const
{
    QStringList texts;
    for (Field field : FoodFields)
        texts.append(text(field));
    return texts;
}

void TMenge::reject() {}

void TMenge::showEvent(QShowEvent *event)
{
    // The dialog returns to the control that last had the focus; a control
    // disabled since then gives way to the first enabled one in tab order.
    if (!m_rememberedFocus || !m_rememberedFocus->isEnabled())
        m_rememberedFocus = m_ok;
    m_rememberedFocus->setFocus(Qt::OtherFocusReason);
    FixedDialog::showEvent(event);
}

void TMenge::BitBtn1Click()
{
    closeWith(Ok);
}

void TMenge::BitBtn2Click()
{
    closeWith(Abbruch);
}

void TMenge::closeWith(int result)
{
    m_rememberedFocus = focusWidget();
    done(result);
}

#include "catalogue/food_table.h"

#include "core/failure.h"
#include "core/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Whether the text is a number with digit grouping as a spreadsheet shows
// it: a sign, one to three digits, one or more groups of the grouping mark
// and three digits, then the decimal separator and digits.
bool isGroupedNumber(QStringView text, QChar group, QChar decimal)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype firstDigit = i;
    while (i < n && isDigit(text[i]))
        ++i;
    if (i == firstDigit || i - firstDigit > 3)
        return false;
    int groups = 0;
    while (i < n && text[i] == group) {
        ++i;
        for (int digit = 0; digit < 3; ++digit, ++i) {
            if (i == n || !isDigit(text[i]))
                return false;
        }
        ++groups;
    }
    if (groups == 0)
        return false;
    if (i < n && text[i] == decimal) {
        ++i;
        while (i < n && isDigit(text[i]))
            ++i;
    }
    return i == n;
}

// The grouping mark that goes with the decimal separator, or none.
QChar groupingMark(QChar decimalSeparator)
{
    if (decimalSeparator == u',')
        return u'.';
    if (decimalSeparator == u'.')
        return u',';
    return QChar();
}

// The words of a text: its runs of letters.
template <typename Visit> void forEachWord(QStringView text, Visit &&visit)
{
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && !text[i].isLetter())
            ++i;
        const qsizetype start = i;
        while (i < text.size() && text[i].isLetter())
            ++i;
        if (i > start && visit(text.sliced(start, i - start)))
            return;
    }
}

bool hasWord(QStringView text, QStringView word)
{
    bool found = false;
    forEachWord(text, [&](QStringView each) {
        found = each.compare(word, Qt::CaseInsensitive) == 0;
        return found;
    });
    return found;
}

struct FieldWords
{
    FoodColumn field;
    std::initializer_list<QStringView> words;
    // The codes nutrient tables give the field, and its unit.
    std::initializer_list<QStringView> codes;
    QStringView unit;
};

const FieldWords Fields[] = {
    {FoodName, {u"Name", u"Bezeichnung", u"Lebensmittel", u"Lebensmittelbezeichnung"}, {}, {}},
    {FoodKcal,
     {u"Kalorien", u"kcal", u"Kilokalorien", u"Energie", u"Brennwert"},
     {u"ENERCC"},
     u"kcal"},
    {FoodProtein, {u"Eiweiß", u"Eiweiss", u"Protein"}, {u"PROT625", u"PROT"}, u"g"},
    {FoodFat, {u"Fett"}, {u"FAT"}, u"g"},
    {FoodCarbohydrate, {u"Kohlenhydrate", u"KH"}, {u"CHO", u"CHOAVL"}, u"g"},
};

bool isWordOf(QStringView word, const FieldWords &field)
{
    return std::any_of(field.words.begin(), field.words.end(), [word](QStringView each) {
        return word.compare(each, Qt::CaseInsensitive) == 0;
    });
}

// How strongly a header cell names a field: 0 not at all, then by the tie
// rules, the higher the stronger.
enum Strength
{
    NotNamed,
    ByWord,
    ByUnit,
    ByCode,
    ByFirstWord,
};

// The first word of a cell, where it is a code: capitals and digits only.
QStringView codeOf(QStringView cell)
{
    qsizetype start = 0;
    while (start < cell.size() && cell[start].isSpace())
        ++start;
    qsizetype end = start;
    while (end < cell.size() && !cell[end].isSpace())
        ++end;
    const QStringView word = cell.sliced(start, end - start);
    const bool code = !word.isEmpty() && word.front().isUpper() &&
                      std::all_of(word.begin(), word.end(),
                                  [](QChar c) { return (c >= u'A' && c <= u'Z') || isDigit(c); });
    return code ? word : QStringView();
}

// The unit a cell states in brackets, as "[kcal/100g]" does: the text after
// "[" up to "/" or "]".
QStringView unitOf(QStringView cell)
{
    const qsizetype open = cell.indexOf(u'[');
    if (open < 0)
        return {};
    qsizetype end = open + 1;
    while (end < cell.size() && cell[end] != u'/' && cell[end] != u']')
        ++end;
    return cell.sliced(open + 1, end - open - 1).trimmed();
}

// Energy in kJ is not the kcal the program computes with.
bool inKilojoules(QStringView cell)
{
    return (hasWord(cell, u"kJ") || hasWord(cell, u"Kilojoule")) && !hasWord(cell, u"kcal") &&
           !hasWord(cell, u"Kilokalorien");
}

Strength strengthOf(QStringView cell, const FieldWords &field)
{
    bool named = false;
    bool first = true;
    bool byFirstWord = false;
    forEachWord(cell, [&](QStringView word) {
        if (isWordOf(word, field)) {
            named = true;
            byFirstWord = first;
        }
        first = false;
        return named;
    });
    if (!named)
        return NotNamed;
    if (field.field == FoodKcal && inKilojoules(cell))
        return NotNamed;
    if (byFirstWord)
        return ByFirstWord;
    const QStringView code = codeOf(cell);
    if (std::find(field.codes.begin(), field.codes.end(), code) != field.codes.end())
        return ByCode;
    if (!field.unit.isEmpty() && unitOf(cell).compare(field.unit, Qt::CaseInsensitive) == 0)
        return ByUnit;
    return ByWord;
}

bool isNumberField(int field)
{
    return field > FoodName;
}

// The table's marks for a value too small to state or not there.
QStringView markedValue(QStringView text, bool &marked)
{
    marked = true;
    if (text == u"TR" || text == u"<LOD" || text == u"<LOQ")
        return u"0";
    if (text == u"-")
        return QStringView(u"");
    marked = false;
    return text;
}

// Whether the text is a number as the header rule sees it.
bool isNumberText(QStringView text, QChar decimalSeparator)
{
    // A word is refused without the cost of a failure raised and caught.
    const auto mayBeNumber = [decimalSeparator](QChar c) {
        return isDigit(c) || c == decimalSeparator || c == groupingMark(decimalSeparator) ||
               c == u' ' || c == u'+' || c == u'-' || c == u'E' || c == u'e';
    };
    if (!std::all_of(text.begin(), text.end(), mayBeNumber))
        return false;
    QString plain = text.toString();
    const QChar group = groupingMark(decimalSeparator);
    if (!group.isNull() && isGroupedNumber(text, group, decimalSeparator))
        plain.remove(group);
    try {
        ParseNumber(plain, decimalSeparator);
    } catch (const Failure &) {
        return false;
    }
    return true;
}

} // namespace

bool ChangesUnquoted(QStringView text)
{
    bool marked = false;
    markedValue(text, marked);
    return marked || isGroupedNumber(text, u'.', u',') || isGroupedNumber(text, u',', u'.');
}

QString NumberCellText(double value, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0");
    // The digits and exponent of the shortest form that reads back; where
    // that needs more than 15 digits, the value to 15 digits, as spreadsheets
    // show it.
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const auto digitCount = [&buffer, &result]() {
        const char *first = buffer;
        const char *e = std::find(first, static_cast<const char *>(result.ptr), 'e');
        return int(std::count_if(first, e, [](char c) { return c >= '0' && c <= '9'; }));
    };
    if (digitCount() > 15)
        result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    *result.ptr = '\0';
    const bool negative = buffer[0] == '-';
    const char *p = buffer + (negative ? 1 : 0);
    std::string digits;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits += *p;
    }
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    QString text;
    if (negative)
        text += u'-';
    const int count = int(digits.size());
    if (exponent >= 15 || exponent < -5) {
        text += QLatin1Char(digits[0]);
        if (count > 1) {
            text += decimalSeparator;
            text += QLatin1String(digits.data() + 1, count - 1);
        }
        text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        text += QString::number(std::abs(exponent)).rightJustified(2, u'0');
        return text;
    }
    if (exponent < 0) {
        text += u'0';
        text += decimalSeparator;
        text += QString(-exponent - 1, u'0');
        text += QLatin1String(digits.data(), count);
        return text;
    }
    const int whole = exponent + 1;
    text += QLatin1String(digits.data(), std::min(count, whole));
    if (count < whole)
        text += QString(whole - count, u'0');
    if (count > whole) {
        text += decimalSeparator;
        text += QLatin1String(digits.data() + whole, count - whole);
    }
    return text;
}

FoodTableReader::FoodTableReader(QChar decimalSeparator)
    : m_decimalSeparator(decimalSeparator), m_foods(FoodFieldCount)
{}

void FoodTableReader::cell(int column, QStringView text, CellKind kind)
{
    if (column < 0)
        return;
    m_rowHasCells = true;
    if (m_firstRow) {
        if (size_t(column) >= m_first.size())
            m_first.resize(size_t(column) + 1, HeaderCell{QString(), CellKind::Plain});
        m_first[size_t(column)] = {text.toString(), kind};
        return;
    }
    store(column, text, kind);
}

void FoodTableReader::store(int column, QStringView text, CellKind kind)
{
    if (size_t(column) >= m_fieldOf.size())
        return;
    const int field = m_fieldOf[size_t(column)];
    if (field < 0)
        return;
    QString &target = m_texts[size_t(field)];
    target.resize(0);
    if (isNumberField(field) && kind != CellKind::Quoted) {
        bool marked = false;
        text = markedValue(text, marked);
        const QChar group = groupingMark(m_decimalSeparator);
        if (!marked && kind == CellKind::Plain && !group.isNull() &&
            isGroupedNumber(text, group, m_decimalSeparator)) {
            for (QChar c : text) {
                if (c != group)
                    target += c;
            }
            return;
        }
    }
    target += text;
}

void FoodTableReader::endRow()
{
    if (!m_rowHasCells)
        return;
    m_rowHasCells = false;
    if (m_firstRow) {
        m_firstRow = false;
        bool anyValue = false;
        bool number = false;
        for (size_t column = 1; column < FoodFieldCount && column < m_first.size(); ++column) {
            const HeaderCell &cell = m_first[column];
            if (cell.kind == CellKind::Number ||
                (!cell.text.isEmpty() && isNumberText(cell.text, m_decimalSeparator)))
                number = true;
            anyValue = anyValue || !cell.text.isEmpty();
        }
        const bool header =
            !number && (anyValue || (!m_first.empty() && strengthOf(m_first.front().text,
                                                                    Fields[FoodName]) != NotNamed));
        std::vector<HeaderCell> first = std::move(m_first);
        m_first = {};
        mapColumns(header ? &first : nullptr);
        if (header)
            return;
        for (size_t column = 0; column < first.size(); ++column)
            store(int(column), first[column].text, first[column].kind);
    }
    QStringView views[FoodFieldCount];
    for (int field = 0; field < FoodFieldCount; ++field)
        views[field] = m_texts[size_t(field)];
    m_foods.appendTextRow(views);
    for (QString &text : m_texts)
        text.resize(0);
}

TextStore FoodTableReader::take()
{
    endRow();
    return std::move(m_foods);
}

void FoodTableReader::mapColumns(const std::vector<HeaderCell> *header)
{
    std::array<int, FoodFieldCount> columnOf;
    columnOf.fill(-1);
    if (header) {
        for (const FieldWords &field : Fields) {
            Strength best = NotNamed;
            for (size_t column = 0; column < header->size(); ++column) {
                // A cell names one field at most: the first, in the order above,
                // that takes it.
                if (std::find(columnOf.begin(), columnOf.end(), int(column)) != columnOf.end())
                    continue;
                const Strength strength = strengthOf((*header)[column].text, field);
                if (strength > best) {
                    best = strength;
                    columnOf[size_t(field.field)] = int(column);
                }
            }
        }
    }
    m_fieldOf.assign(FoodFieldCount, -1);
    for (int field = 0; field < FoodFieldCount; ++field) {
        const int column = columnOf[size_t(field)];
        if (column < 0)
            continue;
        if (size_t(column) >= m_fieldOf.size())
            m_fieldOf.resize(size_t(column) + 1, -1);
        m_fieldOf[size_t(column)] = field;
    }
    for (int field = 0; field < FoodFieldCount; ++field) {
        const bool named = columnOf[size_t(field)] >= 0;
        // A column of energy in kJ is never read as kcal, not even by its place.
        const bool placeTaken =
            std::find(columnOf.begin(), columnOf.end(), field) != columnOf.end() ||
            (header && size_t(field) < header->size() &&
             inKilojoules((*header)[size_t(field)].text));
        if (!named && !placeTaken)
            m_fieldOf[size_t(field)] = field;
    }
}

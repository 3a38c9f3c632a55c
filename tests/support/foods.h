#pragma once

// Foods and stores the catalogue tests build their files from, and what they
// read back.

#include "catalogue/food_list_file.h"
#include "tests/support/failure_of.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// The byte-order mark of UTF-8, as the spreadsheets write it.
inline const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");

inline FoodRecord food(const char16_t *name, const char16_t *kcal, const char16_t *protein,
                       const char16_t *fat, const char16_t *carbohydrate)
{
    return {QString::fromUtf16(name), QString::fromUtf16(kcal), QString::fromUtf16(protein),
            QString::fromUtf16(fat), QString::fromUtf16(carbohydrate)};
}

inline FoodRecord apple()
{
    return food(u"Apfel", u"52", u"0,3", u"0,4", u"11,4");
}

inline FoodRecord pear()
{
    return food(u"Birne", u"55", u"0,5", u"0,3", u"12,4");
}

inline TextStore store(const QList<FoodRecord> &foods)
{
    return TextStore::fromRows(foods, FoodFieldCount);
}

inline QByteArray readBytes(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<not readable>");
    return file.readAll();
}

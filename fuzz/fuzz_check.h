#pragma once

// A property that does not hold aborts the run, so that libFuzzer keeps the
// input as a crash file and a later run can replay it.

#include "core/food_columns.h"
#include "core/text_store.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

// The detail is a callable giving a QString, called only when the property
// fails, so that checking costs nothing on the way.
template <typename Detail> void Require(bool holds, const char *property, Detail &&detail)
{
    if (holds)
        return;
    const QString text = detail();
    std::fprintf(stderr, "property does not hold: %s\n%s\n", property, text.toUtf8().constData());
    std::abort();
}

inline void Require(bool holds, const char *property)
{
    Require(holds, property, [] { return QString(); });
}

// A text with its non-printable characters shown as \uXXXX, for messages.
inline QString Visible(QStringView text)
{
    QString shown;
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            shown += c;
        else
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return shown;
}

// Whether two stores hold the same foods, text for text.
inline bool SameFoods(const TextStore &a, const TextStore &b)
{
    if (a.size() != b.size())
        return false;
    QString aScratch;
    QString bScratch;
    for (qsizetype row = 0; row < a.size(); ++row) {
        for (int column = 0; column < FoodFieldCount; ++column) {
            if (a.textView(row, column, aScratch) != b.textView(row, column, bScratch))
                return false;
        }
    }
    return true;
}

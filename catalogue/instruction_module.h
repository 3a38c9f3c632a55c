#pragma once

#include <QString>

#include <algorithm>

// Where a scan of ScanFields stopped: at the end of the text, at the
// character that ended the line, or (overLimit) just after the separator that
// reached the field limit, the rest of the line unread.
template <typename Char> struct FieldScan
{
    const Char *stop;
    bool overLimit;
};

// The rules of the field splitter over characters of any kind, so that the
// food list reader can apply them to the file's bytes as they stand. Fields
// are ended by the separator; the scan ends at the end of the text or at the
// first character for which atEnd holds. Each field is handed to
// store(index, first, length) cut to its first lengthLimit characters. Once
// fieldLimit fields are ended the scan stops at once, and the last field
// handed over is the one the limit ended. Every line holds at least one
// field; with no slot for it nothing is handed over.
template <typename Char, typename AtEnd, typename Store>
FieldScan<Char> ScanFields(const Char *begin, const Char *end, AtEnd atEnd, Char separator,
                           int lengthLimit, int fieldLimit, Store store)
{
    if (fieldLimit < 1)
        return {begin, true};
    const qsizetype limit = std::max(lengthLimit, 0);
    int fieldIndex = 0;
    const Char *fieldStart = begin;
    const Char *p = begin;
    for (; p != end && !atEnd(*p); ++p) {
        if (*p != separator)
            continue;
        store(fieldIndex, fieldStart, std::min<qsizetype>(p - fieldStart, limit));
        fieldStart = p + 1;
        if (++fieldIndex == fieldLimit)
            return {p + 1, true};
    }
    store(fieldIndex, fieldStart, std::min<qsizetype>(p - fieldStart, limit));
    return {p, false};
}

// The non-visual module that offers the field splitter.
class TInstructionModule
{
public:
    // Cuts one line into fields ended by the separator and writes them into
    // fieldSlots from the first slot on. A field keeps its first lengthLimit
    // characters; the scan ends at the end of the text or at the first line
    // feed. Gives 0 when the whole line was split and -1 when it held more
    // fields than fieldLimit (the slots then hold the first fieldLimit
    // fields). Slots above the last field are left as they were.
    static int SplitFields(QStringView line, QString *fieldSlots, int lengthLimit, int fieldLimit,
                           QChar separator);
};

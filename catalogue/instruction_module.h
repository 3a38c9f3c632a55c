#pragma once

#include <QString>

// The non-visual module that offers the field splitter to the food list reader.
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

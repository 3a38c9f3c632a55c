#include "catalogue/instruction_module.h"

int TInstructionModule::SplitFields(QStringView line, QString *fieldSlots, int lengthLimit,
                                    int fieldLimit, QChar separator)
{
    // Every line holds at least one field; with no slot for it nothing may
    // be written, since the slots end at the field limit.
    if (fieldLimit < 1)
        return -1;
    int fieldIndex = 0;
    qsizetype fieldStart = 0;
    const qsizetype end = [&] {
        const qsizetype lineFeed = line.indexOf(QLatin1Char('\n'));
        return lineFeed < 0 ? line.size() : lineFeed;
    }();
    // A field is cut out in one piece rather than character by character;
    // the result is the same: its first lengthLimit characters.
    auto store = [&](qsizetype fieldEnd) {
        const qsizetype length =
            std::min<qsizetype>(fieldEnd - fieldStart, std::max(lengthLimit, 0));
        fieldSlots[fieldIndex] = line.sliced(fieldStart, length).toString();
    };
    for (qsizetype i = 0; i < end; ++i) {
        if (line[i] != separator)
            continue;
        store(i);
        fieldStart = i + 1;
        if (++fieldIndex == fieldLimit)
            return -1;
    }
    store(end);
    return 0;
}

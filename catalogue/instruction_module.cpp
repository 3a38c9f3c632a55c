#include "catalogue/instruction_module.h"

int TInstructionModule::SplitFields(QStringView line, QString *fieldSlots, int lengthLimit,
                                    int fieldLimit, QChar separator)
{
    const FieldScan<QChar> scan = ScanFields(
        line.data(), line.data() + line.size(), [](QChar c) { return c == QLatin1Char('\n'); },
        separator, lengthLimit, fieldLimit,
        [fieldSlots](int index, const QChar *first, qsizetype length) {
            fieldSlots[index] = QString(first, length);
        });
    return scan.overLimit ? -1 : 0;
}

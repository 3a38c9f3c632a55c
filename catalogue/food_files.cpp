#include "catalogue/food_files.h"

#include "catalogue/csv_food_list.h"
#include "catalogue/file_bytes.h"
#include "catalogue/food_list_file.h"
#include "catalogue/ods_food_list.h"
#include "catalogue/xlsx_food_list.h"
#include "core/failure.h"
#include "core/number_text.h"

#include <QFile>
#include <QSaveFile>

FoodListFormat FoodListFormatOf(QStringView fileName)
{
    const auto endsWith = [fileName](QStringView ending) {
        return fileName.endsWith(ending, Qt::CaseInsensitive);
    };
    if (endsWith(u".csv") || endsWith(u".txt"))
        return FoodListFormat::Csv;
    if (endsWith(u".xlsx"))
        return FoodListFormat::Xlsx;
    if (endsWith(u".ods"))
        return FoodListFormat::Ods;
    return FoodListFormat::FoodList;
}

TextStore ReadFoodList(const QString &fileName)
{
    const FoodListFormat format = FoodListFormatOf(fileName);
    if (format == FoodListFormat::Xlsx || format == FoodListFormat::Ods) {
        QFile file;
        OpenRegularFile(fileName, file);
        try {
            return format == FoodListFormat::Xlsx ? FoodsFromXlsx(file, DecimalSeparator())
                                                  : FoodsFromOds(file, DecimalSeparator());
        } catch (const Failure &failure) {
            throw Failure(QStringLiteral("Datei %1 kann nicht gelesen werden: %2")
                              .arg(fileName, failure.message()));
        }
    }
    LargeBuffer bytes;
    ReadRegularFile(fileName, bytes);
    const QByteArrayView view(reinterpret_cast<const char *>(bytes.data()),
                              qsizetype(bytes.size()));
    if (format == FoodListFormat::Csv)
        return FoodsFromCsvBytes(view, DecimalSeparator());
    return FoodsFromBytes(view);
}

void WriteFoodList(const QString &fileName, const TextStore &foods)
{
    const FoodListFormat format = FoodListFormatOf(fileName);
    QSaveFile file(fileName);
    // QSaveFile opens a temporary file even for an empty name and fails only
    // on commit, which would report a write error for a file never created.
    if (fileName.isEmpty() || format == FoodListFormat::Xlsx || format == FoodListFormat::Ods ||
        !file.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("Datei %1 kann nicht erstellt werden").arg(fileName));
    const auto writeFailed = [&file]() {
        file.cancelWriting();
        return Failure(QStringLiteral("Stream-Schreibfehler"));
    };
    const OutputSink sink = [&](QByteArrayView chunk) {
        if (file.write(chunk.data(), chunk.size()) != chunk.size())
            throw writeFailed();
    };
    if (format == FoodListFormat::Csv)
        EncodeCsvFoodList(foods, sink);
    else
        EncodeFoodList(foods, sink);
    if (!file.commit())
        throw writeFailed();
}

#pragma once

// The one way in to a catalogue's files: the format follows the file name's
// ending, here alone, and each format only turns the file's bytes into
// foods (or foods into bytes). Reading and writing fill and take the same
// row store, so everything after an open is the same for every format.
//
// | ending        | format                      | read | written |
// |---------------|-----------------------------|------|---------|
// | .csv, .txt    | spreadsheet text file (CSV) | yes  | yes     |
// | .xlsx         | Excel workbook              | yes  | no      |
// | .ods          | OpenDocument spreadsheet    | yes  | no      |
// | anything else | food list file (.lmk)       | yes  | yes     |

#include "core/text_store.h"

#include <QString>
#include <QStringView>

enum class FoodListFormat
{
    FoodList,
    Csv,
    Xlsx,
    Ods,
};
// Case aside.
FoodListFormat FoodListFormatOf(QStringView fileName);

// A file type the open and save dialogs offer, with the ending a name typed
// without one gets.
struct FoodFileType
{
    QStringView filter;
    QStringView suffix;
};
inline constexpr FoodFileType FoodListType{u"Lebensmittel (*.lmk)", u"lmk"};
inline constexpr FoodFileType CsvType{u"CSV-Dateien (*.csv *.txt)", u"csv"};
inline constexpr FoodFileType WorkbookType{u"Tabellen (*.xlsx *.ods)", u"xlsx"};
// Opening first shows every file a catalogue can be read from, so that the
// sample and the food table beside the program are both in view.
inline constexpr FoodFileType AnyFoodFileType{
    u"Alle Lebensmittellisten (*.lmk *.csv *.txt *.xlsx *.ods)", u"lmk"};
inline constexpr FoodFileType OpenFileTypes[] = {AnyFoodFileType, FoodListType, CsvType,
                                                 WorkbookType};
// Workbooks are read, not written.
inline constexpr FoodFileType SaveFileTypes[] = {FoodListType, CsvType};

// The foods of a file, read by its format (numbers in the spreadsheet
// formats with the decimal separator of DecimalSeparator()). Raises
// "Datei %s kann nicht geöffnet werden" for a file that is not a regular one
// or cannot be read, and for a workbook that cannot be read "Datei %s kann
// nicht gelesen werden: " and what is wrong with it.
TextStore ReadFoodList(const QString &fileName);

// Writes the foods in the file's format, through a temporary file that
// replaces the target only when it is complete. Raises what the encoding
// raises, "Datei %s kann nicht erstellt werden" when the file cannot be
// created (also for a workbook's name, as workbooks are only read) and
// "Stream-Schreibfehler" when writing fails; the previous file is then left
// as it was.
void WriteFoodList(const QString &fileName, const TextStore &foods);

#pragma once

// The food list file (".lmk"): a header line, then one food per line with
// five fields each ended by ";", Windows-1252 text with CR LF line ends.
// Reading goes from the file's bytes straight into a TextStore in one pass:
// lines found and fields cut by the field splitter's rules, the bytes kept
// as they are, nothing decoded. Writing checks every value as it encodes it
// into the output, which goes through a temporary file that replaces the
// target only when it is complete.
//
// A catalogue can also be kept as a spreadsheet file (catalogue/
// csv_food_list.h). ReadFoodList and WriteFoodList choose between the two by
// the file name's ending, in FoodListFormatOf; both fill and take the same
// row store, so everything after an open is the same for either.

#include "core/food_columns.h"
#include "core/text_store.h"
#include "core/windows_1252.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// One row of the catalogue: name, kcal, protein, fat, carbohydrate per 100 g.
using FoodRecord = QStringList;

inline constexpr QStringView FoodListHeader = u"Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;";
inline constexpr int FoodFieldLengthLimit = 50;

enum class FoodListFormat
{
    // The food list file, ".lmk" and every name that is not a spreadsheet's.
    FoodList,
    // The spreadsheet file: a name ending in ".csv" or ".txt", in any case.
    Csv,
};
// The one place that decides the format of a file, for reading and writing.
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

// The mark a UTF-8 file may start with, as spreadsheets write it.
inline constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";
inline constexpr qsizetype Utf8ByteOrderMarkSize = sizeof Utf8ByteOrderMark - 1;
// UTF-8 text as it stands, the file's own mark cut off before: a mark at its
// start is a character. An invalid sequence (an overlong form, a surrogate,
// a code point beyond U+10FFFF, a sequence cut off) becomes U+FFFD and sets
// *valid to false.
QString DecodeUtf8(QByteArrayView bytes, bool *valid = nullptr);

// The foods of a file's bytes: the first line is skipped, every further line
// is one food of the first five fields the field splitter cuts from it, and
// fields a line lacks are empty. CR LF, LF and CR end a line, a final line
// without a break counts, and a NUL ends the text. Bytes that start with the
// UTF-8 byte-order mark are read as UTF-8 text by the same rules (no
// Windows-1252 header line that means anything starts with those three
// bytes), with the field limit counted in characters; invalid sequences
// become U+FFFD.
TextStore FoodsFromBytes(QByteArrayView bytes);
// The foods of a file, read by the format of FoodListFormatOf (numbers in a
// spreadsheet file with the decimal separator of DecimalSeparator()). Only a
// regular file is read (a named pipe or a device could keep the reader
// waiting for ever); anything else, and a file that cannot be read, raises
// "Datei %s kann nicht geöffnet werden".
TextStore ReadFoodList(const QString &fileName);

// The bytes the writer puts into a file: the header and one line per food in
// the order of the rows, each followed by CR LF. Raises a Failure naming the
// food and the value when a value would not read back as it stands: one with
// ";", longer than the field limit, with a line break or a NUL, or with a
// character Windows-1252 cannot store.
QByteArray FoodListBytes(const TextStore &foods);
// Writes the foods in the format of FoodListFormatOf: those bytes, or a
// spreadsheet file's (CsvFoodListBytes). Raises what the encoding raises,
// "Datei %s kann nicht erstellt werden" when the file cannot be created and
// "Stream-Schreibfehler" when writing fails; the previous file is then left
// as it was.
void WriteFoodList(const QString &fileName, const TextStore &foods);

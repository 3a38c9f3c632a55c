#pragma once

// The food list file (".lmk"): a header line, then one food per line with
// five fields each ended by ";", Windows-1252 text with CR LF line ends.
// Reading goes bytes -> lines (the line buffer) -> rows through the field
// splitter; writing goes rows -> lines -> bytes through a temporary file that
// replaces the target only when it is complete.

#include <QList>
#include <QString>
#include <QStringList>

// One row of the catalogue: name, kcal, protein, fat, carbohydrate per 100 g.
using FoodRecord = QStringList;
inline constexpr int FoodFieldCount = 5;

inline constexpr QStringView FoodListHeader = u"Name;Kalorien;Eiweiss;Fett;Kohlenhydrate;";
inline constexpr int FoodFieldLengthLimit = 50;

// Windows-1252 in both directions; the five bytes the code page leaves
// undefined stand for the C1 controls of the same code, so all 256 survive.
QString DecodeWindows1252(QByteArrayView bytes);
// Characters outside the code page are not representable; the caller checks
// first with IsWindows1252.
QByteArray EncodeWindows1252(QStringView text);
bool IsWindows1252(QChar c);

// Splits text into lines at CR LF, LF or CR; a NUL ends the text, and a final
// line without a break counts.
QStringList SplitLines(QByteArrayView bytes);
// Reads the whole file. Raises "Datei %s kann nicht geöffnet werden".
QStringList ReadLines(const QString &fileName);
// Every line but the first becomes a food; missing fields are empty.
QList<FoodRecord> FoodsFromLines(const QStringList &lines);

// The foods of a file: its lines are read, split into rows and let go, so
// the catalogue is never held twice. Raises what ReadLines raises.
QList<FoodRecord> ReadFoodList(const QString &fileName);
// Checks every value, then writes the header and one line per food. Nothing
// is written when a value would not read back.
void WriteFoodList(const QString &fileName, const QList<FoodRecord> &foods);

// Raises a Failure naming the food and the value when a row would not read
// back as it stands: a value with ";", longer than the field limit, or with
// a character Windows-1252 cannot store.
void CheckStorable(const QList<FoodRecord> &foods);
// The header and one line per food, in the given order.
QStringList LinesFromFoods(const QList<FoodRecord> &foods);
// Writes every line followed by CR LF. Raises "Datei %s kann nicht erstellt
// werden" when the file cannot be created and "Stream-Schreibfehler" when
// writing fails; the previous file is then left as it was.
void WriteLines(const QString &fileName, const QStringList &lines);

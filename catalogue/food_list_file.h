#pragma once

// The food list file (".lmk"): a header line, then one food per line with
// five fields each ended by ";", Windows-1252 text with CR LF line ends.
// Reading goes from the file's bytes straight into a TextStore in one pass:
// lines found and fields cut by the field splitter's rules, the bytes kept
// as they are, nothing decoded. Writing checks every value as it encodes it
// into the output.

#include "catalogue/food_list_writing.h"
#include "core/food_columns.h"
#include "core/text_store.h"
#include "core/windows_1252.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// One row of the catalogue: name, kcal, protein, fat, carbohydrate per 100 g.
using FoodRecord = QStringList;

// The foods of a file's bytes: the first line is skipped, every further line
// is one food of the first five fields the field splitter cuts from it, and
// fields a line lacks are empty. CR LF, LF and CR end a line, a final line
// without a break counts, and a NUL ends the text. Bytes that start with the
// UTF-8 byte-order mark are read as UTF-8 text by the same rules (no
// Windows-1252 header line that means anything starts with those three
// bytes), with the field limit counted in characters; invalid sequences
// become U+FFFD.
TextStore FoodsFromBytes(QByteArrayView bytes);
// The bytes the writer puts into a file: the header and one line per food in
// the order of the rows, each followed by CR LF. Raises a Failure naming the
// food and the value when a value would not read back as it stands: one with
// ";", longer than the field limit, with a line break or a NUL, or with a
// character Windows-1252 cannot store.
QByteArray FoodListBytes(const TextStore &foods);
// The same bytes handed to sink in pieces, for the atomic save.
void EncodeFoodList(const TextStore &foods, const OutputSink &sink);

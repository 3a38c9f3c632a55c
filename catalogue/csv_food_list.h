#pragma once

// The catalogue as a spreadsheet file (".csv", ".txt"), the way spreadsheet
// programs write and read it.
//
// Reading: the bytes are decoded (UTF-8 after a byte-order mark or where
// they are valid UTF-8 with a byte above 0x7F, Windows-1252 otherwise), the
// first line shows the separator, records and cells are cut by the quoting
// rules spreadsheets use, and the records go to the food table reader that
// every spreadsheet format shares (catalogue/food_table.h).
//
// Writing: UTF-8 with a byte-order mark (which Excel needs to show umlauts),
// a header row, ";" between cells, CR LF after every row, and quotes around
// a cell that needs them. A catalogue written so reads back to the same
// foods.

#include "catalogue/food_list_writing.h"
#include "core/text_store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>

// The foods of a spreadsheet file's bytes; every text loads.
//
// - Separator: ";" where the first line holds one outside quotes, else a tab
//   where it holds one, else "," where it holds one, else ";".
// - Records end at CR LF, LF or CR outside quotes; a line without any
//   character is no record. A cell that starts with a quote runs to the next
//   quote that is not doubled ("" stands for one "), separators and line
//   breaks inside belong to it, and what follows that quote up to the
//   separator is taken as it stands; a quote that never closes runs to the
//   end of the text. A NUL is a character like any other.
// - The records are read by the rules of catalogue/food_table.h (header,
//   columns, cell texts); a quoted cell is a text cell there.
TextStore FoodsFromCsvBytes(QByteArrayView bytes, QChar decimalSeparator);

// The bytes of the spreadsheet file: the byte-order mark, the header row
// Name;Kalorien;Eiweiss;Fett;Kohlenhydrate and one row per food in the order
// of the rows, each ended by CR LF. A cell is quoted, its quotes doubled,
// where it holds ";", a quote, CR or LF, and a number cell also where it
// has the form of a grouped number, so that reading keeps its text. Raises
// a Failure naming the food and the value for a value with half of a
// surrogate pair, which UTF-8 cannot store.
QByteArray CsvFoodListBytes(const TextStore &foods);
// The same bytes handed to sink in pieces, for the atomic save.
void EncodeCsvFoodList(const TextStore &foods, const OutputSink &sink);

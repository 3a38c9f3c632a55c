#pragma once

// The catalogue as a spreadsheet file (".csv", ".txt"), the way spreadsheet
// programs write and read it.
//
// Reading: the bytes are decoded (UTF-8 after a byte-order mark or where
// they are valid UTF-8 with a byte above 0x7F, Windows-1252 otherwise), the
// first line shows the separator, records and cells are cut by the quoting
// rules spreadsheets use, the first record is a header or a food, the header
// maps the columns, and each further record becomes one food in the same
// row store the food list file fills. Nothing is cut or converted; only
// the digit grouping a spreadsheet writes into a number cell is dropped.
//
// Writing: UTF-8 with a byte-order mark (which Excel needs to show umlauts),
// a header row, ";" between cells, CR LF after every row, and quotes around
// a cell that needs them. A catalogue written so reads back to the same
// foods.

#include "core/text_store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>

#include <functional>

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
// - The first record is a header where its number columns (the second to
//   fifth cells) hold no number (by ParseNumber with the decimal separator
//   given) and either one of them or its first cell, naming the name column,
//   is not empty; otherwise it is the first food.
// - A header names a column where the first word of its cell (case aside)
//   is one of: Name, Bezeichnung, Lebensmittel; Kalorien, kcal, Energie (not
//   for a cell that says kJ without kcal); Eiweiß, Eiweiss, Protein; Fett;
//   Kohlenhydrate, KH. The first such cell of each field counts. A field the
//   header does not name is read from its position (the name first, then
//   kcal, protein, fat, carbohydrate), unless the header named another field
//   there. Further columns are ignored; cells a record lacks are empty.
// - A number cell not in quotes that a spreadsheet wrote with digit grouping
//   ("-1.234,5" under the decimal comma, "1,234.5" under the decimal point:
//   one to three digits, then groups of three) loses the grouping marks.
//   Every other cell keeps its text as it stands, spaces included.
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
void EncodeCsvFoodList(const TextStore &foods, const std::function<void(QByteArrayView)> &sink);

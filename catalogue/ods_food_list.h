#pragma once

// The catalogue from an OpenDocument spreadsheet (".ods", as LibreOffice
// Calc writes it): the first table of its content part, its rows read by
// the rules of catalogue/food_table.h.
//
// Rows and cells repeated by table:number-rows-repeated and
// table:number-columns-repeated count as often as they say; empty ones are
// passed over without being counted out one by one, as Calc ends every
// sheet with a million of them. A cell of a numeric value type (float,
// percentage, currency) becomes the text of NumberCellText of its
// office:value; a boolean "WAHR" or "FALSCH"; a date or time its value as
// stored; any other cell the text of its paragraphs, joined by line breaks,
// with text:s, text:tab and text:line-break as the characters they stand
// for and annotations left out.

#include "core/text_store.h"

#include <QByteArrayView>
#include <QChar>

class QIODevice;

// Raises a Failure saying what is wrong with the workbook.
TextStore FoodsFromOds(QIODevice &file, QChar decimalSeparator);
// The content part on its own, for tests and fuzzing.
TextStore FoodsFromOdsContent(QByteArrayView xml, QChar decimalSeparator);

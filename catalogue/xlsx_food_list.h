#pragma once

// The catalogue from an Excel workbook (".xlsx", Office Open XML, as Excel,
// LibreOffice Calc, Gnumeric and openpyxl write it): the first sheet of the
// workbook, its rows read by the rules of catalogue/food_table.h.
//
// The workbook part names the sheets in their order, its relationships
// where the first one and the shared strings lie. The shared strings are
// read first and kept in one block; then the sheet streams by. A cell is
// placed by its reference ("C7"), or after the one before it where it has
// none. A shared string, an inline string and a formula's text result are
// text cells; a number (also a formula's stored result) becomes the text of
// NumberCellText; a boolean "WAHR" or "FALSCH"; an error its code
// ("#DIV/0!"). Empty cells and rows without a cell are left out.

#include "core/text_store.h"

#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <vector>

class QIODevice;

// The workbook's shared strings, in one block of text.
class SharedStrings
{
public:
    void append(QStringView text);
    qsizetype size() const { return qsizetype(m_ends.size()); }
    QStringView at(qsizetype index) const;

private:
    QString m_text;
    std::vector<qsizetype> m_ends;
};

// Raises a Failure saying what is wrong with the workbook.
TextStore FoodsFromXlsx(QIODevice &file, QChar decimalSeparator);

// The parts on their own, for tests and fuzzing: the shared strings part,
// and a sheet part with the shared strings it refers to.
SharedStrings SharedStringsFromXml(QByteArrayView xml);
TextStore FoodsFromXlsxSheet(QByteArrayView xml, const SharedStrings &strings,
                             QChar decimalSeparator);

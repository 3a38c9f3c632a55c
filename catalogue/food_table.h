#pragma once

// What a spreadsheet's rows mean, whatever file they come from. The CSV file
// and the workbooks only cut their bytes into rows of cells and hand each
// cell over with its kind; this decides, once for every format, whether the
// first row is a header, which column is which field, and how a cell becomes
// the text of a food.
//
// - A row with no cell handed over is no food; a row of empty cells is one.
// - The first row is a header where its number columns (the second to fifth
//   cells) hold no number (by ParseNumber with the decimal separator given)
//   and either one of them or its first cell, naming the name column, is not
//   empty; otherwise it is the first food.
// - Header words: a header cell names a field where one of its words (runs
//   of letters, case aside) is one of the field's words:
//     name:         Name, Bezeichnung, Lebensmittel, Lebensmittelbezeichnung
//     kcal:         Kalorien, kcal, Kilokalorien, Energie, Brennwert
//     protein:      Eiweiß, Eiweiss, Protein
//     fat:          Fett
//     carbohydrate: Kohlenhydrate, KH
//   A cell that speaks of kJ or Kilojoule and not of kcal or Kilokalorien
//   names no kcal column: energy in kJ is not the kcal the program computes
//   with.
// - Ties: where several cells name the same field, the one that wins is, in
//   this order: the first whose first word names the field (so "Fett (g)"
//   beats "Notiz zum Fett"); else the first whose code, the first word
//   written in capitals and digits as nutrient tables write them, is the
//   field's (ENERCC for kcal, PROT625 or PROT for protein, FAT for fat, CHO or
//   CHOAVL for carbohydrate: "FAT Fett" beats "FASAT Fettsäuren ... Fett");
//   else the first whose unit in brackets is the field's ([kcal/...] for
//   kcal, [g/...] for the others); else the first.
// - A field the header does not name is read from its position (the name
//   first, then kcal, protein, fat, carbohydrate), unless the header named
//   another field there. Further columns are ignored; cells a row lacks are
//   empty.
// - Number fields: "TR" (traces), "<LOD" and "<LOQ" (below the limit of
//   detection or quantification) read as "0", "-" (no value) as empty,
//   except in a quoted cell. A plain cell that a spreadsheet wrote with digit grouping ("-1.234,5"
//   under the decimal comma, "1,234.5" under the decimal point: one to three
//   digits, then groups of three) loses the grouping marks. Every other cell
//   keeps its text as it stands, spaces included.

#include "core/food_columns.h"
#include "core/text_store.h"

#include <QChar>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

// How a format hands over a cell.
enum class CellKind
{
    // As a text file holds it, not marked as text: a number in it may carry
    // digit grouping.
    Plain,
    // A workbook's text cell.
    Text,
    // A text its file asks to keep as it stands (a quoted CSV cell).
    Quoted,
    // A workbook's number, written by NumberCellText.
    Number,
};

// The text a German spreadsheet shows for a number in its standard format:
// the shortest decimal that gives the value back, at most 15 significant
// digits, with the decimal separator given (11.38 gives "11,38", 343 "343",
// 0.30000000000000004 "0,3"); from 10^15 on and below 10^-5 with an
// exponent, as "1,5E+20". Gives the empty text for an infinity or NaN.
QString NumberCellText(double value, QChar decimalSeparator);

class FoodTableReader
{
public:
    explicit FoodTableReader(QChar decimalSeparator);

    void reserveBytes(qsizetype bytes) { m_foods.reserveBytes(bytes); }
    // The cell of the current row in the column given; columns come in
    // ascending order.
    void cell(int column, QStringView text, CellKind kind);
    // Whether a cell of the column can still matter: every one of the first
    // row, then those of the columns a field is read from. A format may pass
    // over the others unread.
    bool wantsColumn(int column) const
    {
        return m_firstRow || (size_t(column) < m_fieldOf.size() && m_fieldOf[size_t(column)] >= 0);
    }
    void endRow();
    // Ends a row not yet ended and gives the foods.
    TextStore take();

private:
    struct HeaderCell
    {
        QString text;
        CellKind kind;
    };

    void mapColumns(const std::vector<HeaderCell> *header);
    void store(int column, QStringView text, CellKind kind);

    QChar m_decimalSeparator;
    TextStore m_foods;
    // Until the first row has ended: its cells, to see whether it is a header.
    bool m_firstRow = true;
    std::vector<HeaderCell> m_first;
    std::vector<int> m_fieldOf;
    bool m_rowHasCells = false;
    // The current row's field texts, reused from row to row.
    std::array<QString, FoodFieldCount> m_texts;
};

// Whether a number cell's text would not read back as it stands unquoted:
// one with the form of a number with digit grouping under either decimal
// separator, or one of the marks for traces and no value. A writer quotes
// such a cell so that reading keeps it.
bool ChangesUnquoted(QStringView text);

#include "catalogue/food_list_writing.h"

#include "core/failure.h"
#include "core/food_columns.h"

void RefuseValue(const TextStore &foods, qsizetype row, int column, ValueProblem problem)
{
    QString reason;
    switch (problem) {
    case ValueProblem::Semicolon:
        reason = QStringLiteral("enthält ein Semikolon");
        break;
    case ValueProblem::TooLong:
        reason = QStringLiteral("ist länger als %1 Zeichen").arg(FoodFieldLengthLimit);
        break;
    case ValueProblem::LineBreak:
        reason = QStringLiteral("enthält einen Zeilenumbruch");
        break;
    case ValueProblem::Nul:
        reason = QStringLiteral("enthält ein NUL-Zeichen");
        break;
    case ValueProblem::Character:
    case ValueProblem::None:
        reason = QStringLiteral("enthält ein Zeichen, das die Datei nicht speichern kann");
        break;
    }
    const QString value = column < foods.columnCount() ? foods.text(row, column) : QString();
    throw Failure(QStringLiteral("Nicht gespeichert: Lebensmittel \"%1\", %2 \"%3\" %4")
                      .arg(foods.text(row, 0), FoodColumnNames[size_t(column)], value, reason));
}

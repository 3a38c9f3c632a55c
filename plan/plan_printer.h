#pragma once

// The print command of the day plan: the print dialog, the job and the
// layout on the printer's canvas.

#include <QStringView>

class QPrinter;
class QWidget;
struct PlanPrintInput;

inline constexpr QStringView PlanPrintJobTitle = u"Menuvera Ernährungsplan";

// Shows the print dialog "PrintDialog1" for the printer and prints the plan
// when it is confirmed; gives whether it was. A conversion error is thrown
// before any job is begun, so nothing comes out and the printer stays free.
bool PrintPlanWithDialog(QWidget *parent, QPrinter &printer, const PlanPrintInput &input);

// Prints the plan on the printer as it is set up, in portrait, as one job.
// Throws when the printer queue refuses the job, saying why where it can.
void PrintPlan(QPrinter &printer, const PlanPrintInput &input);

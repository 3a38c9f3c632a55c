#include "plan/plan_printer.h"

#include "core/failure.h"
#include "plan/print_layout.h"
#include "plan/print_queue.h"
#include "plan/printer_canvas.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

bool PrintPlanWithDialog(QWidget *parent, QPrinter &printer, const PlanPrintInput &input)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    // The printout always prints all of its pages, so a range would be ignored.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    PrintPlan(printer, input);
    return true;
}

void PrintPlan(QPrinter &printer, const PlanPrintInput &input)
{
    // Qt's PDF and CUPS engines cannot abandon a job once it has begun, so the
    // plan is laid out once without drawing: a conversion error then comes out
    // before the job begins, no half-drawn page is printed, and the printer
    // stays free for the next printout.
    CheckPlanPrintable(input);

    printer.setDocName(PlanPrintJobTitle.toString());
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        throw Failure(QStringLiteral("Der Druckauftrag konnte nicht begonnen werden"));
    try {
        PrinterCanvas canvas(printer, painter);
        PlanPrintLayout(canvas).PrintPages(input);
    } catch (...) {
        // Engines that can abandon a job do so; ending the painter frees the
        // printer either way.
        printer.abort();
        painter.end();
        throw;
    }
    painter.end();
    // Only now has the job gone to the printer queue, which may refuse it.
    if (const std::optional<JobRefusal> refusal = RefusalOfLastJob(printer)) {
        QString message = QStringLiteral("Der Ernährungsplan wurde nicht gedruckt.\n"
                                         "Der Drucker „%1“ hat den Auftrag abgewiesen: %2")
                              .arg(refusal->queue, refusal->answer);
        if (!refusal->queueReason.isEmpty() && !refusal->answer.contains(refusal->queueReason))
            message += QStringLiteral("\nGrund: ") + refusal->queueReason;
        throw Failure(message);
    }
}

#include "plan/print_queue.h"

#include <QPrinter>

#include <cups/cups.h>

#include <memory>

namespace {

// The text that the queue shows for its state; cupsreject's reason stands here.
QString QueueStateMessage(const QByteArray &queue)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.constData());
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state-message");
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> response(
        cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"), &ippDelete);
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    ipp_attribute_t *message =
        ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT);
    return message ? QString::fromUtf8(ippGetString(message, 0, nullptr)).trimmed() : QString();
}

} // namespace

std::optional<JobRefusal> RefusalOfLastJob(const QPrinter &printer)
{
    // A job for a file, or one without a queue, never reached the printing
    // system, and its last answer is about something else.
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.outputFileName().isEmpty() ||
        printer.printerName().isEmpty())
        return std::nullopt;
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    JobRefusal refusal;
    // The job goes to the queue without the instance that may follow a "/".
    refusal.queue = printer.printerName().section(QLatin1Char('/'), 0, 0);
    refusal.answer = QString::fromUtf8(cupsLastErrorString()).trimmed();
    if (refusal.answer.isEmpty())
        refusal.answer = QString::fromUtf8(ippErrorString(status));
    refusal.queueReason = QueueStateMessage(refusal.queue.toUtf8());
    return refusal;
}

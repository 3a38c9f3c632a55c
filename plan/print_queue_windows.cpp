#include "plan/print_queue.h"

#include <QPrinter>

// Windows' print engine hands the job to the spooler while the painter draws,
// and a printer that cannot take it fails the job's start, which the painter
// reports; there is no later answer to read.
std::optional<JobRefusal> RefusalOfLastJob(const QPrinter &)
{
    return std::nullopt;
}

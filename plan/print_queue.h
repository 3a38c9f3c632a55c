#pragma once

// What the printing system (CUPS) answered to the last print job.
//
// Qt's printer hands the job to a printer queue when its painter ends, and
// throws the answer away: a queue that refuses the job (one that does not
// accept jobs, for instance) leaves the printer idle without an error, and the
// job is lost without a word. The printing system's library keeps its last
// answer for the thread that asked, until that thread asks again, so read
// right after the painter ended, it is the answer to the job.

#include <QString>

#include <optional>

class QPrinter;

struct JobRefusal
{
    // The queue, the printing system's answer in its own words, and the
    // reason that the queue gives for its state (empty where it gives none).
    QString queue;
    QString answer;
    QString queueReason;
};

// Why the queue refused the job that the printer's painter has just ended;
// nothing where it took the job, or where the job went to a file.
std::optional<JobRefusal> RefusalOfLastJob(const QPrinter &printer);

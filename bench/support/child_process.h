#pragma once

// Runs this benchmark executable again as a child process, for figures that
// need a fresh process: the start-up time and the peak memory of one load.

#include <QByteArray>
#include <QStringList>

struct ChildRun
{
    // The child's first line on standard output, without the line break.
    QByteArray firstLine;
    // From just before the child was spawned to the arrival of that line.
    double secondsToFirstLine = 0;
    // From just before the child was spawned to its end.
    double secondsToExit = 0;
    // User and system time of the child until its end.
    double childCpuSeconds = 0;
    int exitStatus = -1;
};

// Starts /proc/self/exe with the arguments, in the environment of this
// process, and waits for its end.
ChildRun RunSelf(const QStringList &arguments);

// The peak resident memory of this process so far (VmHWM), in kB.
long PeakResidentKilobytes();

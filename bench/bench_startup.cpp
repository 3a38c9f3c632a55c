// Start-up: from spawning the program to the main window painted for the
// first time, on the offscreen platform, with the catalogue still empty.
//
// The child is this executable started again: it does what main() does
// (TApplication, TApplicationWindows, show) and writes one line to its
// standard output from the first paint event of the main window. The parent
// times from just before posix_spawn to the arrival of that line, so the
// figure holds the loading of the program and its libraries, the start of
// Qt, the making of all windows and the first paint; it holds neither the
// start-up timer's open dialog nor the end of the process.

#include "app/application.h"
#include "app/main_window.h"
#include "bench/support/child_process.h"

#include <benchmark/benchmark.h>

#include <QEvent>

#include <cstdlib>
#include <unistd.h>

namespace {

// Reports the first paint and ends the child there, before the start-up
// timer could open its dialog.
class FirstPaint final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

bool FirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        const char line[] = "shown\n";
        if (write(STDOUT_FILENO, line, sizeof line - 1) < 0)
            std::_Exit(2);
        std::_Exit(0);
    }
    return QObject::eventFilter(watched, event);
}

int startupChild(int argc, char **argv)
{
    TApplication application(argc, argv);
    TApplicationWindows windows;
    FirstPaint firstPaint;
    windows.Main->installEventFilter(&firstPaint);
    windows.Main->show();
    return application.exec();
}

void BM_StartUp(benchmark::State &state)
{
    double childCpuSeconds = 0;
    for (auto _ : state) {
        const ChildRun run = RunSelf({QStringLiteral("--startup-child")});
        if (run.exitStatus != 0 || run.firstLine != "shown") {
            state.SkipWithError("the program did not show its main window");
            return;
        }
        state.SetIterationTime(run.secondsToFirstLine);
        childCpuSeconds += run.childCpuSeconds;
    }
    // The CPU time the child spent up to its end, which is the first paint.
    state.counters["child_CPU_ms"] = 1000 * childCpuSeconds / double(state.iterations());
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && QByteArrayView(argv[1]) == "--startup-child")
        return startupChild(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Start-up: from spawning the program to the main window painted for the
// first time, on the offscreen platform, with the catalogue still empty.
// The whole process: from spawning the program to its end, after it opened a
// catalogue of 100,000 foods, painted it and quit; beside it the floor
// process, which reads the same file with the floor reader and ends.
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
#include "bench/support/floor_reader.h"
#include "bench/support/generated_catalogue.h"
#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "core/text_table_model.h"
#include "widgets/text_list_view.h"

#include <benchmark/benchmark.h>

#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>

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

// Quits the program once the list has painted the catalogue.
class QuitAfterPaint final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

bool QuitAfterPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return QObject::eventFilter(watched, event);
}

// Starts as main() does, opens the catalogue as "Öffnen" does once the file
// is chosen, paints it, quits and ends as the program does.
int wholeProcessChild(int argc, char **argv, const QString &fileName)
{
    TApplication application(argc, argv);
    TApplicationWindows windows;
    windows.Main->Timer1()->stop();
    QuitAfterPaint quit;
    windows.Main->LM()->viewport()->installEventFilter(&quit);
    windows.Main->show();
    windows.Main->LM()->textModel()->setRows(ReadFoodList(fileName));
    return application.exec();
}

int floorProcessChild(const QString &fileName)
{
    return FloorOpen(fileName.toStdString()).empty() ? 1 : 0;
}

const QString &catalogueFile()
{
    static QTemporaryDir dir;
    static const QString fileName = [] {
        const QString name = dir.filePath(QStringLiteral("Lebensmittel.lmk"));
        WriteCatalogueFile(name, MakeFoods(100000));
        return name;
    }();
    return fileName;
}

void processBenchmark(benchmark::State &state, const QString &mode)
{
    const QString &fileName = catalogueFile();
    double childCpuSeconds = 0;
    for (auto _ : state) {
        const ChildRun run = RunSelf({mode, fileName});
        if (run.exitStatus != 0) {
            state.SkipWithError("the child process failed");
            return;
        }
        state.SetIterationTime(run.secondsToExit);
        childCpuSeconds += run.childCpuSeconds;
    }
    state.counters["child_CPU_ms"] = 1000 * childCpuSeconds / double(state.iterations());
}

void BM_WholeProcess(benchmark::State &state)
{
    processBenchmark(state, QStringLiteral("--whole-process"));
}
BENCHMARK(BM_WholeProcess)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_WholeProcessFloor(benchmark::State &state)
{
    processBenchmark(state, QStringLiteral("--floor-process"));
}
BENCHMARK(BM_WholeProcessFloor)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArrayView(argv[1]) == "--floor-process")
        return floorProcessChild(QString::fromLocal8Bit(argv[2]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && QByteArrayView(argv[1]) == "--startup-child")
        return startupChild(argc, argv);
    if (argc == 3 && QByteArrayView(argv[1]) == "--whole-process") {
        const QString fileName = QString::fromLocal8Bit(argv[2]);
        return wholeProcessChild(argc, argv, fileName);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

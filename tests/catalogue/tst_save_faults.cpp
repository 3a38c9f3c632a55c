// Saving under failures: a write that breaks off at any byte leaves the
// previous file exactly as it was and the rows in memory untouched; a target
// that cannot be created and a file that cannot be read give their messages.
//
// The write failure comes from a forked child whose file size limit
// (RLIMIT_FSIZE, with SIGXFSZ ignored) makes write() fail with EFBIG once the
// temporary file reaches the limit, as a full disk would. Windows has no such
// limit and no fork: there only the open and create failures are tested.

#include "catalogue/food_files.h"
#include "catalogue/food_list_file.h"
#include "core/failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// What the child reports through its exit status.
enum ChildResult
{
    Saved = 0,
    StreamWriteError = 1,
    OtherFailure = 2,
    RowsChanged = 3,
    ForkFailed = 4,
    OpenRefused = 5,
};

QList<FoodRecord> sampleFoods(int count)
{
    QList<FoodRecord> foods;
    foods.reserve(count);
    for (int i = 0; i < count; ++i) {
        foods.append({QStringLiteral("Lebensmittel %1 äöüß€").arg(i, 6, 10, QLatin1Char('0')),
                      QString::number(i % 900), QStringLiteral("0,3"), QStringLiteral("12,5"),
                      QStringLiteral("%1,%2").arg(i % 100).arg(i % 10)});
    }
    return foods;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray expectedBytes(const QList<FoodRecord> &foods)
{
    return FoodListBytes(TextStore::fromRows(foods, FoodFieldCount));
}

// Reads the file as the open command does.
ChildResult readResult(const QString &path)
{
    try {
        ReadFoodList(path);
    } catch (const Failure &failure) {
        if (failure.message() == QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(path))
            return OpenRefused;
    }
    return OtherFailure;
}

#ifndef Q_OS_WIN
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Saves the rows as the save command does, in a child that may write at most
// sizeLimit bytes to any file.
ChildResult saveWithSizeLimit(const QString &path, const TextStore &foods, rlim_t sizeLimit)
{
    const pid_t pid = fork();
    if (pid < 0)
        return ForkFailed;
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{sizeLimit, sizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        const QList<FoodRecord> before = foods.rows();
        int result = Saved;
        try {
            WriteFoodList(path, foods);
        } catch (const Failure &failure) {
            result = failure.message() == u"Stream-Schreibfehler" ? StreamWriteError : OtherFailure;
        }
        if (foods.rows() != before)
            result = RowsChanged;
        // No exit handlers: the child shares the parent's test state.
        _exit(result);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return ForkFailed;
    return ChildResult(WEXITSTATUS(status));
}
#endif

} // namespace

class tst_SaveFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void writeBreaksOff_data();
    void writeBreaksOff();
    void writeBreaksOffWithoutPreviousFile();
    void cannotCreate_data();
    void cannotCreate();
    void cannotOpen_data();
    void cannotOpen();

private:
#ifdef Q_OS_WIN
    HANDLE m_pipe = INVALID_HANDLE_VALUE;
#endif
    QTemporaryDir m_dir;
    TextStore m_foods;
    QByteArray m_newBytes;
    QByteArray m_previousBytes;
};

void tst_SaveFaults::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Over a megabyte, so that the write crosses the writer's 1 MiB pieces.
    m_foods = TextStore::fromRows(sampleFoods(30000), FoodFieldCount);
    m_newBytes = FoodListBytes(m_foods);
    QVERIFY(m_newBytes.size() > (1 << 20) + 2);
    m_previousBytes =
        expectedBytes(sampleFoods(3)) + QByteArray("Rest ohne Zeilenende\x80\xff", 22);
}

void tst_SaveFaults::writeBreaksOff_data()
{
    QTest::addColumn<qint64>("sizeLimit");

    const qint64 total = m_newBytes.size();
    const qint64 header = FoodListHeader.size() + 2;
    const qint64 piece = 1 << 20;
    const qint64 fixed[] = {0,         1,     header - 1, header,    header + 1, 4095,
                            4096,      4097,  16383,      16384,     16385,      65536,
                            piece - 1, piece, piece + 1,  total - 2, total - 1};
    for (qint64 offset : fixed)
        QTest::addRow("limit %lld", offset) << offset;
    // And spread over the whole file.
    for (int i = 1; i < 24; ++i) {
        const qint64 offset = total * i / 24 + i;
        QTest::addRow("limit %lld", offset) << offset;
    }
}

void tst_SaveFaults::writeBreaksOff()
{
#ifdef Q_OS_WIN
    QSKIP("Windows cannot limit the size of the files a process writes");
#else
    QFETCH(qint64, sizeLimit);
    const QString path = m_dir.filePath(QStringLiteral("katalog.lmk"));
    writeBytes(path, m_previousBytes);

    QCOMPARE(saveWithSizeLimit(path, m_foods, rlim_t(sizeLimit)), StreamWriteError);
    QCOMPARE(fileBytes(path), m_previousBytes);
    // The temporary file of the failed save is gone as well.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("katalog.lmk")});
#endif
}

void tst_SaveFaults::writeBreaksOffWithoutPreviousFile()
{
#ifdef Q_OS_WIN
    QSKIP("Windows cannot limit the size of the files a process writes");
#else
    const QString path = m_dir.filePath(QStringLiteral("neu.lmk"));
    QFile::remove(path);
    QCOMPARE(saveWithSizeLimit(path, m_foods, rlim_t(m_newBytes.size() / 2)), StreamWriteError);
    QVERIFY(!QFile::exists(path));

    // At the limit exactly the whole file fits, and the save succeeds.
    QCOMPARE(saveWithSizeLimit(path, m_foods, rlim_t(m_newBytes.size())), Saved);
    QCOMPARE(fileBytes(path), m_newBytes);
    QVERIFY(QFile::remove(path));
#endif
}

void tst_SaveFaults::cannotCreate_data()
{
    QTest::addColumn<QString>("path");

    QTest::newRow("folder does not exist") << m_dir.filePath(QStringLiteral("fehlt/katalog.lmk"));
    QTest::newRow("path is a folder") << m_dir.filePath(QStringLiteral("ordner.lmk"));
    QTest::newRow("empty name") << QString();
}

void tst_SaveFaults::cannotCreate()
{
    QFETCH(QString, path);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("ordner.lmk")));
    const QStringList entriesBefore = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    const TextStore foods = TextStore::fromRows(sampleFoods(3), FoodFieldCount);
    const QList<FoodRecord> before = foods.rows();

    try {
        WriteFoodList(path, foods);
        QFAIL("the save did not fail");
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(),
                 QStringLiteral("Datei %1 kann nicht erstellt werden").arg(path));
    }
    QCOMPARE(foods.rows(), before);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden), entriesBefore);
    QVERIFY(QDir(m_dir.filePath(QStringLiteral("ordner.lmk"))).isEmpty());
}

void tst_SaveFaults::cannotOpen_data()
{
    QTest::addColumn<QString>("path");

    const QString folder = m_dir.filePath(QStringLiteral("ordner"));
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("ordner")));
    QTest::newRow("a folder") << folder;
    QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("fehlt.lmk"));

    const QString vanished = m_dir.filePath(QStringLiteral("weg.lmk"));
    writeBytes(vanished, m_previousBytes);
    QVERIFY(QFile::remove(vanished));
    QTest::newRow("file removed after it was chosen") << vanished;

    QTest::newRow("empty name") << QString();

#ifdef Q_OS_WIN
    // A pipe whose server never writes: reading it would wait for ever.
    const QString pipe = QStringLiteral("\\\\.\\pipe\\menuvera-rohr-%1").arg(GetCurrentProcessId());
    m_pipe = CreateNamedPipeW(reinterpret_cast<const wchar_t *>(pipe.utf16()), PIPE_ACCESS_DUPLEX,
                              PIPE_TYPE_BYTE, PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
    QVERIFY(m_pipe != INVALID_HANDLE_VALUE);
    QTest::newRow("named pipe") << pipe;
    // A device is no file either; reading it gives no catalogue.
    QTest::newRow("device") << QStringLiteral("NUL");
#else
    // Windows' links are shortcut files, which are regular.
    const QString target = m_dir.filePath(QStringLiteral("ziel.lmk"));
    const QString link = m_dir.filePath(QStringLiteral("verweis.lmk"));
    writeBytes(target, m_previousBytes);
    QVERIFY(QFile::link(target, link));
    QVERIFY(QFile::remove(target));
    QTest::newRow("link whose file was removed") << link;

    // Opening a pipe without a writer waits for one, and reading it waits
    // for its end: a reader that tried would never come back.
    const QString pipe = m_dir.filePath(QStringLiteral("rohr.lmk"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QTest::newRow("named pipe") << pipe;
#endif
}

// The read runs in a child that an alarm ends, so that a reader that waits
// fails the test instead of holding up the suite.
void tst_SaveFaults::cannotOpen()
{
    QFETCH(QString, path);
#ifdef Q_OS_WIN
    // No fork here: a reader that waits holds the test until its watchdog.
    QVERIFY2(readResult(path) == OpenRefused, "the read did not fail with the open message");
#else
    const pid_t pid = fork();
    QVERIFY(pid >= 0);
    if (pid == 0) {
        alarm(20);
        _exit(readResult(path));
    }
    int status = 0;
    QCOMPARE(waitpid(pid, &status, 0), pid);
    QVERIFY2(!WIFSIGNALED(status), "the read did not come back");
    QVERIFY(WIFEXITED(status));
    QVERIFY2(WEXITSTATUS(status) == OpenRefused, "the read did not fail with the open message");
#endif
}

QTEST_APPLESS_MAIN(tst_SaveFaults)
#include "tst_save_faults.moc"

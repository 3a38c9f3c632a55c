#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_table_model.h"
#include "plan/plan_printer.h"
#include "plan/print_layout.h"
#include "plan/printer_canvas.h"
#include "tests/support/failure_of.h"
#include "tests/support/modal.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QFontInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A4 in a high-resolution PDF with Qt's margins of 10 pt: the printable area
// is 9583 × 13699 units at 1200 dpi, so E(12) = 200, E(10) = 167 and the
// row step of a table is 220. pdftotext reports points from the corner of
// the paper.
constexpr double Margin = 10.0;
constexpr double PointsPerUnit = 72.0 / 1200.0;

double Points(int units)
{
    return Margin + units * PointsPerUnit;
}

struct PdfWord
{
    int page;
    QString text;
    QRectF box;
};

struct PdfText
{
    int pages = 0;
    QList<PdfWord> words;
};

QString Unescape(QString text)
{
    text.replace(u"&lt;"_s, u"<"_s);
    text.replace(u"&gt;"_s, u">"_s);
    text.replace(u"&quot;"_s, u"\""_s);
    text.replace(u"&apos;"_s, u"'"_s);
    text.replace(u"&amp;"_s, u"&"_s);
    return text;
}

// The printouts are read back with poppler's tools, Linux programs that a
// Windows test cannot start.
#ifdef Q_OS_WIN
#define SKIP_WITHOUT_PDF_TOOLS() QSKIP("the PDF is read with poppler's tools, which Windows lacks")
#else
#define SKIP_WITHOUT_PDF_TOOLS()
#endif

// The words of a PDF with their boxes, as pdftotext -bbox reads them.
PdfText ReadPdf(const QString &path)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-bbox"_s, path, u"-"_s});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression element(
        uR"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    PdfText result;
    for (const QRegularExpressionMatch &match : element.globalMatch(html)) {
        if (match.captured(0) == u"<page ") {
            ++result.pages;
            continue;
        }
        const double x1 = match.captured(1).toDouble();
        const double y1 = match.captured(2).toDouble();
        const double x2 = match.captured(3).toDouble();
        const double y2 = match.captured(4).toDouble();
        result.words.append(
            {result.pages, Unescape(match.captured(5)), QRectF(QPointF(x1, y1), QPointF(x2, y2))});
    }
    return result;
}

QList<PdfWord> WordsNamed(const PdfText &pdf, const QString &text)
{
    QList<PdfWord> found;
    for (const PdfWord &word : pdf.words) {
        if (word.text == text)
            found.append(word);
    }
    return found;
}

QString PdfInfo(const QString &path)
{
    QProcess process;
    process.start(u"pdfinfo"_s, {path});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfFonts(const QString &path)
{
    QProcess process;
    process.start(u"pdffonts"_s, {path});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

std::unique_ptr<TextTableModel> MealList(const QList<QStringList> &rows)
{
    auto list = std::make_unique<TextTableModel>(ToStringList(MealColumnNames));
    for (const QStringList &row : rows)
        list->appendRow(row);
    return list;
}

struct Plan
{
    std::array<std::unique_ptr<TextTableModel>, MealCount> lists;
    PlanPrintInput input;
};

Plan MakePlan(const std::array<QList<QStringList>, MealCount> &rows)
{
    Plan plan;
    std::array<const TextTableModel *, MealCount> lists{};
    for (size_t meal = 0; meal < MealCount; ++meal) {
        plan.lists[meal] = MealList(rows[meal]);
        lists[meal] = plan.lists[meal].get();
    }
    plan.input = MakePlanPrintInput(lists, {u"250,0"_s, u"0,0"_s, u"0,0"_s, u"122,0"_s, u"372,0"_s,
                                            u"57,0"_s, u"106,6"_s, u"159,4"_s});
    return plan;
}

// Fifty breakfast rows, so that the last one runs onto the second page, and
// one dinner row.
Plan TwoMealPlan()
{
    QList<QStringList> breakfast;
    for (int i = 1; i <= 50; ++i) {
        breakfast.append({u"Zutat%1"_s.arg(i, 2, 10, QLatin1Char('0')), u"10"_s, u"50"_s, u"1"_s,
                          u"2"_s, u"3"_s});
    }
    const QStringList yoghurt{u"Joghurt"_s, u"200"_s, u"61"_s, u"3,5"_s, u"3,3"_s, u"4,7"_s};
    return MakePlan({breakfast, {}, {}, {yoghurt}});
}

void UsePdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

} // namespace

class tst_PlanPrinter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void fontHeight_data();
    void fontHeight();
    void pdfPlacesTexts();
    void jobTitleAndPortrait();
    void conversionErrorPrintsNothing();
    void refusedPageStopsPrintout();
    void dialogCancelled();
    void dialogConfirmed();

private:
    QTemporaryDir m_dir;
};

void tst_PlanPrinter::init()
{
    SetDecimalSeparator(QLatin1Char(','));
    QVERIFY(m_dir.isValid());
}

void tst_PlanPrinter::cleanup()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
}

void tst_PlanPrinter::fontHeight_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");

    for (int dpi : {300, 600, 1200}) {
        for (int points : {8, 10, 12}) {
            for (bool bold : {false, true}) {
                QTest::addRow("%d points%s at %d dpi", points, bold ? " bold" : "", dpi)
                    << dpi << points << bold;
            }
        }
    }
}

// The font chosen for a size has the em of a font of that size, E(s) =
// s × dpi / 72; its line, ascent and descent, is taller than E.
void tst_PlanPrinter::fontHeight()
{
    QFETCH(int, dpi);
    QFETCH(int, points);
    QFETCH(bool, bold);

    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, m_dir.filePath(u"metrics.pdf"_s));
    printer.setResolution(dpi);
    QPainter painter(&printer);
    PrinterCanvas canvas(printer, painter);
    canvas.setFontFace(u"Arial"_s);
    canvas.setFontSize(points);
    canvas.setFontBold(bold);

    QCOMPARE(canvas.verticalDpi(), dpi);
    const int expected = CharacterHeight(points, dpi);
    QCOMPARE(canvas.characterHeight(), expected);
    QCOMPARE(QFontInfo(canvas.currentFont()).pixelSize(), expected);
    const int height = QFontMetrics(canvas.currentFont(), &printer).height();
    QVERIFY2(height > expected,
             qPrintable(u"font height %1 for E = %2"_s.arg(height).arg(expected)));

    const QString family = QFontInfo(canvas.currentFont()).family();
    QVERIFY2(family == u"Arial" || family == u"Liberation Sans" || family == u"Arimo",
             qPrintable(family));
    QCOMPARE(QFontInfo(canvas.currentFont()).bold(), bold);
}

void tst_PlanPrinter::pdfPlacesTexts()
{
    SKIP_WITHOUT_PDF_TOOLS();
    const Plan plan = TwoMealPlan();
    const QString path = m_dir.filePath(u"plan.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, path);
    PrintPlan(printer, plan.input);
    QCOMPARE(printer.width(), 9583);
    QCOMPARE(printer.height(), 13699);

    const PdfText pdf = ReadPdf(path);
    QCOMPARE(pdf.pages, 2);

    // The top of a word's box is where the text cell's top was placed; the
    // font's internal leading lies inside the cell, so the box may start a
    // little lower, never higher.
    const auto check = [&](const QString &text, int occurrence, int page, int x, bool right,
                           int y) {
        const QList<PdfWord> words = WordsNamed(pdf, text);
        QVERIFY2(words.size() > occurrence, qPrintable(text));
        const PdfWord &word = words[occurrence];
        QVERIFY2(word.page == page, qPrintable(u"%1 on page %2"_s.arg(text).arg(word.page)));
        const double wordX = right ? word.box.right() : word.box.left();
        QVERIFY2(qAbs(wordX - Points(x)) < 1.0,
                 qPrintable(u"%1: x %2, expected %3"_s.arg(text).arg(wordX).arg(Points(x))));
        QVERIFY2(
            word.box.top() > Points(y) - 0.5 && word.box.top() < Points(y) + 1.0,
            qPrintable(u"%1: y %2, expected %3"_s.arg(text).arg(word.box.top()).arg(Points(y))));
    };

    check(u"Ernährungsplan"_s, 0, 1, 402, false, 684);
    check(u"Frühstück"_s, 0, 1, 479, false, 1369);
    check(u"Portion"_s, 0, 1, 4983, true, 1369);
    check(u"Kcal"_s, 0, 1, 5653, true, 1369);
    check(u"Fett"_s, 0, 1, 9103, true, 1369);
    check(u"Zutat01"_s, 0, 1, 574, false, 1699);
    check(u"Gramm"_s, 0, 1, 4983, true, 1699);
    check(u"5,0"_s, 0, 1, 5653, true, 1699);
    check(u"Zutat49"_s, 0, 1, 574, false, 12259);
    check(u"Zutat50"_s, 0, 2, 574, false, 1369);
    check(u"Summe"_s, 0, 2, 479, false, 1743);
    check(u"250,0"_s, 0, 2, 5653, true, 1743);
    check(u"Abendessen"_s, 0, 2, 479, false, 2293);
    check(u"Joghurt"_s, 0, 2, 574, false, 2623);
    check(u"122,0"_s, 0, 2, 5653, true, 2623);
    check(u"Kohlehyd."_s, 2, 2, 7953, true, 3547);
    check(u"Gesamtsumme"_s, 0, 2, 479, false, 3950);
    check(u"372,0"_s, 0, 2, 5653, true, 3950);
    check(u"Erstellt"_s, 0, 2, 402, false, 13288);

    // Each text at its size in points: its box is the face's line, ascent and
    // descent, at that size.
    QFont face;
    face.setFamilies(FontFamiliesFor(u"Arial"_s));
    face.setPixelSize(1000);
    const double linePerPoint = QFontMetricsF(face).height() / 1000;
    const auto checkSize = [&](const QString &text, double points) {
        const QList<PdfWord> words = WordsNamed(pdf, text);
        QVERIFY2(!words.isEmpty(), qPrintable(text));
        const double size = words.front().box.height() / linePerPoint;
        QVERIFY2(qAbs(size - points) < 0.1,
                 qPrintable(u"%1 at %2 points, expected %3"_s.arg(text).arg(size).arg(points)));
    };
    checkSize(u"Ernährungsplan"_s, 12);
    checkSize(u"Frühstück"_s, 12);
    checkSize(u"Portion"_s, 10);
    checkSize(u"Zutat01"_s, 10);
    checkSize(u"Summe"_s, 10);
    checkSize(u"Gesamtsumme"_s, 10);
    checkSize(u"Erstellt"_s, 8);

    // Title on the first page only, footer on the last only, no repeated
    // headings.
    QCOMPARE(WordsNamed(pdf, u"Ernährungsplan"_s).size(), 1);
    QCOMPARE(WordsNamed(pdf, u"Erstellt"_s).size(), 1);
    QCOMPARE(WordsNamed(pdf, u"Portion"_s).size(), 2);
    QCOMPARE(WordsNamed(pdf, u"Frühstück"_s).size(), 1);

    const QString fonts = PdfFonts(path);
    QVERIFY2(fonts.contains(u"LiberationSans"_s) || fonts.contains(u"Arial"_s), qPrintable(fonts));
    QVERIFY2(fonts.contains(u"Bold"_s), qPrintable(fonts));
}

void tst_PlanPrinter::jobTitleAndPortrait()
{
    SKIP_WITHOUT_PDF_TOOLS();
    const Plan plan = MakePlan({});
    const QString path = m_dir.filePath(u"landscape.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, path);
    printer.setPageOrientation(QPageLayout::Landscape);
    PrintPlan(printer, plan.input);

    QCOMPARE(printer.docName(), PlanPrintJobTitle.toString());
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    const QString info = PdfInfo(path);
    QVERIFY2(info.contains(u"Menuvera Ernährungsplan"_s), qPrintable(info));
    QVERIFY2(QRegularExpression(u"Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts"_s)
                 .match(info)
                 .hasMatch(),
             qPrintable(info));

    // An empty plan: the totals headings stand at trunc(0.1 × H).
    const PdfText pdf = ReadPdf(path);
    QCOMPARE(pdf.pages, 1);
    const QList<PdfWord> totals = WordsNamed(pdf, u"Gesamtsumme"_s);
    QCOMPARE(totals.size(), 1);
    const QList<PdfWord> headings = WordsNamed(pdf, u"Eiweiss"_s);
    QCOMPARE(headings.size(), 1);
    QVERIFY(qAbs(headings[0].box.top() - Points(1369)) < 2.0);
}

void tst_PlanPrinter::conversionErrorPrintsNothing()
{
    Plan broken = TwoMealPlan();
    broken.lists[3]->appendRow({u"Quark"_s, u"250"_s, u"72"_s, u"12"_s, u"0,2"_s, u"vier"_s});
    const QString path = m_dir.filePath(u"broken.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, path);

    try {
        PrintPlan(printer, broken.input);
        QFAIL("the refused text did not stop the printout");
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), u"'vier' ist kein gültiger Gleitkommawert"_s);
    }
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(printer.printerState(), QPrinter::Idle);

    // The printer is free for the next printout.
    const Plan plan = TwoMealPlan();
    PrintPlan(printer, plan.input);
    QVERIFY(QFileInfo(path).size() > 0);
    SKIP_WITHOUT_PDF_TOOLS();
    QCOMPARE(ReadPdf(path).pages, 2);
}

void tst_PlanPrinter::refusedPageStopsPrintout()
{
    // A printer that is not printing takes no page, as Windows' spooler takes
    // none once it failed: the printout stops with a message.
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, m_dir.filePath(u"idle.pdf"_s));
    QImage page(10, 10, QImage::Format_RGB32);
    QPainter painter(&page);
    PrinterCanvas canvas(printer, painter);
    QCOMPARE(failureOf([&] { canvas.newPage(); }),
             u"Der Ernährungsplan wurde nicht gedruckt.\n"
             u"Der Drucker hat die nächste Seite nicht angenommen."_s);
}

void tst_PlanPrinter::dialogCancelled()
{
    SKIP_WHERE_PRINT_DIALOG_IS_NATIVE();
    const Plan plan = TwoMealPlan();
    const QString path = m_dir.filePath(u"cancelled.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, path);

    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        seen = dialog->objectName() == u"PrintDialog1" &&
               !dialog->testOption(QAbstractPrintDialog::PrintPageRange);
        dialog->reject();
    });
    QWidget parent;
    QVERIFY(!PrintPlanWithDialog(&parent, printer, plan.input));
    QVERIFY(seen);
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(printer.printerState(), QPrinter::Idle);
}

void tst_PlanPrinter::dialogConfirmed()
{
    SKIP_WHERE_PRINT_DIALOG_IS_NATIVE();
    const Plan plan = TwoMealPlan();
    const QString path = m_dir.filePath(u"confirmed.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, path);

    QTimer::singleShot(0, this, [] {
        if (auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    QVERIFY(PrintPlanWithDialog(nullptr, printer, plan.input));
    QCOMPARE(ReadPdf(path).pages, 2);
}

QTEST_MAIN(tst_PlanPrinter)
#include "tst_plan_printer.moc"

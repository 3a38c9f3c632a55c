#include "tests/support/modal.h"
#include "tools/logos.h"
#include "tools/ueber_dialog.h"
#include "tools/web_links.h"
#include "widgets/click_label.h"

#include <memory>

#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QtTest>

// Stands in for the desktop's browser: notes every address handed to it.
class AddressRecorder final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &address) { opened.append(address); }
};

class tst_UeberDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void addresses();
    void openWebAddressHandsOnTheAddress();
    void layout();
    void societyLogoDecodedByLibjpeg();
    void undecodableJpegGivesNullImage_data();
    void undecodableJpegGivesNullImage();
    void makerLogoIsTransparent();
    void picturesOpenTheirSites();
    void addressLabelsDoNothing();
    void enterAndSpaceClose_data();
    void enterAndSpaceClose();
    void escapeDoesNothing();

private:
    std::unique_ptr<ModalWatch> m_watch;
    AddressRecorder m_recorder;
    std::unique_ptr<TUeber> m_ueber;
};

void tst_UeberDialog::initTestCase()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    m_watch = std::make_unique<ModalWatch>();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_recorder, "open");
}

void tst_UeberDialog::init()
{
    m_recorder.opened.clear();
    m_ueber = std::make_unique<TUeber>();
}

void tst_UeberDialog::cleanup()
{
    m_ueber->close();
    QCOMPARE(m_watch->pendingHandlers(), 0);
    QVERIFY(m_watch->takeSeen().isEmpty());
    QVERIFY(OpenWindows().isEmpty());
}

void tst_UeberDialog::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void tst_UeberDialog::addresses()
{
    for (const QUrl &address : {MakerHomePage(), SocietyWebSite()}) {
        QVERIFY(address.isValid());
        QVERIFY(!address.isRelative());
        QCOMPARE(address.scheme(), QStringLiteral("https"));
        QVERIFY(address.host().endsWith(QStringLiteral(".example")));
    }
    QVERIFY(MakerHomePage() != SocietyWebSite());
    QCOMPARE(ShownAddress(MakerHomePage()), QStringLiteral("www.menuvera.example"));
    QCOMPARE(ShownAddress(QUrl(QStringLiteral("https://www.fge.example/rat/"))),
             QStringLiteral("www.fge.example/rat"));
}

void tst_UeberDialog::openWebAddressHandsOnTheAddress()
{
    OpenWebAddress(MakerHomePage());
    QCOMPARE(m_recorder.opened, QList<QUrl>{MakerHomePage()});
}

void tst_UeberDialog::layout()
{
    m_ueber->show();
    QCOMPARE(m_ueber->windowTitle(), QStringLiteral("Info über .."));
    QCOMPARE(m_ueber->size(), QSize(521, 368));
    QCOMPARE(m_ueber->minimumSize(), m_ueber->maximumSize());
    QCOMPARE(m_ueber->Image2()->geometry(), QRect(7, 8, 221, 289));
    QVERIFY(m_ueber->Image2()->hasScaledContents());
    QCOMPARE(m_ueber->Image2()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(m_ueber->Image1()->geometry(), QRect(240, 8, 275, 289));
    QVERIFY(!m_ueber->Image1()->hasScaledContents());
    QCOMPARE(m_ueber->Image1()->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QCOMPARE(m_ueber->Image1()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(m_ueber->Image1()->pixmap().size(), QSize(275, 285));
    QCOMPARE(m_ueber->Label1()->pos(), QPoint(8, 304));
    QCOMPARE(m_ueber->Label3()->pos(), QPoint(240, 304));
    QCOMPARE(m_ueber->Label1()->text(), ShownAddress(SocietyWebSite()));
    QCOMPARE(m_ueber->Label3()->text(), ShownAddress(MakerHomePage()));
    for (QLabel *label : {m_ueber->Label1(), m_ueber->Label3()}) {
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pointSize(), 12);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QVERIFY(label->width() >= label->sizeHint().width());
        // The society's address stays left of the separator line at x 234.
        QVERIFY(label->geometry().bottom() < 328);
    }
    QVERIFY(m_ueber->Label1()->geometry().right() < 234);
    QVERIFY(m_ueber->Label3()->geometry().right() < 521);
    QCOMPARE(m_ueber->Button1()->geometry(), QRect(8, 328, 505, 33));
    QCOMPARE(m_ueber->Button1()->text(), QStringLiteral("OK"));

    // OK is the only control that takes the focus.
    QList<QWidget *> focusable;
    for (QWidget *child : m_ueber->findChildren<QWidget *>()) {
        if (child->focusPolicy() != Qt::NoFocus)
            focusable.append(child);
    }
    QCOMPARE(focusable, QList<QWidget *>{m_ueber->Button1()});
}

void tst_UeberDialog::societyLogoDecodedByLibjpeg()
{
    QFile file(QStringLiteral(":/images/society_logo.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QImage image = DecodeJpeg(file.readAll());
    QCOMPARE(image.size(), QSize(221, 316));
    // White ground at the top left, the green foot line at the bottom.
    QVERIFY(qGray(image.pixel(2, 2)) > 240);
    const QColor foot = image.pixelColor(110, 310);
    QVERIFY(foot.green() > foot.red() + 40 && foot.green() > foot.blue() + 40);
    QCOMPARE(SocietyLogo().size(), QSize(221, 316));
    QCOMPARE(m_ueber->Image2()->pixmap().size(), QSize(221, 316));
}

void tst_UeberDialog::undecodableJpegGivesNullImage_data()
{
    QTest::addColumn<QByteArray>("data");

    QFile file(QStringLiteral(":/images/society_logo.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray jpeg = file.readAll();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a JPEG") << QByteArray("BM this is a bitmap header and no JPEG");
    QTest::newRow("header only") << jpeg.left(20);
    QTest::newRow("start marker, then no JPEG")
        << QByteArray("\xff\xd8 nothing of a picture follows here");
}

void tst_UeberDialog::undecodableJpegGivesNullImage()
{
    QFETCH(QByteArray, data);
    QVERIFY(DecodeJpeg(data).isNull());
}

void tst_UeberDialog::makerLogoIsTransparent()
{
    const QImage bitmap(QStringLiteral(":/images/maker_logo.bmp"));
    QCOMPARE(bitmap.size(), QSize(275, 285));
    QCOMPARE(bitmap.format(), QImage::Format_Indexed8);
    QVERIFY(bitmap.colorCount() <= 256);
    QCOMPARE(bitmap.pixel(0, 284), qRgb(255, 255, 255));

    const QImage logo = MakerLogo().toImage();
    QCOMPARE(logo.size(), QSize(275, 285));
    QCOMPARE(qAlpha(logo.pixel(0, 284)), 0);
    QCOMPARE(qAlpha(logo.pixel(274, 0)), 0);
    // The tile in the middle of the upper part is drawn.
    QCOMPARE(qAlpha(logo.pixel(137, 20)), 255);

    // The advertising block's picture: scaled to fit 75 x 75, still clear around.
    const QImage small = MakerLogo(QSize(75, 75)).toImage();
    QVERIFY(small.width() <= 75 && small.height() <= 75);
    QVERIFY(small.width() == 75 || small.height() == 75);
    QCOMPARE(qAlpha(small.pixel(0, small.height() - 1)), 0);
}

void tst_UeberDialog::picturesOpenTheirSites()
{
    m_ueber->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_ueber.get()));
    QTest::mouseClick(m_ueber->Image2(), Qt::LeftButton);
    QCOMPARE(m_recorder.opened, QList<QUrl>{SocietyWebSite()});
    QTest::mouseClick(m_ueber->Image1(), Qt::LeftButton);
    QTest::mouseClick(m_ueber->Image1(), Qt::LeftButton);
    QCOMPARE(m_recorder.opened, (QList<QUrl>{SocietyWebSite(), MakerHomePage(), MakerHomePage()}));
    QVERIFY(m_ueber->isVisible());
    // Only the left button opens a site.
    QTest::mouseClick(m_ueber->Image1(), Qt::RightButton);
    QCOMPARE(m_recorder.opened.size(), 3);
}

void tst_UeberDialog::addressLabelsDoNothing()
{
    m_ueber->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_ueber.get()));
    QTest::mouseClick(m_ueber->Label1(), Qt::LeftButton);
    QTest::mouseClick(m_ueber->Label3(), Qt::LeftButton);
    QVERIFY(m_recorder.opened.isEmpty());
    QVERIFY(m_ueber->isVisible());
}

void tst_UeberDialog::enterAndSpaceClose_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void tst_UeberDialog::enterAndSpaceClose()
{
    QFETCH(int, key);
    bool closedByKey = false;
    QWidget *focused = nullptr;
    m_watch->expect([&](QWidget *modal) {
        QVERIFY(QTest::qWaitForWindowActive(modal));
        focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : modal, Qt::Key(key));
        closedByKey = !modal->isVisible();
    });
    const int result = m_ueber->exec();
    QCOMPARE(focused, m_ueber->Button1());
    QVERIFY(closedByKey);
    QCOMPARE(result, int(QDialog::Accepted));
}

void tst_UeberDialog::escapeDoesNothing()
{
    bool openAfterEscape = false;
    bool closedByOk = false;
    m_watch->expect([&](QWidget *modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
        openAfterEscape = modal->isVisible();
        QTest::mouseClick(m_ueber->Button1(), Qt::LeftButton);
        closedByOk = !modal->isVisible();
    });
    m_ueber->exec();
    QVERIFY(openAfterEscape);
    QVERIFY(closedByOk);
}

QTEST_MAIN(tst_UeberDialog)
#include "tst_ueber_dialog.moc"

#include "app/failure.h"
#include "app/number_text.h"

#include <QtTest>

#include <cfloat>

class tst_NumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SetDecimalSeparator(QLatin1Char(',')); }

    void parse_data();
    void parse();
    void refused_data();
    void refused();
    void otherSeparator();

    void format_data();
    void format();
    void wholeNumber_data();
    void wholeNumber();

    void storeSingle_data();
    void storeSingle();
    void divide_data();
    void divide();
    void errorBoxText_data();
    void errorBoxText();
};

void tst_NumberText::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Extended>("expected");

    QTest::newRow("blanks around") << QStringLiteral(" 12,5 ") << 12.5L;
    QTest::newRow("plus sign") << QStringLiteral("+7") << 7.0L;
    QTest::newRow("minus and fraction only") << QStringLiteral("-,5") << -0.5L;
    QTest::newRow("lower-case exponent") << QStringLiteral("1e3") << 1000.0L;
    QTest::newRow("negative exponent") << QStringLiteral("2,5E-1") << 0.25L;
    QTest::newRow("lone separator") << QStringLiteral(",") << 0.0L;
    QTest::newRow("trailing separator") << QStringLiteral("5,") << 5.0L;
    QTest::newRow("exponent without digits") << QStringLiteral("1E") << 1.0L;
    QTest::newRow("exponent sign without digits") << QStringLiteral("1E+") << 1.0L;
    QTest::newRow("leading and trailing zeros") << QStringLiteral("000,0100") << 0.01L;
    QTest::newRow("exponent 500 is taken") << QStringLiteral("1E500") << 1e500L;
    QTest::newRow("fraction digits shift the exponent") << QStringLiteral("12,5E2") << 1250.0L;
    QTest::newRow("underflow is not refused") << QStringLiteral("1E-499") << 1e-499L;
    QTest::newRow("below the denormals gives zero") << QStringLiteral("1E-4999") << 0.0L;
    QTest::newRow("nearest extended to 0,3") << QStringLiteral("0,3") << 0.3L;
    QTest::newRow("nearest extended to 12,4") << QStringLiteral("12,4") << 12.4L;
    QTest::newRow("largest double")
        << QStringLiteral("1,7976931348623157E308") << 1.7976931348623157e308L;
    QTest::newRow("more digits than the mantissa")
        << QStringLiteral("123456789012345678901234567890") << 123456789012345678901234567890.0L;
}

void tst_NumberText::parse()
{
    QFETCH(QString, text);
    QFETCH(Extended, expected);
    QCOMPARE(ParseNumber(text), expected);
}

void tst_NumberText::refused_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("sign alone") << QStringLiteral("-");
    QTest::newRow("exponent alone") << QStringLiteral("E3");
    QTest::newRow("unit") << QStringLiteral("12,5 g");
    QTest::newRow("other separator") << QStringLiteral("1.5");
    QTest::newRow("grouping with point") << QStringLiteral("1.000");
    QTest::newRow("grouping and point") << QStringLiteral("1,000.5");
    QTest::newRow("two separators") << QStringLiteral("1,2,3");
    QTest::newRow("tab is not a blank") << QStringLiteral("\t5");
    QTest::newRow("blanks only") << QStringLiteral("   ");
    QTest::newRow("exponent stops at 500") << QStringLiteral("1E5000");
    QTest::newRow("beyond the extended range") << QStringLiteral("1E4933");
    QTest::newRow("hexadecimal") << QStringLiteral("0x10");
    QTest::newRow("infinity") << QStringLiteral("INF");
    QTest::newRow("two signs") << QStringLiteral("+-1");
    QTest::newRow("blank after sign") << QStringLiteral("- 1");
}

void tst_NumberText::refused()
{
    QFETCH(QString, text);
    try {
        ParseNumber(text);
        QFAIL("the text was accepted");
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(),
                 QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(text));
    }
}

void tst_NumberText::otherSeparator()
{
    SetDecimalSeparator(QLatin1Char('.'));
    QCOMPARE(ParseNumber(QStringLiteral("1.5")), 1.5L);
    QVERIFY_THROWS_EXCEPTION(Failure, ParseNumber(QStringLiteral("1,5")));
    QCOMPARE(FormatNumber(12.25L, u"###0.0"), QStringLiteral("12.3"));
    QCOMPARE(FormatWholeNumber(123456), QStringLiteral("1.2346E5"));
    QCOMPARE(ParseNumber(u"2;5", QLatin1Char(';')), 2.5L);
}

void tst_NumberText::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("expected");

    const QString totals = QStringLiteral("###0.0");
    QTest::newRow("zero") << 0.0 << totals << QStringLiteral("0,0");
    QTest::newRow("small positive rounds to zero") << 0.04 << totals << QStringLiteral("0,0");
    QTest::newRow("small negative rounds to unsigned zero")
        << -0.04 << totals << QStringLiteral("0,0");
    QTest::newRow("negative zero") << -0.0 << totals << QStringLiteral("0,0");
    QTest::newRow("half away from zero") << 0.25 << totals << QStringLiteral("0,3");
    QTest::newRow("negative half away from zero") << -0.25 << totals << QStringLiteral("-0,3");
    QTest::newRow("negative rounding") << -1.25 << totals << QStringLiteral("-1,3");
    QTest::newRow("more digits than positions") << 12345.66 << totals << QStringLiteral("12345,7");
    QTest::newRow("no grouping") << 1234567.0 << totals << QStringLiteral("1234567,0");
    QTest::newRow("carry into new digit") << 9.96 << totals << QStringLiteral("10,0");
    QTest::newRow("float protein sum 0.45") << double(0.45f) << totals << QStringLiteral("0,4");
    QTest::newRow("float fat sum 0.15") << double(0.15f) << totals << QStringLiteral("0,2");
    QTest::newRow("12345.6") << 12345.6 << totals << QStringLiteral("12345,6");
    QTest::newRow("just below 10^18")
        << 999999999999999872.0 << totals << QStringLiteral("999999999999999872,0");
    QTest::newRow("10^18 is general form") << 1e18 << totals << QStringLiteral("1E18");
    QTest::newRow("10^20 general form") << 1e20 << totals << QStringLiteral("1E20");
    QTest::newRow("negative general form") << -1.5e20 << totals << QStringLiteral("-1,5E20");
    QTest::newRow("general form 15 digits")
        << 1.2345678901234567e25 << totals << QStringLiteral("1,23456789012346E25");

    const QString bmi = QStringLiteral("##0.00");
    QTest::newRow("bmi whole") << 5.0 << bmi << QStringLiteral("5,00");
    QTest::newRow("bmi half") << 0.125 << bmi << QStringLiteral("0,13");
    QTest::newRow("bmi large") << 4000.0 << bmi << QStringLiteral("4000,00");

    QTest::newRow("kcal label") << 1234.5 << QStringLiteral("#0.0 kcal = ")
                                << QStringLiteral("1234,5 kcal = ");
    QTest::newRow("percent is text")
        << -3.0 << QStringLiteral("#0.0 %") << QStringLiteral("-3,0 %");
    QTest::newRow("grams") << 0.45 << QStringLiteral("####0.0 gr") << QStringLiteral("0,5 gr");
    QTest::newRow("negative grams sign first")
        << -12.0 << QStringLiteral("####0.0 gr") << QStringLiteral("-12,0 gr");

    QTest::newRow("leading zero positions")
        << 5.0 << QStringLiteral("000.0") << QStringLiteral("005,0");
    QTest::newRow("no zero before point") << 0.5 << QStringLiteral("#.0") << QStringLiteral(",5");
    QTest::newRow("optional decimals dropped")
        << 5.0 << QStringLiteral("0.##") << QStringLiteral("5");
    QTest::newRow("optional decimals kept")
        << 5.25 << QStringLiteral("0.##") << QStringLiteral("5,25");
    QTest::newRow("no point rounds to whole") << 2.5 << QStringLiteral("0") << QStringLiteral("3");
    QTest::newRow("tiny value") << 1e-30 << totals << QStringLiteral("0,0");
}

void tst_NumberText::format()
{
    QFETCH(double, value);
    QFETCH(QString, mask);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(Extended(value), mask), expected);
}

void tst_NumberText::wholeNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("near whole") << 291.99999 << QStringLiteral("292");
    QTest::newRow("half up") << 2.5 << QStringLiteral("3");
    QTest::newRow("negative half") << -2.5 << QStringLiteral("-3");
    QTest::newRow("negative to zero") << -0.4 << QStringLiteral("0");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0");
    QTest::newRow("half to one") << 0.5 << QStringLiteral("1");
    QTest::newRow("five digits") << 99999.4 << QStringLiteral("99999");
    QTest::newRow("rounds to six digits") << 99999.5 << QStringLiteral("1E5");
    QTest::newRow("exactly 10^5") << 100000.0 << QStringLiteral("1E5");
    QTest::newRow("five significant") << 123456.0 << QStringLiteral("1,2346E5");
    QTest::newRow("trailing zeros dropped") << double(30000 * 4.1f) << QStringLiteral("1,23E5");
    QTest::newRow("negative exponent form") << -123456.0 << QStringLiteral("-1,2346E5");
    QTest::newRow("carry in exponent form") << 999996.0 << QStringLiteral("1E6");
    QTest::newRow("large") << 1e30 << QStringLiteral("1E30");
    QTest::newRow("17400") << 17400.0 << QStringLiteral("17400");
}

void tst_NumberText::wholeNumber()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatWholeNumber(Extended(value)), expected);
}

void tst_NumberText::storeSingle_data()
{
    QTest::addColumn<Extended>("value");
    QTest::addColumn<bool>("overflows");

    QTest::newRow("ordinary") << Extended(1.5) << false;
    QTest::newRow("largest float") << Extended(FLT_MAX) << false;
    QTest::newRow("rounds down to largest float") << (0x1p128L - 0x1p103L - 0x1p90L) << false;
    QTest::newRow("halfway rounds to infinity") << (0x1p128L - 0x1p103L) << true;
    QTest::newRow("1E39") << 1e39L << true;
    QTest::newRow("negative 1E39") << -1e39L << true;
    QTest::newRow("underflow is silent") << 1e-60L << false;
}

void tst_NumberText::storeSingle()
{
    QFETCH(Extended, value);
    QFETCH(bool, overflows);
    if (overflows) {
        try {
            StoreSingle(value);
            QFAIL("no overflow");
        } catch (const Failure &failure) {
            QCOMPARE(failure.message(), QStringLiteral("Gleitkommaüberlauf"));
        }
    } else {
        const float stored = StoreSingle(value);
        QVERIFY(std::isfinite(stored));
        QCOMPARE(stored, float(value));
    }
}

void tst_NumberText::divide_data()
{
    QTest::addColumn<Extended>("dividend");
    QTest::addColumn<Extended>("divisor");
    QTest::addColumn<QString>("message");

    QTest::newRow("by zero") << 1.0L << 0.0L << QStringLiteral("Gleitkommadivision durch Null");
    QTest::newRow("zero by zero") << 0.0L << 0.0L
                                  << QStringLiteral("Ungültige Gleitkommaoperation");
    QTest::newRow("overflow") << 1e4000L << 1e-4000L << QStringLiteral("Gleitkommaüberlauf");
    QTest::newRow("ordinary") << 1.0L << 4.0L << QString();
}

void tst_NumberText::divide()
{
    QFETCH(Extended, dividend);
    QFETCH(Extended, divisor);
    QFETCH(QString, message);
    try {
        const Extended quotient = Divide(dividend, divisor);
        QVERIFY2(message.isEmpty(), "no error raised");
        QCOMPARE(quotient, dividend / divisor);
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), message);
    }
}

void tst_NumberText::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("expected");
    QTest::newRow("letter gets full stop")
        << QStringLiteral("Stream-Schreibfehler") << QStringLiteral("Stream-Schreibfehler.");
    QTest::newRow("quote gets none") << QStringLiteral("'x'") << QStringLiteral("'x'");
    QTest::newRow("full stop gets none") << QStringLiteral("Fertig.") << QStringLiteral("Fertig.");
    QTest::newRow("digit gets full stop")
        << QStringLiteral("Fehler 5") << QStringLiteral("Fehler 5.");
    QTest::newRow("empty stays empty") << QString() << QString();
}

void tst_NumberText::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, expected);
    QCOMPARE(ErrorBoxText(message), expected);
}

QTEST_APPLESS_MAIN(tst_NumberText)
#include "tst_number_text.moc"

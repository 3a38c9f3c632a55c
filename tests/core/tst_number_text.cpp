#include "core/failure.h"
#include "core/number_text.h"

#include <QtTest>

#include <bit>
#include <cfloat>
#include <cstdint>

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

    QTest::newRow("blanks around") << QStringLiteral(" 12,5 ") << Extended(12.5);
    QTest::newRow("plus sign") << QStringLiteral("+7") << Extended(7);
    QTest::newRow("minus and fraction only") << QStringLiteral("-,5") << Extended(-0.5);
    QTest::newRow("lower-case exponent") << QStringLiteral("1e3") << Extended(1000);
    QTest::newRow("negative exponent") << QStringLiteral("2,5E-1") << Extended(0.25);
    QTest::newRow("lone separator") << QStringLiteral(",") << Extended(0);
    QTest::newRow("trailing separator") << QStringLiteral("5,") << Extended(5);
    QTest::newRow("exponent without digits") << QStringLiteral("1E") << Extended(1);
    QTest::newRow("exponent sign without digits") << QStringLiteral("1E+") << Extended(1);
    QTest::newRow("leading and trailing zeros") << QStringLiteral("000,0100") << Hundredth;
    QTest::newRow("exponent 500 is taken") << QStringLiteral("1E500") << Extended(1e500L);
    QTest::newRow("fraction digits shift the exponent")
        << QStringLiteral("12,5E2") << Extended(1250);
    QTest::newRow("underflow is not refused") << QStringLiteral("1E-499") << Extended(1e-499L);
    QTest::newRow("below the denormals gives zero") << QStringLiteral("1E-4999") << Extended(0);
    QTest::newRow("nearest extended to 0,3") << QStringLiteral("0,3") << Extended(0.3L);
    QTest::newRow("nearest extended to 12,4") << QStringLiteral("12,4") << Extended(12.4L);
    QTest::newRow("largest double")
        << QStringLiteral("1,7976931348623157E308") << Extended(1.7976931348623157e308L);
    QTest::newRow("more digits than the mantissa")
        << QStringLiteral("123456789012345678901234567890")
        << Extended(123456789012345678901234567890.0L);

    // 2^64 + 1 and 2^64 + 3 lie halfway between two extended values.
    QTest::newRow("halfway rounds to the even significand down")
        << QStringLiteral("18446744073709551617") << Extended(0x1p64);
    QTest::newRow("halfway rounds to the even significand up")
        << QStringLiteral("18446744073709551619") << Extended(0x1p64) + 4;
    QTest::newRow("a last digit far beyond halfway rounds up")
        << QStringLiteral("18446744073709551617,0000000000000000000001") << Extended(0x1p64) + 2;
    const Extended largest = Extended(SoftExtended::FromBits(0x7FFE, ~std::uint64_t(0)));
    QTest::newRow("largest extended") << QStringLiteral("1,18973149535723176502E4932") << largest;
    QTest::newRow("below halfway to 2^16384 rounds down")
        << QStringLiteral("1,18973149535723176505E4932") << largest;
    // Half the smallest denormal, 2^-16446, is 1,82259976594123730126...E-4951.
    QTest::newRow("below half the smallest denormal gives zero")
        << QStringLiteral("1,8225997659412373012E-4951") << Extended(0);
    QTest::newRow("above half the smallest denormal gives it")
        << QStringLiteral("1,8225997659412373013E-4951") << Extended(SoftExtended::FromBits(0, 1));
    QTest::newRow("negative denormal") << QStringLiteral("-3,6451995318824746025E-4951")
                                       << Extended(SoftExtended::FromBits(0x8000, 1));
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
    QTest::newRow("halfway to 2^16384 and beyond")
        << QStringLiteral("1,189731495357231765054E4932");
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
    QCOMPARE(ParseNumber(QStringLiteral("1.5")), Extended(1.5));
    QVERIFY_THROWS_EXCEPTION(Failure, ParseNumber(QStringLiteral("1,5")));
    QCOMPARE(FormatNumber(12.25, u"###0.0"), QStringLiteral("12.3"));
    QCOMPARE(FormatWholeNumber(123456), QStringLiteral("1.2346E5"));
    QCOMPARE(ParseNumber(u"2;5", QLatin1Char(';')), Extended(2.5));
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
    QTest::addColumn<float>("expected");

    QTest::newRow("ordinary") << Extended(1.5) << false << 1.5f;
    QTest::newRow("largest float") << Extended(FLT_MAX) << false << FLT_MAX;
    QTest::newRow("rounds down to largest float")
        << Extended(0x1p128L - 0x1p103L - 0x1p90L) << false << FLT_MAX;
    QTest::newRow("halfway rounds to infinity") << Extended(0x1p128L - 0x1p103L) << true << 0.0f;
    QTest::newRow("negative halfway") << -Extended(0x1p128L - 0x1p103L) << true << 0.0f;
    QTest::newRow("1E39") << Extended(1e39) << true << 0.0f;
    QTest::newRow("negative 1E39") << Extended(-1e39) << true << 0.0f;
    QTest::newRow("underflow is silent") << Extended(1e-60) << false << 0.0f;
    QTest::newRow("halfway to the next float rounds to even")
        << Extended(1) + Extended(0x1p-24) << false << 1.0f;
    QTest::newRow("halfway from an odd float rounds up")
        << Extended(1) + Extended(0x1p-23) + Extended(0x1p-24) << false << 1.0f + 0x1p-22f;
    QTest::newRow("halfway to the smallest denormal float gives zero")
        << Extended(0x1p-150) << false << 0.0f;
    QTest::newRow("above halfway gives the smallest denormal float")
        << Extended(0x1p-150) + Extended(0x1p-200) << false << 0x1p-149f;
    QTest::newRow("denormal float rounded at its own precision")
        << Extended(0x1p-130) + Extended(0x1p-149) + Extended(0x1p-150) << false
        << 0x1p-130f + 0x1p-148f;
    QTest::newRow("negative zero stays negative") << -Extended(0) << false << -0.0f;
}

void tst_NumberText::storeSingle()
{
    QFETCH(Extended, value);
    QFETCH(bool, overflows);
    QFETCH(float, expected);
    if (overflows) {
        try {
            StoreSingle(value);
            QFAIL("no overflow");
        } catch (const Failure &failure) {
            QCOMPARE(failure.message(), QStringLiteral("Gleitkommaüberlauf"));
        }
    } else {
        // Bit for bit: QCOMPARE on floats would forgive the last bits.
        QCOMPARE(std::bit_cast<std::uint32_t>(StoreSingle(value)),
                 std::bit_cast<std::uint32_t>(expected));
    }
}

void tst_NumberText::divide_data()
{
    QTest::addColumn<Extended>("dividend");
    QTest::addColumn<Extended>("divisor");
    QTest::addColumn<QString>("message");

    QTest::newRow("by zero") << Extended(1) << Extended(0)
                             << QStringLiteral("Gleitkommadivision durch Null");
    QTest::newRow("zero by zero") << Extended(0) << Extended(0)
                                  << QStringLiteral("Ungültige Gleitkommaoperation");
    QTest::newRow("overflow") << Extended(1e4000L) << Extended(1e-4000L)
                              << QStringLiteral("Gleitkommaüberlauf");
    QTest::newRow("ordinary") << Extended(1) << Extended(4) << QString();
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

#include "core/failure.h"
#include "core/number_text.h"
#include "tools/bmi_calculation.h"

#include <QtTest>

class tst_BmiCalculation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SetDecimalSeparator(QLatin1Char(',')); }

    void result_data();
    void result();
    void limits_data();
    void limits();
    void failures_data();
    void failures();
};

void tst_BmiCalculation::result_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("bmi");

    QTest::newRow("start values") << QStringLiteral("170") << QStringLiteral("50")
                                  << QStringLiteral("17,30");
    QTest::newRow("both limits are accepted")
        << QStringLiteral("50") << QStringLiteral("20") << QStringLiteral("80,00");
    QTest::newRow("large result keeps all integer digits")
        << QStringLiteral("50") << QStringLiteral("1000") << QStringLiteral("4000,00");
    QTest::newRow("fractions") << QStringLiteral("180,5") << QStringLiteral("72,3")
                               << QStringLiteral("22,19");
    QTest::newRow("no upper limit")
        << QStringLiteral("1E30") << QStringLiteral("1E30") << QStringLiteral("0,00");
}

void tst_BmiCalculation::result()
{
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, bmi);

    const BmiOutcome outcome = CalculateBmi(height, weight);
    QCOMPARE(outcome.limitMessage, QString());
    QCOMPARE(outcome.bmi, bmi);
}

void tst_BmiCalculation::limits_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("message");

    const QString heightMessage = HeightLimitMessage.toString();
    const QString weightMessage = WeightLimitMessage.toString();
    QTest::newRow("height just below 50")
        << QStringLiteral("49,9") << QStringLiteral("50") << heightMessage;
    QTest::newRow("weight just below 20")
        << QStringLiteral("170") << QStringLiteral("19,99") << weightMessage;
    QTest::newRow("height in metres is below the limit")
        << QStringLiteral("1,70") << QStringLiteral("50") << heightMessage;
    QTest::newRow("height checked before a bad weight is read")
        << QStringLiteral("10") << QStringLiteral("abc") << heightMessage;
    QTest::newRow("height first when both are low")
        << QStringLiteral("0") << QStringLiteral("0") << heightMessage;
    QTest::newRow("negative weight")
        << QStringLiteral("170") << QStringLiteral("-70") << weightMessage;
    // Just below 50 in extended precision, but 50 once held in single precision.
    QTest::newRow("height rounded to single before the check")
        << QStringLiteral("49,999999999") << QStringLiteral("50") << QString();
}

void tst_BmiCalculation::limits()
{
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, message);

    const BmiOutcome outcome = CalculateBmi(height, weight);
    QCOMPARE(outcome.limitMessage, message);
    QCOMPARE(outcome.bmi.isEmpty(), !message.isEmpty());
}

void tst_BmiCalculation::failures_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty height") << QString() << QStringLiteral("50")
                                  << QStringLiteral("'' ist kein gültiger Gleitkommawert");
    QTest::newRow("empty weight with a valid height")
        << QStringLiteral("170") << QString()
        << QStringLiteral("'' ist kein gültiger Gleitkommawert");
    QTest::newRow("height text before the weight limit")
        << QStringLiteral("abc") << QStringLiteral("5")
        << QStringLiteral("'abc' ist kein gültiger Gleitkommawert");
    QTest::newRow("height beyond single precision")
        << QStringLiteral("1E39") << QStringLiteral("50") << QStringLiteral("Gleitkommaüberlauf");
    QTest::newRow("weight beyond single precision")
        << QStringLiteral("170") << QStringLiteral("1E39") << QStringLiteral("Gleitkommaüberlauf");
    QTest::newRow("result beyond single precision")
        << QStringLiteral("50") << QStringLiteral("1E38") << QStringLiteral("Gleitkommaüberlauf");
}

void tst_BmiCalculation::failures()
{
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, message);

    try {
        const BmiOutcome outcome = CalculateBmi(height, weight);
        QFAIL(qPrintable(
            QStringLiteral("no failure: '%1' '%2'").arg(outcome.bmi, outcome.limitMessage)));
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), message);
    }
}

QTEST_APPLESS_MAIN(tst_BmiCalculation)
#include "tst_bmi_calculation.moc"

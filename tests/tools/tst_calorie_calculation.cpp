#include "core/failure.h"
#include "core/number_text.h"
#include "tools/calorie_calculation.h"

#include <QtTest>

class tst_CalorieCalculation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SetDecimalSeparator(QLatin1Char(',')); }

    void total_data();
    void total();
    void failures_data();
    void failures();
    void decimalPointSettings();
};

void tst_CalorieCalculation::total_data()
{
    QTest::addColumn<QString>("protein");
    QTest::addColumn<QString>("carbohydrate");
    QTest::addColumn<QString>("fat");
    QTest::addColumn<QString>("total");

    QTest::newRow("start values") << QStringLiteral("10") << QStringLiteral("50")
                                  << QStringLiteral("5") << QStringLiteral("292");
    QTest::newRow("one gram protein")
        << QStringLiteral("1") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("4");
    QTest::newRow("half a gram fat rounds up") << QStringLiteral("0") << QStringLiteral("0")
                                               << QStringLiteral("0,5") << QStringLiteral("5");
    QTest::newRow("1000 g each") << QStringLiteral("1000") << QStringLiteral("1000")
                                 << QStringLiteral("1000") << QStringLiteral("17400");
    QTest::newRow("exponent form from six digits")
        << QStringLiteral("30000") << QStringLiteral("0") << QStringLiteral("0")
        << QStringLiteral("1,23E5");
    QTest::newRow("negative fat subtracts") << QStringLiteral("0") << QStringLiteral("0")
                                            << QStringLiteral("-1") << QStringLiteral("-9");
    QTest::newRow("all zero") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0")
                              << QStringLiteral("0");
    QTest::newRow("fraction typed as comma") << QStringLiteral("2,5") << QStringLiteral("0")
                                             << QStringLiteral("0") << QStringLiteral("10");
}

void tst_CalorieCalculation::total()
{
    QFETCH(QString, protein);
    QFETCH(QString, carbohydrate);
    QFETCH(QString, fat);
    QFETCH(QString, total);

    QCOMPARE(CalculateCalories(protein, carbohydrate, fat), total);
}

void tst_CalorieCalculation::failures_data()
{
    QTest::addColumn<QString>("protein");
    QTest::addColumn<QString>("carbohydrate");
    QTest::addColumn<QString>("fat");
    QTest::addColumn<QString>("message");

    QTest::newRow("first refused text is reported")
        << QStringLiteral("x") << QStringLiteral("50") << QStringLiteral("y")
        << QStringLiteral("'x' ist kein gültiger Gleitkommawert");
    QTest::newRow("carbohydrate before fat")
        << QStringLiteral("1") << QStringLiteral("a b") << QStringLiteral("y")
        << QStringLiteral("'a b' ist kein gültiger Gleitkommawert");
    QTest::newRow("empty field is not zero")
        << QStringLiteral("1") << QStringLiteral("1") << QString()
        << QStringLiteral("'' ist kein gültiger Gleitkommawert");
    QTest::newRow("gram value beyond single precision")
        << QStringLiteral("1E39") << QStringLiteral("0") << QStringLiteral("0")
        << QStringLiteral("Gleitkommaüberlauf");
    QTest::newRow("total beyond single precision")
        << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("3E38")
        << QStringLiteral("Gleitkommaüberlauf");
}

void tst_CalorieCalculation::failures()
{
    QFETCH(QString, protein);
    QFETCH(QString, carbohydrate);
    QFETCH(QString, fat);
    QFETCH(QString, message);

    try {
        const QString total = CalculateCalories(protein, carbohydrate, fat);
        QFAIL(qPrintable(QStringLiteral("no failure, total %1").arg(total)));
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), message);
    }
}

void tst_CalorieCalculation::decimalPointSettings()
{
    SetDecimalSeparator(QLatin1Char('.'));
    QCOMPARE(CalculateCalories(QStringLiteral("30000"), QStringLiteral("0.5"), QStringLiteral("0")),
             QStringLiteral("1.23E5"));
}

QTEST_APPLESS_MAIN(tst_CalorieCalculation)
#include "tst_calorie_calculation.moc"

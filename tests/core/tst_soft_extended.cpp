#include "core/soft_extended.h"

#include <QtTest>

#include <bit>
#include <climits>
#include <cstdint>
#include <limits>

namespace {

constexpr std::uint64_t IntegerBit = std::uint64_t(1) << 63;
constexpr std::uint64_t QuietBit = std::uint64_t(1) << 62;

constexpr SoftExtended bits(std::uint16_t signAndExponent, std::uint64_t significand)
{
    return SoftExtended::FromBits(signAndExponent, significand);
}

constexpr SoftExtended Zero = bits(0x0000, 0);
constexpr SoftExtended NegativeZero = bits(0x8000, 0);
constexpr SoftExtended One = bits(0x3FFF, IntegerBit);
constexpr SoftExtended Half = bits(0x3FFE, IntegerBit);
constexpr SoftExtended Three = bits(0x4000, IntegerBit | IntegerBit >> 1);
constexpr SoftExtended Largest = bits(0x7FFE, ~std::uint64_t(0));
constexpr SoftExtended SmallestNormal = bits(0x0001, IntegerBit);
constexpr SoftExtended SmallestDenormal = bits(0x0000, 1);
constexpr SoftExtended Infinity = bits(0x7FFF, IntegerBit);
constexpr SoftExtended NegativeInfinity = bits(0xFFFF, IntegerBit);
constexpr SoftExtended Indefinite = bits(0xFFFF, IntegerBit | QuietBit);

// 2^exponent, for exponents of normal numbers.
constexpr SoftExtended power(int exponent)
{
    return bits(std::uint16_t(16383 + exponent), IntegerBit);
}

// The bits as text, so that a failed comparison shows them.
QString shown(SoftExtended value)
{
    return QStringLiteral("%1:%2")
        .arg(value.signAndExponent(), 4, 16, QLatin1Char('0'))
        .arg(value.significand(), 16, 16, QLatin1Char('0'));
}

// Where long double is the x87 format, the hardware must agree with every row.
constexpr bool HardwareIsX87 = std::numeric_limits<long double>::digits == 64;

template <typename Value> Value apply(QChar operation, Value a, Value b)
{
    switch (operation.unicode()) {
    case '+':
        return a + b;
    case '-':
        return a - b;
    case '*':
        return a * b;
    default:
        return a / b;
    }
}

} // namespace

class tst_SoftExtended : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void arithmetic_data();
    void arithmetic();
    void comparison_data();
    void comparison();
    void narrowing_data();
    void narrowing();
    void conversion_data();
    void conversion();
    void truncation_data();
    void truncation();
    void toDecimal_data();
    void toDecimal();
    void fromDecimal_data();
    void fromDecimal();
};

void tst_SoftExtended::arithmetic_data()
{
    QTest::addColumn<SoftExtended>("a");
    QTest::addColumn<QChar>("operation");
    QTest::addColumn<SoftExtended>("b");
    QTest::addColumn<SoftExtended>("expected");

    const QChar plus = QLatin1Char('+');
    const QChar minus = QLatin1Char('-');
    const QChar times = QLatin1Char('*');
    const QChar by = QLatin1Char('/');
    const SoftExtended belowOne = bits(0x3FFE, ~std::uint64_t(0));

    QTest::newRow("sum halfway rounds to even, down") << One << plus << power(-64) << One;
    QTest::newRow("sum halfway rounds to even, up")
        << bits(0x3FFF, IntegerBit | 1) << plus << power(-64) << bits(0x3FFF, IntegerBit | 2);
    QTest::newRow("a bit far below halfway rounds up")
        << One << plus << bits(0x3FBF, IntegerBit | 1) << bits(0x3FFF, IntegerBit | 1);
    QTest::newRow("carry into a new leading bit")
        << bits(0x3FFF, ~std::uint64_t(0)) << plus << power(-63) << power(1);
    QTest::newRow("cancellation is exact") << One << minus << belowOne << power(-64);
    QTest::newRow("a tiny difference rounds back") << One << minus << power(-130) << One;
    QTest::newRow("x - x is +0") << Three << minus << Three << Zero;
    QTest::newRow("-0 + -0 is -0") << NegativeZero << plus << NegativeZero << NegativeZero;
    QTest::newRow("-0 - +0 is -0") << NegativeZero << minus << Zero << NegativeZero;
    QTest::newRow("+0 + -0 is +0") << Zero << plus << NegativeZero << Zero;
    QTest::newRow("sum beyond the range is infinity") << Largest << plus << Largest << Infinity;
    QTest::newRow("difference of normals is a denormal")
        << bits(0x0001, IntegerBit | 1) << minus << SmallestNormal << SmallestDenormal;
    QTest::newRow("denormals add up to the smallest normal")
        << bits(0x0000, IntegerBit - 1) << plus << SmallestDenormal << SmallestNormal;
    QTest::newRow("infinity minus infinity is indefinite")
        << Infinity << minus << Infinity << Indefinite;

    QTest::newRow("product halfway rounds to even")
        << bits(0x3FFF, IntegerBit | 1) << times << bits(0x3FFF, IntegerBit | 1)
        << bits(0x3FFF, IntegerBit | 2);
    QTest::newRow("product underflows to a denormal")
        << SmallestNormal << times << Half << bits(0x0000, IntegerBit >> 1);
    QTest::newRow("half the smallest denormal is zero")
        << SmallestDenormal << times << Half << Zero;
    QTest::newRow("three quarters of the smallest denormal is it")
        << SmallestDenormal << times << bits(0x3FFE, IntegerBit | IntegerBit >> 1)
        << SmallestDenormal;
    QTest::newRow("denormal halfway rounds to even")
        << bits(0x0000, 3) << times << Half << bits(0x0000, 2);
    QTest::newRow("product beyond the range is infinity")
        << Largest << times << power(1) << Infinity;
    QTest::newRow("negative times zero is -0") << -Three << times << Zero << NegativeZero;
    QTest::newRow("infinity times zero is indefinite") << Infinity << times << Zero << Indefinite;

    QTest::newRow("1/3") << One << by << Three << bits(0x3FFD, 0xAAAAAAAAAAAAAAAB);
    QTest::newRow("2/3") << power(1) << by << Three << bits(0x3FFE, 0xAAAAAAAAAAAAAAAB);
    QTest::newRow("quotient underflows to a denormal")
        << SmallestNormal << by << power(2) << bits(0x0000, IntegerBit >> 2);
    QTest::newRow("by zero is infinity with the signs") << -One << by << Zero << NegativeInfinity;
    QTest::newRow("zero by zero is indefinite") << Zero << by << Zero << Indefinite;
    QTest::newRow("finite by infinity is zero with the signs")
        << One << by << NegativeInfinity << NegativeZero;

    const SoftExtended quiet = bits(0x7FFF, IntegerBit | QuietBit | 5);
    const SoftExtended signaling = bits(0x7FFF, IntegerBit | 7);
    QTest::newRow("quiet NaN passes") << One << plus << quiet << quiet;
    QTest::newRow("signaling NaN comes out quiet")
        << signaling << times << One << bits(0x7FFF, IntegerBit | QuietBit | 7);
    QTest::newRow("larger significand wins")
        << quiet << plus << bits(0xFFFF, IntegerBit | QuietBit | 6)
        << bits(0xFFFF, IntegerBit | QuietBit | 6);
    QTest::newRow("on equal significands the positive NaN wins")
        << bits(0xFFFF, IntegerBit | QuietBit | 5) << by << quiet << quiet;
    QTest::newRow("quiet NaN wins over a larger signaling one")
        << bits(0x7FFF, IntegerBit | 9) << minus << quiet << quiet;
}

void tst_SoftExtended::arithmetic()
{
    QFETCH(SoftExtended, a);
    QFETCH(QChar, operation);
    QFETCH(SoftExtended, b);
    QFETCH(SoftExtended, expected);
    QCOMPARE(shown(apply(operation, a, b)), shown(expected));
    if constexpr (HardwareIsX87) {
        const auto x = static_cast<long double>(a);
        const auto y = static_cast<long double>(b);
        QCOMPARE(shown(SoftExtended(apply(operation, x, y))), shown(expected));
    }
}

void tst_SoftExtended::comparison_data()
{
    QTest::addColumn<SoftExtended>("a");
    QTest::addColumn<SoftExtended>("b");
    QTest::addColumn<int>("order"); // -1, 0, 1; 2 for unordered

    QTest::newRow("-0 equals +0") << NegativeZero << Zero << 0;
    QTest::newRow("denormal below the smallest normal") << SmallestDenormal << SmallestNormal << -1;
    QTest::newRow("negatives by magnitude") << -Three << -One << -1;
    QTest::newRow("negative below positive") << -SmallestDenormal << Zero << -1;
    QTest::newRow("largest below infinity") << Largest << Infinity << -1;
    QTest::newRow("NaN is unordered with itself") << Indefinite << Indefinite << 2;
    QTest::newRow("NaN is unordered with a number") << One << Indefinite << 2;
}

void tst_SoftExtended::comparison()
{
    QFETCH(SoftExtended, a);
    QFETCH(SoftExtended, b);
    QFETCH(int, order);
    QCOMPARE(a == b, order == 0);
    QCOMPARE(a != b, order != 0);
    QCOMPARE(a < b, order == -1);
    QCOMPARE(a > b, order == 1);
    QCOMPARE(a <= b, order == -1 || order == 0);
    QCOMPARE(b < a, order == 1);
}

void tst_SoftExtended::narrowing_data()
{
    QTest::addColumn<SoftExtended>("value");
    QTest::addColumn<quint32>("floatBits");
    QTest::addColumn<quint64>("doubleBits");

    QTest::newRow("one") << One << 0x3F800000u << quint64(0x3FF0000000000000);
    QTest::newRow("1/3 rounds to nearest")
        << bits(0x3FFD, 0xAAAAAAAAAAAAAAAB) << 0x3EAAAAABu << quint64(0x3FD5555555555555);
    QTest::newRow("halfway below the float's next rounds to even")
        << bits(0x3FFF, IntegerBit | std::uint64_t(1) << 39) << 0x3F800000u
        << quint64(0x3FF0000010000000);
    QTest::newRow("halfway to 2^128 overflows the float")
        << bits(0x407E, 0xFFFFFF8000000000) << 0x7F800000u << quint64(0x47EFFFFFF0000000);
    QTest::newRow("just below halfway to 2^128 stays the largest float")
        << bits(0x407E, 0xFFFFFF7FFFFFFFFF) << 0x7F7FFFFFu << quint64(0x47EFFFFFF0000000);
    QTest::newRow("denormal float, halfway to even")
        << bits(0x3F6A, IntegerBit | IntegerBit >> 1) << 0x00000002u << quint64(0x36A8000000000000);
    QTest::newRow("half the smallest float denormal is zero")
        << power(-150) << 0x00000000u << quint64(0x3690000000000000);
    QTest::newRow("double denormal") << power(-1074) << 0x00000000u << quint64(0x0000000000000001);
    QTest::newRow("extended denormal is zero in both")
        << SmallestDenormal << 0x00000000u << quint64(0);
    QTest::newRow("negative zero") << NegativeZero << 0x80000000u << quint64(0x8000000000000000);
    QTest::newRow("largest extended is infinity")
        << -Largest << 0xFF800000u << quint64(0xFFF0000000000000);
    QTest::newRow("NaN keeps sign and leading payload")
        << bits(0xFFFF, IntegerBit | QuietBit | std::uint64_t(3) << 40) << 0xFFC00003u
        << quint64(0xFFF8000060000000);
}

void tst_SoftExtended::narrowing()
{
    QFETCH(SoftExtended, value);
    QFETCH(quint32, floatBits);
    QFETCH(quint64, doubleBits);
    QCOMPARE(std::bit_cast<quint32>(float(value)), floatBits);
    QCOMPARE(std::bit_cast<quint64>(double(value)), doubleBits);
    if constexpr (HardwareIsX87) {
        const auto hardware = static_cast<long double>(value);
        QCOMPARE(std::bit_cast<quint32>(float(hardware)), floatBits);
        QCOMPARE(std::bit_cast<quint64>(double(hardware)), doubleBits);
    }
}

void tst_SoftExtended::conversion_data()
{
    // Each row converts in place; the conversions are exact.
    QTest::addColumn<SoftExtended>("converted");
    QTest::addColumn<SoftExtended>("expected");

    QTest::newRow("int zero is +0") << SoftExtended(0) << Zero;
    QTest::newRow("negative int") << SoftExtended(-3) << -Three;
    QTest::newRow("smallest 64-bit integer")
        << SoftExtended(std::numeric_limits<long long>::min()) << bits(0xC03E, IntegerBit);
    QTest::newRow("largest unsigned 64-bit integer")
        << SoftExtended(std::numeric_limits<unsigned long long>::max())
        << bits(0x403E, ~std::uint64_t(0));
    QTest::newRow("19 nines") << SoftExtended(9999999999999999999ull)
                              << bits(0x403E, 9999999999999999999ull);
    QTest::newRow("float denormal becomes normal")
        << SoftExtended(std::bit_cast<float>(0x00000003u))
        << bits(0x3F6B, IntegerBit | IntegerBit >> 1);
    QTest::newRow("double denormal becomes normal")
        << SoftExtended(std::bit_cast<double>(quint64(1))) << power(-1074);
    QTest::newRow("float negative zero") << SoftExtended(-0.0f) << NegativeZero;
    QTest::newRow("double infinity")
        << SoftExtended(-std::numeric_limits<double>::infinity()) << NegativeInfinity;
    QTest::newRow("signaling float NaN comes in quiet")
        << SoftExtended(std::bit_cast<float>(0x7F800001u))
        << bits(0x7FFF, IntegerBit | QuietBit | std::uint64_t(1) << 40);
    QTest::newRow("double NaN keeps its payload")
        << SoftExtended(std::bit_cast<double>(quint64(0xFFF8000000000005)))
        << bits(0xFFFF, IntegerBit | QuietBit | std::uint64_t(5) << 11);
    QTest::newRow("long double 0.1 is the nearest extended")
        << SoftExtended(0.1L) << bits(0x3FFB, 0xCCCCCCCCCCCCCCCD);
    QTest::newRow("back to long double and again")
        << SoftExtended(static_cast<long double>(SmallestDenormal)) << SmallestDenormal;
}

void tst_SoftExtended::conversion()
{
    QFETCH(SoftExtended, converted);
    QFETCH(SoftExtended, expected);
    QCOMPARE(shown(converted), shown(expected));
}

void tst_SoftExtended::truncation_data()
{
    QTest::addColumn<SoftExtended>("value");
    QTest::addColumn<int>("asInt");
    QTest::addColumn<qint64>("asLongLong");

    QTest::newRow("toward zero") << bits(0x4000, 0xFFFFFFFFFFFFFFFF) << 3 << qint64(3);
    QTest::newRow("negative toward zero") << -bits(0x4000, 0xFFFFFFFFFFFFFFFF) << -3 << qint64(-3);
    QTest::newRow("below one") << -Half << 0 << qint64(0);
    QTest::newRow("2^31 is beyond int") << power(31) << INT_MIN << qint64(0x80000000);
    QTest::newRow("-2^31 fits") << -power(31) << INT_MIN << -qint64(0x80000000);
    QTest::newRow("-2^63 fits") << -power(63) << INT_MIN << std::numeric_limits<qint64>::min();
    QTest::newRow("2^63 is beyond") << power(63) << INT_MIN << std::numeric_limits<qint64>::min();
    QTest::newRow("NaN is indefinite")
        << Indefinite << INT_MIN << std::numeric_limits<qint64>::min();
}

void tst_SoftExtended::truncation()
{
    QFETCH(SoftExtended, value);
    QFETCH(int, asInt);
    QFETCH(qint64, asLongLong);
    QCOMPARE(int(value), asInt);
    QCOMPARE(qint64(static_cast<long long>(value)), asLongLong);
}

void tst_SoftExtended::toDecimal_data()
{
    QTest::addColumn<SoftExtended>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint64>("digits");
    QTest::addColumn<int>("exponent");

    QTest::newRow("zero") << NegativeZero << 18 << quint64(0) << 0;
    QTest::newRow("one") << One << 18 << quint64(100000000000000000) << 0;
    QTest::newRow("0.1 to 19 digits")
        << bits(0x3FFB, 0xCCCCCCCCCCCCCCCD) << 19 << quint64(1000000000000000000) << -1;
    QTest::newRow("tie rounds to even, down")
        << SoftExtended(1000000000000000005ull) << 18 << quint64(100000000000000000) << 18;
    QTest::newRow("tie rounds to even, up")
        << SoftExtended(1000000000000000015ull) << 18 << quint64(100000000000000002) << 18;
    QTest::newRow("tie of a fraction") << SoftExtended(12.5) << 2 << quint64(12) << 1;
    QTest::newRow("rounding carries into a new digit")
        << SoftExtended(999999999999999999ull) + Half << 18 << quint64(100000000000000000) << 18;
    QTest::newRow("negative value gives its magnitude")
        << SoftExtended(-0.25) << 15 << quint64(250000000000000) << -1;
    QTest::newRow("largest") << Largest << 18 << quint64(118973149535723177) << 4932;
    QTest::newRow("smallest denormal")
        << SmallestDenormal << 18 << quint64(364519953188247460) << -4951;
    QTest::newRow("smallest normal") << SmallestNormal << 15 << quint64(336210314311209) << -4932;
}

void tst_SoftExtended::toDecimal()
{
    QFETCH(SoftExtended, value);
    QFETCH(int, count);
    QFETCH(quint64, digits);
    QFETCH(int, exponent);
    const SoftExtended::Decimal decimal = value.ToDecimal(count);
    QCOMPARE(quint64(decimal.digits), digits);
    QCOMPARE(decimal.exponent, exponent);
}

void tst_SoftExtended::fromDecimal_data()
{
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<qint64>("exponent");
    QTest::addColumn<SoftExtended>("expected");

    QTest::newRow("zeros only") << QByteArray("000") << qint64(7) << Zero;
    QTest::newRow("leading and trailing zeros") << QByteArray("000300") << qint64(-2) << Three;
    QTest::newRow("0.1") << QByteArray("1") << qint64(-1) << bits(0x3FFB, 0xCCCCCCCCCCCCCCCD);
    QTest::newRow("2^64 + 1 is halfway, to even")
        << QByteArray("18446744073709551617") << qint64(0) << power(64);
    QTest::newRow("2^64 + 3 is halfway, to even")
        << QByteArray("18446744073709551619") << qint64(0) << bits(0x403F, IntegerBit | 2);
    QTest::newRow("just above halfway, far down the digits")
        << QByteArray("184467440737095516170000000000000000000001") << qint64(-22)
        << bits(0x403F, IntegerBit | 1);
    QTest::newRow("1 + 2^-64 written out is halfway, to even")
        << QByteArray("10000000000000000000542101086242752217003726400434970855712890625")
        << qint64(-64) << One;
    QTest::newRow("1 + 3 × 2^-64 written out is halfway, to even")
        << QByteArray("10000000000000000001626303258728256651011179201304912567138671875")
        << qint64(-64) << bits(0x3FFF, IntegerBit | 2);
    QTest::newRow("beyond the range") << QByteArray("1") << qint64(4933) << Infinity;
    // Halfway from the largest value to 2^16384 is 1,18973...4995622499181851...E4932.
    QTest::newRow("just below halfway to 2^16384 is the largest")
        << QByteArray("1189731495357231765053511589829488667966254004695567218956499277562499181")
        << qint64(4932 - 72) << Largest;
    QTest::newRow("just above halfway to 2^16384 is beyond")
        << QByteArray("1189731495357231765053511589829488667966254004695567218956499277562499182")
        << qint64(4932 - 72) << Infinity;
    QTest::newRow("far below the range") << QByteArray("9") << qint64(-4952) << Zero;
}

void tst_SoftExtended::fromDecimal()
{
    QFETCH(QByteArray, digits);
    QFETCH(qint64, exponent);
    QFETCH(SoftExtended, expected);
    const SoftExtended value = SoftExtended::FromDecimal(
        std::string_view(digits.constData(), size_t(digits.size())), exponent);
    QCOMPARE(shown(value), shown(expected));
}

QTEST_APPLESS_MAIN(tst_SoftExtended)
#include "tst_soft_extended.moc"

#include "numbertext.h"
#include "numbertexts.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

using platform::Str;

namespace {

// The text a finite float must have: an optional minus, then either plain digits with at most one
// point, or one digit, an optional fraction and an exponent of at least two digits.
const QRegularExpression Shape(QStringLiteral(
    "^-?(?:(?:0|[1-9][0-9]*)(?:\\.[0-9]*[1-9])?|[1-9](?:\\.[0-9]*[1-9])?E[+-][0-9]{2,})$"));

// Empty where Str(value) is right for a float; otherwise what is wrong with it. Every NaN, of
// either sign and any payload, is "NaN", and the infinities "Inf" and "-Inf". The value rounded to
// seven significant digits comes from the C library, apart from the code under test.
QString Wrong(float value)
{
    const std::string text = Str(value);
    const QString shown = QString::fromStdString(text);
    if (!std::isfinite(value))
        return text == (std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf") ? QString() : shown;
    if (!Shape.match(shown).hasMatch())
        return shown + QStringLiteral(" is not a number as the windows show one");

    QString digits = shown.section(QLatin1Char('E'), 0, 0);
    digits.remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    if (digits.size() > 7)
        return shown + QStringLiteral(" has more than seven significant digits");

    if (value == 0.0f)
        return text == "0" ? QString() : shown + QStringLiteral(" for zero");
    if (text.front() == '-' ? !(value < 0) : value < 0)
        return shown + QStringLiteral(" has the wrong sign");

    char rounded[32];
    std::snprintf(rounded, sizeof rounded, "%.6e", static_cast<double>(value));
    if (std::strtod(text.c_str(), nullptr) != std::strtod(rounded, nullptr))
        return shown + QStringLiteral(" does not read back as ") + QString::fromLatin1(rounded);

    // The exponent form below 1E-04 and from 1E+07 on, after rounding.
    const int exponent = std::atoi(std::strchr(rounded, 'e') + 1);
    if (shown.contains(QLatin1Char('E')) != (exponent < -4 || exponent >= 7))
        return shown + QStringLiteral(" is in the wrong form for ") + QString::fromLatin1(rounded);
    return {};
}

} // namespace

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void floatsHaveSevenSignificantDigitsAndNoTrailingZeros_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        for (const numbertexts::Row &row : numbertexts::Rows)
            QTest::newRow(row.name) << row.value << QString(row.text);
    }

    void floatsHaveSevenSignificantDigitsAndNoTrailingZeros()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(Str(value)), text);
    }

    // Every exponent, both signs, subnormals, the largest and smallest mantissas (with the top
    // exponent: the infinities, and signalling and quiet NaNs), the values either side of each
    // power of ten and of each rounding step to the next one, and many random bit patterns; each
    // text in turn, so that one conversion cannot lean on the one before.
    void everyFloatReadsBackRoundedToSevenDigits()
    {
        std::vector<float> values { 0.0f, -0.0f };
        for (std::uint32_t exponent = 0; exponent <= 255; ++exponent)
            for (const std::uint32_t mantissa : { 0u, 1u, 0x400000u, 0x7FFFFFu }) {
                const auto value = std::bit_cast<float>(exponent << 23 | mantissa);
                values.push_back(value);
                values.push_back(-value);
            }
        for (int power = -46; power <= 39; ++power)
            for (const double edge : { 1.0, 9.9999995, 9.999999, 1.0000005 }) {
                const auto at = static_cast<float>(edge * std::pow(10.0, power));
                for (const float near : { std::nextafter(at, 0.0f), at,
                         std::nextafter(at, std::numeric_limits<float>::infinity()) }) {
                    values.push_back(near);
                    values.push_back(-near);
                }
            }
        std::mt19937_64 random(testsupport::Seed());
        std::uniform_int_distribution<std::uint32_t> bits;
        while (values.size() < 200000)
            values.push_back(std::bit_cast<float>(bits(random)));
        std::shuffle(values.begin(), values.end(), random);

        for (const float value : values) {
            const QString wrong = Wrong(value);
            QVERIFY2(wrong.isEmpty(),
                qPrintable(QStringLiteral("%1 (bits %2): %3")
                               .arg(static_cast<double>(value), 0, 'g', 9)
                               .arg(std::bit_cast<std::uint32_t>(value), 8, 16, QLatin1Char('0'))
                               .arg(wrong)));
        }
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"

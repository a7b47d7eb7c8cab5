#include "numbertext.h"

#include <QTest>

#include <limits>

using platform::Str;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void integersAreTheirDigits()
    {
        QCOMPARE(Str(std::int16_t(0)), std::string("0"));
        QCOMPARE(Str(std::int16_t(7)), std::string("7"));
        QCOMPARE(Str(std::int16_t(-15)), std::string("-15"));
        QCOMPARE(Str(std::int16_t(32767)), std::string("32767"));
        QCOMPARE(Str(std::int16_t(-32768)), std::string("-32768"));
    }

    void floatsHaveSevenSignificantDigitsAndNoTrailingZeros_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 4830.0f << "4830";
        QTest::newRow("negative") << -15.0f << "-15";
        QTest::newRow("fraction") << 3644.7f << "3644.7";
        QTest::newRow("sample") << 3644.69970703125f << "3644.7";
        QTest::newRow("half") << 2195.15625f << "2195.156";
        QTest::newRow("below one") << 0.5f << "0.5";
        QTest::newRow("negative fraction") << -0.125f << "-0.125";
        QTest::newRow("ten thousands") << 10245.0f << "10245";
        QTest::newRow("seven digits") << 1234567.0f << "1234567";
        QTest::newRow("rounds up") << 9999999.5f << "1E+07";
        QTest::newRow("large") << 12345678.0f << "1.234568E+07";
        QTest::newRow("large negative") << -12345678.0f << "-1.234568E+07";
        QTest::newRow("ten million") << 1e7f << "1E+07";
        QTest::newRow("largest float") << std::numeric_limits<float>::max() << "3.402823E+38";
        QTest::newRow("ten thousandth") << 0.0001f << "0.0001";
        QTest::newRow("hundred thousandth") << 0.00001f << "1E-05";
        QTest::newRow("tiny") << 1.5e-20f << "1.5E-20";
        QTest::newRow("subnormal") << std::numeric_limits<float>::denorm_min() << "1.401298E-45";
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("negative zero") << -0.0f << "0";
        QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << "Inf";
        QTest::newRow("minus infinity") << -std::numeric_limits<float>::infinity() << "-Inf";
        QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << "NaN";
    }

    void floatsHaveSevenSignificantDigitsAndNoTrailingZeros()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(Str(value)), text);
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"

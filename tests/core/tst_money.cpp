#include "core/Money.h"

#include <QTest>

#include <cmath>

class TestMoney : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundsHalfToEven_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.125 down to even") << "0.125" << "0.12";
        QTest::newRow("0.375 up to even") << "0.375" << "0.38";
        QTest::newRow("10.625") << "10.625" << "10.62";
        QTest::newRow("2.675") << "2.675" << "2.68";
        QTest::newRow("not a half") << "2.6751" << "2.68";
        QTest::newRow("negative half") << "-0.125" << "-0.12";
        QTest::newRow("negative up") << "-0.135" << "-0.14";
    }
    void roundsHalfToEven()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(Money::parse(input)->rounded(2).toPlainString(), expected);
    }

    void roundsBinaryDoublesOnTheirFourDecimalValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        // 2.675 is 2.67499999... as a double; it still counts as a half.
        QTest::newRow("2.675") << 2.675 << 2.68;
        QTest::newRow("1.005") << 1.005 << 1.0;
        QTest::newRow("0.125") << 0.125 << 0.12;
        QTest::newRow("10.625") << 10.625 << 10.62;
    }
    void roundsBinaryDoublesOnTheirFourDecimalValue()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(roundHalfEven(value, 2), expected);
    }

    void sumsHaveNoBinaryError()
    {
        Money total;
        for (int i = 0; i < 10; ++i)
            total += *Money::parse(QStringLiteral("0.1"));
        QCOMPARE(total, *Money::parse(QStringLiteral("1")));
        QCOMPARE(Money::parse(QStringLiteral("19.99"))->times(3.0).toPlainString(), QStringLiteral("59.97"));
        QCOMPARE(Money::parse(QStringLiteral("0.3333"))->times(3.0).toPlainString(), QStringLiteral("0.9999"));
    }

    void parsesTypedAndDisplayedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("plain");
        QTest::newRow("plain") << "1234.5" << true << "1234.5";
        QTest::newRow("display") << "$1,234.50" << true << "1234.5";
        QTest::newRow("parentheses") << "($12.00)" << true << "-12";
        QTest::newRow("minus") << "-3" << true << "-3";
        QTest::newRow("leading point") << ".5" << true << "0.5";
        QTest::newRow("five decimals") << "0.00005" << true << "0";
        QTest::newRow("five decimals up") << "0.00015" << true << "0.0002";
        QTest::newRow("letters") << "12a" << false << "";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("two points") << "1.2.3" << false << "";
        QTest::newRow("only point") << "." << false << "";
        QTest::newRow("largest") << "922337203685477.5807" << true << "922337203685477.5807";
        QTest::newRow("largest negative") << "-922337203685477.5807" << true << "-922337203685477.5807";
        QTest::newRow("one unit beyond") << "922337203685477.5808" << false << "";
        QTest::newRow("far beyond") << "1000000000000000000000" << false << "";
    }

    void refusesDoublesItCannotHold_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("plain");
        QTest::newRow("price") << 95.5 << true << "95.5";
        QTest::newRow("negative") << -0.125 << true << "-0.125";
        QTest::newRow("at the limit") << Money::Limit << true << "922337203685477";
        QTest::newRow("9.3e14") << 9.3e14 << false << "";
        QTest::newRow("1e15") << 1e15 << false << "";
        QTest::newRow("-1e15") << -1e15 << false << "";
        QTest::newRow("nan") << std::nan("") << false << "";
        QTest::newRow("inf") << HUGE_VAL << false << "";
        QTest::newRow("-inf") << -HUGE_VAL << false << "";
    }
    void refusesDoublesItCannotHold()
    {
        QFETCH(double, value);
        QFETCH(bool, held);
        QFETCH(QString, plain);
        const std::optional<Money> m = Money::tryFromDouble(value);
        QCOMPARE(m.has_value(), held);
        if (held)
            QCOMPARE(m->toPlainString(), plain);
        else
            QVERIFY(Money::fromDouble(value).isZero()); // never a wrapped-around amount
    }
    void parsesTypedAndDisplayedText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, plain);
        const auto m = Money::parse(text);
        QCOMPARE(m.has_value(), valid);
        if (valid)
            QCOMPARE(m->toPlainString(), plain);
    }

    void displaysWithTheShopFormat_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("shown");
        QTest::newRow("thousands") << "1234567.5" << 2 << "$1,234,567.50";
        QTest::newRow("negative") << "-12" << 2 << "($12.00)";
        QTest::newRow("zero") << "0" << 2 << "$0.00";
        QTest::newRow("three decimals") << "12.3456" << 3 << "$12.346";
        QTest::newRow("half even display") << "0.125" << 2 << "$0.12";
    }
    void displaysWithTheShopFormat()
    {
        QFETCH(QString, value);
        QFETCH(int, decimals);
        QFETCH(QString, shown);
        QCOMPARE(Money::parse(value)->toDisplayString(decimals), shown);
    }

    void readsDatabaseValues()
    {
        QCOMPARE(Money::fromVariant(QVariant()), Money());
        QCOMPARE(Money::fromVariant(QVariant(qlonglong(7))).toPlainString(), QStringLiteral("7"));
        QCOMPARE(Money::fromVariant(QVariant(0.1 + 0.2)).toPlainString(), QStringLiteral("0.3"));
        QCOMPARE(Money::fromVariant(QVariant(QStringLiteral("5.25"))).toPlainString(), QStringLiteral("5.25"));
    }
};

QTEST_APPLESS_MAIN(TestMoney)
#include "tst_money.moc"

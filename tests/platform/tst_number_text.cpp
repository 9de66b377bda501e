// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/number_text.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr int NoAnswer = std::numeric_limits<int>::min();
} // namespace

class NumberTextTest : public QObject
{
    Q_OBJECT

private slots:
    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("exponent") << "1e2" << 100.0;
        QTest::newRow("exponent, signed") << "25E-1" << 2.5;
        QTest::newRow("exponent without digits") << "4e" << 4.0;
        QTest::newRow("exponent sign without digits") << "4e-" << 4.0;
        QTest::newRow("blanks inside") << " 1 2 . 5 " << 12.5;
        QTest::newRow("second point ends it") << "1.2.3" << 1.2;
        QTest::newRow("double sign") << "--1" << 0.0;
        QTest::newRow("too large") << "1e999" << Inf;
        QTest::newRow("too large, negative") << "-1e999" << -Inf;
        QTest::newRow("too small") << "1e-999" << 0.0;
        QTest::newRow("long mantissa") << QString(400, u'9') << Inf;
        QTest::newRow("long fraction") << "0." + QString(400, u'0') + "1" << 0.0;
        QTest::newRow("saturated exponent") << "1e99999999999999999999" << Inf;
    }
    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(readNumber(text), value);
    }

    void roundsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("-0.5") << -0.5 << 0;
        QTest::newRow("-1.5") << -1.5 << -2;
        QTest::newRow("4.49") << 4.49 << 4;
        QTest::newRow("largest") << 32767.4 << 32767;
        QTest::newRow("rounds past largest") << 32767.5 << NoAnswer;
        QTest::newRow("smallest, half to even") << -32768.5 << -32768;
        QTest::newRow("below smallest") << -32769.0 << NoAnswer;
        QTest::newRow("infinite") << Inf << NoAnswer;
        QTest::newRow("not a number") << std::nan("") << NoAnswer;
    }
    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        const auto rounded = roundToInt16(value);
        QCOMPARE(rounded ? int(*rounded) : NoAnswer, expected);
    }
};

QTEST_APPLESS_MAIN(NumberTextTest)
#include "tst_number_text.moc"

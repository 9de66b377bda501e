// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/random_source.h"
#include "trial/trial.h"

#include <QTest>

#include <array>

class RandomSourceTest : public QObject
{
    Q_OBJECT

private slots:
    void countsCoverTheField_data()
    {
        QTest::addColumn<float>("unit");
        QTest::addColumn<int>("count");
        QTest::newRow("lowest bits") << unitInterval(0) << 1;
        QTest::newRow("highest bits") << unitInterval(0xFFFFFFFFu) << 100;
        QTest::newRow("just below a step") << 0.0099999f << 1;
        QTest::newRow("just above a step") << 0.0100001f << 2;
        QTest::newRow("middle") << 0.5f << 51;
        QTest::newRow("largest float below 1") << 0x1.fffffep-1f << 100;
        QTest::newRow("faulty source, 1.0") << 1.0f << 100;
        QTest::newRow("faulty source, negative") << -0.5f << 1;
    }
    void countsCoverTheField()
    {
        QFETCH(float, unit);
        QFETCH(int, count);
        QCOMPARE(int(drawCount(unit)), count);
    }

    void unitIntervalNeverReachesOne()
    {
        QVERIFY(unitInterval(0xFFFFFFFFu) < 1.0f);
        QCOMPARE(unitInterval(0xFFFFFF00u), unitInterval(0xFFFFFFFFu));
        QCOMPARE(unitInterval(0), 0.0f);
    }

    // 100 000 draws: every count occurs, none outside 1..100, and a chi-square test with 99
    // degrees of freedom stays below its 0.1 % critical value (148.2).
    void countsAreUniform()
    {
        ClockSeededRandom random;
        random.seed(20261208);
        constexpr int Draws = 100000;
        std::array<int, 102> seen{};
        for (int i = 0; i < Draws; ++i) {
            const int count = drawCount(random.next());
            QVERIFY2(count >= 1 && count <= 100, qPrintable(QString::number(count)));
            ++seen[static_cast<std::size_t>(count)];
        }
        const double expected = Draws / 100.0;
        double chiSquare = 0;
        for (int count = 1; count <= 100; ++count) {
            QVERIFY2(seen[static_cast<std::size_t>(count)] > 0, qPrintable(QString::number(count)));
            const double d = seen[static_cast<std::size_t>(count)] - expected;
            chiSquare += d * d / expected;
        }
        QVERIFY2(chiSquare < 148.2, qPrintable(QString::number(chiSquare)));
    }

    void seedingFromTheClockVariesTheSequence()
    {
        ClockSeededRandom a;
        ClockSeededRandom b;
        a.seedFromClock();
        QTest::qSleep(2);
        b.seedFromClock();
        bool differ = false;
        for (int i = 0; i < 8; ++i)
            differ = (a.next() != b.next()) || differ;
        QVERIFY(differ);
    }
};

QTEST_APPLESS_MAIN(RandomSourceTest)
#include "tst_random_source.moc"

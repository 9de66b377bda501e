// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/clock.h"
#include "platform/event_wait.h"
#include "support/manual_clock.h"
#include "support/script.h"

#include <QElapsedTimer>
#include <QTest>

#include <utility>
#include <vector>

class EventWaitTest : public QObject
{
    Q_OBJECT

private slots:
    // Both ways of waiting give the same effects in the same order; only whether the handler
    // has returned meanwhile differs.
    void modes_data()
    {
        QTest::addColumn<EventWait::Mode>("mode");
        QTest::newRow("nested") << EventWait::Mode::Nested;
        QTest::newRow("continued") << EventWait::Mode::Continued;
    }

    void servesEventsUntilTheDeadline_data() { modes_data(); }
    void servesEventsUntilTheDeadline()
    {
        QFETCH(EventWait::Mode, mode);
        ManualClock clock;
        EventWait wait(clock, mode);
        std::vector<QString> log;
        Script script;
        script.then([&] { wait.after(clock.seconds() + 4, [&] { log.push_back("ended"); }); })
            .then([&] {
                log.push_back("event served");
                clock.advance(3.999);
            })
            .then([&] {
                log.push_back("still waiting");
                clock.advance(0.001);
            });
        QVERIFY(script.run([&] { wait.cancelAll(); }));
        QCOMPARE(log, (std::vector<QString>{"event served", "still waiting", "ended"}));
    }

    // The outer wait goes on only when the inner one has ended: at once when its own deadline
    // passed meanwhile, else at that deadline.
    void nestedWaitsUnwindInOrder_data()
    {
        QTest::addColumn<EventWait::Mode>("mode");
        QTest::addColumn<double>("outerSeconds");
        QTest::addColumn<std::vector<QString>>("afterInnerDeadline");
        const std::vector<QString> both{"inner", "outer"};
        const std::vector<QString> inner{"inner"};
        for (const auto &[name, mode] : {std::pair{"nested", EventWait::Mode::Nested},
                                         std::pair{"continued", EventWait::Mode::Continued}}) {
            QTest::addRow("%s, outer deadline passed", name) << mode << 1.0 << both;
            QTest::addRow("%s, outer deadline later", name) << mode << 6.0 << inner;
        }
    }
    void nestedWaitsUnwindInOrder()
    {
        QFETCH(EventWait::Mode, mode);
        QFETCH(double, outerSeconds);
        QFETCH(std::vector<QString>, afterInnerDeadline);
        ManualClock clock;
        EventWait wait(clock, mode);
        std::vector<QString> log;
        std::vector<QString> seenAfterInner;
        Script script;
        script
            .then([&] {
                wait.after(clock.seconds() + outerSeconds, [&] { log.push_back("outer"); });
            })
            .then([&] { wait.after(clock.seconds() + 4, [&] { log.push_back("inner"); }); })
            .then([&] { clock.advance(4); })
            .then([&] {
                seenAfterInner = log;
                clock.advance(2);
            });
        QVERIFY(script.run([&] { wait.cancelAll(); }));
        QCOMPARE(seenAfterInner, afterInnerDeadline);
        QCOMPARE(log, (std::vector<QString>{"inner", "outer"}));
    }

    void cancellingEndsEveryWaitAndRefusesNewOnes_data() { modes_data(); }
    void cancellingEndsEveryWaitAndRefusesNewOnes()
    {
        QFETCH(EventWait::Mode, mode);
        ManualClock clock;
        EventWait wait(clock, mode);
        int ended = 0;
        Script script;
        script.then([&] { wait.after(clock.seconds() + 4, [&] { ++ended; }); })
            .then([&] { wait.after(clock.seconds() + 2, [&] { ++ended; }); })
            .then([&] { wait.cancelAll(); })
            .then([&] { clock.advance(5); });
        QVERIFY(script.run([] {}));
        wait.after(clock.seconds(), [&] { ++ended; });
        QCOMPARE(ended, 0);
        QCOMPARE(wait.until(clock.seconds() + 1), false);
    }

    // Where a change shows only with a later frame, as in a browser, a wait counts from that
    // frame, and one begun inside it from its own.
    void continuedWaitsCountFromTheFrameThatShowsThem()
    {
        ManualClock clock;
        clock.holdFrames = true;
        EventWait wait(clock, EventWait::Mode::Continued);
        std::vector<QString> log;
        wait.afterShown(4, [&] { log.push_back("outer"); });
        clock.advance(0.5);
        clock.showFrame();
        wait.afterShown(1, [&] { log.push_back("inner"); });
        clock.advance(0.25);
        clock.showFrame();
        clock.advance(0.75);
        QCOMPARE(log, std::vector<QString>{});
        clock.advance(0.25);
        QCOMPARE(log, std::vector<QString>{"inner"});
        clock.advance(2.625);
        QCOMPARE(log, std::vector<QString>{"inner"});
        clock.advance(0.125);
        QCOMPARE(log, (std::vector<QString>{"inner", "outer"}));
    }

    void pastDeadlineReturnsAtOnce()
    {
        ManualClock clock;
        EventWait wait(clock);
        QVERIFY(wait.until(clock.seconds()));
        QVERIFY(wait.until(clock.seconds() - 1));
    }

    // The real clock's alarm may be late but must never end a wait early.
    void steadyClockNeverEndsEarly()
    {
        SteadyClock clock;
        EventWait wait(clock);
        // Short waits take one timer; the longer ones are split into an early wake and the rest.
        for (const double seconds : {0.0203, 0.0203, 0.001, 0.0503, 0.1207}) {
            const double deadline = clock.seconds() + seconds;
            QVERIFY(wait.until(deadline));
            QVERIFY(clock.seconds() >= deadline);
        }
    }
};

QTEST_GUILESS_MAIN(EventWaitTest)
#include "tst_event_wait.moc"

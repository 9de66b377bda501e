// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/clock.h"
#include "platform/event_wait.h"
#include "support/manual_clock.h"
#include "support/script.h"

#include <QElapsedTimer>
#include <QTest>

#include <vector>

class EventWaitTest : public QObject
{
    Q_OBJECT

private slots:
    void servesEventsUntilTheDeadline()
    {
        ManualClock clock;
        EventWait wait(clock);
        std::vector<QString> log;
        bool finished = false;
        Script script;
        script
            .then([&] {
                finished = wait.until(clock.seconds() + 4);
                log.push_back("returned");
            })
            .then([&] {
                log.push_back("event served");
                clock.advance(3.999);
            })
            .then([&] {
                log.push_back("still waiting");
                clock.advance(0.001);
            });
        QVERIFY(script.run([&] { wait.cancelAll(); }));
        QVERIFY(finished);
        QCOMPARE(log, (std::vector<QString>{"event served", "still waiting", "returned"}));
        QCOMPARE(clock.pendingAlarms(), 0);
    }

    // The outer wait goes on only when the inner one has returned, and does not wait again
    // when its own deadline passed meanwhile.
    void nestedWaitsUnwindInOrder()
    {
        ManualClock clock;
        EventWait wait(clock);
        std::vector<QString> log;
        Script script;
        script
            .then([&] {
                wait.until(clock.seconds() + 1);
                log.push_back("outer");
            })
            .then([&] {
                wait.until(clock.seconds() + 4);
                log.push_back("inner");
            })
            .then([&] { clock.advance(4); });
        QVERIFY(script.run([&] { wait.cancelAll(); }));
        QCOMPARE(log, (std::vector<QString>{"inner", "outer"}));
    }

    void cancellingEndsEveryWaitAndRefusesNewOnes()
    {
        ManualClock clock;
        EventWait wait(clock);
        std::vector<bool> results;
        Script script;
        script.then([&] { results.push_back(wait.until(clock.seconds() + 4)); })
            .then([&] { results.push_back(wait.until(clock.seconds() + 2)); })
            .then([&] { wait.cancelAll(); });
        QVERIFY(script.run([] {}));
        QCOMPARE(results, (std::vector<bool>{false, false}));
        QCOMPARE(wait.until(clock.seconds() + 1), false);
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

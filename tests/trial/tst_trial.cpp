// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/exercise.h"
#include "support/script.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

class TrialTest : public QObject
{
    Q_OBJECT

private slots:
    void levelOneFlow()
    {
        Exercise ex{42, 7};
        Form1 &f = ex.form;
        f.lbl_richtig->setText("old verdict");
        f.lbl_Zahl->setText("99");
        f.txt_Eingabe->setText("12");

        click(f.cmd_start);
        QCOMPARE(ex.trial.state().int_Anzahl, 42);
        QCOMPARE(litPrefix(f.Picture1), 42);
        QCOMPARE(buttons(f), QStringLiteral("sTO"));
        QVERIFY(f.lbl_richtig->text().isEmpty());
        QVERIFY(f.lbl_Zahl->text().isEmpty());
        QVERIFY(f.txt_Eingabe->text().isEmpty());

        click(f.cmd_start); // refused until Stop
        QCOMPARE(ex.trial.state().int_Anzahl, 42);

        click(f.cmd_stop);
        QCOMPARE(litPrefix(f.Picture1), 0);
        QCOMPARE(buttons(f), QStringLiteral("StO"));

        click(f.cmd_start);
        QCOMPARE(litPrefix(f.Picture1), 7);
    }

    void levelChosenDuringLevelOneCountsFromTheNextStart()
    {
        Exercise ex{30, 60};
        Form1 &f = ex.form;
        click(f.cmd_start);
        click(f.Option3);
        QCOMPARE(buttons(f), QStringLiteral("sTO"));
        QCOMPARE(litPrefix(f.Picture1), 30);
        click(f.cmd_stop);

        Script script;
        script.then([&] { click(f.cmd_start); })
            .then([&] {
                QCOMPARE(litPrefix(f.Picture1), 60);
                ex.clock.advance(1.999);
            })
            .then([&] {
                QCOMPARE(litPrefix(f.Picture1), 60);
                ex.clock.advance(0.001);
            });
        QVERIFY(script.run([&] { f.close(); }));
        QCOMPARE(litPrefix(f.Picture1), 0);
    }

    void timedDisplayEndsByItself_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("clockStart");
        QTest::newRow("level 2") << 2 << 4.0 << 1000.0;
        QTest::newRow("level 3") << 3 << 2.0 << 1000.0;
        QTest::newRow("level 4") << 4 << 1.0 << 1000.0;
        QTest::newRow("level 2 across midnight") << 2 << 4.0 << 86398.0;
    }
    void timedDisplayEndsByItself()
    {
        QFETCH(int, level);
        QFETCH(double, seconds);
        QFETCH(double, clockStart);
        Exercise ex{23};
        ex.clock.advance(clockStart - ex.clock.seconds());
        Form1 &f = ex.form;
        click(ex.form.levels->button(level));
        QCOMPARE(ex.trial.state().int_Stufe, level);

        Script script;
        script.then([&] { click(f.cmd_start); })
            .then([&] {
                QCOMPARE(litPrefix(f.Picture1), 23);
                QCOMPARE(buttons(f), QStringLiteral("Sto"));
                ex.clock.advance(seconds - 0.001);
            })
            .then([&] {
                QCOMPARE(litPrefix(f.Picture1), 23);
                QCOMPARE(buttons(f), QStringLiteral("Sto"));
                ex.clock.advance(0.001);
            });
        QVERIFY(script.run([&] { f.close(); }));
        QCOMPARE(litPrefix(f.Picture1), 0);
        QCOMPARE(buttons(f), QStringLiteral("StO"));
    }

    void unansweredOkStaysEnabledThroughTheNextDisplay()
    {
        Exercise ex{10, 20};
        Form1 &f = ex.form;
        click(f.Option4);
        Script first;
        first.then([&] { click(f.cmd_start); }).then([&] { ex.clock.advance(1); });
        QVERIFY(first.run([&] { f.close(); }));
        QCOMPARE(buttons(f), QStringLiteral("StO"));

        Script second;
        second.then([&] { click(f.cmd_start); }).then([&] {
            QCOMPARE(litPrefix(f.Picture1), 20);
            QCOMPARE(buttons(f), QStringLiteral("StO"));
            ex.clock.advance(1);
        });
        QVERIFY(second.run([&] { f.close(); }));
    }

    // A Start inside a display of the same level: its own four seconds, after which the outer
    // display finds its deadline passed and ends without waiting again.
    void startInsideDisplayOfSameLevel()
    {
        Exercise ex{40, 80};
        Form1 &f = ex.form;
        click(f.Option2);
        Script script;
        script.then([&] { click(f.cmd_start); })
            .then([&] {
                ex.clock.advance(1);
                click(f.cmd_start);
            })
            .then([&] {
                QCOMPARE(ex.trial.state().int_Anzahl, 80);
                QCOMPARE(litPrefix(f.Picture1), 80);
                ex.clock.advance(3);
            })
            .then([&] {
                QCOMPARE(litPrefix(f.Picture1), 80); // the inner display runs on
                QVERIFY(!f.cmd_OK->isEnabled());
                ex.clock.advance(1);
            });
        QVERIFY(script.run([&] { f.close(); }));
        QCOMPARE(litPrefix(f.Picture1), 0);
        QCOMPARE(ex.trial.state().int_Anzahl, 80);
        QCOMPARE(buttons(f), QStringLiteral("StO"));
        QCOMPARE(ex.clock.pendingAlarms(), 0);
    }

    // Level 4 chosen one second into a level-2 display: the inner display takes one second,
    // the outer one then waits out the rest of its own four.
    void startInsideDisplayAtAShorterLevel()
    {
        Exercise ex{40, 15};
        Form1 &f = ex.form;
        click(f.Option2);
        Script script;
        script.then([&] { click(f.cmd_start); })
            .then([&] {
                ex.clock.advance(1);
                click(f.Option4);
                click(f.cmd_start);
            })
            .then([&] {
                QCOMPARE(litPrefix(f.Picture1), 15);
                ex.clock.advance(1);
            })
            .then([&] {
                QCOMPARE(litPrefix(f.Picture1), 0);
                QCOMPARE(buttons(f), QStringLiteral("StO"));
                f.cmd_OK->setEnabled(false); // to see the outer display enable it again
                ex.clock.advance(1.5);
            })
            .then([&] {
                QVERIFY(!f.cmd_OK->isEnabled());
                ex.clock.advance(0.5);
            });
        QVERIFY(script.run([&] { f.close(); }));
        QCOMPARE(buttons(f), QStringLiteral("StO"));
    }

    void levelOneStartInsideDisplay()
    {
        Exercise ex{40, 33};
        Form1 &f = ex.form;
        click(f.Option3);
        Script script;
        script.then([&] { click(f.cmd_start); }).then([&] {
            click(f.Option1);
            click(f.cmd_start);
            QCOMPARE(litPrefix(f.Picture1), 33);
            QCOMPARE(buttons(f), QStringLiteral("sTO"));
            f.cmd_OK->setEnabled(false);
            ex.clock.advance(2);
        });
        QVERIFY(script.run([&] { f.close(); }));
        QCOMPARE(litPrefix(f.Picture1), 0);
        QCOMPARE(buttons(f), QStringLiteral("sTO"));
        click(f.cmd_stop);
        QCOMPARE(buttons(f), QStringLiteral("StO"));
    }

    // Closing during a display ends the wait at once; the suspended Start leaves the window
    // alone afterwards.
    void closingDuringDisplayEndsTheWait()
    {
        Exercise ex{64};
        Form1 &f = ex.form;
        QSignalSpy closing(&f, &Form1::closing);
        click(f.Option2);
        Script script;
        script.then([&] { click(f.cmd_start); }).then([&] { f.close(); });
        QVERIFY(script.run([] {}));
        QCOMPARE(closing.count(), 1);
        QCOMPARE(litPrefix(f.Picture1), 64);
        QCOMPARE(buttons(f), QStringLiteral("Sto"));
        QCOMPARE(ex.clock.pendingAlarms(), 0);
    }

    // The same inside the application's own loop: closing the last window during a nested
    // display must let exec() return, not leave a windowless process waiting.
    void closingDuringDisplayEndsTheApplication()
    {
        Exercise ex{64, 12};
        Form1 &f = ex.form;
        click(f.Option2);
        QTimer::singleShot(0, &f, [&] { click(f.cmd_start); });
        QTimer::singleShot(0, &f, [&] { click(f.cmd_start); });
        QTimer::singleShot(0, &f, [&] { f.close(); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(ex.clock.pendingAlarms(), 0);
    }
};

QTEST_MAIN(TrialTest)
#include "tst_trial.moc"

// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/exercise.h"
#include "support/script.h"
#include "trial/answer_check.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <clocale>
#include <limits>

namespace {
constexpr int NoAnswer = std::numeric_limits<int>::min();
}

class AnswerCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void readsTypedAnswers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("answer");
        QTest::newRow("plain") << "42" << 42;
        QTest::newRow("largest count") << "100" << 100;
        QTest::newRow("half down to even") << "4.5" << 4;
        QTest::newRow("half up to even") << "5.5" << 6;
        QTest::newRow("2.5") << "2.5" << 2;
        QTest::newRow("-.5") << "-.5" << 0;
        QTest::newRow("leading blanks") << "  7" << 7;
        QTest::newRow("blank inside") << "4 2" << 42;
        QTest::newRow("plus") << "+42" << 42;
        QTest::newRow("minus") << "-42" << -42;
        QTest::newRow("leading point") << ".9" << 1;
        QTest::newRow("trailing point") << "42." << 42;
        QTest::newRow("decimal comma ends the number") << "4,5" << 4;
        QTest::newRow("letters after digits") << "12a" << 12;
        QTest::newRow("letters first") << "a12" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("only blanks") << "   " << 0;
        QTest::newRow("lone sign") << "-" << 0;
        QTest::newRow("lone point") << "." << 0;
        QTest::newRow("punctuation") << "!?#" << 0;
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("\u0664\u0662") << 0;
        QTest::newRow("full-width digits") << QString::fromUtf8("\uFF14\uFF12") << 0;
        QTest::newRow("superscript two") << QString::fromUtf8("\u00B2") << 0;
        QTest::newRow("emoji") << QString::fromUtf8("\U0001F600") << 0;
        QTest::newRow("control character") << QStringLiteral("\x01"
                                                             "5")
                                           << 0;
        QTest::newRow("tab before") << "\t9" << 9;
        // The field's limit can cut a surrogate pair in half (found by fuzzing).
        QTest::newRow("half a surrogate pair") << (QStringLiteral("4.") + QChar(0xD93D)) << 4;
        QTest::newRow("exponent") << "1e2" << 100;
        QTest::newRow("exponent beyond 16 bits") << "9e9" << NoAnswer;
        QTest::newRow("negative exponent") << "5e-" << 5;
    }
    void readsTypedAnswers()
    {
        QFETCH(QString, text);
        QFETCH(int, answer);
        const auto read = answerFromText(text);
        QCOMPARE(read ? int(*read) : NoAnswer, answer);
    }

    // Qt takes the numeric conventions from the environment; a German one writes "4,5". The
    // typed point must still be a decimal point.
    void readsTypedAnswersInGermanLocale_data() { readsTypedAnswers_data(); }
    void readsTypedAnswersInGermanLocale()
    {
        const char *german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        if (!german)
            QFAIL("the de_DE.UTF-8 locale is missing: run the set-up (scripts/setup)");
        QCOMPARE(std::localeconv()->decimal_point[0], ',');
        readsTypedAnswers();
        std::setlocale(LC_NUMERIC, "C");
    }

    void verdictByClicks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("right") << "42"
                               << "Richtig !!!" << qRgb(0, 192, 0);
        QTest::newRow("one off") << "41"
                                 << "Falsch !!!" << qRgb(255, 0, 0);
        QTest::newRow("rounded to right") << "42."
                                          << "Richtig !!!" << qRgb(0, 192, 0);
        QTest::newRow("empty") << ""
                               << "Falsch !!!" << qRgb(255, 0, 0);
        QTest::newRow("beyond 16 bits") << "9e9"
                                        << "Falsch !!!" << qRgb(255, 0, 0);
        QTest::newRow("letters") << "abc"
                                 << "Falsch !!!" << qRgb(255, 0, 0);
    }
    void verdictByClicks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, verdict);
        QFETCH(QRgb, colour);
        Exercise ex{42};
        Form1 &f = ex.form;
        click(f.cmd_start);
        QTest::keyClicks(f.txt_Eingabe, typed);
        click(f.cmd_OK);
        QCOMPARE(f.lbl_richtig->text(), verdict);
        QCOMPARE(textColour(*f.lbl_richtig), colour);
        QCOMPARE(f.lbl_Zahl->text(), QStringLiteral("42"));
        QVERIFY(!f.cmd_OK->isEnabled());
        QCOMPARE(f.txt_Eingabe->text(), typed);
        // At level 1 the cells stay lit beside the verdict until Stop.
        QCOMPARE(litPrefix(f.Picture1), 42);
        click(f.cmd_stop);
        QCOMPARE(litPrefix(f.Picture1), 0);
        QCOMPARE(f.lbl_richtig->text(), verdict);
    }

    void okWaitsForTheNextStart()
    {
        Exercise ex{5, 9};
        Form1 &f = ex.form;
        click(f.cmd_start);
        click(f.cmd_OK);
        click(f.cmd_stop);
        click(f.Option4);
        click(f.cmd_OK); // disabled: no second verdict
        QCOMPARE(f.lbl_richtig->text(), WrongText);

        Script script;
        script.then([&] { click(f.cmd_start); }).then([&] {
            QVERIFY(f.lbl_richtig->text().isEmpty());
            QVERIFY(!f.cmd_OK->isEnabled());
            ex.clock.advance(1);
        });
        QVERIFY(script.run([&] { f.close(); }));
        QCOMPARE(litPrefix(f.Picture1), 0);
        QVERIFY(f.cmd_OK->isEnabled());
        QTest::keyClicks(f.txt_Eingabe, "9");
        click(f.cmd_OK);
        QCOMPARE(f.lbl_richtig->text(), RightText);
        QCOMPARE(ex.trial.state().int_Antwort, 9);
    }

    // OK left enabled by an unanswered trial may judge the next one while its cells still
    // show; when the display ends OK comes back, and the same trial can be judged again.
    void checkDuringATimedDisplay()
    {
        Exercise ex{5, 17};
        Form1 &f = ex.form;
        click(f.cmd_start);
        click(f.cmd_stop);
        click(f.Option2);
        Script script;
        script.then([&] { click(f.cmd_start); }).then([&] {
            QTest::keyClicks(f.txt_Eingabe, "17");
            click(f.cmd_OK);
            QCOMPARE(f.lbl_richtig->text(), RightText);
            QCOMPARE(f.lbl_Zahl->text(), QStringLiteral("17"));
            QCOMPARE(litPrefix(f.Picture1), 17);
            QVERIFY(!f.cmd_OK->isEnabled());
            ex.clock.advance(4);
        });
        QVERIFY(script.run([&] { f.close(); }));
        QVERIFY(f.cmd_OK->isEnabled());
        f.txt_Eingabe->setText("16");
        click(f.cmd_OK);
        QCOMPARE(f.lbl_richtig->text(), WrongText);
    }
};

QTEST_MAIN(AnswerCheckTest)
#include "tst_answer_check.moc"

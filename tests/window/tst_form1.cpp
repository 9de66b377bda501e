// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/exercise.h"
#include "trial/answer_check.h"
#include "window/program_icon.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

using design::TwipRect;

Q_DECLARE_METATYPE(TwipRect)

class Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void freshWindowIsReady()
    {
        Exercise ex{1};
        Form1 &f = ex.form;
        QCOMPARE(f.windowTitle(), QStringLiteral("Punktblick"));
        QVERIFY(f.lbl_richtig->text().isEmpty());
        QVERIFY(f.lbl_Zahl->text().isEmpty());
        QVERIFY(f.txt_Eingabe->text().isEmpty());
        QVERIFY(f.Option1->isChecked());
        QVERIFY(f.cmd_start->isEnabled());
        QVERIFY(!f.cmd_stop->isEnabled());
        QVERIFY(!f.cmd_OK->isEnabled());
        QCOMPARE(ex.trial.state().int_Stufe, 1);
        QCOMPARE(ex.trial.state().int_Anzahl, 0);
        QCOMPARE(ex.random.seeded, 1);
        for (auto *b : {f.cmd_start, f.cmd_stop, f.cmd_OK})
            QVERIFY(!b->isDefault() && !b->autoDefault());
    }

    void controlsStandWhereTheyBelong_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TwipRect>("twips");
        QTest::newRow("start") << "cmd_start" << TwipRect{5880, 720, 1332, 612};
        QTest::newRow("stop") << "cmd_stop" << TwipRect{5880, 1560, 1332, 612};
        QTest::newRow("answer") << "txt_Eingabe" << TwipRect{5880, 2640, 732, 492};
        QTest::newRow("OK") << "cmd_OK" << TwipRect{6840, 2640, 732, 492};
        QTest::newRow("verdict") << "lbl_richtig" << TwipRect{5880, 3600, 1692, 492};
        QTest::newRow("count") << "lbl_Zahl" << TwipRect{5880, 4320, 1692, 492};
        QTest::newRow("frame") << "Frame1" << TwipRect{720, 4800, 4212, 852};
        QTest::newRow("level 1") << "Option1" << TwipRect{1080, 5160, 492, 252};
        QTest::newRow("level 2") << "Option2" << TwipRect{1920, 5160, 492, 252};
        QTest::newRow("level 3") << "Option3" << TwipRect{2760, 5160, 492, 252};
        QTest::newRow("level 4") << "Option4" << TwipRect{3600, 5160, 492, 252};
    }
    void controlsStandWhereTheyBelong()
    {
        QFETCH(QString, name);
        QFETCH(TwipRect, twips);
        Exercise ex{1};
        auto *widget = ex.form.findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), &ex.form);
        const QRect px = widget->geometry();
        // Within half a pixel of the exact twip position, in both directions.
        QVERIFY2(std::abs(px.x() * 15 - twips.left) <= 7 && std::abs(px.y() * 15 - twips.top) <= 7,
                 qPrintable(QStringLiteral("%1,%2").arg(px.x()).arg(px.y())));
        QVERIFY(std::abs(px.width() * 15 - twips.width) <= 7);
        QVERIFY(std::abs(px.height() * 15 - twips.height) <= 7);
    }

    void clientAreaHasItsSize()
    {
        Exercise ex{1};
        QCOMPARE(ex.form.size(), QSize(582, 423));
        QCOMPARE(ex.form.minimumSize(), ex.form.maximumSize());
        const Qt::WindowFlags flags = ex.form.windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint && flags & Qt::WindowCloseButtonHint);
    }

    void levelButtonsStandInFrontOfTheFrame()
    {
        Exercise ex{1};
        const QPoint inside = ex.form.Option3->geometry().center();
        QCOMPARE(ex.form.childAt(inside), ex.form.Option3);
    }

    void tabOrderFollowsTheForm()
    {
        Exercise ex{1};
        QStringList expected;
        for (int i = 0; i < 100; ++i)
            expected << QStringLiteral("Picture1_%1").arg(i);
        expected << "cmd_start"
                 << "cmd_stop"
                 << "Option2"
                 << "Option3"
                 << "Option4"
                 << "Option1"
                 << "txt_Eingabe"
                 << "cmd_OK";
        QStringList chain;
        QWidget *w = ex.form.Picture1[0];
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != ex.form.Picture1[0]);
        QCOMPARE(chain, expected);
        QCOMPARE(ex.form.lbl_richtig->focusPolicy(), Qt::NoFocus);
        QCOMPARE(ex.form.Frame1->focusPolicy(), Qt::NoFocus);
    }

    void coloursAreSet()
    {
        Exercise ex{1};
        Form1 &f = ex.form;
        QCOMPARE(background(f), design::WindowColour);
        QCOMPARE(background(*f.Frame1), design::WindowColour);
        QCOMPARE(background(*f.lbl_richtig), design::Black);
        QCOMPARE(textColour(*f.lbl_richtig), qRgb(255, 0, 0));
        QCOMPARE(background(*f.lbl_Zahl), design::Black);
        QCOMPARE(textColour(*f.lbl_Zahl), qRgb(255, 128, 255));
        for (QWidget *w : {static_cast<QWidget *>(&f), static_cast<QWidget *>(f.lbl_Zahl)})
            QVERIFY(w->autoFillBackground());
    }

    // The level frame is an etched line, shadow outside and light inside, that leaves a gap for
    // its title; the title must show whole and clear of the level buttons.
    void levelFrameIsEtchedWithItsTitleInTheLine()
    {
        Exercise ex{1};
        EtchedGroupBox *frame = ex.form.Frame1;
        const QRect title = frame->titleRect();
        QCOMPARE(frame->title(), QStringLiteral("Schwierigkeit"));
        QVERIFY(title.left() > 0 && title.right() < frame->width() - 2);
        QVERIFY(title.bottom() < ex.form.Option1->y() - frame->y());
        const QImage picture = frame->grab().toImage();
        const auto at = [&](int x, int y) { return picture.pixel(x, y); };
        const QRgb shadow = frame->palette().color(QPalette::Dark).rgb();
        const QRgb light = frame->palette().color(QPalette::Light).rgb();
        const int line = title.height() / 2;
        const int middle = (line + frame->height()) / 2;
        QCOMPARE(at(0, middle), shadow);
        QCOMPARE(at(1, middle), light);
        QCOMPARE(at(frame->width() / 2, frame->height() - 2), shadow);
        QCOMPARE(at(frame->width() / 2, frame->height() - 1), light);
        QCOMPARE(at(title.left() - 4, line), shadow);
        QCOMPARE(at(title.left() - 1, line), design::WindowColour);
    }

    // The substitute face must be there, and the longest texts must show whole in their labels.
    void resultTextsFitTheirLabels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("right") << RightText;
        QTest::newRow("wrong") << WrongText;
        QTest::newRow("count") << QStringLiteral("100");
    }
    void resultTextsFitTheirLabels()
    {
        QFETCH(QString, text);
        Exercise ex{1};
        for (QWidget *w : {static_cast<QWidget *>(ex.form.lbl_richtig),
                           static_cast<QWidget *>(ex.form.lbl_Zahl)}) {
            const QFontInfo info(w->font());
            QCOMPARE(info.family(), QStringLiteral("Liberation Sans"));
            QVERIFY(info.bold());
            QCOMPARE(w->font().pointSizeF(), 15.6);
            const QFontMetrics metrics(w->font());
            QVERIFY2(metrics.horizontalAdvance(text) <= w->contentsRect().width(),
                     qPrintable(QString::number(metrics.horizontalAdvance(text))));
            QVERIFY(metrics.height() <= w->contentsRect().height());
        }
    }

    // The installed theme icon where there is one, else the copy built in.
    void programIconIsTheInstalledOne()
    {
        QCOMPARE(builtInProgramIcon().availableSizes().size(), 4);
        QCOMPARE(programIcon().pixmap(48).size(), QSize(48, 48));

        QTemporaryDir data;
        const QString apps = data.filePath(QStringLiteral("icons/hicolor/16x16/apps"));
        QVERIFY(QDir().mkpath(apps));
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(apps + QStringLiteral("/de.punktblick.Punktblick.png")));
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        const QImage shown = programIcon().pixmap(16).toImage();
        qputenv("XDG_DATA_HOME", home);
        QCOMPARE(shown.pixel(8, 8), QColor(Qt::red).rgb());
    }

    void answerFieldTakesThreeCharacters()
    {
        Exercise ex{1};
        QLineEdit *field = ex.form.txt_Eingabe;
        QTest::keyClicks(field, QStringLiteral("1234"));
        QCOMPARE(field->text(), QStringLiteral("123"));
        field->clear();
        QApplication::clipboard()->setText(QStringLiteral("98765"));
        field->paste();
        QCOMPARE(field->text(), QStringLiteral("987"));
        QCOMPARE(field->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"

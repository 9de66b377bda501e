// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/exercise.h"

#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPalette>
#include <QRegion>
#include <QWidget>

namespace {

// Collects what the window is asked to repaint.
class PaintLog : public QObject
{
public:
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

} // namespace

class CellFieldTest : public QObject
{
    Q_OBJECT

private slots:
    void startsDarkRed()
    {
        QWidget window;
        CellField field(window);
        QCOMPARE(field.colour(0), design::DarkCell);
        for (int i = 1; i < CellField::size(); ++i)
            QCOMPARE(field.colour(i), design::UntouchedCell);
    }

    void lightsInReadingOrder_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("lit");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("top row across both blocks") << 10 << 10;
        QTest::newRow("into the lower right block") << 57 << 57;
        QTest::newRow("all") << 100 << 100;
        QTest::newRow("negative touches nothing") << -5 << 0;
        QTest::newRow("beyond the field") << 150 << 100;
    }
    void lightsInReadingOrder()
    {
        QFETCH(int, count);
        QFETCH(int, lit);
        QWidget window;
        CellField field(window);
        field.clear();
        field.light(static_cast<std::int16_t>(count));
        QCOMPARE(litPrefix(field), lit);
        field.darken(static_cast<std::int16_t>(count));
        QCOMPARE(litPrefix(field), 0);
    }

    // 57 lit cells: the five upper rows, then the lower-left block's top row and two cells of
    // the lower-right one. Checked by position, not by index, so that a wrong layout shows.
    void fiftySevenFillsBlocksByPosition()
    {
        QWidget window;
        CellField field(window);
        field.clear();
        field.light(57);
        int litInLowerLeftTopRow = 0;
        int litInLowerRight = 0;
        const int lowerTop = field[50]->y();
        const int rightLeft = field[5]->x();
        for (int i = 0; i < CellField::size(); ++i) {
            if (field.colour(i) != design::LitCell)
                continue;
            if (field[i]->y() == lowerTop)
                (field[i]->x() < rightLeft ? litInLowerLeftTopRow : litInLowerRight) += 1;
            else
                QVERIFY(field[i]->y() < lowerTop);
        }
        QCOMPARE(litInLowerLeftTopRow, 5);
        QCOMPARE(litInLowerRight, 2);
    }

    // The window draws each cell: a sunken panel one pixel wide around the cell's colour.
    void windowPaintsEachCellInItsColour_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("first, lit") << 0 << design::LitCell;
        QTest::newRow("last lit, lower right block") << 56 << design::LitCell;
        QTest::newRow("first dark") << 57 << design::DarkCell;
        QTest::newRow("last") << 99 << design::DarkCell;
    }
    void windowPaintsEachCellInItsColour()
    {
        QFETCH(int, index);
        QFETCH(QRgb, colour);
        Exercise ex{57};
        ex.form.Picture1.clear();
        ex.form.Picture1.light(57);
        const QImage picture = ex.form.grab().toImage();
        const QRect cell = ex.form.Picture1[index]->geometry();
        const QPalette &palette = ex.form.palette();
        const QRgb shadow = palette.color(QPalette::Dark).rgb();
        const QRgb light = palette.color(QPalette::Light).rgb();
        const auto at = [&](QPoint p) { return picture.pixel(p); };
        QCOMPARE(at(cell.center()), colour);
        QCOMPARE(at(cell.topLeft()), shadow);
        QCOMPARE(at(cell.topRight() - QPoint(1, 0)), shadow);
        QCOMPARE(at(cell.topRight()), light);
        QCOMPARE(at(cell.bottomRight()), light);
        QCOMPARE(at(cell.bottomLeft()), light);
        QCOMPARE(at(cell.bottomLeft() - QPoint(0, 1)), shadow);
    }

    // A change of colour must reach the screen: the window repaints the cells that changed, and
    // a cell that keeps its colour costs no paint.
    void changedCellsAreRepainted()
    {
        Exercise ex{1};
        QVERIFY(QTest::qWaitForWindowExposed(&ex.form));
        ex.form.Picture1.clear();
        PaintLog log;
        ex.form.installEventFilter(&log);
        QCoreApplication::processEvents();
        log.painted = {};
        ex.form.Picture1.light(12);
        QTRY_VERIFY(log.painted.contains(ex.form.Picture1[11]->geometry()));
        QVERIFY(log.painted.contains(ex.form.Picture1[0]->geometry()));
        QVERIFY(!log.painted.intersects(ex.form.Picture1[12]->geometry()));
        log.painted = {};
        ex.form.Picture1.light(12);
        QCoreApplication::processEvents();
        QVERIFY(log.painted.isEmpty());
    }

    // Within a block the cells stand at one pitch; the gaps between blocks are wider.
    void pitchIsRegular()
    {
        QWidget window;
        CellField field(window);
        for (int i = 0; i < CellField::size(); ++i) {
            const int column = i % 10;
            const int row = i / 10;
            QCOMPARE(field[i]->width(), 17);
            QCOMPARE(field[i]->height(), 17);
            QCOMPARE(field[i]->x(), 72 + 24 * column + (column >= 5 ? 16 : 0));
            QCOMPARE(field[i]->y(), 48 + 24 * row + (row >= 5 ? 8 : 0));
        }
    }
};

QTEST_MAIN(CellFieldTest)
#include "tst_cell_field.moc"

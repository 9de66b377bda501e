#include "support/exercise.h"

#include <QWidget>

class CellFieldTest : public QObject
{
    Q_OBJECT

private slots:
    void startsDarkRed()
    {
        QWidget window;
        CellField field(window);
        QCOMPARE(background(*field[0]), design::DarkCell);
        for (int i = 1; i < CellField::size(); ++i)
            QCOMPARE(background(*field[i]), design::UntouchedCell);
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
            if (background(*field[i]) != design::LitCell)
                continue;
            if (field[i]->y() == lowerTop)
                (field[i]->x() < rightLeft ? litInLowerLeftTopRow : litInLowerRight) += 1;
            else
                QVERIFY(field[i]->y() < lowerTop);
        }
        QCOMPARE(litInLowerLeftTopRow, 5);
        QCOMPARE(litInLowerRight, 2);
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

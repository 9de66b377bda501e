// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/text_change.h"

#include <QTest>

class TextChangeTest : public QObject
{
    Q_OBJECT

private slots:
    void findsTheOneReplacement_data()
    {
        QTest::addColumn<QString>("was");
        QTest::addColumn<QString>("now");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("typed at the end") << "4"
                                          << "42" << 1 << 0 << "2";
        QTest::newRow("first digit") << ""
                                     << "7" << 0 << 0 << "7";
        QTest::newRow("deleted before the caret") << "123"
                                                  << "12" << 2 << 1 << "";
        QTest::newRow("typed in the middle") << "13"
                                             << "123" << 1 << 0 << "2";
        QTest::newRow("suggestion over the whole") << "43"
                                                   << "42" << 1 << 1 << "2";
        QTest::newRow("replaced whole") << "12"
                                        << "98" << 0 << 2 << "98";
        QTest::newRow("emptied") << "100"
                                 << "" << 0 << 3 << "";
        QTest::newRow("unchanged") << "55"
                                   << "55" << 2 << 0 << "";
        // A repeated digit: the change is placed as late as the shared start allows.
        QTest::newRow("doubled digit") << "11"
                                       << "111" << 2 << 0 << "1";
        QTest::newRow("one of a pair deleted") << "100"
                                               << "10" << 2 << 1 << "";
        QTest::newRow("beyond Latin-1") << "5€"
                                        << "5 €" << 1 << 0 << " ";
    }
    void findsTheOneReplacement()
    {
        QFETCH(QString, was);
        QFETCH(QString, now);
        QFETCH(int, start);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        const TextChange change = textChange(was, now);
        QCOMPARE(change, (TextChange{start, removed, inserted}));
        QCOMPARE(was.left(start) + inserted + was.mid(start + removed), now);
    }
};

QTEST_APPLESS_MAIN(TextChangeTest)
#include "tst_text_change.moc"

// SPDX-License-Identifier: MIT
#include "windows/placement.h"

#include <QtTest>

class TestPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void centresTheEditor_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("editor");
        QTest::addColumn<int>("left");
        QTest::newRow("wide screen") << 28800 << 9810 << 9495;
        QTest::newRow("odd difference drops the half") << 28800 << 9811 << 9494;
        QTest::newRow("narrow screen gives a negative left") << 9000 << 9675 << -337;
        QTest::newRow("equal widths") << 9675 << 9675 << 0;
    }

    void centresTheEditor()
    {
        QFETCH(int, screen);
        QFETCH(int, editor);
        QFETCH(int, left);
        QCOMPARE(Placement::editorLeftTwips(screen, editor), left);
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"

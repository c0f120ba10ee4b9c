// SPDX-License-Identifier: MIT
#include "windows/placement.h"

#include <QtTest>

class TestPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void centresTheEditor_data()
    {
        QTest::addColumn<double>("screen");
        QTest::addColumn<double>("editor");
        QTest::addColumn<int>("left");
        QTest::newRow("wide screen") << 28800.0 << 9810.0 << 9495;
        QTest::newRow("odd difference drops the half") << 28800.0 << 9811.0 << 9494;
        QTest::newRow("half rounds down to even") << 10000.5 << 0.0 << 5000;
        QTest::newRow("half rounds up to even") << 10001.5 << 0.0 << 5001;
        QTest::newRow("narrow screen gives a negative left") << 9000.0 << 9675.0 << -337;
        QTest::newRow("equal widths") << 9675.0 << 9675.0 << 0;
    }

    void centresTheEditor()
    {
        QFETCH(double, screen);
        QFETCH(double, editor);
        QFETCH(int, left);
        QCOMPARE(Placement::editorLeftTwips(screen, editor), left);
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"

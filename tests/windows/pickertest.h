// SPDX-License-Identifier: MIT
#pragma once

#include "store/datafile.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"

#include <QLineEdit>
#include <QtTest>

// An editor shown over a data file with the clock at 15 June 2009,
// 14:05:09.6, ready to open a picker on one of its rows.
struct PickerTest
{
    TempCurrentDir dir;
    TestApp app;
    AlarmEditor *editor = nullptr;

    explicit PickerTest(const FileContents &contents = contentsWith({}))
    {
        app.clock.setLocal(QDate(2009, 6, 15), QTime(14, 5, 9, 600));
        dir.write(AlarmStore::FileName, DataFile::encode(contents));
        editor = &app.context.editor();
        editor->show();
    }

    FileContents saved() const { return readContents(dir); }

    // Opens the picker of a date or time box holding the test's `rowText`;
    // `check` leaves it without OK. The box holds `rowAfterLoad` from the
    // opening on; the file keeps `rowText`.
    template <typename Picker>
    static void openOnRowText(QString Entry::*box, int slot,
                              const std::function<void(Picker &, PickerTest &)> &check)
    {
        QFETCH(QString, rowText);
        QFETCH(QString, rowAfterLoad);
        FileContents c = contentsWith({});
        c.table[slot].*box = rowText;
        PickerTest t(c);
        QLineEdit *row =
            box == &Entry::date ? Row::date(*t.editor, slot) : Row::time(*t.editor, slot);
        t.open<Picker>(row, [&](Picker &picker) {
            QCOMPARE(row->text(), rowAfterLoad);
            check(picker, t);
        });
        QCOMPARE(row->text(), rowAfterLoad);
        QCOMPARE(t.saved().table[slot].*box, rowText);
    }

    // Clicks a row's box; the picker opens and `whileOpen` acts on it.
    template <typename Picker>
    void open(QLineEdit *box, const std::function<void(Picker &)> &whileOpen)
    {
        app.modal.whileOpen = [&](QDialog &dialog) {
            auto *picker = qobject_cast<Picker *>(&dialog);
            QVERIFY(picker);
            whileOpen(*picker);
        };
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->rect().center());
        app.modal.whileOpen = nullptr;
        QCOMPARE(app.modal.shown.size(), 1);
    }
};

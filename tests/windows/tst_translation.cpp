// SPDX-License-Identifier: MIT
// The windows in German: the translation is found for the locale the
// environment names (this test runs with LANG=de_DE.UTF-8), the controls show
// its texts, and without it they show the English ones exactly. The data file
// is never translated: an edit accepted in German writes the same bytes as in
// English.

#include "platform/translations.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/timepicker.h"
#include "windows/trayshell.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

namespace {

const QString BuiltTranslations = QStringLiteral(TIKORA_TRANSLATIONS_DIR);

// The texts a few controls show, found by their names, in a program of
// their own.
QStringList controlTexts()
{
    TempCurrentDir dir;
    TestApp app;
    AlertWindow &main = app.context.mainAlert();
    AlertWindow further(app.context, AlertWindow::Further);
    AlarmEditor &editor = app.context.editor();
    TimePicker picker(app.context, 0);
    TrayShell tray(app.context);
    tray.startUp();
    const auto action = [](QObject &owner, const char *name) {
        return owner.findChild<QAction *>(QLatin1String(name))->text();
    };
    return {
        action(main, "mnuNotify"),
        main.findChild<QMenu *>(QStringLiteral("mnuHelp"))->title(),
        action(main, "mnuAbout"),
        further.findChild<QMenu *>(QStringLiteral("mnuSnooze"))->title(),
        action(further, "mnuSnooze60"),
        editor.findChild<QLabel *>(QStringLiteral("lbMessages"))->text(),
        editor.findChild<QGroupBox *>(QStringLiteral("Frame4"))->title(),
        editor.findChild<QGroupBox *>(QStringLiteral("Frame2"))->title(),
        editor.findChild<QRadioButton *>(QStringLiteral("optMessage"))->text(),
        editor.findChild<QPushButton *>(QStringLiteral("cmdClear_3"))->toolTip(),
        editor.findChild<QLineEdit *>(QStringLiteral("txtDateNotify_0"))->accessibleName(),
        picker.findChild<QPushButton *>(QStringLiteral("cmdNow"))->text(),
        picker.findChild<QPushButton *>(QStringLiteral("cmdCancel"))->text(),
        app.tray.item("mnuSet").text(),
        app.tray.item("mnuClose").text(),
    };
}

const QStringList English = {
    "&Set",    "&Help",      "&About",  "S&nooze",        "1 &hour",    "Tikoraer Messages",
    "Wkly",    "Sounds",     "Message", "CLEAR THIS ROW", "Row 1 date", "&NOW",
    "&Cancel", "&Set Alarm", "&Exit",
};

const QStringList German = {
    "&Stellen",         "&Hilfe", "Ü&ber",    "Sch&lummern",     "1 &Stunde",
    "Tikora-Meldungen", "Wöch.",  "Töne",     "Meldung",         "DIESE ZEILE LEEREN",
    "Zeile 1 Datum",    "&JETZT", "&Abbruch", "&Wecker stellen", "B&eenden",
};

// Accepts one edit in the editor, as the user makes it, and returns the
// file it wrote and the boxes it showed on the way.
struct Edited
{
    QByteArray file;
    QStringList boxes;
};

Edited acceptEdit()
{
    TempCurrentDir dir;
    writeEntries(dir, {});
    TestApp app;
    app.clock.setLocal(QDate(2026, 12, 8), QTime(12, 0, 0));
    AlarmEditor &editor = app.context.editor();
    editor.show();
    // A date the US rules read and another locale's would not: a bad date
    // first, then the good one.
    QTest::keyClicks(Row::date(editor, 0), QStringLiteral("28.12.2026"));
    QTest::keyClicks(Row::message(editor, 0), QStringLiteral("Zahnarzt"));
    control<QPushButton>(editor, "cmdOKnotify")->click();
    Row::date(editor, 0)->clear();
    QTest::keyClicks(Row::date(editor, 0), QStringLiteral("12/28/26"));
    QTest::keyClicks(Row::time(editor, 0), QStringLiteral("9:30"));
    click(Row::daily(editor, 0));
    control<QPushButton>(editor, "cmdOKnotify")->click();
    return {dir.read(QStringLiteral("Tikor.dat")), app.boxes.shown};
}

// The data file one entry makes, written out by hand: the banners, the
// sound line, the entry in slot 0 and 31 empty slots (an empty slot counts
// as fired).
QByteArray expectedFile()
{
    QByteArray file = "\"THIS IS A SELF UPDATING FILE AND WILL CRASH IF TAMPERED WITH.\"\r\n"
                      "\"DELETE FILE COMPLETELY IF PROBLEM ARISES.\"\r\n"
                      "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"
                      "\"12/28/26\"\r\n\"Zahnarzt\"\r\n\"09:30:00\"\r\n1\r\n0\r\n0\r\n0\r\n";
    for (int slot = 1; slot < 32; ++slot)
        file += "\"\"\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n0\r\n1\r\n";
    return file;
}

} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theEnvironmentChoosesGerman()
    {
        QCOMPARE(QLocale::system().language(), QLocale::German);
        const Translations translations({BuiltTranslations});
        QVERIFY(translations.ownInstalled());
        QCOMPARE(controlTexts(), German);
    }

    void englishWithoutATranslation_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QLocale>("locale");
        QTest::addRow("none installed")
            << QStringList{QStringLiteral("/nonexistent")} << QLocale::system();
        QTest::addRow("no French one")
            << QStringList{BuiltTranslations} << QLocale(QLocale::French, QLocale::France);
        QTest::addRow("English asked for")
            << QStringList{BuiltTranslations} << QLocale(QLocale::English, QLocale::UnitedStates);
    }

    void englishWithoutATranslation()
    {
        QFETCH(QStringList, folders);
        QFETCH(QLocale, locale);
        const Translations translations(folders, locale);
        QVERIFY(!translations.ownInstalled());
        QCOMPARE(controlTexts(), English);
    }

    // Gone with the object: the windows made after it are English again.
    void theTranslationEndsWithItsObject()
    {
        {
            const Translations translations({BuiltTranslations});
            QVERIFY(translations.ownInstalled());
        }
        QCOMPARE(controlTexts(), English);
    }

    // The file's banners, dates and times, and the dates the editor reads,
    // are the same whatever the language of the windows; only the box that
    // tells of the bad date speaks German.
    void theDataFileIsNeverTranslated()
    {
        const Edited english = acceptEdit();
        QCOMPARE(english.boxes, QStringList{"The DATE you entered was not valid."});
        QCOMPARE(english.file, expectedFile());

        const Translations translations({BuiltTranslations});
        QVERIFY(translations.ownInstalled());
        const Edited german = acceptEdit();
        QCOMPARE(german.boxes, QStringList{"Das eingegebene DATUM war ungültig."});
        QCOMPARE(german.file, expectedFile());
    }
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"

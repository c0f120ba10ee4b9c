// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>
#include <QStringList>
#include <QTranslator>

// The texts of the windows in the user's language: Tikora's own translation
// (tikora_<language>.qm) and Qt's (qtbase_<language>.qm, the standard
// buttons), installed into the application for as long as this object lives.
// Where none is found the windows stay in English, and nobody is told.
// The data file's texts are never translated: they are not looked up here.
class Translations
{
public:
    explicit Translations(const QStringList &folders = Translations::folders(),
                          const QLocale &locale = QLocale::system());
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // Whether Tikora's own translation was found and installed.
    bool ownInstalled() const { return m_ownInstalled; }

    // Where Tikora's translations are looked for, first to last: installed
    // (<prefix>/share/tikora/translations, seen from <prefix>/bin), then a
    // build tree's own (translations/ beside the program).
    static QStringList folders();

private:
    QTranslator m_own;
    QTranslator m_qt;
    bool m_ownInstalled = false;
};

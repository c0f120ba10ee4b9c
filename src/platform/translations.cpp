// SPDX-License-Identifier: MIT
#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(const QStringList &folders, const QLocale &locale)
{
    for (const QString &folder : folders) {
        if (m_own.load(locale, QStringLiteral("tikora"), QStringLiteral("_"), folder)) {
            m_ownInstalled = QCoreApplication::installTranslator(&m_own);
            break;
        }
    }
    // Qt's own only beside Tikora's: an English window with German buttons
    // would be worse than an English one.
    if (m_ownInstalled && m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
}

QStringList Translations::folders()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    return {appDir + QStringLiteral("/../share/tikora/translations"),
            appDir + QStringLiteral("/translations")};
}

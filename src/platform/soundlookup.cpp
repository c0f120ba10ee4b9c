// SPDX-License-Identifier: MIT
#include "platform/soundlookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace SoundLookup {

QUrl find(const QString &fileName)
{
    if (fileName.isEmpty() || fileName.contains(u'/') || fileName.contains(u'\\'))
        return {};
    const QFileInfo here(QDir::current(), fileName);
    if (here.isFile())
        return QUrl::fromLocalFile(here.absoluteFilePath());
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString &folder :
         {appDir + QStringLiteral("/../share/tikora/sounds"), appDir + QStringLiteral("/sounds")}) {
        const QFileInfo installed(QDir(folder), fileName);
        if (installed.isFile())
            return QUrl::fromLocalFile(installed.absoluteFilePath());
    }
    const QString builtIn = QStringLiteral(":/sounds/") + fileName;
    if (QFileInfo::exists(builtIn))
        return QUrl(QStringLiteral("qrc") + builtIn);
    return {};
}

} // namespace SoundLookup

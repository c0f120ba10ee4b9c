// SPDX-License-Identifier: MIT
#include "platform/helplookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <memory>

namespace HelpLookup {

QString page()
{
    const QFileInfo installed(QCoreApplication::applicationDirPath() +
                              QStringLiteral("/../share/tikora/help/index.html"));
    if (installed.isFile())
        return installed.canonicalFilePath();

    // A new file of our own (made exclusively, so nothing planted in the
    // temporary folder is followed), kept for the life of the program.
    static std::unique_ptr<QTemporaryFile> copy;
    if (!copy) {
        QFile builtIn(QStringLiteral(":/help/index.html"));
        auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                     QStringLiteral("/tikora-help-XXXXXX.html"));
        if (!builtIn.open(QIODevice::ReadOnly) || !file->open() ||
            file->write(builtIn.readAll()) < 0 || !file->flush())
            return {};
        copy = std::move(file);
    }
    return copy->fileName();
}

} // namespace HelpLookup

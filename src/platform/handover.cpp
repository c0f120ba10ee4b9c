// SPDX-License-Identifier: MIT
#include "platform/handover.h"

#include <QCryptographicHash>
#include <QFile>

namespace HandOver {

QString busName(const QString &folder)
{
    // A bus name's parts are letters, digits and '_', and begin with no
    // digit: the hash is written in hex after a letter.
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("org.example.Tikora.f") + QString::fromLatin1(hash.left(40));
}

} // namespace HandOver

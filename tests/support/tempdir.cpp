// SPDX-License-Identifier: MIT
#include "support/tempdir.h"

#include <QDir>
#include <QFile>

TempCurrentDir::TempCurrentDir() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

TempCurrentDir::~TempCurrentDir()
{
    QDir::setCurrent(m_previous);
}

QByteArray TempCurrentDir::read(const QString &name) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TempCurrentDir::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

bool TempCurrentDir::exists(const QString &name) const
{
    return QFile::exists(filePath(name));
}

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary directory made the current one for the life of the
// object; the data file is looked for there.
class TempCurrentDir
{
public:
    TempCurrentDir();
    ~TempCurrentDir();
    TempCurrentDir(const TempCurrentDir &) = delete;
    TempCurrentDir &operator=(const TempCurrentDir &) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    QByteArray read(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;
    bool exists(const QString &name) const;

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

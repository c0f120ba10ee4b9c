// SPDX-License-Identifier: MIT
#include "store/alarmstore.h"

#include "store/datafile.h"
#include "store/openalerts.h"
#include "store/systemfiles.h"
#include "store/wholefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// The file's bytes; of a file larger than the largest the program writes,
// only its size and modification time, without reading it.
std::optional<AlarmStore::Snapshot> readFile(const QString &name)
{
    const QFileInfo info(name);
    if (!info.isFile())
        return std::nullopt;
    const auto huge = [&info] {
        AlarmStore::Snapshot stamp;
        stamp.hugeSize = info.size();
        stamp.hugeModified = info.lastModified().toMSecsSinceEpoch();
        return stamp;
    };
    if (info.size() > AlarmStore::LargestFile)
        return huge();
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read into a buffer of the size just seen, plus one byte to notice a
    // file that grew since: the tick reads the file twice a second, and a
    // buffer of the largest size each time costs more than the read.
    AlarmStore::Snapshot read;
    QByteArray &bytes = read.bytes;
    bytes.resize(info.size() + 1);
    qint64 got = 0;
    for (;;) {
        const qint64 n = file.read(bytes.data() + got, bytes.size() - got);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += n;
        if (got > AlarmStore::LargestFile)
            return huge(); // it grew since we looked
        if (got == bytes.size())
            bytes.resize(std::min<qint64>(got * 2, AlarmStore::LargestFile + 1));
    }
    bytes.truncate(got);
    return read;
}

} // namespace

AlarmStore::AlarmStore(ProgramState &state)
    : m_state(state), m_deviceFactory(WholeFile::openSaveFile)
{
}

QString AlarmStore::placeProblem()
{
    const QString folder = SystemFiles::folderProblem(QStringLiteral("."));
    return folder.isEmpty() ? SystemFiles::fileProblem(FileName) : folder;
}

void AlarmStore::removeLeftovers(const QDateTime &olderThan)
{
    // QSaveFile's temporary name: the file's name, a dot and six letters or
    // digits, for Tikor.dat and the record of open alerts. Tikor.dat.bad and
    // Tikor.dat.lock never match. Matched by hand: a regular expression here
    // would load its engine at every start.
    const auto isTemporary = [](const QString &name) {
        for (const QString &file : {FileName, OpenAlerts::FileName}) {
            if (name.size() != file.size() + 7 || !name.startsWith(file + u'.'))
                continue;
            const auto isLetterOrDigit = [](QChar c) {
                const char16_t u = c.unicode();
                return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') ||
                       (u >= u'A' && u <= u'Z');
            };
            return std::all_of(name.cbegin() + file.size() + 1, name.cend(), isLetterOrDigit);
        }
        return false;
    };
    const QFileInfoList entries =
        QDir::current().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        if (isTemporary(entry.fileName()) && entry.lastModified() < olderThan)
            QFile::remove(entry.fileName());
    }
}

std::optional<AlarmStore::Snapshot> AlarmStore::load()
{
    // A file that cannot be opened is one that does not exist: one open,
    // not a test that it opens and then a second open, on every tick.
    const std::optional<Snapshot> seen = readFile(FileName);
    if (!seen)
        return std::nullopt;
    if (m_saveFailing && seen == m_known)
        return std::nullopt;

    if (!seen->huge()) {
        // The same bytes as the last complete read: the fields it read,
        // without decoding and parsing the text again.
        const QByteArray &bytes = seen->bytes;
        if (bytes == m_readBytes) {
            m_known = seen;
            m_state.file = m_read;
            m_failed.reset();
            return std::nullopt;
        }
        FileContents read = m_state.file;
        const bool whole = DataFile::decode(bytes, read);
        // Half written: as if not read at all.
        if (!whole && m_changing && m_changing())
            return std::nullopt;
        m_known = seen;
        m_state.file = std::move(read);
        if (whole) {
            m_failed.reset();
            m_readBytes = bytes;
            m_read = m_state.file;
            return std::nullopt;
        }
    } else {
        m_known = seen;
    }
    m_failed = seen;
    if (seen == m_dismissed)
        return std::nullopt;
    return seen;
}

void AlarmStore::dismissProblem(const Snapshot &broken)
{
    m_dismissed = broken;
}

QString AlarmStore::keepBadCopy()
{
    if (!m_failed)
        return {};
    const std::optional<Snapshot> now = readFile(FileName);
    if (now != m_failed)
        return {};
    // The copy is whole and on disk before the damaged file may go.
    const QString reason = m_failed->huge()
                               ? WholeFile::copy(FileName, BadCopyName, m_deviceFactory)
                               : WholeFile::replace(BadCopyName, m_failed->bytes, m_deviceFactory);
    if (reason.isEmpty())
        return {};
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    return QStringLiteral("it is damaged, and no copy of it could be kept as %1 (%2); the "
                          "damaged file is kept as it is in %3")
        .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(BadCopyName)), reason,
             folder);
}

AlarmStore::SaveResult AlarmStore::save(const FileContents &contents)
{
    const QByteArray bytes = DataFile::encode(contents);
    SaveResult result;
    result.reason = placeProblem();
    // A file the next load would refuse as broken is not written: the old
    // file stays, and the table in memory holds the long texts meanwhile.
    if (result.reason.isEmpty() && bytes.size() > LargestFile)
        result.reason = QStringLiteral("the messages are too long (the file may hold 1 MiB)");
    if (result.reason.isEmpty())
        result.reason = keepBadCopy();
    if (result.reason.isEmpty()) {
        result.reason = WholeFile::replace(FileName, bytes, m_deviceFactory);
        result.ok = result.reason.isEmpty();
    }
    if (result.ok) {
        m_known = Snapshot{bytes};
        m_failed.reset();
    }
    result.firstFailure = !result.ok && !m_saveFailing;
    m_saveFailing = !result.ok;
    return result;
}

QString AlarmStore::problemText()
{
    return QCoreApplication::translate("AlarmStore", ProblemSource);
}

QString AlarmStore::saveFailureText(const QString &reason)
{
    return QCoreApplication::translate("AlarmStore", "Tikor.dat could not be saved: %1")
        .arg(reason);
}

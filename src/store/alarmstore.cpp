// SPDX-License-Identifier: MIT
#include "store/alarmstore.h"

#include "store/datafile.h"
#include "store/posixfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// What a complete read of a file whose fields are `read` does to `contents`:
// every field takes the file's value (the spare fired flag stays), and a text
// is replaced only when it differs, as the reader does.
void assignFields(FileContents &contents, const FileContents &read)
{
    const auto text = [](QString &target, const QString &value) {
        if (target != value)
            target = value;
    };
    text(contents.banner1, read.banner1);
    text(contents.banner2, read.banner2);
    contents.sound = read.sound;
    for (int slot = 0; slot < SlotCount; ++slot) {
        Entry &target = contents.table[slot];
        const Entry &value = read.table[slot];
        text(target.date, value.date);
        text(target.message, value.message);
        text(target.time, value.time);
        target.daily = value.daily;
        target.weekly = value.weekly;
        target.monthly = value.monthly;
        target.fired = value.fired;
    }
}

// QSaveFile's own fallback for a folder it cannot create its temporary file
// in empties the file before writing it; save() writes in place itself.
std::unique_ptr<QIODevice> openSaveFile(const QString &path)
{
    return std::make_unique<QSaveFile>(path);
}

} // namespace

AlarmStore::AlarmStore(ProgramState &state) : m_state(state), m_deviceFactory(openSaveFile)
{
}

QString AlarmStore::placeProblem()
{
    const QString folder = PosixFiles::folderProblem(QStringLiteral("."));
    return folder.isEmpty() ? PosixFiles::fileProblem(FileName) : folder;
}

void AlarmStore::removeLeftovers(const QDateTime &olderThan)
{
    // QSaveFile's temporary name: the file's name, a dot and six letters or
    // digits. Tikor.dat.bad and Tikor.dat.lock never match. Matched by hand:
    // a regular expression here would load its engine at every start.
    const QString prefix = FileName + u'.';
    const auto isTemporary = [&prefix](const QString &name) {
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
            return false;
        for (qsizetype i = prefix.size(); i < name.size(); ++i) {
            const char16_t c = name[i].unicode();
            if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
                return false;
        }
        return true;
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
            assignFields(m_state.file, m_read);
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

void AlarmStore::told(const Snapshot &broken)
{
    m_dismissed = broken;
}

void AlarmStore::keepBadCopy()
{
    if (!m_failed || readFile(FileName) != m_failed)
        return;
    QFile::remove(BadCopyName);
    QFile::copy(FileName, BadCopyName);
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
    if (result.reason.isEmpty()) {
        keepBadCopy();
        result.ok = write(bytes, result.reason);
    }
    if (result.ok) {
        m_known = Snapshot{bytes};
        m_failed.reset();
    }
    result.firstFailure = !result.ok && !m_saveFailing;
    m_saveFailing = !result.ok;
    return result;
}

bool AlarmStore::write(const QByteArray &bytes, QString &reason)
{
    std::unique_ptr<QIODevice> device = m_deviceFactory(FileName);
    auto *saveFile = qobject_cast<QSaveFile *>(device.get());
    if (!device->open(QIODevice::WriteOnly)) {
        // A folder we may not create files in, holding a file we may write.
        if (saveFile && QFileInfo(FileName).isFile()) {
            reason = PosixFiles::writeInPlace(FileName, bytes);
            return reason.isEmpty();
        }
        reason = device->errorString();
    } else if (device->write(bytes) != bytes.size()) {
        reason = device->errorString();
    } else if (auto *file = qobject_cast<QFileDevice *>(device.get()); file && !file->flush()) {
        reason = file->errorString();
    } else if (saveFile && !saveFile->commit()) {
        reason = saveFile->errorString();
    } else {
        if (saveFile) {
            // The new name, in the folder of the file a link points to.
            PosixFiles::syncFolder(
                QFileInfo(QFileInfo(FileName).canonicalFilePath()).absolutePath());
        } else {
            device->close();
        }
        return true;
    }
    if (saveFile)
        saveFile->cancelWriting();
    if (reason.isEmpty())
        reason = QStringLiteral("unknown error");
    return false;
}

QString AlarmStore::saveFailureText(const QString &reason)
{
    return QStringLiteral("Tikor.dat could not be saved: %1").arg(reason);
}

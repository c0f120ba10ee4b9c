#include "store/alarmstore.h"

#include "store/datafile.h"
#include "store/platform.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Only a plain file is read: a directory, a pipe or a device put in its
// place must neither fail the read half-way nor block the window.
bool isPlainFile(const QString &name)
{
    return QFileInfo(name).isFile();
}

std::optional<QByteArray> readFile(const QString &name)
{
    if (!isPlainFile(name))
        return std::nullopt;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
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
    text(contents.FileBanner1, read.FileBanner1);
    text(contents.FileBanner2, read.FileBanner2);
    contents.sound = read.sound;
    AlarmTable &t = contents.table;
    const AlarmTable &r = read.table;
    for (int slot = 0; slot < SlotCount; ++slot) {
        text(t.AlarmDate[slot], r.AlarmDate[slot]);
        text(t.AlarmMessage[slot], r.AlarmMessage[slot]);
        text(t.AlarmTime[slot], r.AlarmTime[slot]);
        t.AlarmDaily[slot] = r.AlarmDaily[slot];
        t.AlarmWeekly[slot] = r.AlarmWeekly[slot];
        t.AlarmMonthly[slot] = r.AlarmMonthly[slot];
        t.AlarmFired[slot] = r.AlarmFired[slot];
    }
}

std::unique_ptr<QIODevice> openSaveFile(const QString &path)
{
    auto file = std::make_unique<QSaveFile>(path);
    // A folder we may not create files in, holding a file we may write:
    // write the file in place, as a plain save would.
    file->setDirectWriteFallback(true);
    return file;
}

} // namespace

AlarmStore::AlarmStore(Module1 &state, MessageBoxes &boxes)
    : m_state(state), m_boxes(boxes), m_deviceFactory(openSaveFile)
{
}

bool AlarmStore::DataFileExists() const
{
    QFile file(FileName);
    return isPlainFile(FileName) && file.open(QIODevice::ReadOnly);
}

void AlarmStore::LoadAlarms()
{
    // A file that cannot be opened is one that does not exist: one open,
    // not a DataFileExists() and then a second one, on every tick.
    const std::optional<QByteArray> bytes = readFile(FileName);
    if (!bytes)
        return;
    if (m_saveFailing && bytes == m_knownBytes)
        return;
    m_knownBytes = bytes;

    // The same bytes as the last complete read: the fields it read, without
    // decoding and parsing the text again.
    if (bytes == m_readBytes) {
        assignFields(m_state.file, m_read);
        m_failedBytes.reset();
        return;
    }
    if (DataFile::decode(*bytes, m_state.file)) {
        m_failedBytes.reset();
        m_readBytes = bytes;
        m_read = m_state.file;
        return;
    }
    m_failedBytes = bytes;
    if (m_boxOpen || bytes == m_dismissedBytes)
        return;
    m_boxOpen = true;
    m_boxes.show(ProblemText);
    m_boxOpen = false;
    m_dismissedBytes = bytes;
}

void AlarmStore::keepBadCopy()
{
    if (!m_failedBytes || readFile(FileName) != m_failedBytes)
        return;
    QFile::remove(BadCopyName);
    QFile::copy(FileName, BadCopyName);
}

AlarmStore::SaveResult AlarmStore::save(const FileContents &contents)
{
    const QByteArray bytes = DataFile::encode(contents);
    keepBadCopy();

    SaveResult result;
    std::unique_ptr<QIODevice> device = m_deviceFactory(FileName);
    if (!device->open(QIODevice::WriteOnly)) {
        result.reason = device->errorString();
    } else if (device->write(bytes) != bytes.size()) {
        result.reason = device->errorString();
    } else if (auto *file = qobject_cast<QFileDevice *>(device.get()); file && !file->flush()) {
        result.reason = file->errorString();
    } else if (auto *saveFile = qobject_cast<QSaveFile *>(device.get());
               saveFile && !saveFile->commit()) {
        result.reason = saveFile->errorString();
    } else {
        result.ok = true;
    }
    if (!result.ok) {
        if (auto *saveFile = qobject_cast<QSaveFile *>(device.get()))
            saveFile->cancelWriting();
    } else {
        if (!qobject_cast<QSaveFile *>(device.get()))
            device->close();
        m_knownBytes = bytes;
        m_failedBytes.reset();
    }
    result.firstFailure = !result.ok && !m_saveFailing;
    m_saveFailing = !result.ok;
    return result;
}

QString AlarmStore::saveFailureText(const QString &reason)
{
    return QStringLiteral("Tikor.dat could not be saved: %1").arg(reason);
}

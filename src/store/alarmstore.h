// SPDX-License-Identifier: MIT
#pragma once

#include "store/programstate.h"
#include "store/wholefile.h"

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Reads and writes Tikor.dat, by bare name in the current directory at the
// moment of each call, into and from the shared state.
class AlarmStore
{
public:
    static inline const QString FileName = QStringLiteral("Tikor.dat");
    static inline const QString BadCopyName = QStringLiteral("Tikor.dat.bad");
    static constexpr const char ProblemSource[] = QT_TRANSLATE_NOOP(
        "AlarmStore",
        "PROBLEM WITH SAVED FILE.\r\nFIND AND DELETE   Tikor.dat\r\nA NEW ONE WILL BE CREATED.");
    static inline const QString ProblemText = QString::fromLatin1(ProblemSource);
    // The same, in the user's language where a translation is loaded.
    static QString problemText();

    // A larger file is not read: it is taken for a broken one.
    static constexpr qint64 LargestFile = 1024 * 1024;

    // Opens the device a save writes through. The real one is a QSaveFile on
    // the given path (a temporary file renamed over the old one on commit);
    // where no temporary file can be made beside it, the file is written in
    // place instead.
    using DeviceFactory = WholeFile::DeviceFactory;

    struct SaveResult
    {
        bool ok = false;
        QString reason;            // the device's own words when it failed
        bool firstFailure = false; // the first failure of a run of them
    };

    explicit AlarmStore(ProgramState &state);

    // Why the current folder or Tikor.dat in it is no place for the user's
    // alarms (another user could make the program read or overwrite a file
    // of their choosing), or empty when it is fine. Every save asks again.
    static QString placeProblem();

    // Removes the temporary files of saves that were cut short (the
    // "Tikor.dat.XXXXXX" beside the data file) last modified before the
    // given time. Only a copy that holds the lock may call it.
    static void removeLeftovers(const QDateTime &olderThan);

    // Refreshes the banners, the sound choice and the table from the file. A
    // missing file changes nothing. A broken one keeps every field read before
    // the damage, and is returned for the user to be told of, unless they have
    // been told of the same file already (see dismissProblem()). A file larger than
    // LargestFile is a broken one, and is not read again while its size and
    // modification time stay the same. While saves are failing, memory wins:
    // the file is read again only when it has changed. While the change
    // watch says the file is being changed, a damaged file is another
    // program's write caught half-way: it changes nothing and is not
    // returned, and the load after the change reads it again.
    struct Snapshot;
    std::optional<Snapshot> load();

    // Says whether the data file was changed a moment ago (by a watcher of
    // it). None: a damaged file is always one to tell of.
    void setChangeWatch(std::function<bool()> changing) { m_changing = std::move(changing); }

    // The user has seen the problem of this broken file: it is not returned
    // again while the file stays the same.
    void dismissProblem(const Snapshot &broken);

    // Writes the whole file from `contents` without ever leaving a half
    // written one: the old file stays whole if anything fails. A file whose
    // last load failed is first kept as Tikor.dat.bad, whole and on disk;
    // when that copy cannot be made, nothing is written and the damaged file
    // stays as it is. Nothing is written while placeProblem() has something
    // to say; it is the failure's reason.
    SaveResult save(const FileContents &contents);

    bool saveFailing() const { return m_saveFailing; }
    void setDeviceFactory(DeviceFactory factory) { m_deviceFactory = std::move(factory); }

    // The text that tells the user a save failed.
    static QString saveFailureText(const QString &reason);

    // What a load found in the file: its bytes, or for a file too large to
    // read only its size and modification time.
    struct Snapshot
    {
        QByteArray bytes;
        qint64 hugeSize = -1; // -1: `bytes` hold the whole file
        qint64 hugeModified = 0;

        bool huge() const { return hugeSize >= 0; }
        bool operator==(const Snapshot &) const = default;
    };

private:
    // Keeps the file whose last load failed as Tikor.dat.bad before a save
    // replaces it; empty, or why it could not (and so must not be replaced).
    QString keepBadCopy();

    ProgramState &m_state;
    DeviceFactory m_deviceFactory;
    std::function<bool()> m_changing;
    bool m_saveFailing = false;
    std::optional<Snapshot> m_failed;    // the last load, when it failed
    std::optional<Snapshot> m_dismissed; // the file whose problem the user has seen
    std::optional<Snapshot> m_known;     // the file last loaded or saved
    // The reload's one cache: the bytes of the last load that read every
    // field, and what it read. The same bytes always read as the same
    // fields, so a reload of an unchanged file parses nothing.
    std::optional<QByteArray> m_readBytes;
    FileContents m_read;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "store/wholefile.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The alerts that were raised and not yet acknowledged, kept in a file of
// their own beside Tikor.dat (Tikor.alerts) from the moment each is raised
// until its acknowledgement, so that an alert open when the program ends (a
// logout, a crash, a kill) opens again at the next start. Each alert names
// its slot and the date, time and message its entry held when it was
// raised; one whose entry changed meanwhile is not raised again. A snoozed
// alert is still open: it names the instant it opens again.
class OpenAlerts
{
public:
    static inline const QString FileName = QStringLiteral("Tikor.alerts");
    // A larger record is no record of ours.
    static constexpr qint64 LargestFile = 4 * 1024 * 1024;

    struct Alert
    {
        int slot = 0;
        QString date;
        QString time;
        QString message;
        // Snoozed until then (in UTC); not snoozed when not valid.
        QDateTime snoozedUntil = {};

        friend bool operator==(const Alert &, const Alert &) = default;
    };

    // An alert in this run: the same id until it is acknowledged.
    using Id = int;
    static constexpr Id NoId = 0;

    // Reads the record, once; what follows reads it first when it has not.
    void read();

    // Adds an alert raised now. An alert of the same slot left from the last
    // run, not raised again yet, or snoozed, is dropped: this one stands for
    // it.
    Id add(const Alert &alert);
    // The alert is acknowledged, or was not raised again: it goes.
    void remove(Id id);

    // The alerts left from the last run and not raised again yet, in slot
    // order, one a slot.
    QList<std::pair<Id, Alert>> leftFromLastRun();
    // Whether read() found alerts left that are not raised again yet.
    bool anyLeftFromLastRun() const;
    bool isLeftFromLastRun(Id id) const;
    // A left alert is raised again: it is an alert of this run from now on.
    // (A snoozed one is taken into this run to open at its instant.)
    void raisedAgain(Id id);

    // Snoozes an alert of this run until `until`, or ends its snooze (an
    // invalid `until`) as it opens again.
    void snooze(Id id, const QDateTime &until);
    // Whether an alert of the slot with the same date, time and message is
    // snoozed, in this run or left so by the last one.
    bool snoozedFor(const Alert &entry);
    // Until when the alert is snoozed; not valid when it is not.
    QDateTime snoozedUntil(Id id) const;
    // The snoozed alerts of this run, in slot order.
    QList<std::pair<Id, Alert>> snoozed() const;
    // When the first snooze of this run ends; not valid when none.
    QDateTime firstSnoozeEnd() const;

    // Why the last write failed, or empty; the first of a run of failures is
    // what the user is told.
    struct WriteResult
    {
        QString reason;
        bool firstFailure = false;
    };
    WriteResult lastWrite() const { return m_lastWrite; }

    void setDeviceFactory(WholeFile::DeviceFactory factory)
    {
        m_deviceFactory = std::move(factory);
    }

    // The record's text, and what a text gives back (nothing when it is not
    // a record of ours, with the reason).
    static QByteArray encode(const QList<Alert> &alerts);
    static std::optional<QList<Alert>> decode(const QByteArray &bytes, QString &problem);

private:
    struct Item
    {
        Id id = NoId;
        Alert alert;
        bool fromLastRun = false;
    };

    void write();

    bool m_read = false;
    Id m_lastId = NoId;
    QList<Item> m_items;
    WholeFile::DeviceFactory m_deviceFactory = WholeFile::openSaveFile;
    WriteResult m_lastWrite;
};

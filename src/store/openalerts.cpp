// SPDX-License-Identifier: MIT
#include "store/openalerts.h"

#include "store/alarmtable.h"
#include "store/systemfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QString Format = QStringLiteral("Tikora open alerts");
constexpr int Version = 1;

} // namespace

QByteArray OpenAlerts::encode(const QList<Alert> &alerts)
{
    QJsonArray list;
    for (const Alert &alert : alerts) {
        QJsonObject object{{QStringLiteral("slot"), alert.slot},
                           {QStringLiteral("date"), alert.date},
                           {QStringLiteral("time"), alert.time},
                           {QStringLiteral("message"), alert.message}};
        // Only a snoozed alert has it, so a record without snoozes reads as
        // it always did.
        if (alert.snoozedUntil.isValid())
            object.insert(QStringLiteral("snoozedUntil"),
                          alert.snoozedUntil.toUTC().toString(Qt::ISODateWithMs));
        list.append(object);
    }
    const QJsonObject record{{QStringLiteral("format"), Format},
                             {QStringLiteral("version"), Version},
                             {QStringLiteral("alerts"), list}};
    return QJsonDocument(record).toJson(QJsonDocument::Indented);
}

std::optional<QList<OpenAlerts::Alert>> OpenAlerts::decode(const QByteArray &bytes,
                                                           QString &problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        problem = QStringLiteral("it is damaged (%1 at byte %2)")
                      .arg(error.errorString())
                      .arg(error.offset);
        return std::nullopt;
    }
    const QJsonObject record = document.object();
    if (!document.isObject() || record.value(QStringLiteral("format")).toString() != Format ||
        record.value(QStringLiteral("version")) != QJsonValue(Version) ||
        !record.value(QStringLiteral("alerts")).isArray()) {
        problem = QStringLiteral("it is not a record of open alerts of this program");
        return std::nullopt;
    }
    QList<Alert> alerts;
    const QJsonArray list = record.value(QStringLiteral("alerts")).toArray();
    for (const QJsonValue &value : list) {
        const QJsonObject object = value.toObject();
        const QJsonValue slot = object.value(QStringLiteral("slot"));
        const QJsonValue date = object.value(QStringLiteral("date"));
        const QJsonValue time = object.value(QStringLiteral("time"));
        const QJsonValue message = object.value(QStringLiteral("message"));
        const QJsonValue snoozed = object.value(QStringLiteral("snoozedUntil"));
        const QDateTime until = QDateTime::fromString(snoozed.toString(), Qt::ISODateWithMs);
        const double number = slot.toDouble(-1);
        if (!value.isObject() || !slot.isDouble() || number != int(number) || number < 0 ||
            number >= SlotCount || !date.isString() || !time.isString() || !message.isString() ||
            (!snoozed.isUndefined() && (!until.isValid() || until.timeSpec() != Qt::UTC))) {
            problem = QStringLiteral("alert %1 in it is damaged").arg(alerts.size() + 1);
            return std::nullopt;
        }
        alerts.append(
            Alert{int(number), date.toString(), time.toString(), message.toString(), until});
    }
    return alerts;
}

void OpenAlerts::read()
{
    if (m_read)
        return;
    m_read = true;
    const QFileInfo info(FileName);
    if (!info.exists() && !info.isSymLink())
        return;
    QString problem = SystemFiles::fileProblem(FileName);
    QByteArray bytes;
    if (problem.isEmpty() && info.size() > LargestFile)
        problem = QStringLiteral("it is larger than any record of open alerts");
    if (problem.isEmpty()) {
        QFile file(FileName);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.read(LargestFile + 1);
        else
            problem = file.errorString();
    }
    std::optional<QList<Alert>> alerts;
    if (problem.isEmpty())
        alerts = decode(bytes, problem);
    if (!alerts) {
        // Not ours to raise alarms from; the next write replaces it.
        qWarning("tikora: the record of open alerts %s is ignored: %s",
                 qUtf8Printable(QFileInfo(FileName).absoluteFilePath()), qUtf8Printable(problem));
        return;
    }
    for (const Alert &alert : *alerts)
        m_items.append(Item{++m_lastId, alert, true});
}

void OpenAlerts::write()
{
    QList<Alert> alerts;
    for (const Item &item : std::as_const(m_items))
        alerts.append(item.alert);
    QString reason = SystemFiles::fileProblem(FileName);
    if (reason.isEmpty())
        reason = WholeFile::replace(FileName, encode(alerts), m_deviceFactory);
    m_lastWrite.firstFailure = !reason.isEmpty() && m_lastWrite.reason.isEmpty();
    m_lastWrite.reason = reason;
}

OpenAlerts::Id OpenAlerts::add(const Alert &alert)
{
    read();
    m_items.removeIf([&alert](const Item &item) {
        return (item.fromLastRun || item.alert.snoozedUntil.isValid()) &&
               item.alert.slot == alert.slot;
    });
    m_items.append(Item{++m_lastId, alert, false});
    write();
    return m_lastId;
}

void OpenAlerts::remove(Id id)
{
    read();
    if (id != NoId && m_items.removeIf([id](const Item &item) { return item.id == id; }) > 0)
        write();
}

QList<std::pair<OpenAlerts::Id, OpenAlerts::Alert>> OpenAlerts::leftFromLastRun()
{
    read();
    QList<std::pair<Id, Alert>> left;
    for (const Item &item : std::as_const(m_items)) {
        if (item.fromLastRun)
            left.append({item.id, item.alert});
    }
    // Slot order; the first of a slot stands for all of it.
    std::stable_sort(left.begin(), left.end(),
                     [](const auto &a, const auto &b) { return a.second.slot < b.second.slot; });
    QList<std::pair<Id, Alert>> one;
    for (const auto &alert : left) {
        if (!one.isEmpty() && one.last().second.slot == alert.second.slot)
            remove(alert.first);
        else
            one.append(alert);
    }
    return one;
}

bool OpenAlerts::anyLeftFromLastRun() const
{
    return std::any_of(m_items.cbegin(), m_items.cend(),
                       [](const Item &item) { return item.fromLastRun; });
}

bool OpenAlerts::isLeftFromLastRun(Id id) const
{
    return std::any_of(m_items.cbegin(), m_items.cend(),
                       [id](const Item &item) { return item.fromLastRun && item.id == id; });
}

void OpenAlerts::raisedAgain(Id id)
{
    for (Item &item : m_items) {
        if (item.id == id)
            item.fromLastRun = false;
    }
}

void OpenAlerts::snooze(Id id, const QDateTime &until)
{
    read();
    for (Item &item : m_items) {
        if (item.id == id && !item.fromLastRun) {
            item.alert.snoozedUntil = until.isValid() ? until.toUTC() : QDateTime();
            write();
            return;
        }
    }
}

bool OpenAlerts::snoozedFor(const Alert &entry)
{
    read();
    return std::any_of(m_items.cbegin(), m_items.cend(), [&entry](const Item &item) {
        const Alert &alert = item.alert;
        return alert.snoozedUntil.isValid() && alert.slot == entry.slot &&
               alert.date == entry.date && alert.time == entry.time &&
               alert.message == entry.message;
    });
}

QDateTime OpenAlerts::snoozedUntil(Id id) const
{
    for (const Item &item : m_items)
        if (item.id == id && !item.fromLastRun)
            return item.alert.snoozedUntil;
    return {};
}

QList<std::pair<OpenAlerts::Id, OpenAlerts::Alert>> OpenAlerts::snoozed() const
{
    QList<std::pair<Id, Alert>> snoozed;
    for (const Item &item : m_items) {
        if (!item.fromLastRun && item.alert.snoozedUntil.isValid())
            snoozed.append({item.id, item.alert});
    }
    std::stable_sort(snoozed.begin(), snoozed.end(),
                     [](const auto &a, const auto &b) { return a.second.slot < b.second.slot; });
    return snoozed;
}

QDateTime OpenAlerts::firstSnoozeEnd() const
{
    QDateTime first;
    for (const Item &item : m_items) {
        const QDateTime &until = item.alert.snoozedUntil;
        if (!item.fromLastRun && until.isValid() && (!first.isValid() || until < first))
            first = until;
    }
    return first;
}

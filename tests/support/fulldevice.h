// SPDX-License-Identifier: MIT
#pragma once

#include <QBuffer>

// A device that takes the first `room` bytes and then refuses to write, as a
// full disk does.
class FullDevice : public QBuffer
{
public:
    explicit FullDevice(qint64 room = 0) : m_room(room) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (pos() + len > m_room) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, len);
    }

private:
    qint64 m_room;
};

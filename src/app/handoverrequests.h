// SPDX-License-Identifier: MIT
#pragma once

#include "platform/handover.h"

class AppContext;

// What the running copy does for a later start in its folder: a second start
// shows the main alert window as the tray's "&Tikora" does; `--add` goes
// into the working copy and is saved at once, unless the user is in the
// editor, where it would mix with edits not yet confirmed (it is refused
// then, in words); `--list` lists the entries as the next save would write
// them.
class HandOverRequests : public HandOver::Requests
{
public:
    explicit HandOverRequests(AppContext &context) : m_context(context) {}

    HandOver::Reply show() override;
    HandOver::Reply add(const QString &date, const QString &time, const QString &message,
                        const QString &repeat) override;
    HandOver::Reply list() override;

private:
    AppContext &m_context;
};

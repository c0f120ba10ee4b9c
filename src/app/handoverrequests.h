// SPDX-License-Identifier: MIT
#pragma once

#include "platform/handover.h"

class AppContext;

// What the running copy does for a later start in its folder, answered at
// once from whatever event loop runs (a message box's included), so the
// later start never waits on the user:
// - a second start shows the main alert window as the tray's "&Tikora"
//   does (not over the editor or About; a message box stays in front);
// - `--add` goes into the working copy and is saved at once, as the
//   editor's OK saves; a failed save is told in a box, opened after the
//   answer has gone. It is refused, in words, while the editor is open
//   (the entry would mix with edits not yet confirmed) and while a message
//   box waits for an answer (the program is in the middle of something);
//   nothing is added then, and the later start says so;
// - `--list` lists the entries as the next save would write them.
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

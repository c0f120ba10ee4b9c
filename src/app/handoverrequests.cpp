// SPDX-License-Identifier: MIT
#include "app/handoverrequests.h"

#include "app/commandline.h"
#include "app/entrycommands.h"
#include "windows/appcontext.h"

HandOver::Reply HandOverRequests::show()
{
    m_context.showMainAlert();
    return {};
}

HandOver::Reply HandOverRequests::add(const QString &date, const QString &time,
                                      const QString &message, const QString &repeat)
{
    if (!EntryTexts::repeatNamed(repeat))
        return {CommandLine::BadUsage, QStringLiteral("no repeat is called '%1'").arg(repeat)};
    if (m_context.editorVisible()) {
        return {CommandLine::StartRefused,
                QStringLiteral("the editor is open in the running copy: add the alarm there, or "
                               "close the editor and try again; nothing was added")};
    }
    return EntryCommands::add(m_context.engine, EntryCommands::typed({date, time, message}, repeat),
                              m_context.services.clock.localNow().date());
}

HandOver::Reply HandOverRequests::list()
{
    return EntryCommands::list(m_context.engine);
}

// SPDX-License-Identifier: MIT
#include "app/handoverrequests.h"

#include "app/commandline.h"
#include "app/entrycommands.h"
#include "windows/aboutwindow.h"
#include "windows/appcontext.h"

#include <QCoreApplication>
#include <QDialog>

HandOver::Reply HandOverRequests::show()
{
    m_context.commands.showMainAlert();
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
    // About holds nothing that a save could mix with; a message box is
    // part of something the program is doing.
    if (QDialog *open = m_context.services.modal.active();
        open && !qobject_cast<AboutWindow *>(open)) {
        return {CommandLine::StartRefused,
                QStringLiteral("a message of the running copy waits for an answer: answer it "
                               "and try again; nothing was added")};
    }
    MessageBoxes &boxes = m_context.services.boxes;
    const auto tell = [&boxes](const QString &text) {
        // After the answer has gone: the box's loop must not hold it.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&boxes, text] { boxes.show(text); },
            Qt::QueuedConnection);
    };
    return EntryCommands::add(m_context.engine, EntryCommands::typed({date, time, message}, repeat),
                              m_context.services.clock.localNow().date(), tell);
}

HandOver::Reply HandOverRequests::list()
{
    return EntryCommands::list(m_context.engine);
}

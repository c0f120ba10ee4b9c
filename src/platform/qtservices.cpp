// SPDX-License-Identifier: MIT
#include "platform/qtservices.h"

#include "platform/qtmodalrunner.h"
#include "platform/soundbackend.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPluginLoader>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

void QtMessageBoxes::show(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, AppTitle, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    QtModalRunner().exec(box);
}

void QtProblemReporter::report(const QString &text)
{
    if (m_tray.added() && m_tray.available())
        m_tray.showMessage(text);
    else
        m_boxes.show(text);
}

QtSoundPlayer::QtSoundPlayer() : QtSoundPlayer(defaultPluginFiles())
{
}

QtSoundPlayer::QtSoundPlayer(const QStringList &pluginFiles) : m_pluginFiles(pluginFiles)
{
}

QtSoundPlayer::~QtSoundPlayer()
{
    // The sound effect goes while the application still exists; the
    // libraries stay mapped (their threads may outlive this).
    if (m_loader)
        m_loader->unload();
}

QStringList QtSoundPlayer::defaultPluginFiles()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString name = QStringLiteral(TIKORA_SOUND_PLUGIN_NAME);
    return {appDir + QStringLiteral("/" TIKORA_SOUND_PLUGIN_FROM_BIN "/") + name,
            appDir + u'/' + name};
}

void QtSoundPlayer::beep()
{
    QApplication::beep();
}

void QtSoundPlayer::play(const QString &fileName)
{
    if (SoundBackEnd *backEnd = loadBackEnd())
        backEnd->play(fileName);
}

void QtSoundPlayer::prepare(const QString &fileName)
{
    if (SoundBackEnd *backEnd = loadBackEnd())
        backEnd->prepare(fileName);
}

SoundBackEnd *QtSoundPlayer::loadBackEnd()
{
    if (m_triedLoading)
        return m_backEnd;
    m_triedLoading = true;
    QStringList errors;
    for (const QString &file : std::as_const(m_pluginFiles)) {
        if (!QFileInfo(file).isFile())
            continue;
        auto loader = std::make_unique<QPluginLoader>(file);
        loader->setLoadHints(QLibrary::PreventUnloadHint);
        if (auto *backEnd = qobject_cast<SoundBackEnd *>(loader->instance())) {
            m_loader = std::move(loader);
            m_backEnd = backEnd;
            return m_backEnd;
        }
        errors.append(loader->errorString());
    }
    qWarning("Tikora: no sound plugin could be loaded; alarms only beep. %s",
             qPrintable(errors.isEmpty() ? m_pluginFiles.join(QStringLiteral(", ")) +
                                               QStringLiteral(" not found")
                                         : errors.join(QStringLiteral("; "))));
    return nullptr;
}

void QtHelpViewer::open(const QString &path, std::function<void()> failed)
{
    // Where the freedesktop opener is there, Qt would start it and never
    // know whether it found a viewer: it is run here, and its exit status
    // says (non-zero when it found nothing to show the page with).
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            failed();
        return;
    }
    auto *process = new QProcess(qApp);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || code != 0)
                             failed();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         failed();
                     });
    process->start(opener, {path});
    process->closeWriteChannel();
}

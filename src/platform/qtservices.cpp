// SPDX-License-Identifier: MIT
#include "platform/qtservices.h"

#include "platform/qtmodalrunner.h"
#include "platform/soundlookup.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QSoundEffect>
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

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::beep()
{
    QApplication::beep();
}

void QtSoundPlayer::play(const QString &fileName)
{
    const QUrl source = SoundLookup::find(fileName);
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    // A new sound cuts off the one before it.
    m_effect->stop();
    if (source.isEmpty())
        return;
    m_effect->setSource(source);
    m_effect->play();
}

void QtHelpViewer::open(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

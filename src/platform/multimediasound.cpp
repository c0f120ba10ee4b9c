// SPDX-License-Identifier: MIT
#include "platform/multimediasound.h"

#include "platform/soundlookup.h"

#include <QSoundEffect>
#include <QUrl>

MultimediaSound::MultimediaSound() = default;
MultimediaSound::~MultimediaSound() = default;

void MultimediaSound::play(const QString &fileName)
{
    const QUrl source = SoundLookup::find(fileName);
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    // A new sound cuts off the one before it.
    m_effect->stop();
    if (source.isEmpty())
        return;
    // The same source again is kept as it is, loaded.
    m_effect->setSource(source);
    m_effect->play();
}

void MultimediaSound::prepare(const QString &fileName)
{
    const QUrl source = SoundLookup::find(fileName);
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    if (!source.isEmpty() && !m_effect->isPlaying())
        m_effect->setSource(source);
}

// SPDX-License-Identifier: MIT
#pragma once

#include "platform/soundbackend.h"

#include <QObject>

#include <memory>

class QSoundEffect;

// The sound plugin's one class: a sound effect created on first use.
class MultimediaSound : public QObject, public SoundBackEnd
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TikoraSoundBackEndIid)
    Q_INTERFACES(SoundBackEnd)

public:
    MultimediaSound();
    ~MultimediaSound() override;
    void play(const QString &fileName) override;
    void prepare(const QString &fileName) override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

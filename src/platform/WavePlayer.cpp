// QSoundEffect playback: the file is checked before it is loaded, the end is taken from
// the effect's playing state, its errors or a watchdog, whichever comes first.
#include "platform/WavePlayer.h"

#include "platform/AudioOutputs.h"
#include "platform/WaveFile.h"

#include <QAudioDevice>
#include <QLoggingCategory>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <climits>

namespace ditlog {

Q_LOGGING_CATEGORY(lcAudio, "ditlog.audio", QtWarningMsg)

SoundEffectPlayer::SoundEffectPlayer(QObject* parent, WithoutOutput withoutOutput)
    : WavePlayer(parent), m_watchdog(new QTimer(this)), m_withoutOutput(withoutOutput) {
    m_watchdog->setSingleShot(true);
}

SoundEffectPlayer::~SoundEffectPlayer() { close(); }

void SoundEffectPlayer::close() {
    ++m_generation;
    m_watchdog->stop();
    m_playing = false;
    m_path.clear();
    if (m_effect != nullptr) {
        m_effect->disconnect(this);
        m_effect->stop();
        m_effect->deleteLater();
        m_effect = nullptr;
    }
}

bool SoundEffectPlayer::open(const QString& path) {
    close();
    QString why;
    const auto info = inspectWaveFile(path, &why);
    if (!info) {
        qCDebug(lcAudio) << "cannot play" << path << why;
        return false;
    }
    m_path = path;
    m_durationMs = info->durationMs;
    return true;
}

bool SoundEffectPlayer::play() {
    if (m_path.isEmpty()) {
        return false;
    }
    const quint64 generation = ++m_generation;
    m_playing = true;
    bool found = false;
    const QAudioDevice device = audioOutputById(outputDevice(), &found);
    if (!found) {
        qCDebug(lcAudio) << "output" << outputDevice() << "not present, playing on the default";
    }
    if (device.isNull() && m_withoutOutput == WithoutOutput::EndAtOnce) {
        // Nothing can be heard: the playback is over at once.
        qCDebug(lcAudio) << "no audio output for" << m_path;
        QTimer::singleShot(0, this, [this, generation] { finish(generation, Ending::NoOutput); });
        return true;
    }
    m_effect = new QSoundEffect(device, this);
    connect(m_effect, &QSoundEffect::playingChanged, this, [this, generation] {
        if (m_effect != nullptr && !m_effect->isPlaying()) {
            finish(generation, Ending::Played);
        }
    });
    connect(m_effect, &QSoundEffect::statusChanged, this, [this, generation] {
        if (m_effect != nullptr && m_effect->status() == QSoundEffect::Error) {
            qCDebug(lcAudio) << "playback failed" << m_path;
            finish(generation, Ending::Failed);
        }
    });
    m_watchdog->disconnect(this);
    connect(m_watchdog, &QTimer::timeout, this, [this, generation] {
        qCDebug(lcAudio) << "playback did not end, cut off" << m_path;
        finish(generation, Ending::CutOff);
    });
    m_watchdog->start(int(std::min<qint64>(m_durationMs + m_stuckMarginMs, INT_MAX)));
    m_effect->setSource(QUrl::fromLocalFile(m_path));
    m_effect->play();
    return true;
}

void SoundEffectPlayer::finish(quint64 generation, Ending ending) {
    if (generation != m_generation || !m_playing) {
        return;
    }
    m_playing = false;
    m_lastEnding = ending;
    m_watchdog->stop();
    if (m_effect != nullptr) {
        m_effect->disconnect(this);
        m_effect->stop();
        m_effect->deleteLater();
        m_effect = nullptr;
    }
    Q_EMIT playbackEnded();
}

} // namespace ditlog

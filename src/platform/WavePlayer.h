// Wave-audio playback of one file at a time, with the commands of the classic playback
// device ("Close", "Open", "play") and a report when the playback has ended.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSoundEffect;
class QTimer;

namespace ditlog {

class WavePlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // "Close": stops any playback and forgets the file. No end is reported for it.
    virtual void close() = 0;
    // "Open": takes the file to play; false when it cannot be played (missing, empty,
    // damaged or not a wave file).
    virtual bool open(const QString& path) = 0;
    // "play": starts the opened file without waiting; false when nothing was opened.
    // playbackEnded follows once the sound has ended, also when it could not be heard.
    virtual bool play() = 0;
    virtual bool isPlaying() const = 0;

    // The audio output to play on, by its id (AudioOutputs); empty for the system's
    // default. Taken at the next "play"; an output that is not present plays on the
    // default.
    void setOutputDevice(const QByteArray& id) { m_outputDevice = id; }
    const QByteArray& outputDevice() const { return m_outputDevice; }

Q_SIGNALS:
    void playbackEnded();

private:
    QByteArray m_outputDevice;
};

// Plays through QSoundEffect on the chosen audio output. With no output device the end
// is reported at once; a playback that never reports its end (a stuck audio service) is
// cut after the file's own playing time and a margin.
class SoundEffectPlayer final : public WavePlayer {
    Q_OBJECT
public:
    static constexpr int kStuckMarginMs = 1500;
    // EndAtOnce with no output device (the program); PlayAnyway hands the file to the
    // audio service regardless, which then never reports the end (for tests of the cut).
    enum class WithoutOutput { EndAtOnce, PlayAnyway };

    explicit SoundEffectPlayer(QObject* parent = nullptr,
                               WithoutOutput withoutOutput = WithoutOutput::EndAtOnce);
    ~SoundEffectPlayer() override;

    void close() override;
    bool open(const QString& path) override;
    bool play() override;
    bool isPlaying() const override { return m_playing; }

    // How the last playback ended: the sound played out, there was no output, the audio
    // service failed, or the playback was cut after its time and the margin.
    enum class Ending { None, Played, NoOutput, Failed, CutOff };
    Ending lastEnding() const { return m_lastEnding; }
    void setStuckMarginMs(int ms) { m_stuckMarginMs = ms; }

private:
    void finish(quint64 generation, Ending ending);

    QSoundEffect* m_effect = nullptr;
    QTimer* m_watchdog = nullptr;
    WithoutOutput m_withoutOutput;
    QString m_path;
    qint64 m_durationMs = 0;
    bool m_playing = false;
    Ending m_lastEnding = Ending::None;
    int m_stuckMarginMs = kStuckMarginMs;
    // Counts openings, so that a late report from an earlier file is ignored.
    quint64 m_generation = 0;
};

} // namespace ditlog

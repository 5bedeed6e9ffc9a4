// Test doubles of the audio services: a wave player that records each command and
// plays until the test ends the playback, and a speech output that records its texts.
#pragma once

#include "platform/AudioOutputs.h"
#include "platform/SerialPort.h"
#include "platform/SpeechOutput.h"
#include "platform/WavePlayer.h"
#include "platform/WaveFile.h"

#include <QStringList>

namespace ditlog::testing {

// Opens what a real player would open (the wave header check on the real file), plays
// until endPlayback(). Each command is recorded: "close", "open NAME", "play".
class RecordingWavePlayer final : public WavePlayer {
    Q_OBJECT
public:
    void close() override {
        m_log.append(QStringLiteral("close"));
        m_playing = false;
        m_opened.clear();
    }
    bool open(const QString& path) override {
        m_log.append(QStringLiteral("open ") + path);
        if (!inspectWaveFile(path)) {
            return false;
        }
        m_opened = path;
        return true;
    }
    bool play() override {
        if (m_opened.isEmpty()) {
            return false;
        }
        m_log.append(QStringLiteral("play"));
        m_played.append(m_opened);
        m_playing = true;
        return true;
    }
    bool isPlaying() const override { return m_playing; }

    // The sound has ended: reported as the real player does.
    void endPlayback() {
        if (m_playing) {
            m_playing = false;
            Q_EMIT playbackEnded();
        }
    }
    const QStringList& log() const { return m_log; }
    // Paths of the files that started playing, in order.
    const QStringList& played() const { return m_played; }
    QStringList playedNames() const;
    void clearLog() {
        m_log.clear();
        m_played.clear();
    }

private:
    QStringList m_log;
    QStringList m_played;
    QString m_opened;
    bool m_playing = false;
};

class RecordingSpeech final : public SpeechOutput {
public:
    void say(const QString& text) override { texts.append(text); }
    void stop() override { ++stops; }
    void setOutputDevice(const QByteArray& id) override { outputDevice = id; }
    QStringList texts;
    int stops = 0;
    QByteArray outputDevice;
};

// Audio outputs the test plugs in and pulls out.
class FixedAudioOutputs final : public AudioOutputs {
    Q_OBJECT
public:
    QList<AudioOutput> outputs() const override {
        ++asked;
        return present;
    }
    void plug(const QByteArray& id, const QString& description) {
        present.append({id, description});
        Q_EMIT outputsChanged();
    }
    void unplug(const QByteArray& id) {
        present.removeIf([&id](const AudioOutput& o) { return o.id == id; });
        Q_EMIT outputsChanged();
    }
    QList<AudioOutput> present;
    mutable int asked = 0;
};

// A serial port whose control lines are recorded: the changes of DTR and RTS as "DTR 1",
// "RTS 0" ..., with "open N" and "close". Opening and the lines can be made to fail.
class RecordingSerialPort final : public SerialPort {
    Q_OBJECT
public:
    bool open(int portNumber, const QString& = {}, Handshake = Handshake::None) override;
    void close() override;
    bool isOpen() const override { return m_number > 0; }
    int portNumber() const override { return m_number; }
    QString devicePath() const override { return isOpen() ? QStringLiteral("/dev/null") : QString(); }
    bool setSettings(const QString&) override { return isOpen(); }
    bool setHandshake(Handshake) override { return isOpen(); }
    bool setDtr(bool on) override { return setLine(QStringLiteral("DTR"), m_dtr, on); }
    bool setRts(bool on) override { return setLine(QStringLiteral("RTS"), m_rts, on); }
    qint64 write(const QByteArray& bytes) override { return isOpen() ? bytes.size() : -1; }
    QByteArray readAll() override { return {}; }
    qint64 bytesToWrite() const override { return 0; }
    void clearBuffers() override {}
    int nativeHandle() const override { return -1; }
    QString errorString() const override { return m_error; }

    void setOpenFails(bool fails) { m_openFails = fails; }
    // DTR and RTS changes are refused, as a pseudo-terminal or a failing adapter does.
    void setLinesFail(bool fails) { m_linesFail = fails; }
    // The port vanished (adapter unplugged): closed, with the error signal.
    void vanish();
    bool dtr() const { return m_dtr; }
    bool rts() const { return m_rts; }
    // Line changes and openings, in order.
    QStringList events;

private:
    bool setLine(const QString& name, bool& line, bool on);

    int m_number = 0;
    bool m_dtr = false;
    bool m_rts = false;
    bool m_openFails = false;
    bool m_linesFail = false;
    QString m_error;
};

// A small valid 16-bit mono wave file of the given length, for tests.
QByteArray testWave(int milliseconds = 200, int sampleRate = 8000);

} // namespace ditlog::testing

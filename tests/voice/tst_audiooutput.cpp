// Playback through a real audio output: a private sound server with two null sinks
// stands for the radio's sound card and the operator's headphones. The end of a real
// playback releases push-to-talk; each player plays on the output chosen for it, the
// speech voice too; an output that goes away is reported and the default takes over.
#include "AudioServer.h"
#include "KeyingDoubles.h"
#include "TestDoubles.h"
#include "VoiceDoubles.h"

#include "platform/AudioOutputs.h"
#include "platform/PortOwnership.h"
#include "platform/SpeechOutput.h"
#include "platform/WavePlayer.h"
#include "voice/PhoneKeyer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kF1 = 112;
// Far beyond any real end on a loaded machine: an end seen here is the sound's own.
constexpr int kGenerousMarginMs = 20000;
} // namespace

class TestAudioOutput : public QObject {
    Q_OBJECT

    std::unique_ptr<AudioServer> m_server;
    QTemporaryDir m_dir;

    QString wave(const QString& name, int ms) {
        const QString path = m_dir.filePath(name + QStringLiteral(".wav"));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(testWave(ms, 16000));
        }
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        // Before anything asks Qt Multimedia for a device.
        m_server = std::make_unique<AudioServer>();
        if (!m_server->isRunning()) {
            QSKIP(qPrintable(m_server->why()));
        }
    }

    void outputsAreListed() {
        MediaAudioOutputs outputs;
        QTRY_VERIFY(outputs.contains("radio") && outputs.contains("phones"));
        QCOMPARE(outputs.describe("radio"), QStringLiteral("Radio"));
        QCOMPARE(outputs.describe("phones"), QStringLiteral("Phones"));
        QVERIFY(!outputs.contains("usb-sound-card-not-here"));
    }

    void keyerReleasesPushToTalkAtTheRealEnd() {
        SoundEffectPlayer player;
        player.setStuckMarginMs(kGenerousMarginMs);
        RecordingSerialPort port;
        RecordingParallelPort parallel;
        PortOwnership ownership;
        ScriptedPrompts prompts;
        PhoneKeyer keyer(player, port, parallel, ownership, prompts);
        PhoneSettings s;
        s.files[0] = wave(QStringLiteral("cq"), 600);
        s.pttPort = QStringLiteral("2");
        s.keyerOutput = "radio";
        keyer.setSettings(s);

        keyer.FKeyPhone(kF1);
        QVERIFY(keyer.pttKeyed());
        QCOMPARE(port.events, QStringList({"open 2", "RTS 1"}));
        // The sound reaches the radio's output, not the headphones, while keyed.
        QTRY_VERIFY(m_server->sinksPlaying().contains("radio"));
        QVERIFY(!m_server->sinksPlaying().contains("phones"));
        QVERIFY(keyer.pttKeyed());
        // The player's own end releases push-to-talk.
        QTRY_VERIFY_WITH_TIMEOUT(!keyer.isPlaying(), kGenerousMarginMs);
        QCOMPARE(player.lastEnding(), SoundEffectPlayer::Ending::Played);
        QCOMPARE(port.events, QStringList({"open 2", "RTS 1", "RTS 0"}));
        QVERIFY(!keyer.pttKeyed());
    }

    void promptsAndMessagesPlayApart() {
        SoundEffectPlayer keyerPlayer;
        SoundEffectPlayer promptPlayer;
        keyerPlayer.setOutputDevice("radio");
        promptPlayer.setOutputDevice("phones");
        QVERIFY(keyerPlayer.open(wave(QStringLiteral("long"), 3000)));
        QVERIFY(promptPlayer.open(wave(QStringLiteral("prompt"), 3000)));
        QVERIFY(keyerPlayer.play());
        QVERIFY(promptPlayer.play());
        QTRY_VERIFY(m_server->sinksPlaying().contains("radio") &&
                    m_server->sinksPlaying().contains("phones"));
        QCOMPARE(m_server->sinksPlaying().size(), 2);
        keyerPlayer.close();
        promptPlayer.close();
        QTRY_VERIFY(m_server->sinksPlaying().isEmpty());
    }

    void speechOnTheChosenOutput() {
        if (!TextToSpeechOutput::voiceInstalled()) {
            QSKIP("needs the flite voice (libflite1)");
        }
        TextToSpeechOutput speech;
        speech.setOutputDevice("phones");
        // Long enough to outlast the sound service's buffer: heard whole, not cut short.
        speech.say(QStringLiteral("Duplicate K 1 A B C. Worked 2026/12/08 at 14:00:00, record 1."));
        QTRY_VERIFY_WITH_TIMEOUT(m_server->sinksPlaying().contains("phones"), 10000);
        QVERIFY(!m_server->sinksPlaying().contains("radio"));
        QTest::qWait(1500);
        QVERIFY(m_server->sinksPlaying().contains("phones")); // still speaking
        speech.stop();
        // Another output: the voice moves there.
        QTRY_VERIFY(m_server->sinksPlaying().isEmpty());
        speech.setOutputDevice("radio");
        speech.say(QStringLiteral("Score 350"));
        QTRY_VERIFY_WITH_TIMEOUT(m_server->sinksPlaying().contains("radio"), 10000);
        speech.stop();
    }

    // Last: it takes the headphones away.
    void goneOutputFallsBackToTheDefault() {
        MediaAudioOutputs outputs;
        QTRY_VERIFY(outputs.contains("phones"));
        QSignalSpy changed(&outputs, &AudioOutputs::outputsChanged);
        QVERIFY(m_server->unloadSink(QStringLiteral("phones")));
        QTRY_VERIFY(!changed.isEmpty());
        QVERIFY(!outputs.contains("phones"));

        SoundEffectPlayer player;
        player.setStuckMarginMs(kGenerousMarginMs);
        player.setOutputDevice("phones");
        QSignalSpy ended(&player, &WavePlayer::playbackEnded);
        QVERIFY(player.open(wave(QStringLiteral("tu"), 400)));
        QVERIFY(player.play());
        // The default output (the first sink) plays it, to its end.
        QTRY_VERIFY(m_server->sinksPlaying().contains("radio"));
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), kGenerousMarginMs);
        QCOMPARE(player.lastEnding(), SoundEffectPlayer::Ending::Played);
    }
};

QTEST_MAIN(TestAudioOutput)
#include "tst_audiooutput.moc"

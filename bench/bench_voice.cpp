// Window-thread cost of the voice: a prompt started on the real player, a function key
// with push-to-talk, a text handed to the speech engine, and the engine's loading.
#include "KeyingDoubles.h"
#include "TestDoubles.h"
#include "VoiceDoubles.h"

#include "platform/PortOwnership.h"
#include "platform/SpeechOutput.h"
#include "platform/WavePlayer.h"
#include "voice/PhoneKeyer.h"
#include "voice/VoicePrompts.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

class BenchVoice : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    TextToSpeechOutput m_speech;

private Q_SLOTS:
    void initTestCase() {
        Q_INIT_RESOURCE(ditlog);
        QVERIFY(installMissingPrompts(m_dir.path()).size() == 9);
        // The voice loads on the synthesis thread: the window thread only hands it over.
        QElapsedTimer load;
        load.start();
        m_speech.prepare();
        qInfo("speech_voice_load_handed_over %lld ms", load.elapsed());
    }

    void promptStarted() {
        SoundEffectPlayer player;
        VoicePrompts prompts(player, m_dir.path());
        QBENCHMARK {
            prompts.BlindKeyPhone(QStringLiteral("RstRcvd"));
        }
        prompts.close();
    }

    void functionKeyWithPtt() {
        SoundEffectPlayer player;
        RecordingSerialPort port;
        RecordingParallelPort parallel;
        PortOwnership ownership;
        ScriptedPrompts prompts;
        PhoneKeyer keyer(player, port, parallel, ownership, prompts);
        PhoneSettings s;
        s.files[1] = m_dir.filePath(QStringLiteral("NavEn.wav"));
        s.pttPort = QStringLiteral("1");
        keyer.setSettings(s);
        QBENCHMARK {
            keyer.FKeyPhone(113);
        }
    }

    void speechSay() {
        QBENCHMARK {
            m_speech.say(QStringLiteral("Duplicate K 1 A B C. Worked 2026/12/08 at 14:00:00, record 1."));
        }
        m_speech.stop();
    }
};

QTEST_MAIN(BenchVoice)
#include "bench_voice.moc"

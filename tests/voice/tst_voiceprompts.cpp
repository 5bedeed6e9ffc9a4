// Wave files, the voice keyer's settings file, the spoken prompts with their waits, the
// shipped prompt files and the real player's end of playback.
#include "VoiceDoubles.h"

#include "log/ContactLog.h"
#include "log/RecordFile.h"
#include "platform/WaveFile.h"
#include "platform/WavePlayer.h"
#include "voice/PhoneSettings.h"
#include "voice/SpokenText.h"
#include "voice/VoicePrompts.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool noAudioOutput() { return QMediaDevices::defaultAudioOutput().isNull(); }

QByteArray withU32(QByteArray bytes, int at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}
} // namespace

class TestVoicePrompts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Q_INIT_RESOURCE(ditlog); }

    void waveHeader_data();
    void waveHeader();
    void waveListRoundTrip();
    void waveListDamaged();
    void repeatField();
    void promptsPlayByName();
    void waitedPromptIsNeverCutOff();
    void navigationChoices();
    void shippedPromptsArePlacedOnce();
    void spokenTexts();
    void realPlayerEndsWithoutOutput();
    void realPlayerCutsStuckPlayback();
};

void TestVoicePrompts::waveHeader_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("playable");
    const QByteArray good = testWave(250);
    QTest::newRow("valid") << good << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("text file") << QByteArray("\"K1ABC\",\"579\"\r\n") << false;
    QTest::newRow("header cut") << good.left(30) << false;
    QTest::newRow("data cut short") << good.left(good.size() - 10) << false;
    QTest::newRow("no sound data") << withU32(good.left(44), 40, 0) << false;
    QTest::newRow("size beyond the file") << withU32(good, 40, 0xFFFFFFF0u) << false;
    QTest::newRow("nine channels") << withU32(good, 22, quint32(9) | (8000u << 16)) << false;
    QByteArray compressed = good;
    compressed[20] = 2; // ADPCM
    QTest::newRow("compressed") << compressed << false;
    // An odd-sized chunk before the data is padded to an even length.
    QByteArray padded = good.left(36) + QByteArray("LIST") + QByteArray("\x03\0\0\0abc\0", 8) +
                        good.mid(36);
    QTest::newRow("padded chunk") << padded << true;
    QByteArray dataFirst = good.left(12) + good.mid(36, 8) + good.mid(12, 24);
    QTest::newRow("data before format") << dataFirst << false;
}

void TestVoicePrompts::waveHeader() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, playable);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.wav"));
    writeFile(path, bytes);
    QString why;
    const auto info = inspectWaveFile(path, &why);
    QCOMPARE(info.has_value(), playable);
    if (playable) {
        QCOMPARE(info->durationMs, 250);
        QCOMPARE(info->sampleRate, 8000);
    } else {
        QVERIFY(!why.isEmpty());
    }
    QVERIFY(!inspectWaveFile(dir.filePath(QStringLiteral("missing.wav"))));
    QVERIFY(!inspectWaveFile(dir.path())); // a folder
}

void TestVoicePrompts::waveListRoundTrip() {
    QTemporaryDir dir;
    PhoneSettings s;
    s.files[0] = QStringLiteral("  /home/op/cq.wav ");
    s.files[1] = QStringLiteral("/home/op/josé/exchange.wav");
    s.files[8] = QStringLiteral("C:\\wav\\tu.wav");
    s.pttPort = QStringLiteral("3");
    s.pttLine = PhonePttLine::Parallel;
    s.repeatSeconds = QStringLiteral("2.5");
    s.parallelAddress = QStringLiteral("&H278");
    s.keyerOutput = QByteArrayLiteral("alsa_output.usb-Burr-Brown_USB_Audio_CODEC-00.analog-stereo");
    QVERIFY(!writeWaveList(dir.path(), s));
    const auto bytes = readWholeFile(dir.filePath(QStringLiteral("wave2.txt")));
    QVERIFY(bytes);
    QCOMPARE(bytes->left(20), QByteArray("\"/home/op/cq.wav\"\r\n\""));
    // The thirteen documented lines come first, as every version writes them; the two
    // outputs follow.
    QVERIFY(bytes->endsWith("\"3\"\r\n2\r\n\"2.5\"\r\n\"&H278\"\r\n"
                            "\"alsa_output.usb-Burr-Brown_USB_Audio_CODEC-00.analog-stereo\"\r\n\"\"\r\n"));
    QCOMPARE(bytes->count("\r\n"), 15);

    const WaveListLoad load = readWaveList(dir.path());
    QVERIFY(load.found && !load.damaged);
    PhoneSettings expected = s;
    expected.files[0] = QStringLiteral("/home/op/cq.wav"); // written without the blanks
    QCOMPARE(load.settings, expected);

    // A file of the thirteen lines alone (an older version's) reads as before, on the
    // default outputs; so does one with only the keyer's output.
    const QByteArray older = bytes->left(bytes->indexOf("\"alsa_output"));
    QCOMPARE(older.count("\r\n"), 13);
    writeFile(dir.filePath(QStringLiteral("wave2.txt")), older);
    WaveListLoad read = readWaveList(dir.path());
    QVERIFY(!read.damaged);
    expected.keyerOutput.clear();
    QCOMPARE(read.settings, expected);
    writeFile(dir.filePath(QStringLiteral("wave2.txt")), older + "\"hw:1\"\r\n");
    read = readWaveList(dir.path());
    QVERIFY(!read.damaged);
    QCOMPARE(read.settings.keyerOutput, QByteArrayLiteral("hw:1"));
    QVERIFY(read.settings.promptOutput.isEmpty());
}

void TestVoicePrompts::waveListDamaged() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wave2.txt"));
    // Missing: the defaults.
    QCOMPARE(readWaveList(dir.path()).settings, PhoneSettings{});
    QVERIFY(!readWaveList(dir.path()).found);
    // Cut after the port: what was read stays, the rest are defaults.
    writeFile(path, "\"a.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"i.wav\"\r\n\"4\"\r\nX\r\n");
    WaveListLoad load = readWaveList(dir.path());
    QVERIFY(load.damaged);
    QCOMPARE(load.settings.files[0], QStringLiteral("a.wav"));
    QCOMPARE(load.settings.files[8], QStringLiteral("i.wav"));
    QCOMPARE(load.settings.pttPort, QStringLiteral("4"));
    QCOMPARE(load.settings.pttLine, PhonePttLine::Rts);
    QCOMPARE(load.settings.parallelAddress, QStringLiteral("&H378"));
    // A line number naming no option and a repeat out of range fall back.
    writeFile(path, QByteArray("\"\"\r\n").repeated(9) + "\"0\"\r\n7\r\n\"75\"\r\n\"&H3BC\"\r\n");
    load = readWaveList(dir.path());
    QVERIFY(!load.damaged);
    QCOMPARE(load.settings.pttLine, PhonePttLine::Rts);
    QCOMPARE(load.settings.repeatSeconds, QStringLiteral("0"));
    QCOMPARE(load.settings.parallelAddress, QStringLiteral("&H3BC"));
    // Binary rubbish is no crash.
    writeFile(path, QByteArray(5000, '\xff'));
    QVERIFY(readWaveList(dir.path()).damaged);
}

void TestVoicePrompts::repeatField() {
    QCOMPARE(repeatIntervalMs(QStringLiteral("0")), 0);
    QCOMPARE(repeatIntervalMs(QStringLiteral("10")), 10000);
    QCOMPARE(repeatIntervalMs(QStringLiteral("2.5")), 2500);
    QCOMPARE(repeatIntervalMs(QStringLiteral("59.9")), 59900);
    QVERIFY(!repeatIntervalMs(QStringLiteral("60")));
    QVERIFY(!repeatIntervalMs(QStringLiteral("1.2.3")));
    QVERIFY(!repeatIntervalMs(QStringLiteral("")));
    QCOMPARE(pttPortNumber(QStringLiteral(" 3 ")), 3);
    QCOMPARE(pttPortNumber(QStringLiteral("COM3")), 0);
    QCOMPARE(pttPortNumber(QStringLiteral("-2")), 0);
}

void TestVoicePrompts::promptsPlayByName() {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Call.wav")), testWave());
    writeFile(dir.filePath(QStringLiteral("name.WAV")), testWave()); // recorded elsewhere
    writeFile(dir.filePath(QStringLiteral("SPC.wav")), "not a wave");
    RecordingWavePlayer player;
    VoicePrompts prompts(player, dir.path());

    prompts.BlindKeyPhone(QStringLiteral("Call"));
    QCOMPARE(player.log(), QStringList({QStringLiteral("close"),
                                        QStringLiteral("open ") + dir.filePath("Call.wav"),
                                        QStringLiteral("play")}));
    prompts.BlindKeyPhone(QStringLiteral("Name"));
    QCOMPARE(player.playedNames(), QStringList({"Call", "name"}));
    // Missing, damaged and blank prompts play nothing and say nothing.
    prompts.BlindKeyPhone(QStringLiteral("Power"));
    prompts.BlindKeyPhone(QStringLiteral("SPC"));
    prompts.BlindKeyPhone(QStringLiteral("  "));
    QCOMPARE(player.playedNames().size(), 2);
    QVERIFY(!prompts.isPlaying());
}

void TestVoicePrompts::waitedPromptIsNeverCutOff() {
    QTemporaryDir dir;
    for (const QString& n : VoicePrompts::promptNames()) {
        writeFile(dir.filePath(n + ".wav"), testWave());
    }
    RecordingWavePlayer player;
    VoicePrompts prompts(player, dir.path());
    QObject context;
    QStringList events;

    prompts.playAndWait(QStringLiteral("Dupe"));
    QVERIFY(prompts.isWaiting());
    prompts.afterPrompt(&context, [&] { events << "after"; });
    {
        QObject gone;
        prompts.afterPrompt(&gone, [&] { events << "gone"; });
    }
    prompts.BlindKeyPhone(QStringLiteral("Call"));
    prompts.BlindKeyPhone(QStringLiteral("RstRcvd")); // the latest request wins
    QCOMPARE(player.playedNames(), QStringList{"Dupe"});
    QVERIFY(events.isEmpty());

    player.endPlayback();
    QCOMPARE(events, QStringList{"after"});
    QCOMPARE(player.playedNames(), QStringList({"Dupe", "RstRcvd"}));
    QVERIFY(!prompts.isWaiting());
    // With nothing to wait for, the continuation runs at once.
    prompts.afterPrompt(&context, [&] { events << "now"; });
    QCOMPARE(events.last(), QStringLiteral("now"));
    // A waited prompt that cannot be played is no wait.
    QFile::remove(dir.filePath("Dupe.wav"));
    prompts.playAndWait(QStringLiteral("Dupe"));
    QVERIFY(!prompts.isWaiting());
}

void TestVoicePrompts::navigationChoices() {
    QTemporaryDir dir;
    for (const QString& n : VoicePrompts::promptNames()) {
        writeFile(dir.filePath(n + ".wav"), testWave());
    }
    RecordingWavePlayer player;
    VoicePrompts prompts(player, dir.path());
    prompts.announceNavigation(0);
    prompts.announceNavigation(2);
    QCOMPARE(player.playedNames(), QStringList({"NavDis", "NavEn"}));
    player.endPlayback();
    player.clearLog();
    prompts.announceNavigation(1);
    QCOMPARE(player.playedNames(), QStringList{"NavEn"});
    player.endPlayback();
    QCOMPARE(player.playedNames(), QStringList({"NavEn", "Call"}));
}

void TestVoicePrompts::shippedPromptsArePlacedOnce() {
    // Every shipped prompt is a playable wave file of reasonable length.
    for (const QString& n : VoicePrompts::promptNames()) {
        QFile shipped(QStringLiteral(":/data/prompts/") + n + ".wav");
        QVERIFY2(shipped.open(QIODevice::ReadOnly), qPrintable(n));
        const QByteArray bytes = shipped.readAll();
        const auto info = parseWaveHeader(bytes.left(kWaveHeaderScanBytes), bytes.size());
        QVERIFY2(info && info->durationMs > 200 && info->durationMs < 3000, qPrintable(n));
    }
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("dupe.wav")), "my own recording");
    writeFile(dir.filePath(QStringLiteral("Call.wav")), "my own call");
    const QStringList placed = installMissingPrompts(dir.path());
    QCOMPARE(placed.size(), 7);
    QVERIFY(!placed.contains("Dupe") && !placed.contains("Call"));
    QCOMPARE(readWholeFile(dir.filePath("Call.wav")).value(), QByteArray("my own call"));
    QVERIFY(!QFile::exists(dir.filePath("Dupe.wav")));
    QVERIFY(inspectWaveFile(dir.filePath("NavEn.wav")));
    QVERIFY(installMissingPrompts(dir.path()).isEmpty());
    // A folder that cannot be written is no crash.
    QVERIFY(installMissingPrompts(dir.filePath("no/such/folder")).isEmpty());
}

void TestVoicePrompts::spokenTexts() {
    QCOMPARE(spokenCall(QStringLiteral("k1abc/p")), QStringLiteral("K 1 A B C stroke P"));
    QCOMPARE(spokenStatus(QStringLiteral("Duplicate K%1 2007/03/04 14:05:33  Rec# 12")),
             QStringLiteral("Duplicate K % 1. Worked 2007/03/04 at 14:05:33, record 12."));
    QCOMPARE(spokenStatus(QStringLiteral(" ")), QString());
    QCOMPARE(spokenStatus(QStringLiteral("Need Name!")), QStringLiteral("Need Name!"));
    ContactRecord r;
    r.call = QStringLiteral("W1AW");
    r.time = QStringLiteral("14:05:33");
    r.band = QStringLiteral("20");
    r.name = QStringLiteral("BOB");
    r.spc = QStringLiteral("CT");
    QCOMPARE(spokenLastContact(&r), QStringLiteral("Last contact W 1 A W, 14:05, 20 metres, BOB, CT."));
    QCOMPARE(spokenLastContact(nullptr), QStringLiteral("No contacts yet."));
    QCOMPARE(spokenScore({"12", "50", "7", "350"}),
             QStringLiteral("Score 350. 12 contacts, 50 points, 7 multipliers."));
}

void TestVoicePrompts::realPlayerEndsWithoutOutput() {
    if (!noAudioOutput()) {
        QSKIP("this machine has an audio output");
    }
    QTemporaryDir dir;
    writeFile(dir.filePath("a.wav"), testWave(300));
    SoundEffectPlayer player;
    QSignalSpy ended(&player, &WavePlayer::playbackEnded);
    QVERIFY(!player.open(dir.filePath("missing.wav")));
    QVERIFY(!player.play());
    QVERIFY(player.open(dir.filePath("a.wav")));
    QVERIFY(player.play());
    QVERIFY(ended.wait(5000));
    QVERIFY(!player.isPlaying());
    // Closing before the end reports nothing.
    QVERIFY(player.play());
    player.close();
    QTest::qWait(50);
    QCOMPARE(ended.size(), 1);
}

void TestVoicePrompts::realPlayerCutsStuckPlayback() {
    if (!noAudioOutput()) {
        QSKIP("this machine has an audio output");
    }
    // Without an output the audio service keeps reporting "playing": the watchdog cuts
    // it after the file's own time and the margin.
    QTemporaryDir dir;
    writeFile(dir.filePath("a.wav"), testWave(200));
    SoundEffectPlayer player(nullptr, SoundEffectPlayer::WithoutOutput::PlayAnyway);
    QSignalSpy ended(&player, &WavePlayer::playbackEnded);
    QVERIFY(player.open(dir.filePath("a.wav")));
    QVERIFY(player.play());
    QVERIFY(player.isPlaying());
    QVERIFY(ended.wait(20000));
    QVERIFY(!player.isPlaying());
}

QTEST_MAIN(TestVoicePrompts)
#include "tst_voiceprompts.moc"

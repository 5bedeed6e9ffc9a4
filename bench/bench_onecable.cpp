// One cable to the radio, three figures on this machine's pseudo-terminals:
//  1. keying edge error on the rig port's DTR while the rig link polls a scripted Kenwood
//     on the same port every 100 ms: the keying child (the program's keyer, engine and
//     rig link) under the modem-line shim, which stamps each DTR change as its ioctl
//     returns; each edge is compared with the unit grid of the edge before it (the keyer
//     re-anchors after a late edge, so a stall counts once);
//  2. F1 to the first KY byte with "Radio (CAT)": the keyer, the rig link and the serial
//     port of the program, a scripted Kenwood on the far end (first the room query "KY;",
//     then the text command "KY ...");
//  3. a voice function key to the radio's transmit acknowledgement and to the start of
//     the wave: the voice keyer through the rig link to a scripted CI-V radio (1C 00 01,
//     answered FB).
// DITLOG_BENCH_RUNS sets the runs of 2 and 3 (default 30) and of 1 (default 3).
#include "KeyerRig.h"
#include "KeyingDoubles.h"
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"
#include "TestDoubles.h"
#include "VoiceDoubles.h"
#include "app/StationRadio.h"
#include "platform/DataPortLines.h"
#include "platform/PortOwnership.h"
#include "platform/TimerClock.h"
#include "rig/RigLink.h"
#include "rig/RigSettings.h"
#include "rig/SerialRigTransport.h"
#include "voice/PhoneKeyer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kPort = 6;

int runs(int fallback) {
    const int n = qEnvironmentVariableIntValue("DITLOG_BENCH_RUNS");
    return n > 0 ? n : fallback;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v.at(std::min(v.size() - 1, size_t(std::ceil(p * double(v.size())) - 1)));
}

void report(const char* what, const std::vector<double>& ms) {
    qInfo("%s: n=%zu median %.2f ms, p90 %.2f ms, max %.2f ms", what, ms.size(),
          percentile(ms, 0.5), percentile(ms, 0.9), percentile(ms, 1.0));
}

class Host final : public CwKeyerHost {
public:
    QString callForMessages() const override { return QStringLiteral("K1ABC"); }
    QString reportSentForMessages() const override { return {}; }
    void logContact() override {}
    bool keyboardCwMode() const override { return false; }
    void showKeyerStatus(const QString&) override {}
};

// A rig link on a pseudo-terminal with its scripted radio.
struct Link {
    SystemTimerClock clock;
    PseudoTerminal device;
    ScriptedRadio radio;
    QtSerialPort& port;
    SerialRigTransport transport{port};
    RigLink link{transport, clock};
    DataPortLines lines{port};
    StationRadio station{link, lines};

    Link(PortMap& map, QtSerialPort& p, ScriptedRadio::Protocol protocol, const char* rigType)
        : radio(device, protocol), port(p) {
        map.setMappedPath(kPort, device.devicePath());
        transport.setKeyedLines(&lines);
        RigSettings s;
        applyRigPreset(s, rigFamily(QLatin1String(rigType)));
        s.portNumber = kPort;
        s.pollRate = QStringLiteral("F");
        link.setSettings(s);
        link.startPolling();
    }
    ~Link() { link.stopPolling(); }
};

void f1ToFirstKy() {
    ScriptedPrompts prompts;
    KeyerRig rig{prompts};
    QtSerialPort port{rig.map};
    Link l(rig.map, port, ScriptedRadio::Protocol::Kenwood, "Kenwood");
    Host host;
    rig.keyer.setHost(&host);
    rig.keyer.setRadio(&l.station, &l.clock);
    rig.keyer.setSpeedText(QStringLiteral("30"));
    rig.keyer.setKeyingLine(KeyingLineChoice::RadioCat);
    rig.keyer.setMessage(0, QStringLiteral("CQ TEST K1ABC"));
    if (!QTest::qWaitFor([&] { return l.station.cwUnavailable().isEmpty(); }, 10000)) {
        qWarning("the link did not come up");
        return;
    }

    QElapsedTimer timer;
    qint64 queryNs = -1;
    qint64 textNs = -1;
    QObject::connect(&l.device, &PseudoTerminal::bytesReceived, [&](const QByteArray& bytes) {
        if (queryNs < 0 && bytes.contains("KY")) {
            queryNs = timer.nsecsElapsed();
        }
        if (textNs < 0 && bytes.contains("KY ")) {
            textNs = timer.nsecsElapsed();
        }
    });
    std::vector<double> query;
    std::vector<double> text;
    for (int i = 0; i < runs(30); ++i) {
        QTest::qWait(37 + (i * 13) % 100); // at different points of the poll cycle
        queryNs = textNs = -1;
        timer.start();
        rig.keyer.FKeyCW(112);
        if (!QTest::qWaitFor([&] { return textNs >= 0; }, 5000)) {
            qWarning("run %d: no KY text", i);
            continue;
        }
        query.push_back(double(queryNs) / 1e6);
        text.push_back(double(textNs) / 1e6);
        rig.keyer.stopExternalKeyer();
        QTest::qWait(50);
    }
    report("F1 to the first KY byte (the room query KY;)", query);
    report("F1 to the first KY text command", text);
    rig.keyer.setRadio(nullptr);
}

void voiceKeyToAcknowledgement() {
    QTemporaryDir dir;
    QtSettingsStore store{dir.filePath(QStringLiteral("settings.ini"))};
    PortMap map{store};
    QtSerialPort port{map};
    Link l(map, port, ScriptedRadio::Protocol::Civ, "Icom");
    QFile f(dir.filePath(QStringLiteral("cq.wav")));
    f.open(QIODevice::WriteOnly);
    f.write(testWave());
    f.close();
    RecordingWavePlayer player;
    RecordingSerialPort pttPort;
    RecordingParallelPort parallel;
    PortOwnership ownership;
    ScriptedPrompts prompts;
    PhoneKeyer keyer{player, pttPort, parallel, ownership, prompts};
    PhoneSettings s;
    s.files[0] = f.fileName();
    s.pttPort = QStringLiteral("0");
    s.pttLine = PhonePttLine::RadioCat;
    keyer.setRadio(&l.station);
    keyer.setSettings(s);
    if (!QTest::qWaitFor([&] { return l.station.transmitUnavailable().isEmpty(); }, 10000)) {
        qWarning("the link did not come up");
        return;
    }

    std::vector<double> acknowledged;
    std::vector<double> played;
    for (int i = 0; i < runs(30); ++i) {
        QTest::qWait(37 + (i * 13) % 100);
        const bool was = l.radio.transmitting();
        QElapsedTimer timer;
        timer.start();
        keyer.FKeyPhone(112);
        qint64 ackNs = -1;
        // The radio switches and answers as the frame arrives: its state marks the answer.
        while (timer.elapsed() < 5000 && !player.isPlaying()) {
            if (ackNs < 0 && l.radio.transmitting() && !was) {
                ackNs = timer.nsecsElapsed();
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        if (!player.isPlaying()) {
            qWarning("run %d: not played", i);
            continue;
        }
        played.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (ackNs < 0 && l.radio.transmitting()) {
            ackNs = timer.nsecsElapsed(); // switched and played within one pass
        }
        if (ackNs >= 0) {
            acknowledged.push_back(double(ackNs) / 1e6);
        }
        keyer.stopMessage();
        (void)QTest::qWaitFor([&] { return !l.radio.transmitting(); }, 2000);
    }
    report("voice F1 to the radio switching to transmit (answer sent)", acknowledged);
    report("voice F1 to the wave starting (after the acknowledgement)", played);
    keyer.setRadio(nullptr);
}

void rigPortDtrEdgeError() {
    std::vector<double> errorsUs;
    int polls = 0;
    for (int run = 0; run < runs(3); ++run) {
        QTemporaryDir dir;
        PseudoTerminal device;
        ScriptedRadio radio(device, ScriptedRadio::Protocol::Kenwood);
        const QString log = dir.filePath(QStringLiteral("lines.log"));
        QFile parport(dir.filePath(QStringLiteral("parport0")));
        parport.open(QIODevice::WriteOnly);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(MODEM_SHIM));
        env.insert(QStringLiteral("MODEMSHIM_LOG"), log);
        env.insert(QStringLiteral("MODEMSHIM_SERIAL"), device.devicePath());
        env.insert(QStringLiteral("MODEMSHIM_PARPORT"), parport.fileName());
        env.insert(QStringLiteral("MODEMSHIM_SPEED"), QStringLiteral("9600"));
        env.insert(QStringLiteral("KEYING_SERIAL"), device.devicePath());
        env.insert(QStringLiteral("KEYING_PARPORT_STEM"), dir.filePath(QStringLiteral("parport")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString text = QStringLiteral("CQ TEST DE K1ABC K1ABC TEST");
        child.start(QStringLiteral(KEYING_CHILD),
                    {QStringLiteral("rigport"), QStringLiteral("dtr"), QStringLiteral("25"), text,
                     QStringLiteral("N")});
        if (!QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, 120000) ||
            child.exitCode() != 0) {
            qWarning("keying child failed (%d)", child.exitCode());
            continue;
        }
        QFile file(log);
        file.open(QIODevice::ReadOnly);
        static const QRegularExpression serial(
            QStringLiteral("^(\\d+) S\\d+ dtr=(\\d) rts=(\\d) (\\S+)$"));
        std::vector<qint64> edges;
        bool level = false;
        bool written = false;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const auto m = serial.match(QString::fromLatin1(line));
            if (!m.hasMatch()) {
                continue;
            }
            written = written || m.captured(4) == u"ioctl";
            const bool down = m.captured(2) == u"1";
            if (written && down != level) {
                edges.push_back(m.captured(1).toLongLong());
                level = down;
            }
        }
        // Each edge against the unit grid of the edge before it: the keyer re-anchors its
        // schedule after a late edge, so a stall counts once, at the edge it made late.
        const double unitNs = 1.2e9 / 25;
        for (size_t i = 1; i < edges.size(); ++i) {
            const double gap = double(edges.at(i) - edges.at(i - 1));
            const double errorUs = std::abs(gap - std::round(gap / unitNs) * unitNs) / 1e3;
            if (errorUs > 1000 && qEnvironmentVariableIsSet("DITLOG_BENCH_VERBOSE")) {
                qInfo("edge %zu: %.1f us off the grid", i, errorUs);
            }
            errorsUs.push_back(errorUs);
        }
        polls += int(radio.receivedStartingWith("FA;").size());
    }
    std::sort(errorsUs.begin(), errorsUs.end());
    qInfo("rig port DTR edge error while polling every 100 ms (%d polls answered): n=%zu "
          "median %.1f us, p99 %.1f us, max %.1f us",
          polls, errorsUs.size(), percentile(errorsUs, 0.5), percentile(errorsUs, 0.99),
          percentile(errorsUs, 1.0));
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    rigPortDtrEdgeError();
    f1ToFirstKy();
    voiceKeyToAcknowledgement();
    return 0;
}

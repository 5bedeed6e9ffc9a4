// A child process that keys through the program's real keying code (the keyer, the
// engine, the control-line port, ppdev) so that a test can run it under the modem-line
// shim and kill it mid-element. Port 1 is the device KEYING_SERIAL names; the parallel
// port's device is KEYING_PARPORT_STEM followed by 0 (base address &H378).
//
//   keying_child open-twice                opens port 1 twice, closing it in between
//   keying_child key <line> <wpm> <text>   sends text on rts, dtr or printer and ends
//   keying_child switch <wpm> <text> <ms>  sends on the printer line, then after ms
//                                           switches to DTR, then to None
//   keying_child hold <wpm> <text>         keys text on the printer line again and again
//                                           with push-to-talk (RTS of port 1) held, prints
//                                           "keying" and waits for a signal
//   keying_child unplug-cw <wpm> <text>    sends text on DTR of port 1, prints "keying"; when
//                                           the port fails prints "lost <boxes>", and on a
//                                           line "again" on stdin sends text again and prints
//                                           "done <boxes>" (boxes: messages shown so far)
//   keying_child unplug-ptt                plays F1 with push-to-talk on RTS of port 1,
//                                           prints "keyed"; when the port fails prints
//                                           "lost <boxes> <ptt keyed 0|1>", and on "again"
//                                           plays F1 again and prints "again <ptt keyed>"
//   keying_child rigport <dtr|rts> <wpm> <text> <N|R|D>
//                                           a Kenwood rig link on port 1 polls every 100 ms
//                                           with the connection power given, while the
//                                           keyer sends text on that port's line
//   keying_child realtime                  asks for the keying thread's real-time priority
//                                           as the program does (RealtimeKit when the
//                                           kernel refuses) and prints the outcome:
//                                           "<real-time 0|1> <policy> <priority> <description>"
#include "TestDoubles.h"
#include "VoiceDoubles.h"
#include "app/StationRadio.h"
#include "keyer/CwBuffer.h"
#include "keyer/CwKeyer.h"
#include "keyer/KeyingEngine.h"
#include "platform/ControlLinePort.h"
#include "platform/DataPortLines.h"
#include "platform/EmergencyKeyUp.h"
#include "platform/KeyingLine.h"
#include "platform/ParallelPort.h"
#include "platform/PortMap.h"
#include "platform/PortOwnership.h"
#include "platform/RealtimeKit.h"
#include "platform/SettingsStore.h"
#include "voice/PhoneKeyer.h"
#include "platform/TimerClock.h"
#include "rig/RigLink.h"
#include "rig/RigSettings.h"
#include "rig/SerialRigTransport.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
KeyingLineChoice lineNamed(const QString& name) {
    if (name == QLatin1String("dtr")) {
        return KeyingLineChoice::Dtr;
    }
    if (name == QLatin1String("printer")) {
        return KeyingLineChoice::Printer;
    }
    return KeyingLineChoice::Rts;
}

int usage() {
    std::fprintf(stderr, "usage: keying_child open-twice | key <line> <wpm> <text> | "
                         "switch <wpm> <text> <ms> | hold <wpm> <text>\n");
    return 2;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        return usage();
    }
    const QString scenario = args.at(0);

    int signalPipe[2] = {-1, -1};
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return 3;
    }
    emergency::installSignalHandlers(signalPipe[1]);

    QTemporaryDir dir;
    QtSettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    PortMap map(settings);
    map.setMappedPath(1, qEnvironmentVariable("KEYING_SERIAL"));
    ControlLinePort port(map);

    if (scenario == QLatin1String("open-twice")) {
        const bool ok = port.open(1);
        port.close();
        return ok && port.open(1) ? 0 : 4;
    }

    // The rig link on port 1, for keying on its own lines.
    QtSerialPort catPort(map);
    DataPortLines catLines(catPort);
    SerialRigTransport catTransport(catPort);
    catTransport.setKeyedLines(&catLines);
    SystemTimerClock timerClock;
    RigLink link(catTransport, timerClock);
    StationRadio radio(link, catLines);

    PpdevParallelPort parallel(QStringLiteral("/nonexistent"), qEnvironmentVariable("KEYING_PARPORT_STEM"));
    HardwareKeyingOutputs outputs(parallel);
    PortOwnership owners;
    CwBuffer buffer;
    MonotonicKeyingClock clock;
    KeyingEngine engine(buffer, clock);
    ScriptedPrompts prompts;
    CwKeyer keyer(buffer, engine, port, outputs, owners, settings, prompts);
    keyer.setPortText(QStringLiteral("1"));
    if (args.size() < 3 && scenario != QLatin1String("realtime") && scenario != QLatin1String("unplug-ptt")) {
        return usage();
    }

    // A terminating signal: the send ends and the program quits in order.
    QSocketNotifier terminated(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&terminated, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        keyer.stopRepeat();
        keyer.clearSendBuffer();
        QCoreApplication::exit(128 + byte);
    });
    const auto refusedExit =
        QObject::connect(&keyer, &CwKeyer::portRefused, &app, [] { QCoreApplication::exit(5); });
    // Lines read from stdin, for the scenarios that wait for the test's word.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    input.setEnabled(false);
    const auto say = [](const QByteArray& line) {
        std::printf("%s\n", line.constData());
        std::fflush(stdout);
    };
    const auto onWord = [&](const std::function<void()>& then) {
        input.setEnabled(true);
        QObject::connect(&input, &QSocketNotifier::activated, &app, [&input, then] {
            char bytes[64];
            if (::read(STDIN_FILENO, bytes, sizeof bytes) <= 0) {
                input.setEnabled(false);
                QCoreApplication::exit(8);
                return;
            }
            then();
        });
    };
    // The voice keyer's, ended before what it uses.
    std::unique_ptr<ControlLinePort> pttPort;
    std::unique_ptr<RecordingWavePlayer> player;
    std::unique_ptr<PhoneKeyer> phoneKeyer;
    const auto boxes = [&prompts] { return QByteArray::number(prompts.callsOf("message").size()); };

    if (scenario == QLatin1String("realtime")) {
        RealtimeKit* kit = nullptr;
        const auto report = [&engine] {
            sched_param param{};
            const int policy = sched_getscheduler(pid_t(engine.threadId())) & ~SCHED_RESET_ON_FORK;
            sched_getparam(pid_t(engine.threadId()), &param);
            std::printf("%d %s %d %s\n", engine.realTime() ? 1 : 0,
                        policy == SCHED_FIFO ? "FIFO" : policy == SCHED_RR ? "RR" : "OTHER",
                        param.sched_priority, qPrintable(engine.priorityDescription()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        };
        kit = new RealtimeKit(&app);
        keyer.setRealtimeKit(kit);
        QObject::connect(kit, &RealtimeKit::finished, &app, report, Qt::QueuedConnection);
        QTimer::singleShot(3000, &app, [&] {
            if (engine.realTime() && !engine.priorityDescription().contains(u"RealtimeKit")) {
                report(); // the kernel granted it directly
            }
        });
    } else if (scenario == QLatin1String("key") && args.size() == 4) {
        keyer.setKeyingLine(lineNamed(args.at(1)));
        keyer.setSpeedText(args.at(2));
        keyer.setMessage(0, args.at(3));
        QObject::connect(&keyer, &CwKeyer::sendingFinished, &app, [] { QCoreApplication::exit(0); });
        keyer.FKeyCW(112);
    } else if (scenario == QLatin1String("switch") && args.size() == 4) {
        keyer.setKeyingLine(KeyingLineChoice::Printer);
        keyer.setSpeedText(args.at(1));
        keyer.setMessage(0, args.at(2));
        const int ms = args.at(3).toInt();
        QObject::connect(&keyer, &CwKeyer::sendingFinished, &app, [] { QCoreApplication::exit(0); });
        QTimer::singleShot(ms, &app, [&] { keyer.setKeyingLine(KeyingLineChoice::Dtr); });
        QTimer::singleShot(2 * ms, &app, [&] { keyer.setKeyingLine(KeyingLineChoice::None); });
        keyer.FKeyCW(112);
    } else if (scenario == QLatin1String("rigport") && args.size() == 5) {
        RigSettings rig;
        applyRigPreset(rig, rigFamily(QStringLiteral("Kenwood")));
        rig.portNumber = 1;
        rig.pollRate = QStringLiteral("F");
        rig.power = args.at(4);
        link.setSettings(rig);
        keyer.setRadio(&radio);
        keyer.setKeyingLine(args.at(1) == QLatin1String("rts") ? KeyingLineChoice::RigRts
                                                               : KeyingLineChoice::RigDtr);
        keyer.setSpeedText(args.at(2));
        keyer.setMessage(0, args.at(3));
        if (link.startPolling() != RigLink::StartResult::Polling) {
            return 8;
        }
        QObject::connect(&keyer, &CwKeyer::sendingFinished, &app, [&link] {
            link.stopPolling();
            QCoreApplication::exit(0);
        });
        // A poll or two first, as at a station that has been running.
        QTimer::singleShot(250, &app, [&keyer] { keyer.FKeyCW(112); });
    } else if (scenario == QLatin1String("hold") && args.size() == 3) {
        static ControlLinePort ptt(map); // push-to-talk on RTS, as the voice keyer holds it
        if (!ptt.open(1) || !ptt.setRts(true)) {
            return 6;
        }
        keyer.setKeyingLine(KeyingLineChoice::Printer);
        keyer.setSpeedText(args.at(1));
        keyer.setMessage(0, args.at(2));
        QObject::connect(&keyer, &CwKeyer::sendingFinished, &app, [&] { keyer.FKeyCW(112); });
        keyer.FKeyCW(112);
        std::printf("keying\n");
        std::fflush(stdout);
    } else if (scenario == QLatin1String("unplug-cw") && args.size() == 3) {
        QObject::disconnect(refusedExit); // told in a box, counted below
        keyer.setKeyingLine(KeyingLineChoice::Dtr);
        keyer.setSpeedText(args.at(1));
        keyer.setMessage(0, args.at(2));
        QObject::connect(&port, &SerialPort::errorOccurred, &app, [&] {
            // What the keyer makes of it is seen once the events have been handled.
            QTimer::singleShot(300, &app, [&] { say("lost " + boxes()); });
        });
        onWord([&] {
            QObject::connect(&keyer, &CwKeyer::sendingFinished, &app, [&] {
                say("done " + boxes());
                QCoreApplication::exit(0);
            });
            keyer.FKeyCW(112);
        });
        keyer.FKeyCW(112);
        say("keying");
    } else if (scenario == QLatin1String("unplug-ptt")) {
        pttPort = std::make_unique<ControlLinePort>(map);
        player = std::make_unique<RecordingWavePlayer>();
        phoneKeyer = std::make_unique<PhoneKeyer>(*player, *pttPort, parallel, owners, prompts);
        QFile wave(dir.filePath(QStringLiteral("cq.wav")));
        if (!wave.open(QIODevice::WriteOnly) || wave.write(testWave()) <= 0) {
            return 6;
        }
        wave.close();
        PhoneSettings phoneSettings;
        phoneSettings.files[0] = wave.fileName();
        phoneSettings.pttPort = QStringLiteral("1");
        phoneSettings.pttLine = PhonePttLine::Rts;
        phoneKeyer->setSettings(phoneSettings);
        QObject::connect(pttPort.get(), &SerialPort::errorOccurred, &app, [&] {
            QTimer::singleShot(300, &app, [&] {
                say("lost " + boxes() + ' ' + QByteArray::number(phoneKeyer->pttKeyed() ? 1 : 0));
            });
        });
        onWord([&] {
            phoneKeyer->FKeyPhone(112);
            say("again " + QByteArray::number(phoneKeyer->pttKeyed() ? 1 : 0));
            QTimer::singleShot(200, &app, [] { QCoreApplication::exit(0); });
        });
        phoneKeyer->FKeyPhone(112);
        say(phoneKeyer->pttKeyed() ? "keyed" : "not keyed");
    } else {
        return usage();
    }
    QTimer::singleShot(120'000, &app, [] { QCoreApplication::exit(7); });
    const int result = QCoreApplication::exec();
    keyer.setRadio(nullptr);
    return result;
}

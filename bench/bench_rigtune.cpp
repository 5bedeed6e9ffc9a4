// Figures of the frequency command: the time from the call of ChangeFrequency to the last
// byte of the frequency command at the radio, per family, against the sum of the family's
// fixed waits; and the window thread's longest stall while the tune panel scans.
#include "MainWindowFixture.h"
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"
#include "app/EntryPanel.h"
#include "app/MainWindowRig.h"
#include "log/RecordFile.h"
#include "log/StationPreferences.h"
#include "platform/PortMap.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TimerClock.h"
#include "rig/RigLink.h"
#include "rig/SerialRigTransport.h"
#include "rig/TuningCommands.h"
#include "rig/windows/RigTuneWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double percentile(QList<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(qsizetype(p * double(values.size() - 1)));
}

const QList<BandPlanRow> kPlan{{"20", "E", "CW", 14.0, 14.15}};

// The longest gap between the ticks of a 1 ms timer over ms milliseconds, less the 1 ms.
double longestStall(int ms) {
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    qint64 last = steadyNs();
    double worst = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = steadyNs();
        worst = std::max(worst, double(now - last) / 1e6 - 1.0);
        last = now;
    });
    probe.start(1);
    QTest::qWait(ms);
    return worst;
}
} // namespace

class BenchRigTune : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void callToLastByte_data() {
        QTest::addColumn<QString>("rigType");
        QTest::addColumn<double>("mhz");
        for (const char* rig : {"Kenwood", "Elecraft", "Icom", "Ten Tec Omni VI", "Ten Tec Fnt Pnl", "Ten Tec Orion",
                                "Yaesu", "Yaesu 990", "Yaesu 1000", "Yaesu FTdx9000"}) {
            QTest::addRow("%s with mode", rig) << QString::fromLatin1(rig) << 14.025;
            QTest::addRow("%s alone", rig) << QString::fromLatin1(rig) << 10.12;
        }
    }

    void callToLastByte() {
        QFETCH(QString, rigType);
        QFETCH(double, mhz);
        QTemporaryDir dir;
        QtSettingsStore store{dir.filePath(QStringLiteral("settings.ini"))};
        PortMap map{store};
        QtSerialPort port{map};
        SerialRigTransport transport{port};
        SystemTimerClock clock;
        RigLink link{transport, clock};
        PseudoTerminal device;
        map.setMappedPath(5, device.devicePath());
        RigSettings s;
        applyRigPreset(s, rigFamily(rigType));
        s.portNumber = 5;
        s.pollRate = QStringLiteral("F");
        link.setSettings(s);
        link.setBandPlanTable(kPlan);
        QVERIFY(link.startPolling() == RigLink::StartResult::Polling);
        const QByteArray command = rigFamily(rigType).frequencyCommand(mhz, rigCommandContext(s, {})).bytes;
        QByteArray received;
        qint64 arrived = 0;
        connect(&device, &PseudoTerminal::bytesReceived, this, [&](const QByteArray& b) {
            received += b;
            if (arrived == 0 && received.contains(command)) {
                arrived = steadyNs();
            }
        });
        const RigCommand steps = changeFrequencyCommand(rigFamily(rigType), s, {}, kPlan, mhz);
        int waits = 0;
        for (const RigStep& step : steps.steps) {
            waits += step.kind == RigStep::Kind::Delay ? step.ms : 0;
        }
        QList<double> beyond;
        QList<double> totals;
        for (int round = 0; round < 5; ++round) {
            QTest::qWait(120);
            received.clear();
            arrived = 0;
            const qint64 start = steadyNs();
            link.ChangeFrequency(mhz);
            QTRY_VERIFY_WITH_TIMEOUT(arrived != 0, 10000);
            const double total = double(arrived - start) / 1e6;
            totals.append(total);
            beyond.append(total - waits);
            QTRY_VERIFY_WITH_TIMEOUT(!link.commandRunning(), 10000);
        }
        qInfo("%s at %g MHz: call to last byte median %.1f ms (fixed waits %d ms), beyond the waits median "
              "%.2f ms, max %.2f ms",
              qPrintable(rigType), mhz, percentile(totals, 0.5), waits, percentile(beyond, 0.5),
              percentile(beyond, 1.0));
    }

    void windowStallDuringAScan() {
        MainWindowFixture f;
        PseudoTerminal device;
        ScriptedRadio radio(device, ScriptedRadio::Protocol::Kenwood);
        f.window().rig().portMap().setMappedPath(5, device.devicePath());
        RigSettings s;
        applyRigPreset(s, rigFamily(QStringLiteral("Kenwood")));
        s.portNumber = 5;
        s.pollRate = QStringLiteral("F");
        writeFileAtomically(f.workingFile(QStringLiteral("RigCntrl.txt")), rigSettingsText(s));
        StationPreferences prefs;
        prefs.RigType = QStringLiteral("Kenwood");
        writePreferences(f.folders().WorkingFolder, prefs);
        f.startUp();
        QTRY_VERIFY(f.window().rig().link().status().frequency > 0);
        const double polling = longestStall(5000);

        f.window().rig().showTunePanel();
        RigTuneWindow& p = *f.window().rig().tunePanel();
        p.txtFrom->setText(QStringLiteral("14.0"));
        p.txtTo->setText(QStringLiteral("14.1"));
        p.txtFreq->setText(QStringLiteral("14.0"));
        p.chkScan->setChecked(true);
        radio.clearReceived();
        const double scanning = longestStall(10000);
        p.chkScan->setChecked(false);
        const qsizetype steps = radio.receivedStartingWith("FA000").size();
        qInfo("scan at the 299 ms tick, Kenwood at the fast poll: %lld frequency commands in 10 s; longest "
              "window-thread stall %.2f ms while scanning, %.2f ms while only polling",
              qint64(steps), scanning, polling);
        p.close();
    }
};

QTEST_MAIN(BenchRigTune)
#include "bench_rigtune.moc"

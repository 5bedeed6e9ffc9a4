// Figures of the rig link at the "100 ms" poll rate against the scripted Kenwood on a
// pseudo-terminal, with the main window: the error of the poll period, the time from the
// last byte of a reply to the updated band label, and the window thread's busy share.
#include "MainWindowFixture.h"
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"
#include "app/MainWindowRig.h"
#include "rig/windows/RigControlWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QLoggingCategory>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <ctime>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The link's own times of its frequency queries, read from its trace.
QList<double>* g_sendTimes = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void traceHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (qstrcmp(context.category, "ditlog.rig") == 0) {
        if (g_sendTimes != nullptr && message.contains(QLatin1String(" ms sent FA;"))) {
            g_sendTimes->append(message.section(QLatin1String(" ms"), 0, 0).trimmed().toDouble());
        }
        return;
    }
    g_previousHandler(type, context, message);
}

double percentile(QList<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(qsizetype(p * double(values.size() - 1)));
}
} // namespace

class BenchRigPoll : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pollAtTheFastRate() {
        MainWindowFixture f;
        PseudoTerminal device;
        ScriptedRadio radio(device, ScriptedRadio::Protocol::Kenwood);
        f.window().rig().portMap().setMappedPath(5, device.devicePath());
        f.startUp();
        RigControlWindow& w = f.window().rig().window();
        for (int i = 0; i < w.List1->count(); ++i) {
            if (w.List1->item(i)->text() == QLatin1String("Kenwood")) {
                w.List1->setCurrentRow(i);
            }
        }
        w.findChild<QRadioButton*>(QStringLiteral("optComm5"))->click();
        w.findChild<QRadioButton*>(QStringLiteral("optPollF"))->click();

        // The radio moves at every reply, within 20 m; once a second it changes band (the
        // band command saves the preferences, which takes a disk sync of its own).
        int polls = 0;
        connect(&radio, &ScriptedRadio::queryReceived, this, [&radio, &polls](const QByteArray& q) {
            if (q == "FA;") {
                ++polls;
                const bool otherBand = polls % 10 == 0;
                radio.setFrequency(otherBand ? (radio.frequency() > 10 ? 7.025 : 14.025)
                                             : radio.frequency() + 0.001);
            }
        });
        QList<double> sameBand;
        QList<double> bandChange;
        QString lastBand;
        connect(&f.window().rig().link(), &RigLink::frequencyReported, this, [&] {
            const QString band = f.window().lblBand()->text();
            if (radio.lastReplyEndNs() > 0) {
                (band != lastBand ? bandChange : sameBand)
                    .append(double(steadyNs() - radio.lastReplyEndNs()) / 1e6);
            }
            lastBand = band;
        });
        // For comparison: a bare 50 ms timer in the same process, as the poll timer is.
        QList<double> bare;
        {
            QTimer timer;
            timer.setTimerType(Qt::PreciseTimer);
            QElapsedTimer clock;
            clock.start();
            qint64 ticks = 0;
            double last = -1;
            connect(&timer, &QTimer::timeout, this, [&] {
                const double now = double(clock.nsecsElapsed()) / 1e6;
                if (++ticks % 2 == 0) {
                    if (last >= 0) {
                        bare.append(std::abs(now - last - 100.0));
                    }
                    last = now;
                }
            });
            timer.start(50);
            QTest::qWait(5000);
        }
        // The window thread's work with the main window alone, for comparison.
        const double idleBefore = threadCpuMs();
        QElapsedTimer idleWall;
        idleWall.start();
        QTest::qWait(5000);
        const double idle = (threadCpuMs() - idleBefore) / double(idleWall.elapsed()) * 100;

        QList<double> sendTimes;
        g_sendTimes = &sendTimes;
        g_previousHandler = qInstallMessageHandler(traceHandler);
        QLoggingCategory::setFilterRules(QStringLiteral("ditlog.rig.debug=true"));
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTest::qWait(500);
        radio.clearReceived();
        sendTimes.clear();
        const double cpuBefore = threadCpuMs();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(10000);
        const double busy = (threadCpuMs() - cpuBefore) / double(wall.elapsed()) * 100;

        QLoggingCategory::setFilterRules(QStringLiteral("ditlog.rig.debug=false"));
        qInstallMessageHandler(g_previousHandler);
        g_sendTimes = nullptr;
        QList<double> errors;
        for (qsizetype i = 1; i < sendTimes.size(); ++i) {
            errors.append(std::abs(sendTimes.at(i) - sendTimes.at(i - 1) - 100.0));
        }
        QList<double> arrivalErrors;
        const auto queries = radio.receivedStartingWith("FA");
        for (qsizetype i = 1; i < queries.size(); ++i) {
            arrivalErrors.append(std::abs(queries.at(i).atMs - queries.at(i - 1).atMs - 100.0));
        }
        if (qEnvironmentVariableIsSet("DITLOG_BENCH_DETAIL")) {
            QStringList periods;
            for (qsizetype i = 1; i < queries.size(); ++i) {
                periods.append(QString::number(queries.at(i).atMs - queries.at(i - 1).atMs, 'f', 1));
            }
            qInfo("periods: %s", qPrintable(periods.join(QLatin1Char(' '))));
        }
        qInfo("rig poll at 100 ms: %lld polls in 10 s; period error at the link median %.2f ms, p99 %.2f ms, "
              "max %.2f ms; as the radio receives them median %.2f ms, p99 %.2f ms",
              qint64(sendTimes.size()), percentile(errors, 0.5), percentile(errors, 0.99), percentile(errors, 1.0),
              percentile(arrivalErrors, 0.5), percentile(arrivalErrors, 0.99));
        qInfo("bare 50 ms timer in the same process, 100 ms period error: median %.2f ms, p99 %.2f ms",
              percentile(bare, 0.5), percentile(bare, 0.99));
        qInfo("rig reply last byte to band label, same band: median %.3f ms, p99 %.3f ms (%lld replies)",
              percentile(sameBand, 0.5), percentile(sameBand, 0.99), qint64(sameBand.size()));
        qInfo("rig reply last byte to band label, band changed (preferences saved): median %.2f ms, max %.2f ms (%lld)",
              percentile(bandChange, 0.5), percentile(bandChange, 1.0), qint64(bandChange.size()));
        qInfo("rig polling: window thread busy %.2f %% of one core, %.2f %% without polling (the scripted "
              "radio runs on the same thread)",
              busy, idle);
    }
};

QTEST_MAIN(BenchRigPoll)
#include "bench_rigpoll.moc"

// Figures of the "Hamlib rigctld" entry against the real daemon and its dummy radio: the
// round trip of one poll (f and m, both answers in) on the loopback, and, with the main
// window polling at "100 ms", the time from the last answer bytes arriving to the band
// label updated.
#include "HamlibPeer.h"
#include "MainWindowFixture.h"
#include "app/MainWindowRig.h"
#include "rig/RigFamily.h"
#include "rig/RigSettings.h"
#include "rig/RigctldProtocol.h"
#include "rig/RigctldTransport.h"
#include "rig/windows/RigControlWindow.h"
#include "rig/windows/RigNetworkOptions.h"

#include <QLabel>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
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

// When the link's trace reports bytes that end an answer, the time they were taken in.
qint64 g_lastAnswerNs = 0;
QtMessageHandler g_previousHandler = nullptr;

void traceHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (qstrcmp(context.category, "ditlog.rig") == 0) {
        if (message.contains(QLatin1String(" received ")) && message.contains(QLatin1String("RPRT"))) {
            g_lastAnswerNs = steadyNs();
        }
        return;
    }
    g_previousHandler(type, context, message);
}
} // namespace

class BenchRigctld : public QObject {
    Q_OBJECT

    HamlibPeer peer;

private Q_SLOTS:
    void initTestCase() {
        if (const QString missing = HamlibPeer::missingPrograms(false); !missing.isEmpty()) {
            QSKIP(qPrintable(missing));
        }
        QVERIFY2(peer.startDaemon(), qPrintable(peer.why()));
    }

    void pollRoundTrip() {
        RigctldTransport line;
        RigSettings s;
        s.networkPort = quint16(peer.daemonPort());
        QVERIFY(line.open(s, rigFamily(kRigctldRigType)));
        QTRY_VERIFY(line.isReady());
        QList<double> trips;
        for (int i = 0; i < 400; ++i) {
            QSignalSpy drained(&line, &RigTransport::drained);
            const qint64 start = steadyNs();
            QVERIFY(line.write("+f\n+m\n"));
            while (line.awaitedAnswers() > 0) {
                QVERIFY(drained.wait(2000));
            }
            trips.append(double(steadyNs() - start) / 1e6);
            line.readAll();
        }
        qInfo("poll round trip (f + m) to the local rigctld, 400 polls: median %.3f ms, p99 %.3f ms, max %.3f ms",
              percentile(trips, 0.5), percentile(trips, 0.99), percentile(trips, 1.0));
    }

    void answerToBandLabel() {
        MainWindowFixture f;
        f.startUp();
        RigControlWindow& w = f.window().rig().window();
        w.List1->setCurrentRow(w.List1->count() - 1);
        w.networkOptions().txtRigctldPort->setValue(peer.daemonPort());
        Q_EMIT w.networkOptions().txtRigctldPort->editingFinished();
        w.findChild<QRadioButton*>(QStringLiteral("optPollF"))->click();
        QVERIFY(peer.rigctl({QStringLiteral("F"), QStringLiteral("14025000")}));

        QList<double> toLabel;
        connect(&f.window().rig().link(), &RigLink::frequencyReported, this, [&] {
            if (g_lastAnswerNs > 0 && f.window().lblBand()->text() == QLatin1String("20")) {
                toLabel.append(double(steadyNs() - g_lastAnswerNs) / 1e6);
            }
            g_lastAnswerNs = 0;
        });
        g_previousHandler = qInstallMessageHandler(traceHandler);
        QLoggingCategory::setFilterRules(QStringLiteral("ditlog.rig.debug=true"));
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTest::qWait(10000);
        QLoggingCategory::setFilterRules(QStringLiteral("ditlog.rig.debug=false"));
        qInstallMessageHandler(g_previousHandler);
        QVERIFY(toLabel.size() > 20);
        qInfo("last answer bytes to band label (same band), %lld polls in 10 s at 100 ms: median %.3f ms, p99 %.3f ms",
              qlonglong(toLabel.size()), percentile(toLabel, 0.5), percentile(toLabel, 0.99));
    }
};

QTEST_MAIN(BenchRigctld)
#include "bench_rigctld.moc"

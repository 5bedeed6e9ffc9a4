// Figures for spot ingest: a loopback cluster sends 1,000 spot lines as fast as TCP
// allows to the main window (spot list showing); how fast they reach the store and the
// list, and the window thread's longest stall meanwhile.
#include "MainWindowFixture.h"
#include "SpotServers.h"
#include "log/RecordFile.h"
#include "spots/windows/SpotDesk.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace ditlog;

namespace {
constexpr int kSpots = 1000;

QByteArray spotLines(int round) {
    QByteArray all;
    for (int i = 0; i < kSpots; ++i) {
        all += QStringLiteral("DX de W3LPL:    %1  %2 %3 1234Z\r\n")
                   .arg(QString::number(14000.0 + (i % 350), 'f', 1).rightJustified(8),
                        QStringLiteral("K%1X%2").arg(round).arg(i).leftJustified(12),
                        QStringLiteral("CQ TEST").leftJustified(30))
                   .toLatin1();
    }
    return all;
}
} // namespace

class BenchSpots : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::MainWindowFixture> m_f;
    testing::ClusterServer m_cluster;

private Q_SLOTS:
    void initTestCase() {
        m_f = std::make_unique<testing::MainWindowFixture>();
        const QByteArray settings =
            QStringLiteral("\"9600\"\r\n\"N\"\r\n\"8\"\r\n\"1\"\r\n1\r\n\"N\"\r\n\"Telnet\"\r\n0\r\n1\r\n0\r\n"
                           "#TRUE#\r\n\"03\"\r\n\"%1\"\r\n\"127.0.0.1\"\r\n")
                .arg(m_cluster.port())
                .toLatin1();
        QVERIFY(!writeFileAtomically(m_f->workingFile(QStringLiteral("PackSpot.txt")), settings));
        m_f->startUp();
        QVERIFY(QTest::qWaitForWindowActive(&m_f->window()));
        QTRY_VERIFY_WITH_TIMEOUT(m_cluster.hasClient(), 10000);
        QTRY_VERIFY(m_f->window().spots().txtDX()->isVisible());
    }

    // Five rounds of 1,000 lines written at once, each until the last is in the list.
    void ingestThousandSpots() {
        SpotDesk& desk = m_f->window().spots();
        qint64 longestStallNs = 0;
        qint64 totalNs = 0;
        constexpr int kRounds = 5;
        for (int round = 1; round <= kRounds; ++round) {
            const QByteArray lines = spotLines(round);
            const QString last = QStringLiteral("K%1X%2").arg(round).arg(kSpots - 1);
            // A 1 ms timer on the window thread: the widest gap between its ticks is the
            // longest time the thread was busy.
            QElapsedTimer clock;
            qint64 lastTick = 0;
            QTimer probe;
            probe.setInterval(1);
            connect(&probe, &QTimer::timeout, this, [&] {
                const qint64 now = clock.nsecsElapsed();
                longestStallNs = std::max(longestStallNs, now - lastTick);
                lastTick = now;
            });
            clock.start();
            probe.start();
            m_cluster.send(lines);
            QTRY_VERIFY_WITH_TIMEOUT(desk.listModel().cellText(0, 0) == last, 30000);
            totalNs += clock.nsecsElapsed();
            probe.stop();
            QCOMPARE(desk.store().slot(49).Call, last);
        }
        const double perSpotMs = double(totalNs) / kRounds / kSpots / 1e6;
        // The same probe with nothing arriving: what the machine itself adds.
        QElapsedTimer clock;
        qint64 lastTick = 0;
        qint64 idleStallNs = 0;
        QTimer probe;
        probe.setInterval(1);
        connect(&probe, &QTimer::timeout, this, [&] {
            const qint64 now = clock.nsecsElapsed();
            idleStallNs = std::max(idleStallNs, now - lastTick);
            lastTick = now;
        });
        clock.start();
        probe.start();
        QTest::qWait(int(totalNs / 1'000'000));
        qInfo("spot ingest, 1,000 lines from a loopback cluster: %.0f spots/s, %.3f ms per spot, "
              "longest window-thread stall %.1f ms (idle: %.1f ms)",
              1000.0 / perSpotMs, perSpotMs, double(longestStallNs) / 1e6, double(idleStallNs) / 1e6);
    }

    // Filing one spot: store, list row, country lookup.
    void BandMapSpots() {
        SpotDesk& desk = m_f->window().spots();
        int n = 0;
        QBENCHMARK {
            desk.BandMapSpots(QStringLiteral("DL%1AA").arg(++n % 1000), QStringLiteral("14025.0"),
                              QStringLiteral("de W3LPL:     14025.0  DL1AA        CQ TEST   1234Z"));
        }
    }
};

QTEST_MAIN(BenchSpots)
#include "bench_spots.moc"

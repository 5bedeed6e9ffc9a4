// Figures for the pictures: a redraw of the band map strip and of the spectrum map with
// 50 spots, and the rate graph of a 12,000-contact log from opening to painted. With
// DITLOG_SCREENSHOT_DIR set, the main window, the spectrum map and the rate graph of a
// generated sprint log are saved there as PNG files.
#include "BenchData.h"
#include "MainWindowFixture.h"

#include "charts/RateGraph.h"
#include "charts/windows/GraphQSOWindow.h"
#include "spots/windows/BandMapStrip.h"
#include "spots/windows/AllBandsMapWindow.h"
#include "spots/windows/SpotDesk.h"

#include <QtTest>

#include <cmath>

using namespace ditlog;

namespace {
const char* const kCalls[] = {"OH2BH", "K1ABC", "DL1AA", "JA1XX", "VE3AB", "G4ABC", "KH6XYZ",
                              "3D2AB", "VK2AA", "N0AX", "W1AW", "K5ZD", "F5IN", "EA8AA",
                              "ZL1AB", "VP2V/W1ABC", "W1ABC/4", "PY2AA"};

// A four-hour sprint: the rate rises and falls, the operator moves 20 → 40 → 80 m.
QByteArray sprintLog() {
    QByteArray out;
    QDateTime t(QDate(2026, 12, 8), QTime(0, 0, 12), Qt::UTC);
    const QDateTime end = t.addSecs(4 * 3600);
    int i = 0;
    while (t < end) {
        const double hours = t.secsTo(end) / 3600.0;
        const char* band = hours > 2.6 ? "20" : hours > 1.2 ? "40" : "80";
        const int gap = 20 + int(std::abs(std::sin(i / 40.0)) * 70) + (i % 7) * 4 + (i == 120 ? 900 : 0);
        out += recordLine({QStringLiteral("K%1AB%2").arg(i % 10).arg(QChar('A' + i % 26)), QStringLiteral("599"),
                           QString::number(1000 + i), QStringLiteral("599"), QStringLiteral("CT"),
                           t.toString(QStringLiteral("yyyy/MM/dd")), t.toString(QStringLiteral("HH:mm:ss")),
                           QStringLiteral("BOB"), QLatin1String(band), 2.0f, QString()});
        t = t.addSecs(gap);
        ++i;
    }
    return out;
}

void save(QWidget* w, const char* name) {
    const QByteArray dir = qgetenv("DITLOG_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
    }
}
} // namespace

class BenchMaps : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::MainWindowFixture> m_f;

    SpotDesk& desk() { return m_f->window().spots(); }

private Q_SLOTS:
    void initTestCase() {
        m_f = std::make_unique<testing::MainWindowFixture>(sprintLog());
        m_f->screen.setPixels({1280, 960});
        m_f->startUp();
        m_f->window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_f->window()));
        m_f->window().selectBand(QStringLiteral("20"));
        desk().settings().Source = QStringLiteral("Telnet");
        desk().settings().ShowAsList = false;
        desk().PacketResize();
        // Fifty spots over the last hour: yellow, white and grey; most on 20 m.
        m_f->clock.advanceSeconds(-3500);
        for (int i = 0; i < 50; ++i) {
            const double kHz = i % 5 == 4 ? 7000 + 3.7 * i : 14001 + (i * 37) % 68 + (i % 3) * 0.3;
            // Further calls of the same prefixes, with other suffixes.
            const QString call = i < 18 ? QLatin1String(kCalls[i])
                                        : QString::fromLatin1(kCalls[i % 18]).left(3) + QChar('A' + i % 26) +
                                              QChar('A' + (i * 7) % 26);
            desk().BandMapSpots(call, QString::number(kHz, 'f', 1), QStringLiteral("de W3LPL: ") + call);
            m_f->clock.advanceSeconds(70);
        }
        QTRY_VERIFY(desk().lblDX()->spotLabel(48)->isVisible());
        save(&m_f->window(), "bandmap-main-window.png");
    }

    // The periodic refresh: the same spots, colours brought up to date.
    void bandMapRefresh() {
        BandMapStrip* strip = desk().lblDX();
        QBENCHMARK {
            strip->DisplayBandMapLabels();
        }
    }

    // A new spot arrives: every slot moves down one, so every label changes; then the
    // strip is painted.
    void bandMapNewSpotAndPaint() {
        BandMapStrip* strip = desk().lblDX();
        int n = 0;
        QBENCHMARK {
            ++n;
            desk().store().take(QStringLiteral("K%1ZZ").arg(n % 10), float(14.001 + (n * 0.037) - std::floor(n * 0.037 / 0.068) * 0.068),
                                m_f->clock.localNow());
            strip->DisplayBandMapLabels();
            strip->grab();
        }
    }

    void spectrumMapRedrawAndPaint() {
        desk().openSpectrumMap();
        AllBandsMapWindow* map = desk().spectrumMap();
        QVERIFY(QTest::qWaitForWindowExposed(map));
        save(map, "spectrum-map.png");
        map->grab(); // the map is painted as it opens; what follows are the redraws
        int n = 0;
        QBENCHMARK {
            ++n;
            desk().store().take(QStringLiteral("G%1ZZ").arg(n % 10), float(n % 2 ? 14.020 + n % 40 * 0.001 : 7.010 + n % 40 * 0.002),
                                m_f->clock.localNow());
            map->BandMapLabelDisplay();
            map->grab();
        }
        map->close();
    }

    void rateGraphOfSprint() {
        std::optional<RateGraph> graph = DrawRateGraph(rateContacts(m_f->window().contactLog()));
        QVERIFY(graph);
        GraphQSOWindow w(std::move(*graph), m_f->screen, m_f->prompts, nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        save(&w, "rate-graph.png");
    }

    // 12,000 contacts: computing the graph, building the window and painting it.
    void rateGraphTwelveThousand() {
        ContactLog log;
        QVERIFY(!log.loadFromText(bench::generatedLog(12000)));
        QBENCHMARK {
            std::optional<RateGraph> graph = DrawRateGraph(rateContacts(log));
            GraphQSOWindow w(std::move(*graph), m_f->screen, m_f->prompts, nullptr);
            w.grab();
        }
    }

    // The same in its two halves: the window with its 60 labels built and fitted to the
    // screen, and then painted (the curve of 1,500 columns, the strip, the labels).
    void rateGraphWindowBuilt() {
        ContactLog log;
        QVERIFY(!log.loadFromText(bench::generatedLog(12000)));
        const RateGraph graph = *DrawRateGraph(rateContacts(log));
        QBENCHMARK {
            GraphQSOWindow w(graph, m_f->screen, m_f->prompts, nullptr);
        }
    }

    void rateGraphWindowPainted() {
        ContactLog log;
        QVERIFY(!log.loadFromText(bench::generatedLog(12000)));
        GraphQSOWindow w(*DrawRateGraph(rateContacts(log)), m_f->screen, m_f->prompts, nullptr);
        QBENCHMARK {
            w.grab();
        }
    }

    void rateGraphComputationOnly() {
        ContactLog log;
        QVERIFY(!log.loadFromText(bench::generatedLog(12000)));
        QBENCHMARK {
            std::optional<RateGraph> graph = DrawRateGraph(rateContacts(log));
            QVERIFY(graph);
        }
    }

    void cleanupTestCase() { m_f.reset(); }
};

QTEST_MAIN(BenchMaps)
#include "bench_maps.moc"

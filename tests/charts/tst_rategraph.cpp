// The rate graph: the ten-minute count, bridging and smoothing, band strip colours, the
// axis labels, awkward logs, and the window opened from "&Graph".
#include "MainWindowFixture.h"

#include "charts/RateGraph.h"
#include "charts/windows/GraphQSOWindow.h"
#include "log/ContactLog.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const QDateTime kStart(QDate(2026, 12, 8), QTime(20, 0), Qt::UTC);

RateContact at(qint64 seconds, const char* band = "20") {
    return {kStart.addSecs(seconds), QLatin1String(band)};
}

bool near(double a, double b) {
    return qAbs(a - b) < 1e-3;
}

QByteArray logLines(int count, int spacingSeconds) {
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        const QDateTime t = kStart.addSecs(qint64(i) * spacingSeconds);
        out += recordLine({QStringLiteral("K%1AA").arg(i), QStringLiteral("599"), QStringLiteral("100W"),
                           QStringLiteral("599"), QStringLiteral("CT"), t.toString(QStringLiteral("yyyy/MM/dd")),
                           t.toString(QStringLiteral("HH:mm:ss")), QStringLiteral("BOB"),
                           i % 2 ? QStringLiteral("40") : QStringLiteral("20"), 2.0f, QString()});
    }
    return out;
}
} // namespace

class TestRateGraph : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tenMinuteCounts() {
        // Ten contacts a minute apart: the last counts all ten and plots 60. The curve
        // climbs to each contact over the 15 columns before it, falls to zero in the
        // pauses between them (166 columns) and peaks six columns after each contact.
        QList<RateContact> log;
        for (int i = 0; i < 10; ++i) {
            log.append(at(i * 60));
        }
        QVERIFY(!DrawRateGraph(log.mid(0, 6)));
        const RateGraph g = *DrawRateGraph(log);
        QCOMPARE(g.spanSeconds, 540);
        QCOMPARE(g.raw[1500], 60.0f);
        QCOMPARE(g.raw[167], 12.0f);
        QVERIFY(near(g.raw[160], 12.0 * 8 / 15));
        QVERIFY(near(g.drawn[1500], (36 + 40 + 44 + 48 + 52 + 56 + 60) / 7.0));
        QVERIFY(near(g.drawn[167], (7.2 + 8 + 8.8 + 9.6 + 10.4 + 11.2 + 12) / 7));
        QCOMPARE(g.drawn[1006], 42.0f);
        QCOMPARE(g.drawn[1], 6.0f);
        QCOMPARE(g.drawn[80], 0.0f);
        QCOMPARE(g.drawn[1100], 0.0f);
        QCOMPARE(g.minimum, 0.0);
        QCOMPARE(g.maximum, 54.0);
        QCOMPARE(g.rates[0], 0.0);
        QCOMPARE(g.rates[8], 27.0);
        QCOMPARE(g.rates[16], 54.0);
        QCOMPARE(g.times[0], kStart);
        QCOMPARE(g.times[14], kStart.addSecs(540));
        QCOMPARE(g.times[7], kStart.addSecs(270));

        // Ten minutes apart or more: each counts only itself.
        QList<RateContact> sparse;
        for (int i = 0; i < 7; ++i) {
            sparse.append(at(i * 600));
        }
        const RateGraph s = *DrawRateGraph(sparse);
        QCOMPARE(s.raw[1500], 6.0f);
        QCOMPARE(s.raw[250], 6.0f);
        QCOMPARE(s.drawn[256], 6.0f);
        QCOMPARE(s.maximum, 6.0);
    }

    void bridgingSmoothingAndBands() {
        // Column width 1 s: contacts in columns 1..5, a pause of nine columns (bridged),
        // then a pause of 1,485 columns (dropped to zero) before the last contact.
        const QList<RateContact> log{at(0), at(1), at(2), at(3), at(4), at(5),
                                     at(15, "2"), at(1500, "40")};
        const RateGraph g = *DrawRateGraph(log);
        // Bridged raw rates 36 .. 42 over columns 5..15, then the seven-column average.
        QVERIFY(near(g.drawn[10], (30 + 36 + 36 + 36 + 2.0 / 3 + 37 + 1.0 / 3 + 38 + 38 + 2.0 / 3) / 7));
        for (int c = 6; c <= 14; ++c) {
            QVERIFY(g.raw[std::size_t(c)] >= 36 && g.raw[std::size_t(c)] < 42);
            QVERIFY(g.drawn[std::size_t(c)] > 25);
        }
        QCOMPARE(g.raw[15], 42.0f);
        QCOMPARE(g.drawn[100], 0.0f);
        QCOMPARE(g.raw[1500], 6.0f);
        // The strip: 20 m, carried into the column of the 2 m contact; 40 m at the end.
        QCOMPARE(g.strip[3], legendIndex(QStringLiteral("20")));
        QCOMPARE(g.strip[10], legendIndex(QStringLiteral("20")));
        QCOMPARE(g.strip[15], legendIndex(QStringLiteral("20")));
        QCOMPARE(g.strip[100], -1);
        QCOMPARE(g.strip[1500], legendIndex(QStringLiteral("40")));
        QCOMPARE(legendColours()[std::size_t(legendIndex(QStringLiteral("15")))], 0x80FFFFu);
        QCOMPARE(legendIndex(QStringLiteral("2")), -1);
    }

    void awkwardLogs() {
        // All at one moment: still a graph, with a range to draw it in.
        QList<RateContact> same(7, at(0));
        const RateGraph one = *DrawRateGraph(same);
        QCOMPARE(one.spanSeconds, 0);
        QVERIFY(one.maximum > one.minimum);
        for (float v : one.drawn) {
            QVERIFY(std::isfinite(v));
        }
        QCOMPARE(one.times[14], one.times[0]);
        // Every drawn rate equal: a flat graph from 0 to that rate.
        RateGraph flat = one;
        RatePlot plot{0, 1500, 0, 100, 0};
        QVERIFY(std::isfinite(plot.y(flat, 6)));
        // Malformed moments are left out; contacts before the first are off the axis.
        QList<RateContact> odd{at(0), {QDateTime(), QStringLiteral("20")}, at(60), at(-3600),
                               at(120), at(180), at(240), at(300)};
        const RateGraph o = *DrawRateGraph(odd);
        QCOMPARE(o.spanSeconds, 300);
        QVERIFY(o.maximum > 0);
        // A year apart: sound columns.
        QList<RateContact> year{at(0), at(60), at(120), at(180), at(240), at(300), at(365LL * 86400)};
        const RateGraph y = *DrawRateGraph(year);
        QCOMPARE(y.raw[1500], 6.0f);
        QCOMPARE(y.times[14].date(), kStart.date().addDays(365));
        // Moments as stored.
        QCOMPARE(contactMoment(QStringLiteral("2026/12/08"), QStringLiteral("20:01")), kStart.addSecs(60));
        QVERIFY(!contactMoment(QStringLiteral("2026/13/08"), QStringLiteral("20:01:00")).isValid());
        QVERIFY(!contactMoment(QStringLiteral("08/12/2026"), QStringLiteral("20:01:00")).isValid());
    }

    // The time axis tells distinct moments for any span: minutes for a long log, seconds
    // for a few minutes, and no moment twice.
    void timeAxisMoments() {
        const auto texts = [](qint64 span) {
            QList<RateContact> log;
            for (int i = 0; i < 7; ++i) {
                log.append(at(span * i / 6));
            }
            const auto t = timeAxisTexts(*DrawRateGraph(log));
            return QStringList(t.begin(), t.end());
        };
        const QStringList hours = texts(3 * 3600);
        QCOMPARE(hours.first(), QStringLiteral("20:00"));
        QCOMPARE(hours.at(7), QStringLiteral("21:30"));
        QCOMPARE(hours.last(), QStringLiteral("23:00"));
        const QStringList minutes = texts(4 * 60 + 40);
        QCOMPARE(minutes.first(), QStringLiteral("20:00:00"));
        QCOMPARE(minutes.at(7), QStringLiteral("20:02:20"));
        QCOMPARE(minutes.last(), QStringLiteral("20:04:40"));
        const QStringList seconds = texts(6);
        QCOMPARE(seconds.first(), QStringLiteral("20:00:00"));
        QCOMPARE(seconds.last(), QStringLiteral("20:00:06"));
        QCOMPARE(texts(0), QStringList({"20:00:00"}) + QStringList(14, QString()));
        for (const QStringList& axis : {hours, minutes, seconds, texts(14 * 60), texts(20 * 60), texts(5 * 3600)}) {
            QStringList shown = axis;
            shown.removeAll(QString());
            QCOMPARE(QSet<QString>(shown.begin(), shown.end()).size(), shown.size());
            QVERIFY(!axis.first().isEmpty());
        }
    }

    void plotGeometry() {
        QList<RateContact> log;
        for (int i = 0; i < 10; ++i) {
            log.append(at(i * 60));
        }
        const RateGraph g = *DrawRateGraph(log);
        const RatePlot p{100, 1600, 50, 450, 1};
        QCOMPARE(p.x(2), 101.0);
        QCOMPARE(p.x(1502), 1601.0);
        QVERIFY(near(p.y(g, 0), 450 - 0.0025 * 400));
        QVERIFY(near(p.y(g, g.maximum), 450 - 400 * 0.995 - 0.0025 * 400));
    }

    void windowFromTheMenu() {
        {
            MainWindowFixture f(logLines(6, 60));
            f.startUp();
            f.window().findChild<QAction*>(QStringLiteral("mnuGraph"))->trigger();
            const QList<PromptCall> messages = f.prompts.callsOf(QStringLiteral("message"));
            QVERIFY(!messages.isEmpty());
            QCOMPARE(messages.last().title, QStringLiteral("Not Enough Contacts to Graph."));
            QVERIFY(f.window().findChild<GraphQSOWindow*>() == nullptr);
        }
        MainWindowFixture f(logLines(240, 30));
        f.startUp();
        QAction* graph = f.window().findChild<QAction*>(QStringLiteral("mnuGraph"));
        QVERIFY(graph->isEnabled());
        graph->trigger();
        auto* w = f.window().findChild<GraphQSOWindow*>();
        QVERIFY(w != nullptr);
        QCOMPARE(w->objectName(), QStringLiteral("GraphQSO"));
        QCOMPARE(w->windowModality(), Qt::WindowModal);
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(w->lblTime[0]->text(), QStringLiteral("20:00"));
        QCOMPARE(w->lblDate[0]->text(), QStringLiteral("12/08"));
        QCOMPARE(w->lblTime[14]->text(), QStringLiteral("21:59"));
        QCOMPARE(w->lblY[16]->text(), QString::number(w->graph().maximum, 'f', 1));
        QCOMPARE(w->lblBnd[1]->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        // Background toggle.
        QCOMPARE(w->Command1->text(), QStringLiteral("Black Background"));
        QCOMPARE(w->lblY[0]->palette().color(QPalette::WindowText), QColor(Qt::white));
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QVERIFY(w->whiteBackground());
        QCOMPARE(w->Command1->text(), QStringLiteral("White Background"));
        QCOMPARE(w->lblY[0]->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(w->lblBnd[1]->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        // The painted curve: the strip under a 20/40 m log shows both colours.
        const QImage image = w->view()->grab().toImage();
        const int y = int((w->view()->stripTop() + w->view()->stripBottom()) / 2);
        bool red = false, green = false;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red = red || c == QColor(255, 0, 0);
            green = green || c == QColor(0, 255, 0);
        }
        QVERIFY(red && green);
        w->close();
        QTRY_VERIFY(f.window().findChild<GraphQSOWindow*>() == nullptr);
    }

    // A log of a few minutes: the axis shows seconds, each moment once, none touching.
    void shortLogAxisInTheWindow() {
        MainWindowFixture f(logLines(12, 25));
        f.startUp();
        f.window().findChild<QAction*>(QStringLiteral("mnuGraph"))->trigger();
        auto* w = f.window().findChild<GraphQSOWindow*>();
        QVERIFY(w != nullptr);
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(w->lblTime[0]->text(), QStringLiteral("20:00:00"));
        QCOMPARE(w->lblTime[14]->text(), QStringLiteral("20:04:35"));
        QStringList seen;
        int lastRight = -1;
        for (QLabel* l : w->lblTime) {
            if (l->text().isEmpty()) {
                continue;
            }
            QVERIFY2(!seen.contains(l->text()), qPrintable(l->text()));
            seen << l->text();
            const int width = l->fontMetrics().horizontalAdvance(l->text());
            const int left = l->geometry().center().x() - width / 2;
            QVERIFY2(left > lastRight, qPrintable(l->text()));
            lastRight = left + width;
        }
        QVERIFY(seen.size() >= 5);
        w->close();
    }
};

QTEST_MAIN(TestRateGraph)
#include "tst_rategraph.moc"

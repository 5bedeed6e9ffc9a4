// The rate graph and band map fuzz target and the rules it checks.
#include "FuzzTargetsCharts.h"
#include "FuzzRules.h"

#include "charts/RateGraph.h"
#include "log/ContactLog.h"
#include "spots/BandMapGeometry.h"

#include <cmath>
#include <cstring>

namespace ditlog::testing {

namespace {

void checkGraph(const QList<RateContact>& contacts) {
    const std::optional<RateGraph> graph = DrawRateGraph(contacts);
    require(graph.has_value() == (contacts.size() >= RateGraph::kMinimumContacts), "graph from 7 contacts");
    if (!graph) {
        return;
    }
    require(graph->maximum > graph->minimum, "a range to draw in");
    for (int c = 0; c <= RateGraph::kColumns; ++c) {
        require(std::isfinite(graph->drawn[std::size_t(c)]), "finite rates");
        require(graph->strip[std::size_t(c)] >= -1 && graph->strip[std::size_t(c)] < kLegendBands,
                "legend bands");
    }
    for (int i = 1; i < 15; ++i) {
        require(!graph->times[0].isValid() || graph->times[std::size_t(i - 1)] <= graph->times[std::size_t(i)],
                "time labels in order");
    }
    const RatePlot plot{0, 1500, 0, 400, 1};
    require(std::isfinite(plot.y(*graph, graph->maximum)), "finite plot");
}

void checkMaps(const QByteArray& bytes) {
    SpotStore store;
    QList<LabelSpan> spans;
    for (qsizetype at = 0; at + 4 <= bytes.size() && spans.size() < 200; at += 4) {
        float mhz = 0;
        std::memcpy(&mhz, bytes.constData() + at, sizeof mhz);
        if (!std::isfinite(mhz)) {
            continue;
        }
        store.take(QStringLiteral("K1ABC"), mhz, QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
        const int left = int(std::fmod(std::fabs(mhz), 1000.0f));
        spans.append({left, left + 1 + int(bytes.at(at)) % 60});
    }
    for (const SpectrumRow& row : spectrumRows()) {
        const BandScale scale = bandScale(store, row.edges);
        require(scale[0] <= scale[4] && std::isfinite(scale[0]) && std::isfinite(scale[4]), "a sound scale");
        require(scale[0] >= row.edges.lower - 0.0015 && scale[4] <= row.edges.upper + 0.0015, "zoom inside");
        for (int i = 0; i < SpotStore::kSlots; ++i) {
            const double f = store.slot(i).FreqMHz;
            if (onScale(f, scale[0], scale[4])) {
                const double x = *axisPosition(f, scale[0], scale[4], 10, 1010);
                require(x >= 10 && x <= 1010, "on the axis");
            }
        }
    }
    const int rows = 1 + (bytes.isEmpty() ? 0 : int(uchar(bytes.at(0))) % 5);
    for (int row : stackRows(spans, rows)) {
        require(row >= 0 && row < rows, "stacking rows");
    }
}
} // namespace

void fuzzRateGraph(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ContactLog log;
    if (!log.loadFromText(bytes)) {
        checkGraph(rateContacts(log));
    }
    // The same bytes as moments and bands directly, whatever the log reader accepts.
    QList<RateContact> contacts;
    for (qsizetype at = 0; at + 5 <= bytes.size() && contacts.size() < 2000; at += 5) {
        qint32 seconds = 0;
        std::memcpy(&seconds, bytes.constData() + at, sizeof seconds);
        const char band = bytes.at(at + 4);
        contacts.append({uchar(band) == 0xFF ? QDateTime()
                                             : QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC).addSecs(seconds),
                         QString::number(int(uchar(band)) % 200)});
    }
    checkGraph(contacts);
    checkMaps(bytes);
}

} // namespace ditlog::testing

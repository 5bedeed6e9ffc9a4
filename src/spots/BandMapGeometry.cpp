// Band map arithmetic shared by the main window's strip and the spectrum map.
#include "spots/BandMapGeometry.h"

#include <algorithm>
#include <cmath>

namespace ditlog {

BandEdges mainBandEdges(const QString& band) {
    static const struct {
        const char* band;
        BandEdges edges;
    } table[] = {{"160", {1.8, 2}},  {"80", {3.5, 4}},     {"40", {7, 7.3}},
                 {"20", {14, 14.35}}, {"15", {21, 21.45}}, {"10", {28, 29.7}},
                 {"6", {50, 54}},     {"2", {144, 148}},   {"1.25", {219, 225}},
                 {"440", {420, 450}}};
    for (const auto& row : table) {
        if (band == QLatin1String(row.band)) {
            return row.edges;
        }
    }
    return {};
}

const std::array<SpectrumRow, kSpectrumRows>& spectrumRows() {
    static const std::array<SpectrumRow, kSpectrumRows> rows{{{"160", {1.8, 2}},
                                                              {"80", {3.5, 4}},
                                                              {"40", {7, 7.3}},
                                                              {"30", {10.1, 10.15}},
                                                              {"20", {14, 14.35}},
                                                              {"17", {18.068, 18.168}},
                                                              {"15", {21, 21.45}},
                                                              {"12", {24.89, 24.99}},
                                                              {"10", {28, 29.7}},
                                                              {"6", {50, 54}},
                                                              {"2", {144, 148}}}};
    return rows;
}

int spectrumRowOf(double mhz) {
    const auto& rows = spectrumRows();
    for (int k = 0; k < kSpectrumRows; ++k) {
        if (rows[std::size_t(k)].edges.lower < mhz && mhz < rows[std::size_t(k)].edges.upper) {
            return k;
        }
    }
    return -1;
}

void ZoomToSpots(const SpotStore& store, double& upper, double& lower) {
    double least = 0;
    double most = 0;
    bool any = false;
    for (int i = 1; i < SpotStore::kSlots; ++i) {
        const double f = store.slot(i).FreqMHz;
        if (lower < f && f < upper) {
            least = any ? std::min(least, f) : f;
            most = any ? std::max(most, f) : f;
            any = true;
        }
    }
    if (any && most > least) {
        lower = least - 0.001;
        upper = most + 0.001;
    }
}

static double roundedToKilohertz(double value) {
    return std::round(value * 1000) / 1000;
}

BandScale bandScale(const SpotStore& store, BandEdges edges) {
    ZoomToSpots(store, edges.upper, edges.lower);
    BandScale scale{};
    for (int i = 0; i < 5; ++i) {
        scale[std::size_t(i)] = roundedToKilohertz(edges.lower + i * 0.25 * (edges.upper - edges.lower));
    }
    return scale;
}

QString scaleText(double value) {
    QString text = QString::number(roundedToKilohertz(value), 'f', 3);
    if (text.startsWith(QLatin1String("0."))) {
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1String("-0."))) {
        text.remove(1, 1);
    }
    return text;
}

bool onScale(double mhz, double s0, double s4) {
    return s0 < mhz && mhz < s4;
}

std::optional<double> axisPosition(double mhz, double s0, double s4, double x1, double x2) {
    if (!(s4 > s0)) {
        return std::nullopt;
    }
    return x1 + (mhz - s0) / (s4 - s0) * (x2 - x1);
}

std::optional<quint32> SpotAgeColour(qint64 ageSeconds) {
    if (ageSeconds < 600) {
        return 0xFFFF80u;
    }
    if (ageSeconds < 1800) {
        return 0xFFFFFFu;
    }
    if (ageSeconds < kSpotShownSeconds) {
        return 0xC0C0C0u;
    }
    return std::nullopt;
}

QString spotHoverText(const DxSpot& spot, float utcOffsetHours) {
    const qint64 minutes = std::isfinite(utcOffsetHours) ? qint64(std::lround(utcOffsetHours * 60.0)) : 0;
    const QDateTime utc = spot.Time.addSecs(minutes * 60);
    return spot.Call + QLatin1String("  ") + scaleText(spot.FreqMHz) + QLatin1String("  ") +
           utc.toString(QStringLiteral("hh:mm:ss"));
}

QList<int> stackRows(const QList<LabelSpan>& spans, int rows) {
    rows = std::max(1, rows);
    QList<QList<LabelSpan>> taken(rows);
    QList<int> result;
    result.reserve(spans.size());
    for (const LabelSpan& span : spans) {
        int best = 0;
        int bestCover = -1;
        for (int row = 0; row < rows; ++row) {
            int cover = 0;
            for (const LabelSpan& other : taken[row]) {
                cover += std::max(0, std::min(span.right, other.right) - std::max(span.left, other.left));
            }
            if (cover == 0) {
                best = row;
                bestCover = 0;
                break;
            }
            if (bestCover < 0 || cover < bestCover) {
                best = row;
                bestCover = cover;
            }
        }
        taken[best].append(span);
        result.append(best);
    }
    return result;
}

} // namespace ditlog

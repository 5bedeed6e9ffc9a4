// Rate graph figures.
#include "charts/RateGraph.h"

#include "log/ContactLog.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace ditlog {

namespace {
// The value of `count` digits at `at`, or -1.
int digits(QStringView text, qsizetype at, int count) {
    if (at + count > text.size()) {
        return -1;
    }
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[at + i];
        if (c < u'0' || c > u'9') {
            return -1;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}
} // namespace

QDateTime contactMoment(const QString& date, const QString& time) {
    // The fixed layouts are read digit by digit: this runs for every contact of the log.
    const QStringView d = QStringView(date).trimmed();
    const QStringView t = QStringView(time).trimmed();
    if (d.size() != 10 || d[4] != u'/' || d[7] != u'/' || (t.size() != 8 && t.size() != 5) ||
        t[2] != u':' || (t.size() == 8 && t[5] != u':')) {
        return {};
    }
    const QDate day(digits(d, 0, 4), digits(d, 5, 2), digits(d, 8, 2));
    const QTime clock(digits(t, 0, 2), digits(t, 3, 2), t.size() == 8 ? digits(t, 6, 2) : 0);
    if (!day.isValid() || !clock.isValid()) {
        return {};
    }
    return QDateTime(day, clock, Qt::UTC);
}

QList<RateContact> rateContacts(const ContactLog& log) {
    QList<RateContact> contacts;
    contacts.reserve(log.count());
    for (int i = 1; i <= log.count(); ++i) {
        const ContactRecord& r = log.record(i);
        contacts.append({contactMoment(r.date, r.time), r.band});
    }
    return contacts;
}

const std::array<const char*, kLegendBands>& legendBands() {
    static const std::array<const char*, kLegendBands> bands{"160", "80", "40", "20", "15", "10", "6"};
    return bands;
}

const std::array<quint32, kLegendBands>& legendColours() {
    static const std::array<quint32, kLegendBands> colours{0xFFFFFFu, 0x0000FFu, 0xFF0000u, 0x00FF00u,
                                                           0x80FFFFu, 0xFF00FFu, 0xFFFF00u};
    return colours;
}

int legendIndex(const QString& band) {
    const auto& bands = legendBands();
    for (int i = 0; i < kLegendBands; ++i) {
        if (band == QLatin1String(bands[std::size_t(i)])) {
            return i;
        }
    }
    return -1;
}

namespace {

constexpr int kTable = 1601; // room beyond the last column for the bridging look-ahead

// Steps 6: the raw rate and strip colour of each contact's column.
void placeContacts(const QList<RateContact>& contacts, const QDateTime& start, double columnSeconds,
                   std::vector<float>& raw, std::vector<int>& strip) {
    // Moments as seconds once, not a date-time comparison for every step of every walk.
    constexpr qint64 kUnread = std::numeric_limits<qint64>::min();
    std::vector<qint64> seconds(std::size_t(contacts.size()), kUnread);
    for (qsizetype i = 0; i < contacts.size(); ++i) {
        if (contacts[i].moment.isValid()) {
            seconds[std::size_t(i)] = contacts[i].moment.toSecsSinceEpoch();
        }
    }
    const qint64 startSeconds = start.isValid() ? start.toSecsSinceEpoch() : 0;
    bool first = true;
    for (qsizetype i = 0; i < contacts.size(); ++i) {
        const qint64 at = seconds[std::size_t(i)];
        if (at == kUnread) {
            continue;
        }
        int count = 0;
        for (qsizetype j = i; j >= 0; --j) {
            const qint64 then = seconds[std::size_t(j)];
            if (then == kUnread) {
                continue;
            }
            if (at - then >= 600) {
                break;
            }
            ++count;
        }
        long column = 1;
        if (!first && columnSeconds > 0) {
            column = std::lround(double(at - startSeconds) / columnSeconds);
        }
        first = false;
        if (column < 0 || column > RateGraph::kColumns) {
            continue; // before the first contact or after the last: off the time axis
        }
        raw[std::size_t(column)] = float(6 * count);
        const int band = legendIndex(contacts[i].band);
        if (band >= 0) {
            strip[std::size_t(column)] = band;
        }
    }
}

// Step 7: pauses of up to 15 columns are bridged by a straight line.
void bridgeGaps(std::vector<float>& raw, std::vector<float>& drawn) {
    for (int c = 2; c <= RateGraph::kColumns; ++c) {
        if (raw[std::size_t(c)] != 0) {
            drawn[std::size_t(c)] = raw[std::size_t(c)];
            continue;
        }
        int k = 0;
        for (int m = c + 1; m <= c + 15; ++m) {
            if (raw[std::size_t(m)] > 0) {
                k = m;
                break;
            }
        }
        if (k == 0) {
            continue;
        }
        const float before = raw[std::size_t(c - 1)];
        const float slope = (raw[std::size_t(k)] - before) / float(k - c);
        for (int m = c; m < k; ++m) {
            drawn[std::size_t(m)] = before + float(m - c) * slope;
            raw[std::size_t(m)] = drawn[std::size_t(m)];
        }
    }
}

// Step 8: a seven-column average of the positive rates.
void smooth(const std::vector<float>& raw, std::vector<float>& drawn) {
    for (int c = 7; c <= RateGraph::kColumns; ++c) {
        double sum = 0;
        int n = 0;
        for (int m = c - 6; m <= c; ++m) {
            if (raw[std::size_t(m)] > 0) {
                sum += raw[std::size_t(m)];
                ++n;
            }
        }
        if (n > 0) {
            drawn[std::size_t(c)] = float(sum / n);
        }
    }
}

// Step 10: a column with a rate and no band of its own takes the band before it.
void carryBands(const std::vector<float>& drawn, std::vector<int>& strip) {
    int carried = -1;
    for (int c = 1; c <= RateGraph::kColumns; ++c) {
        if (drawn[std::size_t(c)] <= 0) {
            carried = -1;
        } else if (strip[std::size_t(c)] < 0) {
            strip[std::size_t(c)] = carried;
        } else {
            carried = strip[std::size_t(c)];
        }
    }
}

} // namespace

std::optional<RateGraph> DrawRateGraph(const QList<RateContact>& contacts) {
    if (contacts.size() < RateGraph::kMinimumContacts) {
        return std::nullopt;
    }
    RateGraph g;
    std::vector<float> raw(kTable, 0.0f);
    g.drawn.assign(kTable, 0.0f);
    g.strip.assign(kTable, -1);

    // The first and last contacts with a readable moment span the time axis.
    const auto firstValid = std::find_if(contacts.begin(), contacts.end(),
                                         [](const RateContact& c) { return c.moment.isValid(); });
    const auto lastValid = std::find_if(contacts.rbegin(), contacts.rend(),
                                        [](const RateContact& c) { return c.moment.isValid(); });
    if (firstValid != contacts.end()) {
        g.start = firstValid->moment;
        g.spanSeconds = std::max<qint64>(0, g.start.secsTo(lastValid->moment));
    }
    for (int i = 0; i < 15; ++i) {
        g.times[std::size_t(i)] = g.start.isValid() ? g.start.addSecs(qint64(std::llround(
                                                          double(i) * double(g.spanSeconds) / 14.0)))
                                                    : QDateTime();
    }
    const double columnSeconds = double(g.spanSeconds) / RateGraph::kColumns;
    raw[1] = 6;
    g.drawn[1] = 6;
    placeContacts(contacts, g.start, columnSeconds, raw, g.strip);
    bridgeGaps(raw, g.drawn);
    smooth(raw, g.drawn);

    g.minimum = 100000;
    g.maximum = -1;
    for (int c = 1; c <= RateGraph::kColumns; ++c) {
        g.minimum = std::min(g.minimum, double(g.drawn[std::size_t(c)]));
        g.maximum = std::max(g.maximum, double(g.drawn[std::size_t(c)]));
    }
    if (!(g.maximum > g.minimum)) {
        // One rate throughout: the axis runs from 0 to it (or to 6 when it is 0).
        g.minimum = std::min(0.0, g.minimum);
        g.maximum = g.maximum > g.minimum ? g.maximum : g.minimum + 6;
    }
    carryBands(g.drawn, g.strip);
    g.raw = std::move(raw);
    for (int i = 0; i <= 16; ++i) {
        g.rates[std::size_t(i)] = i == 16 ? g.maximum : g.minimum + i * (g.maximum - g.minimum) / 16;
    }
    return g;
}

std::array<QString, 15> timeAxisTexts(const RateGraph& graph) {
    // Fourteen steps across the span: below a minute each, the seconds tell them apart.
    const QString format = graph.spanSeconds < 14 * 60 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    std::array<QString, 15> texts;
    QString last;
    std::size_t lastAt = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const QString text = graph.times[i].toString(format);
        if (text != last) {
            texts[i] = text;
            last = text;
            lastAt = i;
        }
    }
    // The last contact's moment stands at the end of the axis, rather than one step before.
    if (texts.back().isEmpty() && lastAt > 0) {
        texts.back() = std::exchange(texts[lastAt], QString());
    }
    return texts;
}

double RatePlot::x(int column) const {
    const double w = (right - left) / RateGraph::kColumns;
    return left + (column - 2) * w + columnOffset;
}

double RatePlot::y(const RateGraph& graph, double rate) const {
    const double height = axis - top;
    const double s = height / (graph.maximum - graph.minimum) * 0.995;
    return axis - (rate - graph.minimum) * s - 0.0025 * height;
}

} // namespace ditlog

// The band plan drawing: bars from the outline rows, tags, proportional segments.
#include "charts/BandPlanLayout.h"

#include "rig/BandConversion.h"

namespace ditlog {

namespace {
constexpr quint32 kBlack = 0x000000;
constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kYellow = 0x00FFFF;
constexpr quint32 kBlue = 0xFF0000;
constexpr quint32 kGreen = 0x00FF00;

QString edges(double low, double high) {
    return fixedDecimals(low, 3, true) + QStringLiteral(" - ") + fixedDecimals(high, 3, true);
}

struct Bar {
    QString band;
    double low = 0;
    double high = 0;
    QString toolTip;
};

// The outline rows of bands that hold a row of the class, in file order.
QList<Bar> shownBands(const QList<BandPlanRow>& rows, const QString& classCode) {
    QList<Bar> bars;
    for (qsizetype i = 0; i < rows.size() && bars.size() < kMaxBandPlanBars; ++i) {
        const BandPlanRow& outline = rows.at(i);
        if (outline.licenceClass != QLatin1String("O")) {
            continue;
        }
        bool shown = false;
        for (qsizetype j = i + 1; j < rows.size() && rows.at(j).band == outline.band; ++j) {
            shown = shown || rows.at(j).licenceClass == classCode;
        }
        if (shown) {
            bars.append({outline.band, outline.low, outline.high,
                         outline.band + QStringLiteral("  ") + edges(outline.low, outline.high)});
        }
    }
    return bars;
}
} // namespace

QString bandPlanTitle(const QString& classCode) {
    static const QList<std::pair<const char*, const char*>> titles{
        {"N", "Novice"}, {"T", "Technician"}, {"P", "Technician Plus"},
        {"G", "General"}, {"A", "Advanced"}, {"E", "Extra"}};
    for (const auto& [code, name] : titles) {
        if (classCode == QLatin1String(code)) {
            return QLatin1String(name) + QStringLiteral(" Frequency Privileges");
        }
    }
    return {};
}

QList<BandPlanLabel> DrawPrivileges(const QList<BandPlanRow>& rows, const QString& classCode,
                                    const BandPlanGeometry& g) {
    const QList<Bar> bars = shownBands(rows, classCode);
    QList<BandPlanLabel> labels;
    if (bars.isEmpty()) {
        return labels;
    }
    const double step = 0.8 * (g.height - g.separatorTop) / double(bars.size());
    const double barLeft = 0.1 * g.width;
    const double barWidth = 0.85 * g.width;
    const double barHeight = 0.04 * g.height;
    const auto barTop = [&](qsizetype k) { return g.separatorTop + double(k + 1) * step; };

    for (qsizetype k = 0; k < bars.size(); ++k) {
        BandPlanLabel bar;
        bar.kind = BandPlanLabel::Kind::Bar;
        bar.name = QStringLiteral("blbl%1").arg(k + 1);
        bar.twips = QRectF(barLeft, barTop(k), barWidth, barHeight);
        bar.caption = bars.at(k).band;
        bar.toolTip = bars.at(k).toolTip;
        bar.backColour = kBlack;
        bar.foreColour = kBlack;
        labels.append(bar);
    }
    for (qsizetype k = 0; k < bars.size(); ++k) {
        BandPlanLabel tag;
        tag.kind = BandPlanLabel::Kind::Tag;
        tag.name = QStringLiteral("bnlb%1").arg(k + 1);
        tag.twips = QRectF(0.04 * g.width, barTop(k), 0.05 * g.width, barHeight);
        tag.caption = bars.at(k).band;
        tag.toolTip = bars.at(k).toolTip;
        tag.backColour = kYellow;
        tag.foreColour = kBlack;
        tag.fontFamily = QStringLiteral("ARIAL");
        tag.fontPoints = 8 * g.fontScale;
        tag.bold = true;
        labels.append(tag);
    }
    int segment = 0;
    for (const BandPlanRow& row : rows) {
        if (row.licenceClass != classCode) {
            continue;
        }
        for (qsizetype k = 0; k < bars.size(); ++k) {
            const Bar& bar = bars.at(k);
            const double span = bar.high - bar.low;
            if (bar.band != row.band || span <= 0) {
                continue; // an outline without width has no scale to draw on
            }
            BandPlanLabel s;
            s.kind = BandPlanLabel::Kind::Segment;
            s.name = QStringLiteral("priv%1").arg(++segment);
            s.twips = QRectF(barLeft + barWidth * (row.low - bar.low) / span, barTop(k),
                             barWidth * (row.high - row.low) / span, barHeight);
            s.caption = edges(row.low, row.high);
            const bool cw = row.mode == QLatin1String("CW");
            s.toolTip = (cw ? QStringLiteral("CW   ") : QStringLiteral("PH   ")) + s.caption;
            s.backColour = cw ? kBlue : kGreen;
            s.foreColour = cw ? kWhite : kBlack;
            s.fontFamily = QStringLiteral("ARIAL NARROW");
            s.fontPoints = 7 * g.fontScale;
            labels.append(s);
        }
    }
    return labels;
}

} // namespace ditlog

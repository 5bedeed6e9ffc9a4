// The band plan reader.
#include "rig/BandPlan.h"

#include "log/RecordFile.h"

#include <QDir>

#include <cmath>

namespace ditlog {

namespace {
constexpr int kReadLimit = 10000;
constexpr qint64 kMaxFileBytes = 1024 * 1024;

std::optional<double> edge(const std::optional<QString>& text) {
    if (!text) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = text->trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e9) {
        return std::nullopt;
    }
    return value;
}
} // namespace

std::optional<BandPlan> readBandPlan(const QByteArray& content) {
    RecordReader reader(content);
    BandPlan plan;
    if (reader.atEnd()) {
        return std::nullopt;
    }
    const auto date = reader.readText();
    if (!date) {
        return std::nullopt;
    }
    plan.effectiveDate = *date;
    while (!reader.atEnd() && plan.rows.size() < kReadLimit) {
        const auto band = reader.readText();
        const auto licenceClass = reader.readText();
        const auto mode = reader.readText();
        const auto low = edge(reader.readText());
        const auto high = edge(reader.readText());
        if (!band || !licenceClass || !mode || !low || !high) {
            return std::nullopt;
        }
        plan.rows.append({band->trimmed(), licenceClass->trimmed().toUpper(),
                          mode->trimmed().toUpper(), *low, *high});
    }
    return plan;
}

std::optional<BandPlan> loadBandPlan(const QString& workingFolder) {
    const auto content =
        readWholeFile(QDir(workingFolder).filePath(kBandPlanFileName), nullptr, kMaxFileBytes);
    if (!content) {
        return std::nullopt;
    }
    return readBandPlan(*content);
}

QList<BandPlanRow> bandPlanRowsOfClass(const BandPlan& plan, const QString& licenceClass) {
    QList<BandPlanRow> rows;
    for (const BandPlanRow& row : plan.rows) {
        if (row.licenceClass == licenceClass && rows.size() < BandPlan::kMaxRecords) {
            rows.append(row);
        }
    }
    return rows;
}

} // namespace ditlog

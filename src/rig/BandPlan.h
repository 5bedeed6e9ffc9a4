// "BandPlan.txt": the effective date, then records of band, licence class, mode and the
// segment's edges in MHz, grouped by band, each group led by the band's outline row "O".
// The band plan panel draws it; the rig link picks a mode for a frequency from it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace ditlog {

inline const QString kBandPlanFileName = QStringLiteral("BandPlan.txt");

struct BandPlanRow {
    QString band;         // metres: "160", "60", "1.25"
    QString licenceClass; // "O" outline, "N", "T", "P", "G", "A", "E"
    QString mode;         // "CW" or "PH"
    double low = 0;       // MHz
    double high = 0;

    bool operator==(const BandPlanRow&) const = default;
};

struct BandPlan {
    QString effectiveDate;
    QList<BandPlanRow> rows; // in file order

    static constexpr int kMaxRecords = 200;
};

// Reads the file's content; nothing when it is not a band plan (no date, a record cut
// short, an edge that is not a number). Reading stops at 10000 records; a plan of more
// than kMaxRecords is read whole so that its user can refuse it.
std::optional<BandPlan> readBandPlan(const QByteArray& content);
// The file in the working folder; nothing when it is missing or unreadable.
std::optional<BandPlan> loadBandPlan(const QString& workingFolder);

// The rows of one licence class, at most kMaxRecords of them.
QList<BandPlanRow> bandPlanRowsOfClass(const BandPlan& plan, const QString& licenceClass);

} // namespace ditlog

// Loading the prefix table, the call-sign lookup that runs on every keystroke in the
// call field, the entity-name completion, and great-circle bearing and distance.
#include "log/PrefixTable.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace ditlog {

namespace {

constexpr QStringView NotFound = u"Not Found";

bool isHomeEntity(QStringView entity) {
    return entity.compare(u"USA", Qt::CaseInsensitive) == 0 ||
           entity.compare(u"Canada", Qt::CaseInsensitive) == 0;
}

// Sort key of a text's first character, upper-cased when case is ignored; an empty
// text sorts before every character.
int firstKey(QStringView text, Qt::CaseSensitivity cs) {
    if (text.isEmpty()) {
        return -1;
    }
    const QChar c = text.front();
    return cs == Qt::CaseInsensitive ? c.toUpper().unicode() : c.unicode();
}

std::optional<float> toSingle(double value) {
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

} // namespace

// ---- table and file --------------------------------------------------------------------

PrefixTable::PrefixTable(QList<PrefixEntry> entries) : m_entries(std::move(entries)) {
    if (m_entries.size() > MaxEntries) {
        m_entries.resize(MaxEntries);
    }
}

const PrefixEntry& PrefixTable::entry(int index) const {
    if (index < 1 || index > count()) {
        return m_none;
    }
    return m_entries.at(index - 1);
}

std::optional<RecordError> LoadPrefixTable(PrefixTable& table, const QByteArray& content) {
    table = PrefixTable();
    RecordReader reader(content);
    QList<PrefixEntry> entries;
    // One entry a line in the shipped file: the list grows once, not step by step.
    entries.reserve(std::min<qsizetype>(content.count('\n') + 1, PrefixTable::MaxEntries));
    while (!reader.atEnd()) {
        const int number = static_cast<int>(entries.size()) + 1;
        if (number > PrefixTable::MaxEntries) {
            return RecordError{0, 0,
                               QStringLiteral("entry %1: the table holds at most %2 entries")
                                   .arg(number)
                                   .arg(PrefixTable::MaxEntries)};
        }
        auto prefix = reader.readText();
        auto entity = reader.readText();
        auto continent = reader.readText();
        const auto longitude = reader.readNumber();
        const auto latitude = reader.readNumber();
        for (int unused = 0; unused < 3; ++unused) {
            reader.readText();
        }
        if (reader.failed()) {
            return reader.error();
        }
        const auto singleLongitude = toSingle(*longitude);
        const auto singleLatitude = toSingle(*latitude);
        if (!singleLongitude || !singleLatitude) {
            return RecordError{0, 0,
                               QStringLiteral("entry %1: a position is out of range").arg(number)};
        }
        entries.append(PrefixEntry{std::move(*prefix), std::move(*entity), std::move(*continent),
                                   *singleLongitude, *singleLatitude});
    }
    table = PrefixTable(std::move(entries));
    return std::nullopt;
}

QString findPrefixFile(const QString& sharedFolder, const QString& dataFolder,
                       const QString& workingFolder) {
    for (const QString& folder : {sharedFolder, dataFolder, workingFolder}) {
        if (folder.isEmpty()) {
            continue;
        }
        const QString path = QDir(folder).filePath(QStringLiteral("arrlpre2.txt"));
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return QString();
}

std::optional<RecordError> LoadPrefixTable(PrefixTable& table, const QString& sharedFolder,
                                           const QString& dataFolder,
                                           const QString& workingFolder) {
    table = PrefixTable();
    const QString path = findPrefixFile(sharedFolder, dataFolder, workingFolder);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QString errorText;
    const auto content = readWholeFile(path, &errorText);
    if (!content) {
        return RecordError{0, 0, errorText};
    }
    return LoadPrefixTable(table, *content);
}

// ---- lookup ----------------------------------------------------------------------------

QStringView callForLookup(QStringView call) {
    const qsizetype slash = call.indexOf(u'/');
    if (slash < 0) {
        return call;
    }
    const qsizetype after = call.size() - slash - 1;
    if (after > 1 && 2 * after < call.size()) {
        return call.right(after);
    }
    return call;
}

int findPrefixEntry(const PrefixTable& table, QStringView call, Qt::CaseSensitivity cs) {
    if (call.isEmpty()) {
        return 0;
    }
    const int last = table.count();
    const int key = firstKey(call, cs);
    const auto keyAt = [&](int index) { return firstKey(table.entry(index).prefix, cs); };

    // Estimate where the call's first character starts, as if the entries were spread
    // evenly over A to Z. Digits and symbols take the estimate for A; characters past Z
    // (lower case, accented) start from the last entry.
    const qint64 code = std::max<qint64>(call.front().unicode(), 'A');
    int start = static_cast<int>(std::min<qint64>(last * (code - 64) / 26, last));

    // Landing inside the block of the call's character: step back out of it so that
    // the upward scan sees the whole block.
    while (start > 1 && keyAt(start) == key) {
        start = std::max(1, start - 5);
    }

    int best = 0;
    qsizetype bestLength = 0;
    const auto consider = [&](int index) {
        const QString& prefix = table.entry(index).prefix;
        if (prefix.size() > bestLength && call.startsWith(prefix, cs)) {
            best = index;
            bestLength = prefix.size();
        }
    };
    if (keyAt(start) > key) {
        for (int index = start; index >= 1; --index) {
            consider(index);
            if (keyAt(index) < key) {
                break;
            }
        }
    } else {
        for (int index = start; index <= last; ++index) {
            consider(index);
            if (keyAt(index) > key) {
                break;
            }
        }
    }
    return best;
}

int findEntityCompletion(const PrefixTable& table, QStringView typed, Qt::CaseSensitivity cs) {
    for (int index = table.count(); index >= 1; --index) {
        if (QStringView(table.entry(index).entity).startsWith(typed, cs)) {
            return index;
        }
    }
    return 0;
}

// ---- bearing and distance --------------------------------------------------------------

namespace {

constexpr double DegreesPerRadian = 57.29577951;
constexpr double EarthRadiusMiles = 3955.75791314991;

// Arc cosine in radians by way of the arc tangent; undefined where the root is zero or
// imaginary, that is for |v| >= 1 and for NaN.
std::optional<double> arcCos(double v) {
    const double root = 1 - v * v;
    if (!(root > 0)) {
        return std::nullopt;
    }
    return std::atan(-v / std::sqrt(root)) + 2 * std::atan(1.0);
}

// A whole number with digit placeholders only: no leading zeros, so a value that
// rounds to 0 shows no digits at all; optionally with "," between thousands.
QString formatWhole(double value, bool grouped) {
    const qint64 whole = std::llround(value);
    if (whole == 0) {
        return QString();
    }
    QString digits = QString::number(whole < 0 ? -whole : whole);
    if (grouped) {
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
            digits.insert(at, u',');
        }
    }
    if (whole < 0) {
        digits.prepend(u'-');
    }
    return digits;
}

} // namespace

BearingDistance HDCalc(float ownLatitude, float ownLongitude, float cntlat, float cntlong) {
    const double lat1 = ownLatitude;
    const double lon1 = ownLongitude;
    const double lat2 = cntlat;
    const double lon2 = cntlong;
    if (lat1 == lat2 && lon1 == lon2) {
        return {}; // no direction to oneself, whatever the rounding says
    }
    const double k = DegreesPerRadian;
    const double x = std::sin(lat2 / k) * std::sin(lat1 / k) +
                     std::cos(lat2 / k) * std::cos(lat1 / k) * std::cos((lon2 - lon1) / k);
    const auto angle = arcCos(x);
    if (!angle) {
        return {};
    }
    const double angleDegrees = *angle * k;
    const double divisor = std::cos(lat1 / k) * std::sin(angleDegrees / k);
    if (!(divisor != 0)) {
        return {};
    }
    // On a shared meridian the cosine is exactly 1 or -1, which rounding can push just
    // beyond: it is held to the range, due north or south.
    const double c = std::clamp((std::sin(lat2 / k) - x * std::sin(lat1 / k)) / divisor, -1.0, 1.0);
    if (std::isnan(c)) {
        return {};
    }
    const double a = (c >= 1 ? 0.0 : c <= -1 ? 180.0 : *arcCos(c) * k);
    // Longitudes grow to the west, so a positive sine puts the target to the east.
    const double bearing = std::sin((lon1 - lon2) / k) > 0 ? a : 360 - a;
    const double miles = *angle * EarthRadiusMiles;
    if (!std::isfinite(bearing) || !std::isfinite(miles)) {
        return {};
    }
    return {formatWhole(bearing, false) + QLatin1Char(' '),
            formatWhole(miles, true) + QLatin1Char(' ')};
}

// ---- the call field's lookup -----------------------------------------------------------

namespace {

// The first entry of the USA, 0 when the table has none.
int firstUsaEntry(const PrefixTable& table) {
    for (int index = 1; index <= table.count(); ++index) {
        if (table.entry(index).entity.compare(u"USA", Qt::CaseInsensitive) == 0) {
            return index;
        }
    }
    return 0;
}

// KG4 with a two-letter suffix (KG4AB) is Guantanamo Bay; shorter and longer KG4 calls
// are stations in the USA.
bool isUsaKg4Call(QStringView call) {
    return call.startsWith(u"KG4", Qt::CaseInsensitive) && (call.size() == 4 || call.size() > 5);
}

} // namespace

int entryOfCall(const PrefixTable& table, QStringView call) {
    const QStringView lookedUp = callForLookup(call);
    if (lookedUp.isEmpty()) {
        return 0;
    }
    const int best = findPrefixEntry(table, lookedUp, Qt::CaseInsensitive);
    if (best != 0 && !isHomeEntity(table.entry(best).entity) && isUsaKg4Call(call)) {
        return firstUsaEntry(table);
    }
    return best;
}

CountryLookupResult CountryLookup(const PrefixTable& table, QStringView call,
                                  QStringView currentSpc, float ownLatitude, float ownLongitude) {
    CountryLookupResult result;
    const QStringView lookedUp = callForLookup(call);
    if (lookedUp.isEmpty()) {
        return result;
    }
    result.ran = true;
    result.selectSpc = true;

    const int best = findPrefixEntry(table, lookedUp, Qt::CaseInsensitive);
    // USA and Canada are no entities here: the operator types the state or province.
    const bool homeEntity = best != 0 && isHomeEntity(table.entry(best).entity);
    if (best != 0 && !homeEntity) {
        int shown = best;
        result.spc = table.entry(best).entity;
        if (isUsaKg4Call(call)) {
            shown = firstUsaEntry(table);
            result.spc.clear();
        }
        const PrefixEntry& entry = table.entry(shown);
        result.setSpc = true;
        result.entryIndex = shown;
        result.continent = entry.continent;
        BearingDistance labels = HDCalc(ownLatitude, ownLongitude, entry.latitude, entry.longitude);
        result.bearing = std::move(labels.bearing);
        result.distance = std::move(labels.distance);
    } else if (homeEntity) {
        result.continent = QStringLiteral("NA");
    } else {
        result.setSpc = true;
        result.spc = NotFound.toString();
    }

    const QStringView spcShown = result.setSpc ? QStringView(result.spc) : currentSpc;
    if (spcShown.compare(NotFound, Qt::CaseInsensitive) == 0) {
        result.continent.clear();
        result.bearing.clear();
        result.distance.clear();
        result.entryIndex = 0;
    }
    return result;
}

} // namespace ditlog

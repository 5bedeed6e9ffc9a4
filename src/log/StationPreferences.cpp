// Reading and writing "varnpref.txt".
#include "log/StationPreferences.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ditlog {

namespace {
// True when the number rounds to a finite single-precision value: below the largest
// float plus half a unit in its last place.
bool fitsSingle(double value) {
    return std::fabs(value) < double(std::numeric_limits<float>::max()) + 0x1p103;
}

quint8 clampByte(double v) { return quint8(std::clamp(v, 0.0, 255.0)); }

qint32 toColour(double v) {
    return qint32(std::clamp(v, double(std::numeric_limits<qint32>::min()),
                             double(std::numeric_limits<qint32>::max())));
}
} // namespace

PreferenceLoad readPreferences(const QByteArray& content, StationPreferences& p) {
    RecordReader r(content);
    // Each step reads one value; reading stops at the first one that is missing or bad.
    const auto text = [&r](QString& field) {
        if (auto v = r.readText()) {
            field = stripUnstorable(*v);
            return true;
        }
        return false;
    };
    // A number beyond single precision would become infinite: it stops the reading.
    std::optional<RecordError> outOfRange;
    const auto single = [&r, &outOfRange](float& field) {
        const auto v = r.readNumber();
        if (v && !fitsSingle(*v)) {
            outOfRange = RecordError{0, 0, QStringLiteral("%1 is out of range").arg(*v)};
            return false;
        }
        if (v) {
            field = float(*v);
        }
        return v.has_value();
    };
    const auto byte = [&r](quint8& field) {
        if (auto v = r.readNumber()) {
            field = clampByte(*v);
            return true;
        }
        return false;
    };
    const auto colour = [&r](qint32& field) {
        if (auto v = r.readNumber()) {
            field = toColour(*v);
            return true;
        }
        return false;
    };
    const bool complete = text(p.OwnCall) && text(p.OwnSpc) && single(p.UtcOffset) &&
                          text(p.Mode) && single(p.OperatingTime) && text(p.OwnCountry) &&
                          single(p.OwnLongitude) && single(p.OwnLatitude) &&
                          byte(p.FormSizePercent) && colour(p.WorkedColour) &&
                          colour(p.RemainingColour) && text(p.Band) && text(p.OwnContinent) &&
                          text(p.OwnMemberNumber) && byte(p.VoiceNavigation) &&
                          text(p.RigType) && text(p.OwnFirstName) && text(p.DefaultRst) &&
                          byte(p.TaskbarMode) && byte(p.ListPreviousContacts);
    // Keep what was read within its documented range.
    p.FormSizePercent = std::clamp<quint8>(p.FormSizePercent, 30, 100);
    p.VoiceNavigation = std::min<quint8>(p.VoiceNavigation, 2);
    p.TaskbarMode = std::min<quint8>(p.TaskbarMode, 1);
    p.ListPreviousContacts = std::min<quint8>(p.ListPreviousContacts, 1);
    if (!complete) {
        return {PreferenceLoad::Status::Malformed, outOfRange ? *outOfRange : r.error()};
    }
    return {PreferenceLoad::Status::Loaded, {}};
}

PreferenceLoad LoadPreferences(const QString& workingFolder, StationPreferences& prefs) {
    const QString path = QDir(workingFolder).filePath(kPreferenceFileName);
    if (!QFile::exists(path)) {
        return {PreferenceLoad::Status::Missing, {}};
    }
    QString error;
    const auto content = readWholeFile(path, &error, 1024 * 1024);
    if (!content) {
        return {PreferenceLoad::Status::Malformed, RecordError{0, 0, error}};
    }
    return readPreferences(*content, prefs);
}

QByteArray preferencesText(const StationPreferences& p) {
    RecordWriter w;
    QByteArray out;
    const auto text = [&](const QString& v) { out += w.text(stripUnstorable(v)).takeLine(); };
    const auto single = [&](float v) { out += w.singleNumber(v).takeLine(); };
    const auto integer = [&](qint64 v) { out += w.integer(v).takeLine(); };
    text(p.OwnCall);
    text(p.OwnSpc);
    single(p.UtcOffset);
    text(p.Mode);
    single(p.OperatingTime);
    text(p.OwnCountry);
    single(p.OwnLongitude);
    single(p.OwnLatitude);
    integer(p.FormSizePercent);
    integer(p.WorkedColour);
    integer(p.RemainingColour);
    text(p.Band);
    text(p.OwnContinent);
    text(p.OwnMemberNumber);
    integer(p.VoiceNavigation);
    text(p.RigType);
    text(p.OwnFirstName);
    text(p.DefaultRst);
    integer(p.TaskbarMode);
    integer(p.ListPreviousContacts);
    return out;
}

std::optional<QString> writePreferences(const QString& workingFolder,
                                        const StationPreferences& prefs) {
    return writeFileAtomically(QDir(workingFolder).filePath(kPreferenceFileName),
                               preferencesText(prefs));
}

QString CallFileStem(const QString& call) {
    qsizetype n = 0;
    while (n < call.size()) {
        const QChar c = call.at(n);
        const bool allowed = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
        if (!allowed) {
            break;
        }
        ++n;
    }
    return n == 0 ? QStringLiteral("YourCall") : call.left(n);
}

} // namespace ditlog

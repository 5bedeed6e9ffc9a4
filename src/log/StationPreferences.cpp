// Reading and writing "varnpref.txt".
#include "log/StationPreferences.h"

#include <QDir>

#include <QStringList>

#include <algorithm>
#include <type_traits>

namespace ditlog {

namespace {
// The documented or sensible range of each number; a value outside it takes the default.
struct Range {
    double low;
    double high;
    bool contains(double v) const { return v >= low && v <= high; }
};
constexpr Range kUtcOffsetRange{-14, 14};            // hours
constexpr Range kOperatingTimeRange{0, 100'000'000}; // seconds, some three years
constexpr Range kLongitudeRange{-180, 180};
constexpr Range kLatitudeRange{-90, 90};
constexpr Range kFormSizeRange{30, 100};
constexpr Range kColourRange{0, 0xFFFFFF};
constexpr Range kVoiceNavigationRange{0, 2};
constexpr Range kFlagRange{0, 1};

bool isBand(const QString& text) {
    static const QStringList bands{QStringLiteral("160"), QStringLiteral("80"), QStringLiteral("40"),
                                   QStringLiteral("20"),  QStringLiteral("15"), QStringLiteral("10"),
                                   QStringLiteral("6")};
    return bands.contains(text);
}

// A default report is empty (the prompt was cancelled) or up to three digits.
bool isReport(const QString& text) {
    return text.size() <= 3 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
}
} // namespace

PreferenceLoad readPreferences(const QByteArray& content, StationPreferences& p) {
    RecordReader r(content);
    const StationPreferences defaults;
    QStringList corrected;
    // Each step reads one value; reading stops at the first one that is missing or bad.
    // A value out of its range takes the default and is named in the result.
    const auto text = [&r](QString& field) {
        if (auto v = r.readText()) {
            field = stripUnstorable(*v);
            return true;
        }
        return false;
    };
    const auto checkedText = [&](QString& field, const QString& fallback, bool (*valid)(const QString&),
                                 const char* name) {
        if (!text(field)) {
            return false;
        }
        if (!valid(field)) {
            corrected << QStringLiteral("%1 \"%2\"").arg(QLatin1String(name), field.left(20));
            field = fallback;
        }
        return true;
    };
    const auto number = [&](auto& field, auto fallback, Range range, const char* name) {
        const auto v = r.readNumber();
        if (!v) {
            return false;
        }
        if (range.contains(*v)) {
            field = static_cast<std::remove_reference_t<decltype(field)>>(*v);
        } else {
            corrected << QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(*v);
            field = fallback;
        }
        return true;
    };
    const auto mode = [](const QString& m) { return m == QLatin1String("CW") || m == QLatin1String("PH"); };
    const bool complete =
        text(p.OwnCall) && text(p.OwnSpc) &&
        number(p.UtcOffset, defaults.UtcOffset, kUtcOffsetRange, "UtcOffset") &&
        checkedText(p.Mode, defaults.Mode, mode, "Mode") &&
        number(p.OperatingTime, defaults.OperatingTime, kOperatingTimeRange, "OperatingTime") &&
        text(p.OwnCountry) &&
        number(p.OwnLongitude, defaults.OwnLongitude, kLongitudeRange, "OwnLongitude") &&
        number(p.OwnLatitude, defaults.OwnLatitude, kLatitudeRange, "OwnLatitude") &&
        number(p.FormSizePercent, defaults.FormSizePercent, kFormSizeRange, "FormSizePercent") &&
        number(p.WorkedColour, defaults.WorkedColour, kColourRange, "WorkedColour") &&
        number(p.RemainingColour, defaults.RemainingColour, kColourRange, "RemainingColour") &&
        checkedText(p.Band, defaults.Band, isBand, "Band") && text(p.OwnContinent) &&
        text(p.OwnMemberNumber) &&
        number(p.VoiceNavigation, defaults.VoiceNavigation, kVoiceNavigationRange, "VoiceNavigation") &&
        text(p.RigType) && text(p.OwnFirstName) &&
        checkedText(p.DefaultRst, defaults.DefaultRst, isReport, "DefaultRst") &&
        number(p.TaskbarMode, defaults.TaskbarMode, kFlagRange, "TaskbarMode") &&
        number(p.ListPreviousContacts, defaults.ListPreviousContacts, kFlagRange,
               "ListPreviousContacts");
    if (!complete) {
        return {PreferenceLoad::Status::Malformed, r.error(), corrected};
    }
    return {PreferenceLoad::Status::Loaded, {}, corrected};
}

PreferenceLoad LoadPreferences(const QString& workingFolder, StationPreferences& prefs) {
    const QString path = QDir(workingFolder).filePath(kPreferenceFileName);
    if (!QFile::exists(path)) {
        return {PreferenceLoad::Status::Missing, {}, {}};
    }
    QString error;
    const auto content = readWholeFile(path, &error, 1024 * 1024);
    if (!content) {
        return {PreferenceLoad::Status::Malformed, RecordError{0, 0, error}, {}};
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

// Reading and writing "PackSpot.txt".
#include "spots/SpotSourceSettings.h"

#include "log/RecordFile.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace ditlog {

std::optional<QString> SpotSource::canonical(const QString& name) {
    for (const QString& s : All) {
        if (s.compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            return s;
        }
    }
    return std::nullopt;
}

bool SpotSource::is(const QString& source, const QString& which) {
    return source.compare(which, Qt::CaseInsensitive) == 0;
}

QString SpotSourceSettings::serialSettings() const {
    return Baud.trimmed() + QLatin1Char(',') + Parity + QLatin1Char(',') + DataBits +
           QLatin1Char(',') + StopBits;
}

QByteArray spotSettingsText(const SpotSourceSettings& s) {
    RecordWriter w;
    QByteArray out;
    const auto text = [&](const QString& v) { out += w.text(stripUnstorable(v)).takeLine(); };
    const auto number = [&](qint64 v) { out += w.integer(v).takeLine(); };
    text(s.Baud);
    text(s.Parity);
    text(s.DataBits);
    text(s.StopBits);
    number(s.Port);
    text(s.PowerLine);
    text(s.Source);
    number(s.ConvertToHex);
    number(s.Handshake);
    number(s.DxOnly);
    out += w.boolean(s.ShowAsList).takeLine();
    text(s.CommandChar);
    text(s.TelnetPort);
    text(s.TelnetHost);
    return out;
}

namespace {

// A value of a documented set: taken when it is one of them, else the default stays.
void pick(QString& field, const QString& value, const QStringList& allowed) {
    for (const QString& a : allowed) {
        if (a.compare(value.trimmed(), Qt::CaseInsensitive) == 0) {
            field = a;
            return;
        }
    }
}

void pickInt(int& field, double value, int low, int high) {
    if (std::isfinite(value) && value == std::floor(value) && value >= low && value <= high) {
        field = int(value);
    }
}

// One or two hexadecimal digits and nothing else (a number parser would let a NUL after
// them through).
bool isHexByte(const QString& text) {
    const QString t = text.trimmed();
    return !t.isEmpty() && t.size() <= 2 && std::all_of(t.begin(), t.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c.toUpper() >= u'A' && c.toUpper() <= u'F');
           });
}

} // namespace

std::optional<SpotSourceSettings> readSpotSettings(const QByteArray& content) {
    RecordReader r(content);
    const auto baud = r.readText();
    const auto parity = r.readText();
    const auto dataBits = r.readText();
    const auto stopBits = r.readText();
    const auto port = r.readNumber();
    const auto power = r.readText();
    const auto source = r.readText();
    const auto hex = r.readNumber();
    const auto handshake = r.readNumber();
    const auto dxOnly = r.readNumber();
    const auto asList = r.readBool();
    const auto commandChar = r.readText();
    const auto telnetPort = r.readText();
    const auto telnetHost = r.readText();
    if (r.failed()) {
        return std::nullopt;
    }
    SpotSourceSettings s;
    pick(s.Baud, *baud, SpotSourceSettings::kBauds);
    pick(s.Parity, *parity, {QStringLiteral("O"), QStringLiteral("N"), QStringLiteral("E")});
    pick(s.DataBits, *dataBits, {QStringLiteral("7"), QStringLiteral("8")});
    pick(s.StopBits, *stopBits, {QStringLiteral("1"), QStringLiteral("2")});
    pickInt(s.Port, *port, 1, 10);
    pick(s.PowerLine, *power, {QStringLiteral("N"), QStringLiteral("R"), QStringLiteral("D")});
    s.Source = SpotSource::canonical(*source).value_or(SpotSource::None);
    pickInt(s.ConvertToHex, *hex, 0, 1);
    pickInt(s.Handshake, *handshake, 1, 4);
    pickInt(s.DxOnly, *dxOnly, 0, 1);
    s.ShowAsList = *asList;
    if (isHexByte(*commandChar)) {
        s.CommandChar = commandChar->trimmed().toUpper();
    }
    s.TelnetPort = stripUnstorable(*telnetPort).trimmed();
    s.TelnetHost = stripUnstorable(*telnetHost).trimmed();
    return s;
}

std::optional<SpotSourceSettings> LoadSpotSettings(const QString& workingFolder) {
    const auto content =
        readWholeFile(QDir(workingFolder).filePath(kSpotSettingsFileName), nullptr, 1024 * 1024);
    if (!content) {
        return std::nullopt;
    }
    return readSpotSettings(*content);
}

std::optional<QString> SaveSpotSettings(const QString& workingFolder,
                                        const SpotSourceSettings& settings) {
    return writeFileAtomically(QDir(workingFolder).filePath(kSpotSettingsFileName),
                               spotSettingsText(settings));
}

} // namespace ditlog

// "RigCntrl.txt": the lenient reader and the atomic writer.
#include "rig/RigSettings.h"

#include "log/RecordFile.h"

#include <QDir>

#include <cmath>
#include <functional>

namespace ditlog {

namespace {
constexpr qint64 kMaxSettingsFile = 64 * 1024;
constexpr int kMaxQueryLength = 200;

std::optional<int> wholeNumber(const QString& text, int low, int high) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !(value >= low && value <= high) || value != std::floor(value)) {
        return std::nullopt;
    }
    return int(value);
}

QString paddedSpeed(const QString& speed) {
    return speed.leftJustified(5, QLatin1Char(' '));
}

// Each field's reader: takes the text read from the file, keeps it when valid.
using FieldReader = std::function<void(const QString&, RigSettings&)>;

QList<FieldReader> fieldReaders() {
    const auto character = [](QString RigSettings::*field, const char* allowed) {
        return [field, allowed](const QString& text, RigSettings& s) {
            const QString value = text.trimmed().toUpper();
            if (value.size() == 1 && QLatin1String(allowed).contains(value.at(0))) {
                s.*field = value;
            }
        };
    };
    const auto query = [](QString RigSettings::*field) {
        return [field](const QString& text, RigSettings& s) {
            s.*field = stripUnstorable(text).left(kMaxQueryLength);
        };
    };
    const auto flag = [](int RigSettings::*field) {
        return [field](const QString& text, RigSettings& s) {
            if (const auto v = wholeNumber(text, 0, 1)) {
                s.*field = *v;
            }
        };
    };
    return {
        [](const QString& text, RigSettings& s) {
            const QString trimmed = text.trimmed();
            if (rigSpeeds().contains(trimmed)) {
                s.speed = paddedSpeed(trimmed);
            }
        },
        character(&RigSettings::parity, "ONE"),
        character(&RigSettings::dataBits, "78"),
        character(&RigSettings::stopBits, "12"),
        query(&RigSettings::modeQuery),
        query(&RigSettings::frequencyQuery),
        [](const QString&, RigSettings&) {}, // the joined port settings follow from 1-4
        [](const QString& text, RigSettings& s) {
            if (const auto v = wholeNumber(text, 1, 10)) {
                s.portNumber = quint8(*v);
            }
        },
        character(&RigSettings::power, "NRD"),
        character(&RigSettings::pollRate, "FMSR"),
        [](const QString& text, RigSettings& s) { s.rigType = stripUnstorable(text).trimmed().left(40).trimmed(); },
        flag(&RigSettings::convertToHex),
        flag(&RigSettings::useFrequency),
        [](const QString& text, RigSettings& s) {
            if (const auto v = wholeNumber(text, 1, 3)) {
                s.modeSource = ModeSource(*v);
            }
        },
        [](const QString& text, RigSettings& s) { s.pegasusFolder = stripUnstorable(text).trimmed(); },
        [](const QString& text, RigSettings& s) {
            const QString host = stripUnstorable(text).trimmed();
            if (!host.isEmpty() && host.size() <= 253 && !host.contains(QLatin1Char(' '))) {
                s.networkHost = host;
            }
        },
        [](const QString& text, RigSettings& s) {
            if (const auto v = wholeNumber(text, 1, 65535)) {
                s.networkPort = quint16(*v);
            }
        },
    };
}
} // namespace

QString RigSettings::joinedPortSettings() const {
    return QStringList{speed.trimmed(), parity, dataBits, stopBits}.join(QLatin1Char(','));
}

const QStringList& rigSpeeds() {
    static const QStringList speeds{QStringLiteral("1200"),  QStringLiteral("2400"),
                                    QStringLiteral("4800"),  QStringLiteral("9600"),
                                    QStringLiteral("14400"), QStringLiteral("19200"),
                                    QStringLiteral("28800"), QStringLiteral("38400"),
                                    QStringLiteral("56000")};
    return speeds;
}

const QStringList& rigPollRates() {
    static const QStringList rates{QStringLiteral("F"), QStringLiteral("M"), QStringLiteral("S"),
                                   QStringLiteral("R")};
    return rates;
}

int pollTimerIntervalMs(const QString& pollRate) {
    static const int intervals[] = {50, 250, 1000, 5000};
    const qsizetype i = rigPollRates().indexOf(pollRate);
    return i < 0 ? 250 : intervals[i];
}

bool readRigSettings(const QByteArray& content, RigSettings& settings) {
    RecordReader reader(content);
    const QList<FieldReader> readers = fieldReaders();
    int read = 0;
    for (const FieldReader& apply : readers) {
        if (reader.atEnd()) {
            break;
        }
        const auto text = reader.readText();
        if (!text) {
            break;
        }
        apply(*text, settings);
        ++read;
    }
    settings.portSettings = settings.joinedPortSettings();
    return read > 0;
}

QByteArray rigSettingsText(const RigSettings& s) {
    RecordWriter w;
    QByteArray out;
    const auto text = [&](const QString& value) { out += w.text(stripUnstorable(value)).takeLine(); };
    const auto number = [&](qint64 value) { out += w.integer(value).takeLine(); };
    text(paddedSpeed(s.speed.trimmed()));
    text(s.parity);
    text(s.dataBits);
    text(s.stopBits);
    text(s.modeQuery);
    text(s.frequencyQuery);
    text(s.joinedPortSettings());
    number(s.portNumber);
    text(s.power);
    text(s.pollRate);
    text(s.rigType);
    number(s.convertToHex);
    number(s.useFrequency);
    number(int(s.modeSource));
    text(s.pegasusFolder);
    text(s.networkHost);
    number(s.networkPort);
    return out;
}

bool loadRigSettings(const QString& workingFolder, RigSettings& settings) {
    const auto content = readWholeFile(QDir(workingFolder).filePath(kRigSettingsFileName), nullptr,
                                       kMaxSettingsFile);
    return content && readRigSettings(*content, settings);
}

std::optional<QString> saveRigSettings(const QString& workingFolder, const RigSettings& settings) {
    return writeFileAtomically(QDir(workingFolder).filePath(kRigSettingsFileName),
                               rigSettingsText(settings));
}

} // namespace ditlog

// "wave2.txt": thirteen values, one a line, in the record style of every settings file,
// and the two output lines after them.
#include "voice/PhoneSettings.h"

#include "log/RecordFile.h"

#include <QDir>
#include <QFile>

#include <cmath>

namespace ditlog {

int pttPortNumber(const QString& field) {
    bool ok = false;
    const int n = field.trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

std::optional<int> repeatIntervalMs(const QString& field) {
    bool ok = false;
    const double seconds = field.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds >= 60) {
        return std::nullopt;
    }
    return int(std::lround(seconds * 1000));
}

WaveListLoad readWaveList(const QString& workingFolder) {
    WaveListLoad load;
    const QString path = QDir(workingFolder).filePath(QString::fromLatin1(kWaveListFileName));
    if (!QFile::exists(path)) {
        return load;
    }
    load.found = true;
    // The file is a few hundred bytes; anything far larger is not this file.
    const auto content = readWholeFile(path, nullptr, 1024 * 1024);
    if (!content) {
        load.damaged = true;
        return load;
    }
    RecordReader reader(*content);
    PhoneSettings& s = load.settings;
    const auto text = [&](QString& into) {
        if (reader.failed()) {
            return;
        }
        if (const auto v = reader.readText()) {
            into = stripUnstorable(*v);
        }
    };
    for (QString& file : s.files) {
        text(file);
        // Paths are stored as the file system's own bytes.
        file = QFile::decodeName(file.toLatin1());
    }
    text(s.pttPort);
    if (!reader.failed()) {
        if (const auto line = reader.readNumber()) {
            // A number that names no option leaves the default, RTS.
            if (*line >= 1 && *line <= 5 && *line == std::floor(*line)) {
                s.pttLine = PhonePttLine(int(*line));
            }
        }
    }
    text(s.repeatSeconds);
    text(s.parallelAddress);
    // The outputs follow in files written by this version; a file that ends here is
    // complete.
    for (QByteArray* output : {&s.keyerOutput, &s.promptOutput}) {
        if (reader.failed() || reader.atEnd()) {
            break;
        }
        QString id;
        text(id);
        *output = id.toLatin1();
    }
    if (!repeatIntervalMs(s.repeatSeconds)) {
        s.repeatSeconds = QStringLiteral("0");
    }
    load.damaged = reader.failed();
    return load;
}

QByteArray waveListContent(const PhoneSettings& settings) {
    RecordWriter w;
    QByteArray out;
    for (const QString& file : settings.files) {
        const QString path = stripUnstorable(file.trimmed());
        out += w.text(QString::fromLatin1(QFile::encodeName(path))).takeLine();
    }
    out += w.text(stripUnstorable(settings.pttPort)).takeLine();
    out += w.integer(int(settings.pttLine)).takeLine();
    out += w.text(stripUnstorable(settings.repeatSeconds)).takeLine();
    out += w.text(stripUnstorable(settings.parallelAddress)).takeLine();
    for (const QByteArray& output : {settings.keyerOutput, settings.promptOutput}) {
        out += w.text(stripUnstorable(QString::fromLatin1(output))).takeLine();
    }
    return out;
}

std::optional<QString> writeWaveList(const QString& workingFolder, const PhoneSettings& settings) {
    return writeFileAtomically(QDir(workingFolder).filePath(QString::fromLatin1(kWaveListFileName)),
                               waveListContent(settings));
}

} // namespace ditlog

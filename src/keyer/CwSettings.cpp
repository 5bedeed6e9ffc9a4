// "CW.txt" reading and writing, and the number rules of the CW window's fields.
#include "keyer/CwSettings.h"

#include "log/RecordFile.h"

#include <QDir>

#include <cmath>

namespace ditlog {

KeyingLineChoice keyingLineFromByte(int value) {
    switch (value) {
    case 1: return KeyingLineChoice::Rts;
    case 2: return KeyingLineChoice::Dtr;
    case 3: return KeyingLineChoice::Printer;
    case 5: return KeyingLineChoice::WinKey;
    case 6: return KeyingLineChoice::RigDtr;
    case 7: return KeyingLineChoice::RigRts;
    case 8: return KeyingLineChoice::RadioCat;
    default: return KeyingLineChoice::None;
    }
}

std::optional<int> messageIndexForKeyCode(int keyCode) {
    if (keyCode >= 112 && keyCode <= 120) {
        return keyCode - 112;
    }
    if (keyCode == 124) {
        return 9;
    }
    if (keyCode == 122) {
        return 10;
    }
    return std::nullopt;
}

namespace {
// The length of the number at the start of t (after blanks), 0 when there is none.
qsizetype numberPrefix(const QString& t, qsizetype start) {
    qsizetype i = start;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
    }
    return digits ? i - start : 0;
}

qsizetype firstNonBlank(const QString& t) {
    qsizetype i = 0;
    while (i < t.size() && t.at(i).isSpace()) {
        ++i;
    }
    return i;
}
} // namespace

double leadingNumber(const QString& text) {
    const qsizetype start = firstNonBlank(text);
    const qsizetype n = numberPrefix(text, start);
    if (n == 0) {
        return 0;
    }
    const double v = text.mid(start, n).toDouble();
    return std::isfinite(v) ? v : 0;
}

bool isNumericText(const QString& text) {
    const QString t = text.trimmed();
    return !t.isEmpty() && numberPrefix(t, 0) == t.size() && std::isfinite(t.toDouble());
}

CwSettings readCwSettings(const QByteArray& content) {
    CwSettings s;
    RecordReader reader(content);
    const auto text = [&reader](QString& target) {
        if (reader.atEnd()) {
            return false;
        }
        const std::optional<QString> v = reader.readText();
        if (v) {
            target = stripUnstorable(*v);
        }
        return v.has_value();
    };
    const auto integer = [&reader](int low, int high, int& target) {
        if (reader.atEnd()) {
            return false;
        }
        const std::optional<double> v = reader.readNumber();
        if (!v || *v != std::floor(*v) || *v < low || *v > high) {
            return false;
        }
        target = int(*v);
        return true;
    };
    for (int i = 0; i < 9; ++i) {
        if (!text(s.messages[i])) {
            return s;
        }
    }
    if (s.messages[8].isEmpty()) {
        s.messages[8] = QStringLiteral("VVV DE ");
    }
    int line = 0;
    if (!text(s.portText) || !text(s.speedText) || !text(s.messages[9]) || !text(s.messages[10]) ||
        !text(s.wordSpaceText) || !integer(0, 255, line)) {
        return s;
    }
    s.keyingLine = keyingLineFromByte(line);
    int display = 0;
    if (!text(s.parallelText) || !integer(0, 1, display)) {
        return s;
    }
    s.display = display;
    text(s.repeatText);
    return s;
}

QByteArray writeCwSettings(const CwSettings& s) {
    RecordWriter w;
    QByteArray out;
    const auto text = [&](const QString& value) { out += w.text(stripUnstorable(value)).takeLine(); };
    for (int i = 0; i < 9; ++i) {
        text(s.messages[i]);
    }
    text(s.portText);
    text(s.speedText);
    text(s.messages[9]);
    text(s.messages[10]);
    text(s.wordSpaceText);
    out += w.integer(int(s.keyingLine)).takeLine();
    text(s.parallelText);
    out += w.integer(s.display == 1 ? 1 : 0).takeLine();
    text(s.repeatText);
    return out;
}

QString cwSettingsPath(const QString& folder) {
    const QDir dir(folder);
    const QString exact = dir.filePath(QLatin1String(kCwSettingsFileName));
    if (QFileInfo::exists(exact)) {
        return exact;
    }
    const QStringList other = dir.entryList({QLatin1String(kCwSettingsFileName)}, QDir::Files);
    for (const QString& name : other) {
        if (name.compare(QLatin1String(kCwSettingsFileName), Qt::CaseInsensitive) == 0) {
            return dir.filePath(name);
        }
    }
    return exact;
}

} // namespace ditlog

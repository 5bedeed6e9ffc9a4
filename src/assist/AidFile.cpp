// Bounded reading, line walking, decoding and transliteration of aid files.
#include "assist/AidFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace ditlog {

std::optional<QByteArray> readAidFile(const QString& path, QString* problem, qint64 maxBytes) {
    const auto fail = [problem](const QString& text) {
        if (problem != nullptr) {
            *problem = text;
        }
        return std::nullopt;
    };
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!QFileInfo(path).isFile()) {
        return fail(QStringLiteral("%1 was not found.").arg(name));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("%1 cannot be read: %2").arg(name, file.errorString()));
    }
    if (file.size() > maxBytes) {
        return fail(QStringLiteral("%1 is %2 MB, larger than the %3 MB a call list or call "
                                   "history can be. Nothing was loaded.")
                        .arg(name)
                        .arg(file.size() / (1024 * 1024))
                        .arg(maxBytes / (1024 * 1024)));
    }
    // Read no more than the limit even when the file grows while it is read.
    QByteArray data = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError || data.size() > maxBytes) {
        return fail(QStringLiteral("%1 cannot be read: %2").arg(name, file.errorString()));
    }
    if (const auto notText = notTextProblem(data)) {
        return fail(QStringLiteral("%1 %2 Nothing was loaded.").arg(name, *notText));
    }
    return data;
}

std::optional<QString> notTextProblem(QByteArrayView content) {
    // A text file holds no NUL byte, and few control characters besides line ends and tabs.
    qsizetype controls = 0;
    for (const char c : content) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            return QStringLiteral("is not a text file (it holds NUL bytes).");
        }
        if (byte < 32 && byte != '\n' && byte != '\r' && byte != '\t') {
            ++controls;
        }
    }
    if (controls > 16 && controls * 20 > content.size()) {
        return QStringLiteral("is not a text file (it holds mostly control characters).");
    }
    return std::nullopt;
}

bool AidLines::next(QByteArrayView& line, bool& tooLong) {
    if (m_at >= m_content.size()) {
        return false;
    }
    const qsizetype start = m_at;
    qsizetype end = start;
    while (end < m_content.size() && m_content[end] != '\n' && m_content[end] != '\r') {
        ++end;
    }
    m_at = end;
    if (m_at < m_content.size()) {
        const bool crlf = m_content[m_at] == '\r' && m_at + 1 < m_content.size() &&
                          m_content[m_at + 1] == '\n';
        m_at += crlf ? 2 : 1;
    }
    ++m_number;
    tooLong = end - start > kMaxAidLineBytes;
    line = tooLong ? QByteArrayView() : m_content.sliced(start, end - start);
    return true;
}

QString decodeAidLine(QByteArrayView line) {
    bool ascii = true;
    for (const char c : line) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return QString::fromLatin1(line);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(line);
    if (utf8.hasError()) {
        return QString::fromLatin1(line);
    }
    return text;
}

namespace {
// Plain spellings of letters that have no decomposition to a Latin-1 letter.
QString plainSpelling(QChar c) {
    switch (c.unicode()) {
    case 0x0141: return QStringLiteral("L"); // Ł
    case 0x0142: return QStringLiteral("l");
    case 0x0110: return QStringLiteral("D"); // Đ
    case 0x0111: return QStringLiteral("d");
    case 0x0152: return QStringLiteral("OE"); // Œ
    case 0x0153: return QStringLiteral("oe");
    case 0x0131: return QStringLiteral("i"); // dotless i
    case 0x0126: return QStringLiteral("H"); // Ħ
    case 0x0127: return QStringLiteral("h");
    case 0x2018:
    case 0x2019: return QStringLiteral("'");
    case 0x2013:
    case 0x2014: return QStringLiteral("-");
    default: return {};
    }
}
} // namespace

QString storableText(const QString& text) {
    QString out;
    out.reserve(text.size());
    bool blank = true; // drops leading blanks and runs of blanks
    const auto put = [&](QChar c) {
        if (c.isSpace()) {
            if (!blank) {
                out += QLatin1Char(' ');
            }
            blank = true;
            return;
        }
        blank = false;
        out += c;
    };
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || (c.unicode() < 32 && !c.isSpace()) || c.unicode() == 127) {
            continue;
        }
        if (c.unicode() <= 0xFF) {
            put(c);
            continue;
        }
        if (const QString plain = plainSpelling(c); !plain.isEmpty()) {
            for (const QChar p : plain) {
                put(p);
            }
            continue;
        }
        // A letter with marks: keep its base letter when that fits in Latin-1.
        for (const QChar d : QString(c).normalized(QString::NormalizationForm_KD)) {
            if (d.unicode() <= 0xFF && d.unicode() >= 32 && d != QLatin1Char('"')) {
                put(d);
            }
        }
    }
    if (out.endsWith(QLatin1Char(' '))) {
        out.chop(1);
    }
    return out;
}

} // namespace ditlog

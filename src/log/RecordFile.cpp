// Record-style file reading and writing, and the durable write paths every stored file
// goes through.
#include "log/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>

#include <charconv>
#include <cmath>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace ditlog {

QString RecordError::describe() const {
    return QStringLiteral("line %1, field %2: %3").arg(line).arg(field).arg(message);
}

// ---- writing ---------------------------------------------------------------------------

namespace {
template <typename T> QString shortestText(T value) {
    if (!std::isfinite(value) || value == 0) {
        return QStringLiteral("0");
    }
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc()) {
        return QStringLiteral("0");
    }
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
} // namespace

QString shortestNumber(double value) { return shortestText(value); }
QString shortestNumber(float value) { return shortestText(value); }

QString stripUnstorable(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c != QLatin1Char('"') && c.unicode() >= 0x20 && c.unicode() != 0x7F) {
            out.append(c);
        }
    }
    return out;
}

void RecordWriter::separate() {
    if (m_hasField) {
        m_line.append(',');
    }
    m_hasField = true;
}

RecordWriter& RecordWriter::text(const QString& value) {
    separate();
    m_line.append('"');
    m_line.append(value.toLatin1());
    m_line.append('"');
    return *this;
}

RecordWriter& RecordWriter::number(double value) {
    separate();
    m_line.append(shortestNumber(value).toLatin1());
    return *this;
}

RecordWriter& RecordWriter::singleNumber(float value) {
    separate();
    m_line.append(shortestNumber(value).toLatin1());
    return *this;
}

RecordWriter& RecordWriter::integer(qint64 value) {
    separate();
    m_line.append(QByteArray::number(value));
    return *this;
}

RecordWriter& RecordWriter::boolean(bool value) {
    separate();
    m_line.append(value ? "#TRUE#" : "#FALSE#");
    return *this;
}

QByteArray RecordWriter::takeLine() {
    QByteArray line = std::move(m_line);
    line.append("\r\n");
    m_line.clear();
    m_hasField = false;
    return line;
}

// ---- reading ---------------------------------------------------------------------------

RecordReader::RecordReader(const QByteArray& content) : m_data(content) {}

namespace {
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
} // namespace

void RecordReader::skipBlanks() {
    const qsizetype size = m_data.size();
    const char* d = m_data.constData();
    while (m_pos < size && (d[m_pos] == ' ' || d[m_pos] == '\t')) {
        ++m_pos;
    }
}

void RecordReader::skipLineEnds() {
    const char* d = m_data.constData();
    for (;;) {
        skipBlanks();
        if (m_pos >= m_data.size()) {
            return;
        }
        if (d[m_pos] == '\r') {
            ++m_pos;
            if (m_pos < m_data.size() && d[m_pos] == '\n') {
                ++m_pos;
            }
        } else if (d[m_pos] == '\n') {
            ++m_pos;
        } else {
            return;
        }
        ++m_line;
        m_fieldInLine = 0;
    }
}

bool RecordReader::atEnd() {
    if (m_failed) {
        return true;
    }
    skipLineEnds();
    return m_pos >= m_data.size();
}

QString RecordReader::sharedText(QLatin1StringView bytes) {
    // Logs repeat most values from one line to the next (reports, band, date, name): the
    // text of the same field of the previous line is shared instead of allocated again.
    QString* cached = m_fieldInLine > 0 && m_fieldInLine <= kCachedFields
                          ? &m_previousLine[std::size_t(m_fieldInLine - 1)]
                          : nullptr;
    if (cached != nullptr && *cached == bytes) {
        return *cached;
    }
    QString text(bytes);
    if (cached != nullptr) {
        *cached = text;
    }
    return text;
}

bool RecordReader::fail(const QString& message) {
    if (!m_failed) {
        m_failed = true;
        m_error = RecordError{m_line, m_fieldInLine, message};
    }
    return false;
}

std::optional<RecordReader::RawField> RecordReader::readRaw() {
    if (m_failed) {
        return std::nullopt;
    }
    skipLineEnds();
    ++m_fieldInLine;
    const qsizetype size = m_data.size();
    const char* d = m_data.constData();
    if (m_pos >= size) {
        fail(QStringLiteral("the file ends where a field was expected"));
        return std::nullopt;
    }
    RawField field;
    if (d[m_pos] == '"') {
        const qsizetype start = m_pos + 1;
        qsizetype end = start;
        while (end < size && d[end] != '"') {
            if (isLineEnd(d[end])) {
                fail(QStringLiteral("quoted text is not closed on its line"));
                return std::nullopt;
            }
            ++end;
        }
        if (end >= size) {
            fail(QStringLiteral("quoted text is not closed"));
            return std::nullopt;
        }
        field.bytes = QLatin1StringView(d + start, end - start);
        field.quoted = true;
        m_pos = end + 1;
        skipBlanks();
        if (m_pos < size) {
            if (d[m_pos] == ',') {
                ++m_pos;
            } else if (!isLineEnd(d[m_pos])) {
                fail(QStringLiteral("a stray character or quote follows quoted text"));
                return std::nullopt;
            }
        }
        return field;
    }
    const qsizetype start = m_pos;
    while (m_pos < size && d[m_pos] != ',' && !isLineEnd(d[m_pos])) {
        if (d[m_pos] == '"') {
            fail(QStringLiteral("a stray quote inside a field"));
            return std::nullopt;
        }
        ++m_pos;
    }
    field.bytes = QLatin1StringView(d + start, m_pos - start).trimmed();
    if (m_pos < size && d[m_pos] == ',') {
        ++m_pos;
    }
    return field;
}

std::optional<QString> RecordReader::readText() {
    auto raw = readRaw();
    if (!raw) {
        return std::nullopt;
    }
    return sharedText(raw->bytes);
}

namespace {
// A plain decimal number ("5", "-0.5", "1e3", "+2"); nothing for anything else.
std::optional<double> parseNumber(QLatin1StringView bytes) {
    const char* first = bytes.data();
    const char* last = first + bytes.size();
    if (first != last && *first == '+') {
        ++first;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}
} // namespace

std::optional<double> RecordReader::readNumber() {
    auto raw = readRaw();
    if (!raw) {
        return std::nullopt;
    }
    if (raw->quoted) {
        fail(QStringLiteral("a number was expected, found quoted text"));
        return std::nullopt;
    }
    if (raw->bytes.isEmpty()) {
        return 0.0;
    }
    const auto value = parseNumber(raw->bytes);
    if (!value) {
        fail(QStringLiteral("\"%1\" is not a number").arg(QString(raw->bytes.left(40))));
    }
    return value;
}

std::optional<bool> RecordReader::readBool() {
    auto raw = readRaw();
    if (!raw) {
        return std::nullopt;
    }
    if (!raw->quoted) {
        if (raw->bytes.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0) {
            return true;
        }
        if (raw->bytes.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0) {
            return false;
        }
        if (const auto value = parseNumber(raw->bytes)) {
            return *value != 0;
        }
    }
    fail(QStringLiteral("#TRUE# or #FALSE# was expected"));
    return std::nullopt;
}

// ---- durable file operations -----------------------------------------------------------

namespace {
bool syncHandle(int fd) {
#ifdef Q_OS_WIN
    return _commit(fd) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

void truncateHandle(int fd, qint64 size) {
#ifdef Q_OS_WIN
    _chsize_s(fd, size);
#else
    [[maybe_unused]] const int result = ::ftruncate(fd, off_t(size));
#endif
    syncHandle(fd);
}

void syncFolder(const QString& folder) {
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

bool replaceFile(const QString& from, const QString& to, QString* error) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    *error = QStringLiteral("The file could not be replaced.");
    return false;
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        return true;
    }
    *error = QString::fromLocal8Bit(strerror(errno));
    return false;
#endif
}
} // namespace

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& content) {
    const QFileInfo info(path);
    QTemporaryFile temp(info.absolutePath() + QLatin1Char('/') + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    temp.setAutoRemove(true);
    if (!temp.open()) {
        return temp.errorString();
    }
    if (temp.write(content) != content.size() || !temp.flush() || !syncHandle(temp.handle())) {
        return temp.errorString().isEmpty() ? QStringLiteral("The disk is full or not writable.")
                                            : temp.errorString();
    }
    const QFileDevice::Permissions permissions =
        info.exists() ? QFile::permissions(path)
                      : (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                         QFileDevice::ReadOther);
    temp.setPermissions(permissions);
    temp.close();
    QString error;
    if (!replaceFile(temp.fileName(), info.absoluteFilePath(), &error)) {
        return error;
    }
    temp.setAutoRemove(false);
    syncFolder(info.absolutePath());
    return std::nullopt;
}

std::optional<QString> appendToFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    // Unbuffered, so that a failed write is seen at once and nothing waits in a buffer.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    const qint64 originalSize = file.size();
    if (file.write(content) != content.size() || !syncHandle(file.handle())) {
        const QString error = file.errorString();
        // Never leave half a record behind: cut the file back to what it was.
        truncateHandle(file.handle(), originalSize);
        return error.isEmpty() ? QStringLiteral("The disk is full or not writable.") : error;
    }
    file.close();
    return std::nullopt;
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* errorText, qint64 maxBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorText != nullptr) {
            *errorText = file.errorString();
        }
        return std::nullopt;
    }
    if (file.size() > maxBytes) {
        if (errorText != nullptr) {
            *errorText = QStringLiteral("The file is too large.");
        }
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (errorText != nullptr) {
            *errorText = file.errorString();
        }
        return std::nullopt;
    }
    return data;
}

} // namespace ditlog

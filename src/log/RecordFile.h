// Reader and writer for the comma-separated record style shared by every file of the
// program: quoted text without escaping, bare numbers, #TRUE#/#FALSE#, CR LF line ends.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace ditlog {

// Where and why reading a record file failed. Line and field are 1-based; field counts
// the fields of that physical line.
struct RecordError {
    int line = 0;
    int field = 0;
    QString message;

    QString describe() const;
};

// Builds one line of fields. Text is written in double quotes exactly as given (callers
// keep double quotes out of stored text, see stripUnstorable), numbers in their shortest
// form with "." as decimal separator.
class RecordWriter {
public:
    RecordWriter& text(const QString& value);
    RecordWriter& number(double value);
    RecordWriter& singleNumber(float value); // shortest form that reads back as the same float
    RecordWriter& integer(qint64 value);
    RecordWriter& boolean(bool value);

    // The fields joined by commas and ended by CR LF; the writer is emptied.
    QByteArray takeLine();
    bool isEmpty() const { return m_line.isEmpty(); }

private:
    void separate();
    QByteArray m_line;
    bool m_hasField = false;
};

// Shortest decimal text for a number ("5", "14.025", "-0.5"); used by the writer and by
// windows that show stored numbers.
QString shortestNumber(double value);
QString shortestNumber(float value);

// Removes what a stored text field cannot hold: double quotes and control characters
// (line breaks, tabs and the rest below a blank).
QString stripUnstorable(const QString& text);

// Reads fields in sequence; records may span or share lines. Text is taken as 8-bit
// (Latin-1) so that every byte survives a read and rewrite.
class RecordReader {
public:
    explicit RecordReader(const QByteArray& content);

    // True when nothing but blanks and line ends remain.
    bool atEnd();

    // Each read returns nothing and sets error() when the field is missing or malformed.
    std::optional<QString> readText();
    std::optional<double> readNumber();
    std::optional<bool> readBool();

    const RecordError& error() const { return m_error; }
    bool failed() const { return m_failed; }

private:
    // A field as it stands in the file, without quotes and surrounding blanks.
    struct RawField {
        QLatin1StringView bytes;
        bool quoted = false;
    };
    std::optional<RawField> readRaw();
    void skipBlanks();
    void skipLineEnds();
    bool fail(const QString& message);
    QString sharedText(QLatin1StringView bytes);

    static constexpr int kCachedFields = 16;
    std::array<QString, kCachedFields> m_previousLine;

    QByteArray m_data;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_fieldInLine = 0;
    bool m_failed = false;
    RecordError m_error;
};

// Whole-file rewrite: a temporary file in the same folder, flushed and synced, then
// renamed over the target, so a crash leaves the old or the new file. Returns an
// error description, or nothing on success.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& content);

// Appends and syncs to disk before returning.
std::optional<QString> appendToFile(const QString& path, const QByteArray& content);

// Reads a whole file; nothing and an error text when it cannot be read. Files larger
// than maxBytes are refused rather than read.
std::optional<QByteArray> readWholeFile(const QString& path, QString* errorText = nullptr,
                                        qint64 maxBytes = 64 * 1024 * 1024);

} // namespace ditlog

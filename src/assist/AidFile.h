// Reading the operator's aid files (master call lists, call histories, earlier logs):
// bounded in size and line length, refused when they are not text, decoded as UTF-8 or
// else Latin-1, and made storable for the log's 8-bit quoted fields.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace ditlog {

// The largest aid file read: a master list of a few hundred thousand calls is a few
// megabytes, the biggest call histories about ten.
constexpr qint64 kMaxAidFileBytes = 32 * 1024 * 1024;
// A longer line is not a call-list or history line and is skipped.
constexpr int kMaxAidLineBytes = 1024;

// Reads a whole aid file; nothing, and the reason in plain words, when it is missing,
// unreadable, larger than maxBytes, or not text.
std::optional<QByteArray> readAidFile(const QString& path, QString* problem,
                                      qint64 maxBytes = kMaxAidFileBytes);

// Why the bytes are not a text file (NUL bytes, mostly control characters), or nothing.
std::optional<QString> notTextProblem(QByteArrayView content);

// Walks the lines of a text: LF, CR LF or a lone CR end a line; the line handed on has
// neither, and lines longer than kMaxAidLineBytes are handed on empty with `tooLong`.
class AidLines {
public:
    explicit AidLines(QByteArrayView content) : m_content(content) {}
    // The next line, or false at the end. number() is its 1-based number.
    bool next(QByteArrayView& line, bool& tooLong);
    int number() const { return m_number; }

private:
    QByteArrayView m_content;
    qsizetype m_at = 0;
    int m_number = 0;
};

// One line as text: UTF-8 when it is valid UTF-8, else Latin-1.
QString decodeAidLine(QByteArrayView line);

// What the log can store of a text: letters outside Latin-1 lose their accents or take
// their usual plain spelling (Ł gives L, Œ gives OE), what still cannot be stored is
// dropped, as are double quotes and control characters; blanks are collapsed.
QString storableText(const QString& text);

} // namespace ditlog

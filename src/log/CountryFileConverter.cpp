// Conversion of the CSV country file into the prefix and country-number tables.
#include "log/CountryFileConverter.h"

#include "log/PrefixTable.h"
#include "log/RecordFile.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace ditlog {

namespace {

constexpr int kColumns = 10;
constexpr int kMaxEntities = 1000;
constexpr int kMaxExponent = 60; // far beyond any coordinate, zone or offset

struct Refusal {
    int line;
    QString text;
};

// Blanks as the country file's other readers count them: Latin-1 white space and the
// four information separators.
bool isBlank(QChar c) {
    const ushort u = c.unicode();
    return c.isSpace() || (u >= 0x1c && u <= 0x1f);
}

QString stripped(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin);
}

// Comma-separated rows: fields may be quoted (a doubled quote stands for one), a quoted
// field may hold commas and line breaks, and CR, LF or CR LF end a row. An empty line is
// a row without fields.
QList<QStringList> splitRows(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool inField = false;
    const auto endField = [&] {
        row.append(field);
        field.clear();
        inField = false;
    };
    const auto endRow = [&] {
        if (inField || !row.isEmpty()) {
            endField();
        }
        rows.append(row);
        row.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field.append(c);
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field.append(c);
            }
        } else if (c == u',') {
            endField();
            inField = true; // a comma always starts one more field
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
            endRow();
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
            inField = true;
        } else {
            field.append(c);
            inField = true;
        }
    }
    if (inField || !row.isEmpty() || quoted) {
        endRow();
    }
    return rows;
}

// The shortest plain decimal form of a number: 5.0 gives 5, -0.50 gives -0.5, 1e2 gives 100.
std::optional<QString> plainNumber(const QString& raw, QString* why) {
    static const QRegularExpression form(
        QStringLiteral("^([+-]?)(\\d+(?:_\\d+)*)?(?:\\.(\\d+(?:_\\d+)*)?)?(?:[eE]([+-]?\\d+))?$"));
    const QString text = stripped(raw);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0)) {
        *why = QStringLiteral("is not a number");
        return std::nullopt;
    }
    QString digits = m.captured(2) + m.captured(3);
    digits.remove(u'_');
    bool expOk = true;
    qint64 exponent = m.capturedLength(4) > 0 ? m.captured(4).toLongLong(&expOk) : 0;
    if (!expOk || exponent > kMaxExponent || exponent < -kMaxExponent) {
        *why = QStringLiteral("is beyond any usable number");
        return std::nullopt;
    }
    exponent -= QString(m.captured(3)).remove(u'_').size();
    while (digits.startsWith(u'0')) {
        digits.remove(0, 1);
    }
    if (digits.isEmpty()) {
        return QStringLiteral("0");
    }
    while (digits.endsWith(u'0')) {
        digits.chop(1);
        ++exponent;
    }
    QString out;
    if (exponent >= 0) {
        out = digits + QString(exponent, u'0');
    } else {
        const qsizetype point = digits.size() + exponent;
        out = point > 0 ? digits.left(point) + u'.' + digits.mid(point)
                        : QStringLiteral("0.") + QString(-point, u'0') + digits;
    }
    return m.captured(1) == u"-" ? u'-' + out : out;
}

std::optional<QString> storableText(const QString& text, QString* why) {
    if (text.contains(u'"') || text.contains(u',')) {
        *why = QStringLiteral("holds a double quote or a comma");
        return std::nullopt;
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            *why = QStringLiteral("holds a control character");
            return std::nullopt;
        }
    }
    return u'"' + text + u'"';
}

QString quoteForMessage(const QString& text) {
    return u'\'' + text.left(40) + (text.size() > 40 ? QStringLiteral("...'") : QStringLiteral("'"));
}

// Ends the conversion with a message naming the record, the item and the fault.
[[noreturn]] void refuse(int lineNo, const QString& what, const QString& value, const QString& why) {
    throw Refusal{lineNo, QStringLiteral("%1 %2 %3").arg(what, quoteForMessage(value), why)};
}

QStringList blankSeparated(const QString& text) {
    QStringList words;
    QString word;
    for (const QChar c : text) {
        if (isBlank(c)) {
            if (!word.isEmpty()) {
                words.append(word);
                word.clear();
            }
        } else {
            word.append(c);
        }
    }
    if (!word.isEmpty()) {
        words.append(word);
    }
    return words;
}

QString textOrRefuse(const QString& value, const char* what, int lineNo) {
    QString why;
    const auto quoted = storableText(value, &why);
    if (!quoted) {
        refuse(lineNo, QLatin1String(what), value, why);
    }
    return *quoted;
}

QString numberOrRefuse(const QString& value, const char* what, int lineNo) {
    QString why;
    const auto number = plainNumber(value, &why);
    if (!number) {
        refuse(lineNo, QLatin1String(what), stripped(value), why);
    }
    return *number;
}

// A latitude or longitude in degrees: a number no larger than limit either way, so that the
// prefix table that carries it always loads.
QString degreesOrRefuse(const QString& value, const char* what, double limit, int lineNo) {
    const QString number = numberOrRefuse(value, what, lineNo);
    bool ok = false;
    const double degrees = number.toDouble(&ok);
    if (!ok || !(std::fabs(degrees) <= limit)) {
        refuse(lineNo, QLatin1String(what), stripped(value),
               QStringLiteral("is beyond %1 degrees").arg(limit));
    }
    return number;
}

QString barePrefix(const QString& token, int lineNo) {
    static const QRegularExpression overrides(
        QStringLiteral("(\\([0-9]+\\)|\\[[0-9]+\\]|<[^>]*>|\\{[^}]*\\}|~[^~]*~)"));
    static const QRegularExpression prefixForm(QStringLiteral("^[A-Z0-9/]+$"));
    QString prefix = token;
    prefix.remove(overrides);
    if (!prefixForm.match(prefix).hasMatch()) {
        refuse(lineNo, QStringLiteral("prefix"), token, QStringLiteral("cannot be read"));
    }
    return prefix;
}

struct PrefixLine {
    QChar key;
    QByteArray line;
    QString prefix;
};

CountryFiles convertRows(const QList<QStringList>& rows) {
    CountryFiles files;
    QList<PrefixLine> prefixLines;
    QSet<QString> seenPrefixes;
    QSet<QString> seenEntities;
    static const QRegularExpression version(QStringLiteral("(?:^|\\s)=VER(\\d+)(?:\\s|;|$)"));
    for (int r = 0; r < rows.size(); ++r) {
        const int lineNo = r + 1;
        const QStringList& row = rows.at(r);
        if (stripped(row.join(QString())).isEmpty()) {
            continue;
        }
        if (row.size() != kColumns) {
            throw Refusal{lineNo, QStringLiteral("%1 columns, %2 expected").arg(row.size()).arg(kColumns)};
        }
        if (const auto m = version.match(row.at(9)); m.hasMatch() && files.version.isEmpty()) {
            files.version = m.captured(1);
        }
        if (stripped(row.at(0)).startsWith(u'*')) {
            continue; // counts for other awards only; its prefixes stay with the parent
        }
        QString tokens = stripped(row.at(9));
        if (!tokens.endsWith(u';')) {
            throw Refusal{lineNo, QStringLiteral("the prefix list does not end with ';'")};
        }
        tokens.chop(1);
        QString name = stripped(row.at(1));
        if (name == u"United States") {
            name = QStringLiteral("USA");
        }
        if (name.isEmpty()) {
            throw Refusal{lineNo, QStringLiteral("empty entity name")};
        }
        if (seenEntities.contains(name.toUpper())) {
            refuse(lineNo, QStringLiteral("entity"), name, QStringLiteral("is listed twice"));
        }
        seenEntities.insert(name.toUpper());
        const QString dxcc = stripped(row.at(2));
        bool dxccOk = !dxcc.isEmpty() && std::all_of(dxcc.begin(), dxcc.end(), [](QChar c) {
            return c >= u'0' && c <= u'9';
        });
        const qint64 dxccNumber = dxccOk ? dxcc.toLongLong(&dxccOk) : 0;
        if (!dxccOk || dxccNumber > 32767) {
            refuse(lineNo, QStringLiteral("DXCC number"), dxcc,
                   QStringLiteral("is not a small whole number"));
        }
        const QString quotedName = textOrRefuse(name, "entity", lineNo);
        files.countryFile += (quotedName + u',' + QString::number(dxccNumber) + QStringLiteral("\r\n")).toLatin1();
        files.entities.append(name);

        const QString tail = QStringList{
            quotedName,
            textOrRefuse(stripped(row.at(3)), "continent", lineNo),
            degreesOrRefuse(row.at(7), "longitude", 180, lineNo),
            degreesOrRefuse(row.at(6), "latitude", 90, lineNo),
            numberOrRefuse(row.at(4), "CQ zone", lineNo),
            numberOrRefuse(row.at(5), "ITU zone", lineNo),
            numberOrRefuse(row.at(8), "UTC offset", lineNo),
        }.join(u',');
        for (const QString& token : blankSeparated(tokens)) {
            if (token.startsWith(u'=')) {
                continue; // an exact call, not a prefix
            }
            const QString prefix = barePrefix(token, lineNo);
            if (seenPrefixes.contains(prefix)) {
                continue;
            }
            seenPrefixes.insert(prefix);
            const QString line = u'"' + prefix + QStringLiteral("\",") + tail + QStringLiteral("\r\n");
            prefixLines.append(PrefixLine{prefix.at(0), line.toLatin1(), prefix});
        }
    }
    if (prefixLines.size() > PrefixTable::MaxEntries) {
        throw Refusal{0, QStringLiteral("%1 prefixes; the program reads at most %2")
                             .arg(prefixLines.size()).arg(PrefixTable::MaxEntries)};
    }
    if (files.entities.size() > kMaxEntities) {
        throw Refusal{0, QStringLiteral("%1 entities; the program reads at most %2")
                             .arg(files.entities.size()).arg(kMaxEntities)};
    }
    if (files.entities.isEmpty()) {
        throw Refusal{0, QStringLiteral("it lists no entities")};
    }
    // The lookup needs ascending first characters; within one the file's order is kept.
    std::stable_sort(prefixLines.begin(), prefixLines.end(),
                     [](const PrefixLine& a, const PrefixLine& b) { return a.key < b.key; });
    for (const PrefixLine& p : prefixLines) {
        files.prefixFile += p.line;
        files.prefixes.append(p.prefix);
    }
    return files;
}

} // namespace

CountryConversion convertCountryFile(const QByteArray& csv) {
    if (csv.size() > kMaxCountryFileBytes) {
        return {std::nullopt, {0, QStringLiteral("the file is larger than a country file can be")}};
    }
    if (csv.contains('\0')) {
        return {std::nullopt, {0, QStringLiteral("the file holds NUL bytes; it is not a text file")}};
    }
    try {
        return {convertRows(splitRows(QString::fromLatin1(csv))), {}};
    } catch (const Refusal& refusal) {
        return {std::nullopt, {refusal.line, refusal.text}};
    }
}

namespace {

QStringList storedEntities(const QByteArray& countryFile) {
    QStringList names;
    RecordReader reader(countryFile);
    while (!reader.atEnd()) {
        const auto name = reader.readText();
        reader.readNumber();
        if (reader.failed()) {
            break;
        }
        names.append(*name);
    }
    return names;
}

QStringList storedPrefixes(const QByteArray& prefixFile) {
    PrefixTable table;
    QStringList prefixes;
    if (!LoadPrefixTable(table, prefixFile)) {
        for (int i = 1; i <= table.count(); ++i) {
            prefixes.append(table.entry(i).prefix);
        }
    }
    return prefixes;
}

QStringList missingFrom(const QStringList& names, const QStringList& others) {
    QSet<QString> known;
    for (const QString& other : others) {
        known.insert(other.toUpper());
    }
    QStringList missing;
    for (const QString& name : names) {
        if (!known.contains(name.toUpper())) {
            missing.append(name);
        }
    }
    return missing;
}

} // namespace

CountryDataChanges compareCountryData(const QByteArray& oldPrefixFile,
                                      const QByteArray& oldCountryFile, const CountryFiles& fresh) {
    CountryDataChanges changes;
    const QStringList oldEntities = storedEntities(oldCountryFile);
    changes.entitiesAdded = missingFrom(fresh.entities, oldEntities);
    changes.entitiesRemoved = missingFrom(oldEntities, fresh.entities);
    const QStringList oldPrefixList = storedPrefixes(oldPrefixFile);
    const QSet<QString> oldPrefixes(oldPrefixList.begin(), oldPrefixList.end());
    const QSet<QString> newPrefixes(fresh.prefixes.begin(), fresh.prefixes.end());
    changes.prefixesAdded = int((newPrefixes - oldPrefixes).size());
    changes.prefixesRemoved = int((oldPrefixes - newPrefixes).size());
    changes.entityCount = int(fresh.entities.size());
    changes.prefixCount = int(fresh.prefixes.size());
    return changes;
}

} // namespace ditlog

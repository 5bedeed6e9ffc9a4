// Spot-line columns, the spot record, label texts and the spot country lookup.
#include "spots/SpotText.h"

#include "log/PrefixTable.h"

#include <cmath>

namespace ditlog {

namespace {

// Characters from..from+count-1 counted from 1, as much of them as the text holds.
QStringView mid(QStringView text, qsizetype from, qsizetype count) {
    const qsizetype start = from - 1;
    if (start >= text.size() || count <= 0) {
        return {};
    }
    return text.mid(start, std::min(count, text.size() - start));
}

// Blanks are what the cluster pads with; tabs and line ends are left to the caller.
QStringView trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ') {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == u' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

bool isSpotLine(QStringView text) {
    return text.size() >= 2 && text.first(2).compare(u"DX", Qt::CaseInsensitive) == 0;
}

SpotFields spotFields(QStringView line) {
    return {trimBlanks(mid(line, 16, 9)).toString(), trimBlanks(mid(line, 27, 13)).toString()};
}

std::optional<double> numericValue(QStringView text) {
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < t.size() && isAsciiDigit(t.at(i))) {
            ++i;
        }
        return i - start;
    };
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-')) {
        ++i;
    }
    qsizetype mantissa = digits();
    if (i < t.size() && t.at(i) == u'.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return std::nullopt;
    }
    if (i < t.size() && (t.at(i) == u'e' || t.at(i) == u'E')) {
        ++i;
        if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-')) {
            ++i;
        }
        if (digits() == 0) {
            return std::nullopt;
        }
    }
    if (i != t.size()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = t.toString().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

QString spotRecord(QStringView line) {
    QStringView record = trimBlanks(line.size() > 3 ? line.mid(3) : QStringView());
    const qsizetype cr = record.indexOf(u'\r');
    if (cr >= 0) {
        record = record.first(cr);
    }
    return record.toString();
}

SpotRowColumns spotRowColumns(QStringView record) {
    SpotRowColumns c;
    c.comments = trimBlanks(mid(record, 1, 11)).toString() + QStringLiteral("  ") +
                 trimBlanks(mid(record, 35, 25)).toString();
    c.prefix = trimBlanks(mid(record, 62, 5)).toString();
    c.time = mid(record, 68, 4).toString();
    c.from = trimBlanks(mid(record, 73, 4)).toString();
    return c;
}

QString SpotLabelText(QStringView call) {
    const qsizetype length = call.size();
    if (length < 3) {
        return {};
    }
    qsizetype slash = 0;     // position of the last "/", from 1; 0 when none
    qsizetype lastDigit = 0; // position of the last digit, from 1; 0 when none
    for (qsizetype i = 0; i < length; ++i) {
        if (call.at(i) == u'/') {
            slash = i + 1;
        } else if (isAsciiDigit(call.at(i))) {
            lastDigit = i + 1;
        }
    }
    const qsizetype end = lastDigit != 0 ? lastDigit : length;
    if (slash == 0) {
        return call.first(end).toString();
    }
    if (double(slash) < double(length) / 2 + 1) {
        return call.first(slash - 1).toString();
    }
    const QStringView after = mid(call, slash + 1, end);
    bool allDigits = !after.isEmpty();
    for (const QChar c : after) {
        allDigits = allDigits && isAsciiDigit(c);
    }
    if (!allDigits) {
        return after.toString();
    }
    qsizetype firstDigit = 0;
    while (firstDigit < length && !isAsciiDigit(call.at(firstDigit))) {
        ++firstDigit;
    }
    return call.first(firstDigit).toString() + after.toString();
}

QString SpotCountry(const PrefixTable& table, QStringView call) {
    const QStringView lookedUp = callForLookup(call);
    if (lookedUp.isEmpty()) {
        return {};
    }
    const int best = findPrefixEntry(table, lookedUp, Qt::CaseSensitive);
    if (best == 0) {
        return {};
    }
    if (lookedUp.startsWith(u"KG4") && lookedUp.size() > 5) {
        return QStringLiteral("USA");
    }
    return table.entry(best).entity;
}

} // namespace ditlog

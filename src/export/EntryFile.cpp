// Builds the contest entry file text from the log, the score and the summary fields.
#include "export/EntryFile.h"

#include "log/RecordFile.h"
#include "log/StationPreferences.h"

#include <QDate>
#include <QStringList>

#include <array>
#include <optional>

namespace ditlog {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
// The state multipliers are written out whenever the buffer grows past this length.
constexpr int kMultiplierLineLength = 58;

// Starting columns (1-based) of the QSO line's items, in order.
constexpr std::array<int, 11> kColumns{1, 6, 12, 23, 28, 32, 43, 47, 50, 60, 67};

// Line breaks, tabs and other control characters would break the line structure.
QString singleLine(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F) {
            out.append(c);
        }
    }
    return out;
}

// A number the way the score lines write it: a blank in place of a positive sign, the
// digits and one trailing blank.
QString signedNumber(const QString& digits) {
    const bool negative = digits.startsWith(QLatin1Char('-'));
    return (negative ? QString() : QStringLiteral(" ")) + digits + QLatin1Char(' ');
}

std::optional<int> smallNumber(const QString& text, int maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

void addLine(QString& out, const QString& line) {
    out += line;
    out += kLineEnd;
}

void addSoapbox(QString& out, const QString& soapbox) {
    QStringList lines = soapbox.split(QLatin1Char('\n'));
    while (lines.size() > 1 && singleLine(lines.last()).trimmed().isEmpty()) {
        lines.removeLast();
    }
    for (const QString& line : std::as_const(lines)) {
        addLine(out, QStringLiteral("SOAPBOX: ") + singleLine(line));
    }
}

void addHeader(QString& out, const EntryFileInput& in) {
    const SummaryFields& f = in.fields;
    const QList<std::pair<const char*, QString>> header{
        {"START-OF-LOG: ", QStringLiteral("2.0")},
        {"CREATED-BY: ", in.windowTitle.left(50).trimmed()},
        {"CONTEST: ", in.contest},
        {"STATE-PROVINCE-COUNTRY: ", in.ownSpc},
        {"CALLSIGN: ", in.ownCall.trimmed()},
        {"VARNS-NUMBER: ", f.memberNumber},
        {"CLUB NAME: ", f.clubName},
        {"CLUB-VARNS-NUMBER: ", f.clubMemberNumber},
        {"CATEGORY: ", in.category},
        {"QSO-POINTS: ", in.score.totalPoints},
        {"TOTAL-MULTIPLIERS: ", in.score.totalMultipliers},
        {"CLAIMED-SCORE: ", in.score.totalScore},
        {"NAME: ", f.name},
        {"ADDRESS: ", f.addressLine1},
        {"ADDRESS: ", f.addressLine2},
        {"ADDRESS: (e-mail) ", f.email},
    };
    for (const auto& [label, value] : header) {
        addLine(out, QLatin1String(label) + singleLine(value));
    }
    addSoapbox(out, f.soapbox);
}

void addStateMultipliers(QString& out, const MultiplierTable& table) {
    QString buffer;
    int worked = 0;
    for (int row = 1; row <= MultiplierTable::kRows; ++row) {
        if (!table.row(row).worked) {
            continue;
        }
        ++worked;
        buffer += table.row(row).code + QLatin1Char(' ');
        if (buffer.size() > kMultiplierLineLength) {
            addLine(out, QStringLiteral("STATE-MULTIPLIERS: ") + buffer);
            buffer.clear();
        }
    }
    if (!buffer.isEmpty()) {
        addLine(out, QStringLiteral("STATE-MULTIPLIERS: ") + buffer);
    }
    addLine(out,
            QStringLiteral("STATE-MULTIPLIER-TOTAL: ") + signedNumber(QString::number(worked)));
}

void addCountryMultipliers(QString& out, const EntryFileInput& in) {
    if (!in.dxEntityListEmpty) {
        for (const ContactRecord& r : in.records) {
            if (r.isDx()) {
                addLine(out, QStringLiteral("COUNTRY-MULTIPLIER: ") + singleLine(r.spc));
            }
        }
    }
    addLine(out, QStringLiteral("COUNTRY-MULTIPLIER-TOTAL: ") + QString::number(in.dxContacts));
}

} // namespace

EntryFileInput entryFileInput(const ContactLog& log, const StationPreferences& prefs,
                              const QString& windowTitle, const QString& contest,
                              const QString& category, const SummaryFields& fields) {
    EntryFileInput in;
    in.windowTitle = windowTitle;
    in.contest = contest;
    in.category = category;
    in.ownCall = prefs.OwnCall;
    in.ownSpc = prefs.OwnSpc;
    in.fields = fields;
    in.score = scoreTexts(log);
    in.multipliers = log.multipliers();
    in.dxEntityListEmpty = log.dxEntityList().isEmpty();
    in.dxContacts = log.dxContacts();
    in.records = log.records();
    return in;
}

QString contestName(bool spring, bool summer, bool fall) {
    QString name = QStringLiteral("Winter Sprint");
    if (fall) {
        name = QStringLiteral("Fall Sprint");
    }
    if (summer) {
        name = QStringLiteral("Summer Sprint");
    }
    if (spring) {
        name = QStringLiteral("Spring Sprint");
    }
    return name;
}

QString entryCategory(bool qro, bool qrp, bool club) {
    QString category = QStringLiteral("QRP");
    if (qro) {
        category = QStringLiteral("QRO");
    }
    if (qrp) {
        category = QStringLiteral("QRP");
    }
    if (club) {
        category = QStringLiteral("CLUB");
    }
    return category;
}

QString bandDesignator(const QString& band) {
    static const QList<std::pair<QString, QString>> designators{
        {QStringLiteral("160"), QStringLiteral(" 1800")},
        {QStringLiteral("80"), QStringLiteral(" 3500")},
        {QStringLiteral("40"), QStringLiteral(" 7000")},
        {QStringLiteral("20"), QStringLiteral("14000")},
        {QStringLiteral("15"), QStringLiteral("21000")},
        {QStringLiteral("10"), QStringLiteral("28000")},
        {QStringLiteral("6"), QStringLiteral("50")},
    };
    for (const auto& [name, designator] : designators) {
        if (band == name) {
            return designator;
        }
    }
    return {};
}

QString entryDate(const QString& recordDate) {
    const QStringList parts = recordDate.trimmed().split(QLatin1Char('/'));
    if (parts.size() == 3) {
        const auto year = smallNumber(parts.at(0), 4);
        const auto month = smallNumber(parts.at(1), 2);
        const auto day = smallNumber(parts.at(2), 2);
        if (year && month && day && QDate::isValid(*year, *month, *day)) {
            return QDate(*year, *month, *day).toString(QStringLiteral("yyyy-MM-dd"));
        }
    }
    // Not a date the log writes: shown as it is, in the date's own form.
    return QString(recordDate).replace(QLatin1Char('/'), QLatin1Char('-'));
}

QString entryTime(const QString& recordTime) {
    // "hh:mm:ss" and "hh:mm" as the log writes them, and a one-digit hour ("9:05") that
    // must still read as 0905 rather than "9:" followed by the minute's last digit.
    const QStringList parts = recordTime.trimmed().split(QLatin1Char(':'));
    if (parts.size() >= 2) {
        const auto hour = smallNumber(parts.at(0), 2);
        const auto minute = smallNumber(parts.at(1), 2);
        if (hour && minute) {
            return QStringLiteral("%1%2")
                .arg(*hour, 2, 10, QLatin1Char('0'))
                .arg(*minute, 2, 10, QLatin1Char('0'));
        }
    }
    return recordTime.left(2) + recordTime.mid(3, 2);
}

QString qsoLine(const ContactRecord& r) {
    const std::array<QString, kColumns.size()> items{
        QStringLiteral("QSO:"),
        bandDesignator(r.band),
        entryDate(r.date),
        entryTime(r.time),
        r.rstSent,
        r.call,
        r.rstReceived,
        r.isDx() ? QStringLiteral("DX") : r.spc,
        r.name,
        r.exchange,
        signedNumber(shortestNumber(r.points)),
    };
    QString line;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int start = kColumns.at(i) - 1;
        line = line.leftJustified(start, QLatin1Char(' '));
        const QString value = singleLine(items.at(i));
        const bool last = i + 1 == items.size();
        // One blank always stays between an item and the next column.
        line += last ? value : value.left(kColumns.at(i + 1) - kColumns.at(i) - 1);
    }
    return line;
}

QByteArray buildEntryFile(const EntryFileInput& in) {
    QString out;
    addHeader(out, in);
    addStateMultipliers(out, in.multipliers);
    addCountryMultipliers(out, in);
    for (const ContactRecord& r : in.records) {
        addLine(out, qsoLine(r));
    }
    addLine(out, QStringLiteral("END-OF-LOG:"));
    return out.toLatin1();
}

} // namespace ditlog

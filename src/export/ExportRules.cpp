// Per-contact export values and the ADIF country-number table.
#include "export/ExportRules.h"

#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/RecordFile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cmath>

namespace ditlog {

namespace {
const QString kCountryFileName = QStringLiteral("ADIFCnt.txt");

QString tableKey(const QString& name) {
    return name.toCaseFolded();
}
} // namespace

// ---- country table ---------------------------------------------------------------------

void AdifCountryTable::add(const QString& name, qint16 number) {
    m_entries.append({name, number});
    // The first entry of a name is the one found.
    const QString key = tableKey(name);
    if (!m_firstByName.contains(key)) {
        m_firstByName.insert(key, number);
    }
}

std::optional<AdifCountryTable> AdifCountryTable::parse(const QByteArray& content, QString* error) {
    AdifCountryTable table;
    RecordReader reader(content);
    while (!reader.atEnd()) {
        const std::optional<QString> name = reader.readText();
        const std::optional<double> number = name ? reader.readNumber() : std::nullopt;
        if (!name || !number) {
            *error = QStringLiteral("%1: %2").arg(kCountryFileName, reader.error().describe());
            return std::nullopt;
        }
        if (*number != std::floor(*number) || *number < -32768 || *number > 32767) {
            *error = QStringLiteral("%1: the number of \"%2\" is not a whole number from "
                                    "-32768 to 32767.")
                         .arg(kCountryFileName, name->left(40));
            return std::nullopt;
        }
        if (table.m_entries.size() >= kMaxEntries) {
            *error = QStringLiteral("%1 holds more than %2 countries.")
                         .arg(kCountryFileName)
                         .arg(kMaxEntries);
            return std::nullopt;
        }
        table.add(*name, qint16(*number));
    }
    return table;
}

QString AdifCountryTable::locate(const DataFolders& folders) {
    for (const QString& folder : {folders.SharedFolder, folders.DataFolder}) {
        if (folder.isEmpty()) {
            continue;
        }
        const QString path = QDir(folder).filePath(kCountryFileName);
        if (QFile::exists(path)) {
            return path;
        }
    }
    return folders.workingFile(kCountryFileName);
}

std::optional<AdifCountryTable> AdifCountryTable::load(const DataFolders& folders, QString* error) {
    const QString path = locate(folders);
    QString readError;
    const std::optional<QByteArray> content = readWholeFile(path, &readError);
    if (!content) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), readError);
        return std::nullopt;
    }
    return parse(*content, error);
}

int AdifCountryTable::lookup(const QString& country) const {
    return m_firstByName.value(tableKey(country.trimmed()), 0);
}

// ---- per-contact values ----------------------------------------------------------------

void exportCountryAndState(const QString& spc, const QString& call, QString* country,
                           QString* state) {
    country->clear();
    state->clear();
    if (spc.size() > 2) {
        *country = spc;
        return;
    }
    if (spc.size() < 2) {
        return;
    }
    const QChar first = call.isEmpty() ? QChar() : call.at(0).toUpper();
    const bool usa = first == QLatin1Char('A') || first == QLatin1Char('K') ||
                     first == QLatin1Char('N') || first == QLatin1Char('W');
    if (!usa) {
        *country = QStringLiteral("Canada");
        return;
    }
    *state = spc;
    if (spc.compare(QLatin1String("HI"), Qt::CaseInsensitive) == 0) {
        *country = QStringLiteral("Hawaii");
    } else if (spc.compare(QLatin1String("AK"), Qt::CaseInsensitive) == 0) {
        *country = QStringLiteral("Alaska");
    } else {
        *country = QStringLiteral("USA");
    }
}

QString exportDate(const QString& date) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{4})([/-])(\d{1,2})\2(\d{1,2})$)"));
    const QRegularExpressionMatch match = pattern.match(date.trimmed());
    if (!match.hasMatch()) {
        return {};
    }
    const QDate parsed(match.captured(1).toInt(), match.captured(3).toInt(),
                       match.captured(4).toInt());
    return parsed.isValid() ? parsed.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QString exportTime(const QString& time) {
    QString text = time.trimmed();
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        QString hours = text.left(colon).trimmed();
        QString minutes = text.mid(colon + 1, 2);
        const qsizetype nextColon = minutes.indexOf(QLatin1Char(':'));
        if (nextColon >= 0) {
            minutes.truncate(nextColon);
        }
        // One-digit hours and minutes ("9:05", "14:5") take their leading zero.
        if (hours.size() == 1) {
            hours.prepend(QLatin1Char('0'));
        }
        if (minutes.size() == 1) {
            minutes.prepend(QLatin1Char('0'));
        }
        text = hours + minutes;
    }
    text.truncate(4);
    while (text.size() < 4) {
        text.append(QLatin1Char('0'));
    }
    return text;
}

ExportFields deriveExportFields(const ContactRecord& record, const AdifCountryTable* table) {
    ExportFields fields;
    exportCountryAndState(record.spc, record.call, &fields.ExportCountry, &fields.ExportState);
    fields.ExportDate = exportDate(record.date);
    fields.ExportTime = exportTime(record.time);
    fields.ExportDxcc = table != nullptr ? table->lookup(fields.ExportCountry) : 0;
    return fields;
}

} // namespace ditlog

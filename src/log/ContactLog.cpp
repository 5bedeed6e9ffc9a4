// Loading, extending and writing the contact log.
#include "log/ContactLog.h"

#include <QFile>

namespace ditlog {

QByteArray recordLine(const ContactRecord& r) {
    RecordWriter w;
    w.text(r.call).text(r.rstReceived).text(r.exchange).text(r.rstSent).text(r.spc);
    w.text(r.date).text(r.time).text(r.name).text(r.band).singleNumber(r.points);
    w.text(r.frequency);
    return w.takeLine();
}

bool ContactLog::hasEntity(const QString& spc) const {
    return m_dxEntities.contains(spc, Qt::CaseInsensitive);
}

void ContactLog::addEntity(const QString& spc) {
    if (m_dxEntities.size() < kMaxEntities && !hasEntity(spc)) {
        m_dxEntities.append(spc);
    }
}

std::optional<RecordError> ContactLog::loadFromText(const QByteArray& content) {
    ContactLog loaded;
    loaded.m_backupReference = m_backupReference;
    RecordReader reader(content);
    while (!reader.atEnd()) {
        if (loaded.m_records.size() >= kMaxRecords) {
            RecordError tooMany = reader.error();
            tooMany.message = QStringLiteral("the log holds more than %1 records").arg(kMaxRecords);
            return tooMany;
        }
        ContactRecord r;
        const auto text = [&reader](QString& field) {
            if (auto v = reader.readText()) {
                field = *v;
                return true;
            }
            return false;
        };
        std::optional<double> points;
        const bool ok = text(r.call) && text(r.rstReceived) && text(r.exchange) &&
                        text(r.rstSent) && text(r.spc) && text(r.date) && text(r.time) &&
                        text(r.name) && text(r.band) && (points = reader.readNumber()) &&
                        text(r.frequency);
        if (!ok) {
            return reader.error();
        }
        r.points = float(*points);
        loaded.m_totalPoints += r.points;
        if (r.isDx()) {
            ++loaded.m_dxContacts;
            loaded.addEntity(r.spc);
        } else if (r.spc.size() == 2) {
            if (const int row = loaded.m_multipliers.find(r.spc)) {
                loaded.m_multipliers.markWorked(row);
            }
        }
        loaded.m_records.append(std::move(r));
    }
    loaded.m_multipliersWorked = loaded.m_multipliers.workedCount();
    if (loaded.m_backupReference == 0) {
        loaded.m_backupReference = loaded.count();
    }
    *this = std::move(loaded);
    return std::nullopt;
}

QByteArray ContactLog::toText() const {
    QByteArray out;
    out.reserve(m_records.size() * 80);
    for (const ContactRecord& r : m_records) {
        out += recordLine(r);
    }
    return out;
}

int ContactLog::addLogged(const ContactRecord& record, bool addEntityToList) {
    m_records.append(record);
    m_totalPoints += record.points;
    int newlyWorked = 0;
    if (record.spc.size() >= 3) {
        ++m_dxContacts;
        if (addEntityToList) {
            addEntity(record.spc);
        }
    } else if (record.spc.size() == 2) {
        const int row = m_multipliers.find(record.spc);
        if (row != 0 && m_multipliers.markWorked(row)) {
            ++m_multipliersWorked;
            newlyWorked = row;
        }
    }
    return newlyWorked;
}

std::optional<RecordError> LogFile::load(ContactLog& log) const {
    QString error;
    // 12000 records of ordinary length fit well within this; a larger file is refused.
    const auto content = readWholeFile(m_path, &error, 16 * 1024 * 1024);
    if (!content) {
        return RecordError{0, 0, error};
    }
    return log.loadFromText(*content);
}

std::optional<QString> LogFile::append(ContactLog& log, const ContactRecord& record,
                                       bool addEntity) const {
    if (log.isFull()) {
        return QStringLiteral("The log already holds %1 contacts.").arg(ContactLog::kMaxRecords);
    }
    if (auto error = appendToFile(m_path, recordLine(record))) {
        return error;
    }
    log.addLogged(record, addEntity);
    return std::nullopt;
}

std::optional<QString> LogFile::rewrite(const ContactLog& log) const {
    return writeFileAtomically(m_path, log.toText());
}

std::optional<QString> LogFile::createEmpty() const {
    return writeFileAtomically(m_path, QByteArray());
}

} // namespace ditlog

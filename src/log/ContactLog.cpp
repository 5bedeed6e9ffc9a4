// Loading, extending and writing the contact log.
#include "log/ContactLog.h"

#include <QFile>

#include <cmath>
#include <limits>

namespace ditlog {

namespace {
// True when the number rounds to a finite single-precision value: below the largest
// float plus half a unit in its last place.
bool fitsSingle(double value) {
    return std::fabs(value) < double(std::numeric_limits<float>::max()) + 0x1p103;
}
} // namespace

QByteArray recordLine(const ContactRecord& r) {
    RecordWriter w;
    w.text(r.call).text(r.rstReceived).text(r.exchange).text(r.rstSent).text(r.spc);
    w.text(r.date).text(r.time).text(r.name).text(r.band).singleNumber(r.points);
    w.text(r.frequency);
    return w.takeLine();
}

quint32 CallKey::callStartOf(QStringView text) {
    quint32 key = 0;
    for (qsizetype i = 0; i < 4; ++i) {
        const char16_t c = i < text.size() ? QChar::toUpper(text.at(i).unicode()) : 0;
        key = (key << 8) | (c < 256 ? c : 0xFF);
    }
    return key;
}

quint8 CallKey::bandOf(QStringView band) {
    static const char* const bands[] = {"160", "80", "40", "20", "15", "10", "6"};
    for (quint8 i = 0; i < 7; ++i) {
        if (band == QLatin1String(bands[i])) {
            return quint8(i + 1);
        }
    }
    return 0;
}

void ContactLog::rebuildKeys() {
    m_keys.clear();
    m_keys.reserve(std::size_t(m_records.size()));
    for (const ContactRecord& r : std::as_const(m_records)) {
        m_keys.push_back({CallKey::callStartOf(r.call), CallKey::bandOf(r.band)});
    }
}

void ContactLog::setRecords(QList<ContactRecord> records) {
    m_records = std::move(records);
    rebuildKeys();
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
        // A number beyond single precision would become infinite and be written back as 0.
        if (!fitsSingle(*points)) {
            return RecordError{0, 0,
                               QStringLiteral("record %1: the points %2 are out of range")
                                   .arg(loaded.count() + 1)
                                   .arg(*points)};
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
    loaded.rebuildKeys();
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
    m_keys.push_back({CallKey::callStartOf(record.call), CallKey::bandOf(record.band)});
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

// The contact record, the in-memory log with its running totals, and "log.txt".
#pragma once

#include "log/MultiplierTable.h"
#include "log/RecordFile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ditlog {

struct ContactRecord {
    QString call;
    QString rstReceived;
    QString exchange;
    QString rstSent;
    QString spc;
    QString date; // yyyy/mm/dd, UTC
    QString time; // hh:mm:ss, or hh:mm for contacts entered after the event
    QString name;
    QString band;
    float points = 0;
    QString frequency;

    bool operator==(const ContactRecord&) const = default;
    bool isDx() const { return spc.size() > 2; }
};

// One record as its line of "log.txt", CR LF included.
QByteArray recordLine(const ContactRecord& record);

// A compact key of one record for the scans that run on every key typed into the call
// field: the first four characters of the call (Latin-1, capitals) and the band.
struct CallKey {
    quint32 callStart = 0;
    quint8 band = 0; // 1..7 for "160" .. "6", 0 for any other text

    static quint32 callStartOf(QStringView text);
    static quint8 bandOf(QStringView band);
};

class ContactLog {
public:
    static constexpr int kMaxRecords = 12000;
    static constexpr int kMaxEntities = 1000;

    int count() const { return int(m_records.size()); }
    bool isFull() const { return count() >= kMaxRecords; }
    // Records are numbered from 1.
    const ContactRecord& record(int number) const { return m_records.at(number - 1); }
    const QList<ContactRecord>& records() const { return m_records; }

    float totalPoints() const { return m_totalPoints; }
    int dxContacts() const { return m_dxContacts; }
    const QStringList& dxEntityList() const { return m_dxEntities; }
    bool hasEntity(const QString& spc) const;
    const MultiplierTable& multipliers() const { return m_multipliers; }
    int multipliersWorked() const { return m_multipliersWorked; }
    int backupReferenceCount() const { return m_backupReference; }

    // Replaces the log by the file's records, rebuilding every running value. On an
    // error the log is left as it was and the position of the fault is returned.
    std::optional<RecordError> loadFromText(const QByteArray& content);
    QByteArray toText() const;

    // A logged contact: record N+1 and its running values. addEntity puts a DX spc on
    // the entity list. Returns the multiplier row newly worked, or 0.
    int addLogged(const ContactRecord& record, bool addEntity);

    // For edits and deletions: the records to be written; a reload follows.
    void setRecords(QList<ContactRecord> records);
    // One key per record, in record order.
    const std::vector<CallKey>& callKeys() const { return m_keys; }
    void resetBackupReference() { m_backupReference = 0; }

private:
    void addEntity(const QString& spc);

    void rebuildKeys();

    QList<ContactRecord> m_records;
    std::vector<CallKey> m_keys;
    float m_totalPoints = 0;
    int m_dxContacts = 0;
    QStringList m_dxEntities;
    MultiplierTable m_multipliers;
    int m_multipliersWorked = 0;
    int m_backupReference = 0;
};

// "log.txt" in the working folder: load whole, append one durable line, rewrite whole.
class LogFile {
public:
    explicit LogFile(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // A missing or unreadable file is an error (line 0).
    std::optional<RecordError> load(ContactLog& log) const;
    // Writes the line first; the record joins the log only when it is on disk.
    std::optional<QString> append(ContactLog& log, const ContactRecord& record,
                                  bool addEntity) const;
    // Atomic replacement of the whole file by the log's records.
    std::optional<QString> rewrite(const ContactLog& log) const;
    std::optional<QString> createEmpty() const;

private:
    QString m_path;
};

} // namespace ditlog

// What is known of a call before it is worked: a call-history file ("!!Order!!,Call,Name,..."
// header form, or the two-column "CALL,NAME NUMBER" roster form) and what earlier logs
// recorded (the newest contact of a call wins). Values are already in the form the entry
// fields take: storable, upper case, within the fields' lengths.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace ditlog {

struct ContactRecord;

struct HistoryValues {
    QString name;     // the Name field
    QString spc;      // the SPC field: state, province or entity
    QString exchange; // the Varns/Pwr field: member number or power

    bool isEmpty() const { return name.isEmpty() && spc.isEmpty() && exchange.isEmpty(); }
    bool operator==(const HistoryValues&) const = default;
};

struct HistoryLoad {
    int entries = 0;          // calls now known from the file
    int skipped = 0;          // lines that were neither a header, a comment nor a call's line
    int firstSkippedLine = 0; // 1-based, 0 when none
    std::optional<QString> error; // the history was left as it was
};

// A roster exchange "NAME NUMBER" split in two: the number is its last word when that is
// digits (or a power such as 100W); a name of several words keeps them all.
HistoryValues splitRosterExchange(const QString& exchange);

class CallHistory {
public:
    static constexpr int kMaxEntries = 1'000'000;
    static constexpr int kMaxLearnedCalls = 200'000;

    // Replaces the file's part by the text of a call-history file; on an error (nothing
    // usable, too many lines) it is left as it was.
    HistoryLoad loadText(QByteArrayView content);
    void clearFile();
    int fileEntries() const { return int(m_index.size()); }

    // Learns the contacts of an earlier log; a newer contact of a call replaces what an
    // older one taught, whatever order the logs come in.
    void learn(const QList<ContactRecord>& records);
    void clearLearned() { m_learned.clear(); }
    int learnedCalls() const { return int(m_learned.size()); }

    // What is known of a call (any letter case): the file's values, and for a field the
    // file leaves empty the newest earlier contact's value.
    std::optional<HistoryValues> find(const QString& call) const;
    bool knows(const QString& call) const { return find(call).has_value(); }

private:
    std::optional<HistoryValues> fromFile(const QByteArray& call) const;

    // The file's entries back to back as Latin-1 "CALL\0NAME\0SPC\0EXCHANGE\0", and
    // their offsets sorted by call.
    QByteArray m_pool;
    std::vector<quint32> m_index;
    struct Learned {
        HistoryValues values;
        QString when; // "yyyy/mm/dd hh:mm:ss" of the contact
    };
    QHash<QString, Learned> m_learned;
};

} // namespace ditlog

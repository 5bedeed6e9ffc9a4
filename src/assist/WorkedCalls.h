// The calls of this log with the bands each was worked on and the SPC last logged for it:
// rebuilt when the log is loaded and kept up to date as contacts are logged, so the aids
// ask it in constant time on every key.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <functional>
#include <vector>

namespace ditlog {

class ContactLog;
struct ContactRecord;

class WorkedCalls {
public:
    struct Worked {
        quint16 bands = 0; // bit n: band n of CallKey::bandOf (0 for another band text)
        QString spc;       // the SPC of its latest contact
    };

    void rebuild(const ContactLog& log);
    void add(const ContactRecord& record);

    // Upper-case call.
    const Worked* find(const QString& call) const;
    bool workedOn(const QString& call, const QString& band) const;
    const QHash<QString, Worked>& all() const { return m_calls; }
    int count() const { return int(m_calls.size()); }

    // "20 40": the bands a call was worked on, in band order.
    static QString bandsText(quint16 bands);

    // Visits each call (upper case, Latin-1) that contains the fragment, or (near) that
    // is one edit away from it; a whole search is one pass over all calls back to back.
    void forEachContaining(QByteArrayView fragment, const std::function<void(QByteArrayView)>& visit) const;
    void forEachNear(QByteArrayView text, const std::function<void(QByteArrayView)>& visit) const;

private:
    QHash<QString, Worked> m_calls;
    QByteArray m_text;          // every call once, each followed by a line feed
    std::vector<int> m_starts;  // where each call begins in m_text
};

} // namespace ditlog

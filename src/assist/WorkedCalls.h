// The calls of this log with the bands each was worked on and the SPC last logged for it:
// rebuilt when the log is loaded and kept up to date as contacts are logged, so the aids
// ask it in constant time on every key.
#pragma once

#include <QHash>
#include <QString>

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

private:
    QHash<QString, Worked> m_calls;
};

} // namespace ditlog

// Which spots are worth a look: a call already worked on the spot's band is a dupe; a
// call from a state, province or DX entity not yet worked is a new multiplier. The state
// of a US call comes from the call history or from this log's earlier contact of it.
#pragma once

#include "spots/SpotMark.h"

#include <QHash>
#include <QString>

namespace ditlog {

class CallHistory;
class ContactLog;
class PrefixTable;
class WorkedCalls;

// The log band ("160" ... "6") of a frequency in MHz, empty outside them.
QString logBandOf(double mhz);

class SpotMarks {
public:
    SpotMarks(const ContactLog& log, const WorkedCalls& worked, const PrefixTable& prefixes)
        : m_log(log), m_worked(worked), m_prefixes(prefixes) {}

    // The history asked for the state of US calls; none leaves it to this log.
    void setHistory(const CallHistory* history);
    // The log, the history or the prefix table changed: marks are decided anew.
    void invalidate() { m_cache.clear(); }

    SpotMark markOf(QStringView call, double mhz) const;

private:
    SpotMark decide(const QString& call, const QString& band) const;
    // The state or province of a call of the USA or Canada, when known.
    QString homeSpc(const QString& call) const;

    const ContactLog& m_log;
    const WorkedCalls& m_worked;
    const PrefixTable& m_prefixes;
    const CallHistory* m_history = nullptr;
    mutable QHash<QString, SpotMark> m_cache; // "CALL band"
};

} // namespace ditlog

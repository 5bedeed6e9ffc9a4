// Calls of this log by band.
#include "assist/WorkedCalls.h"

#include "log/ContactLog.h"

#include <QStringList>

namespace ditlog {

void WorkedCalls::rebuild(const ContactLog& log) {
    m_calls.clear();
    m_calls.reserve(log.count());
    for (const ContactRecord& r : log.records()) {
        add(r);
    }
}

void WorkedCalls::add(const ContactRecord& record) {
    Worked& w = m_calls[record.call.trimmed().toUpper()];
    w.bands |= quint16(1u << CallKey::bandOf(record.band));
    w.spc = record.spc;
}

const WorkedCalls::Worked* WorkedCalls::find(const QString& call) const {
    const auto it = m_calls.constFind(call);
    return it == m_calls.cend() ? nullptr : &*it;
}

bool WorkedCalls::workedOn(const QString& call, const QString& band) const {
    const Worked* w = find(call);
    return w != nullptr && (w->bands & (1u << CallKey::bandOf(band))) != 0;
}

QString WorkedCalls::bandsText(quint16 bands) {
    static const char* const kNames[] = {"", "160", "80", "40", "20", "15", "10", "6"};
    QStringList names;
    for (int b = 1; b <= 7; ++b) {
        if (bands & (1u << b)) {
            names << QLatin1String(kNames[b]);
        }
    }
    return names.join(QLatin1Char(' '));
}

} // namespace ditlog

// Deciding the mark of a spot.
#include "assist/SpotMarks.h"

#include "assist/CallHistory.h"
#include "assist/WorkedCalls.h"
#include "log/ContactLog.h"
#include "log/EntryRules.h"
#include "spots/BandMapGeometry.h"
#include "spots/SpotText.h"

namespace ditlog {

QString logBandOf(double mhz) {
    for (const char* band : {"160", "80", "40", "20", "15", "10", "6"}) {
        const BandEdges edges = mainBandEdges(QLatin1String(band));
        if (mhz >= edges.lower && mhz <= edges.upper) {
            return QLatin1String(band);
        }
    }
    return {};
}

void SpotMarks::setHistory(const CallHistory* history) {
    m_history = history;
    invalidate();
}

SpotMark SpotMarks::markOf(QStringView call, double mhz) const {
    const QString upper = call.trimmed().toString().toUpper();
    const QString band = logBandOf(mhz);
    if (upper.size() < 3 || band.isEmpty()) {
        return SpotMark::None;
    }
    const QString key = upper + QLatin1Char(' ') + band;
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.cend()) {
        return *cached;
    }
    const SpotMark mark = decide(upper, band);
    m_cache.insert(key, mark);
    return mark;
}

QString SpotMarks::homeSpc(const QString& call) const {
    if (const WorkedCalls::Worked* w = m_worked.find(call); w != nullptr && w->spc.size() == 2) {
        return w->spc;
    }
    if (m_history != nullptr) {
        if (const auto known = m_history->find(call); known && known->spc.size() == 2) {
            return known->spc;
        }
    }
    return canadianProvince(call);
}

SpotMark SpotMarks::decide(const QString& call, const QString& band) const {
    if (m_worked.workedOn(call, band)) {
        return SpotMark::Dupe;
    }
    const QString entity = SpotCountry(m_prefixes, call);
    if (entity.isEmpty()) {
        return SpotMark::None;
    }
    if (entity == QLatin1String("USA") || entity == QLatin1String("Canada")) {
        const QString spc = homeSpc(call);
        const int row = spc.isEmpty() ? 0 : m_log.multipliers().find(spc);
        return row != 0 && !m_log.multipliers().row(row).worked ? SpotMark::NewMultiplier
                                                                : SpotMark::None;
    }
    return m_log.hasEntity(entity) ? SpotMark::None : SpotMark::NewMultiplier;
}

} // namespace ditlog

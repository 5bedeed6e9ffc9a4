// Calls of this log by band.
#include "assist/WorkedCalls.h"

#include "assist/CheckPartial.h"
#include "log/ContactLog.h"

#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace ditlog {

void WorkedCalls::rebuild(const ContactLog& log) {
    m_calls.clear();
    m_text.clear();
    m_starts.clear();
    m_calls.reserve(log.count());
    for (const ContactRecord& r : log.records()) {
        add(r);
    }
}

void WorkedCalls::add(const ContactRecord& record) {
    const QString call = record.call.trimmed().toUpper();
    if (!m_calls.contains(call)) {
        m_starts.push_back(int(m_text.size()));
        m_text += call.toLatin1();
        m_text += '\n';
    }
    Worked& w = m_calls[call];
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

void WorkedCalls::forEachContaining(QByteArrayView fragment,
                                    const std::function<void(QByteArrayView)>& visit) const {
    if (fragment.isEmpty() || fragment.contains('\n')) {
        return;
    }
    const std::string_view text(m_text.constData(), size_t(m_text.size()));
    const std::string_view wanted(fragment.data(), size_t(fragment.size()));
    size_t at = text.find(wanted);
    while (at != std::string_view::npos) {
        // The call holding the match, visited once however often it matches.
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), int(at));
        const int start = *(next - 1);
        const size_t end = text.find('\n', at);
        visit(QByteArrayView(m_text).sliced(start, qsizetype(end) - start));
        at = text.find(wanted, end + 1);
    }
}

void WorkedCalls::forEachNear(QByteArrayView text, const std::function<void(QByteArrayView)>& visit) const {
    for (size_t i = 0; i < m_starts.size(); ++i) {
        const int start = m_starts[i];
        const int end = i + 1 < m_starts.size() ? m_starts[i + 1] - 1 : int(m_text.size()) - 1;
        const QByteArrayView call = QByteArrayView(m_text).sliced(start, end - start);
        if (std::abs(call.size() - text.size()) <= 1 && call != text && oneEditApart(call, text)) {
            visit(call);
        }
    }
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

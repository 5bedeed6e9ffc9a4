// Ranking the calls that match a fragment.
#include "assist/PartialMatches.h"

#include "assist/CheckPartial.h"
#include "assist/WorkedCalls.h"

#include <QStringList>

#include <algorithm>
#include <string_view>
#include <vector>

namespace ditlog {

namespace {
std::string_view view(QByteArrayView v) { return {v.data(), size_t(v.size())}; }

// Whether a master-list call is among this log's calls already listed (sorted).
bool listed(const std::vector<QByteArray>& mine, QByteArrayView call) {
    return std::binary_search(mine.begin(), mine.end(), call,
                              [](const auto& a, const auto& b) { return view(a) < view(b); });
}

std::vector<QByteArray> latin1(const QStringList& calls) {
    std::vector<QByteArray> out;
    out.reserve(size_t(calls.size()));
    for (const QString& c : calls) {
        out.push_back(c.toLatin1());
    }
    return out;
}
} // namespace

PartialMatches findPartials(const CheckPartial& master, const WorkedCalls& worked,
                            const QString& fragment, int limit) {
    PartialMatches result;
    const QString typed = fragment.trimmed().toUpper();
    if (typed.size() < 2) {
        return result;
    }
    const QByteArray bytes = typed.toLatin1();

    // This log's calls first, alphabetically.
    QStringList mine;
    worked.forEachContaining(bytes, [&](QByteArrayView call) { mine << QString::fromLatin1(call); });
    std::sort(mine.begin(), mine.end());

    // Then the master list: the calls beginning with the fragment before the others.
    std::vector<int> starts;
    std::vector<int> inside;
    std::vector<QByteArray> mineBytes = latin1(mine);
    master.forEachContaining(bytes, [&](int i) {
        const QByteArrayView call = master.callAt(i);
        if (!listed(mineBytes, call)) {
            (call.startsWith(bytes) ? starts : inside).push_back(i);
        }
        return true;
    });
    result.total = int(mine.size() + starts.size() + inside.size());

    if (result.total == 0) {
        result.near = true;
        worked.forEachNear(bytes, [&](QByteArrayView call) { mine << QString::fromLatin1(call); });
        std::sort(mine.begin(), mine.end());
        mineBytes = latin1(mine);
        master.forEachNear(bytes, [&](int i) {
            if (!listed(mineBytes, master.callAt(i))) {
                inside.push_back(i);
            }
            return true;
        });
        result.total = int(mine.size() + inside.size());
    }

    for (const QString& call : std::as_const(mine)) {
        if (result.rows.size() >= limit) {
            return result;
        }
        result.rows.append({call, worked.find(call)->bands});
    }
    for (const std::vector<int>* part : {&starts, &inside}) {
        for (const int i : *part) {
            if (result.rows.size() >= limit) {
                return result;
            }
            result.rows.append({QString::fromLatin1(master.callAt(i)), 0});
        }
    }
    return result;
}

} // namespace ditlog

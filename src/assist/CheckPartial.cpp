// The master call list: loading, the bigram index and the two searches.
#include "assist/CheckPartial.h"

#include "assist/AidFile.h"

#include <QString>

#include <algorithm>
#include <string_view>

namespace ditlog {

namespace {
// Letters, digits, "/" and one code for anything else: 38 codes, 38 * 38 bigrams.
constexpr int kCodes = 38;
constexpr int kBigrams = kCodes * kCodes;

int codeOf(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'Z') {
        return 10 + (c - 'A');
    }
    return c == '/' ? 36 : 37;
}

std::string_view view(QByteArrayView v) { return {v.data(), size_t(v.size())}; }
} // namespace

bool isListableCall(QByteArrayView call) {
    if (call.size() < 3 || call.size() > CheckPartial::kMaxCallLength) {
        return false;
    }
    bool digit = false;
    for (const char c : call) {
        digit = digit || (c >= '0' && c <= '9');
        if (codeOf(c) == 37) {
            return false;
        }
    }
    return digit || call.contains('/');
}

bool oneEditApart(QByteArrayView a, QByteArrayView b) {
    if (a.size() > b.size()) {
        std::swap(a, b);
    }
    const qsizetype la = a.size();
    const qsizetype lb = b.size();
    if (lb - la > 1) {
        return false;
    }
    qsizetype i = 0;
    while (i < la && a[i] == b[i]) {
        ++i;
    }
    if (la == lb) {
        // One changed character: the rest after it equal.
        return i < la && view(a.sliced(i + 1)) == view(b.sliced(i + 1));
    }
    // One character more in b, at position i.
    return view(a.sliced(i)) == view(b.sliced(i + 1));
}

int CheckPartial::bigramOf(char a, char b) { return codeOf(a) * kCodes + codeOf(b); }

CallListLoad CheckPartial::loadText(QByteArrayView content) {
    CallListLoad result;
    std::vector<std::string_view> calls;
    calls.reserve(size_t(content.size() / 7));
    std::vector<QByteArray> upper; // lines that had to be upper-cased
    AidLines lines(content);
    QByteArrayView line;
    bool tooLong = false;
    while (lines.next(line, tooLong)) {
        const QByteArrayView call = line.trimmed();
        if (!tooLong && (call.isEmpty() || call.startsWith('#'))) {
            continue;
        }
        QByteArrayView taken = call;
        if (!tooLong && std::any_of(call.begin(), call.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
            upper.push_back(call.toByteArray().toUpper());
            taken = upper.back();
        }
        if (tooLong || !isListableCall(taken)) {
            ++result.skipped;
            if (result.firstSkippedLine == 0) {
                result.firstSkippedLine = lines.number();
            }
            continue;
        }
        if (int(calls.size()) >= kMaxCalls) {
            result.error = QStringLiteral("It holds more than %L1 calls, more than a master "
                                          "call list can hold.")
                               .arg(kMaxCalls);
            return result;
        }
        calls.push_back(view(taken));
    }
    if (calls.empty()) {
        result.error = result.skipped > 0
                           ? QStringLiteral("No line of it is a call sign (line %1: not a call).")
                                 .arg(result.firstSkippedLine)
                           : QStringLiteral("It holds no call signs.");
        return result;
    }
    // The shared lists come sorted, with a few calls appended: only what follows the
    // sorted beginning is sorted, then merged in.
    const auto sortedEnd = std::is_sorted_until(calls.begin(), calls.end());
    std::sort(sortedEnd, calls.end());
    std::inplace_merge(calls.begin(), sortedEnd, calls.end());
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());

    QByteArray blob;
    qsizetype total = 0;
    for (const auto& c : calls) {
        total += qsizetype(c.size());
    }
    blob.reserve(total);
    std::vector<quint32> offsets;
    offsets.reserve(calls.size() + 1);
    for (const auto& c : calls) {
        offsets.push_back(quint32(blob.size()));
        blob.append(c.data(), qsizetype(c.size()));
    }
    offsets.push_back(quint32(blob.size()));
    m_calls = std::move(blob);
    m_offsets = std::move(offsets);
    buildIndex();
    result.calls = size();
    return result;
}

void CheckPartial::clear() {
    m_calls.clear();
    m_offsets.clear();
    m_postStart.clear();
    m_postings.clear();
}

void CheckPartial::buildIndex() {
    // Two passes: count each call's distinct bigrams, then fill the slices in call
    // order, so every slice is ascending.
    std::vector<quint32> counts(kBigrams + 1, 0);
    std::vector<int> lastCall(kBigrams, -1);
    const int n = size();
    const auto eachBigram = [&](int i, auto&& use) {
        const QByteArrayView c = callAt(i);
        for (qsizetype k = 0; k + 1 < c.size(); ++k) {
            const int b = bigramOf(c[k], c[k + 1]);
            if (lastCall[b] != i) {
                lastCall[b] = i;
                use(b);
            }
        }
    };
    for (int i = 0; i < n; ++i) {
        eachBigram(i, [&](int b) { ++counts[b + 1]; });
    }
    for (int b = 0; b < kBigrams; ++b) {
        counts[b + 1] += counts[b];
    }
    m_postStart = counts;
    m_postings.assign(counts[kBigrams], 0);
    std::fill(lastCall.begin(), lastCall.end(), -1);
    std::vector<quint32> fill(counts.begin(), counts.end() - 1);
    for (int i = 0; i < n; ++i) {
        eachBigram(i, [&](int b) { m_postings[fill[b]++] = quint32(i); });
    }
}

QByteArrayView CheckPartial::callAt(int index) const {
    const quint32 from = m_offsets[size_t(index)];
    return QByteArrayView(m_calls).sliced(from, m_offsets[size_t(index) + 1] - from);
}

bool CheckPartial::contains(QByteArrayView call) const {
    int lo = 0;
    int hi = size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (view(callAt(mid)) < view(call)) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo < size() && view(callAt(lo)) == view(call);
}

void CheckPartial::forEachContaining(QByteArrayView fragment,
                                     const std::function<bool(int)>& visit) const {
    if (fragment.size() < 2 || m_postStart.empty()) {
        return;
    }
    // Walk the shortest slice among the fragment's bigrams and check the whole fragment.
    int best = -1;
    quint32 bestLength = 0;
    for (qsizetype k = 0; k + 1 < fragment.size(); ++k) {
        const int b = bigramOf(fragment[k], fragment[k + 1]);
        const quint32 length = m_postStart[b + 1] - m_postStart[b];
        if (best < 0 || length < bestLength) {
            best = b;
            bestLength = length;
        }
    }
    const std::string_view wanted = view(fragment);
    for (quint32 p = m_postStart[best]; p < m_postStart[best + 1]; ++p) {
        const int i = int(m_postings[p]);
        if (view(callAt(i)).find(wanted) != std::string_view::npos && !visit(i)) {
            return;
        }
    }
}

void CheckPartial::forEachNear(QByteArrayView text, const std::function<bool(int)>& visit) const {
    if (text.size() < 2 || m_postStart.empty()) {
        return;
    }
    const auto near = [&](int i) {
        const QByteArrayView c = callAt(i);
        return view(c) != view(text) && oneEditApart(c, text);
    };
    if (text.size() < 4) {
        // Short texts: every call of up to one character more is a candidate.
        for (int i = 0; i < size(); ++i) {
            if (callAt(i).size() <= text.size() + 1 && near(i) && !visit(i)) {
                return;
            }
        }
        return;
    }
    // One edit leaves the first or the last bigram of a text of 4 or more characters
    // whole: the calls holding either are the candidates, merged in call order.
    const int first = bigramOf(text[0], text[1]);
    const int last = bigramOf(text[text.size() - 2], text[text.size() - 1]);
    quint32 a = m_postStart[first];
    const quint32 aEnd = m_postStart[first + 1];
    quint32 b = m_postStart[last];
    const quint32 bEnd = first == last ? b : m_postStart[last + 1];
    while (a < aEnd || b < bEnd) {
        int i = 0;
        if (b >= bEnd || (a < aEnd && m_postings[a] <= m_postings[b])) {
            i = int(m_postings[a]);
            if (b < bEnd && m_postings[b] == m_postings[a]) {
                ++b;
            }
            ++a;
        } else {
            i = int(m_postings[b++]);
        }
        if (near(i) && !visit(i)) {
            return;
        }
    }
}

} // namespace ditlog

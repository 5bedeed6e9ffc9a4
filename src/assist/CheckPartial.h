// The master call list ("MASTER.SCP": one call a line, "#" starts a comment) as an index
// that answers, within a keystroke, which calls contain a typed fragment and which
// calls are one character away from it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace ditlog {

struct CallListLoad {
    int calls = 0;            // distinct calls now in the list
    int skipped = 0;          // lines that are not calls (blank and comment lines aside)
    int firstSkippedLine = 0; // 1-based, 0 when none
    std::optional<QString> error; // the list was left as it was
};

// A call as the lists hold it: letters (upper case), digits and "/", 3 to 15 characters.
bool isListableCall(QByteArrayView call);

class CheckPartial {
public:
    static constexpr int kMaxCallLength = 15;
    static constexpr int kMaxCalls = 1'000'000;

    // Replaces the list by the calls of a master-list text; on an error (no call at all,
    // too many lines) the list is left as it was.
    CallListLoad loadText(QByteArrayView content);
    void clear();

    int size() const { return int(m_offsets.empty() ? 0 : m_offsets.size() - 1); }
    QByteArrayView callAt(int index) const;
    // Whole-call membership (upper-case call).
    bool contains(QByteArrayView call) const;

    // Visits, in alphabetical order, every call containing the fragment (upper case, at
    // least 2 characters); stop by returning false.
    void forEachContaining(QByteArrayView fragment,
                           const std::function<bool(int index)>& visit) const;
    // Visits every call one edit away from the text: one character changed, added or
    // missing (the text itself excluded).
    void forEachNear(QByteArrayView text, const std::function<bool(int index)>& visit) const;

private:
    static int bigramOf(char a, char b);
    void buildIndex();

    QByteArray m_calls;              // all calls, sorted, back to back
    std::vector<quint32> m_offsets;  // call i spans m_offsets[i] .. m_offsets[i + 1]
    std::vector<quint32> m_postStart; // per bigram: its slice of m_postings
    std::vector<quint32> m_postings;  // call indexes by bigram, ascending
};

// One edit apart: a character changed, added or missing.
bool oneEditApart(QByteArrayView a, QByteArrayView b);

} // namespace ditlog

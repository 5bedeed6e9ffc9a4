// The answer of check partial for a typed fragment: the calls of this log that contain
// it first, then the master list's calls beginning with it, then those containing it
// elsewhere; when nothing contains it, the calls one character away ("near" calls).
#pragma once

#include <QList>
#include <QString>

namespace ditlog {

class CheckPartial;
class WorkedCalls;

struct PartialRow {
    QString call;
    quint16 workedBands = 0; // bands this log worked the call on (WorkedCalls bits)
};

struct PartialMatches {
    QList<PartialRow> rows; // at most the limit asked for
    int total = 0;          // every call that matched
    bool near = false;      // the rows are near calls: nothing contains the fragment
};

// The fragment is taken in capitals; fewer than 2 characters match nothing.
PartialMatches findPartials(const CheckPartial& master, const WorkedCalls& worked,
                            const QString& fragment, int limit);

} // namespace ditlog

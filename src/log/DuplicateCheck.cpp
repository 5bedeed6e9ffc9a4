// Duplicate and possible-duplicate searches.
#include "log/DuplicateCheck.h"

#include "log/ContactLog.h"

namespace ditlog {

DuplicateFinding findDuplicate(const ContactLog& log, const QString& call, const QString& band) {
    DuplicateFinding found;
    const int n = log.count();
    for (int i = 1; i <= n; ++i) {
        const ContactRecord& r = log.record(i);
        if (r.call.compare(call, Qt::CaseInsensitive) != 0) {
            continue;
        }
        found.earlierContacts.append(i);
        if (found.earliest == 0) {
            found.earliest = i;
        }
        if (r.band.compare(band, Qt::CaseInsensitive) == 0) {
            found.duplicate = i;
            break;
        }
    }
    return found;
}

QString duplicateText(const ContactLog& log, int record) {
    const ContactRecord& r = log.record(record);
    return QStringLiteral("Duplicate %1 %2 %3  Rec# %4").arg(r.call, r.date, r.time).arg(record);
}

QString partialDuplicates(const ContactLog& log, const QString& typed, const QString& band) {
    QString list;
    const int n = log.count();
    for (int i = 1; i <= n && list.size() <= 100; ++i) {
        const ContactRecord& r = log.record(i);
        if (r.band.compare(band, Qt::CaseInsensitive) == 0 &&
            r.call.startsWith(typed, Qt::CaseInsensitive)) {
            list.prepend(r.call + QLatin1Char(' '));
        }
    }
    return list;
}

bool lacksDigitInSecondOrThird(const QString& typed) {
    if (typed.size() != 3) {
        return false;
    }
    const auto digitOrSlash = [](QChar c) { return c.unicode() >= 47 && c.unicode() <= 57; };
    return !digitOrSlash(typed.at(1)) && !digitOrSlash(typed.at(2));
}

} // namespace ditlog

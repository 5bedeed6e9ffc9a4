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
    // Joined, not formatted: a call or date holding "%1" stays as it is.
    return QStringLiteral("Duplicate ") + r.call + QLatin1Char(' ') + r.date + QLatin1Char(' ') +
           r.time + QStringLiteral("  Rec# ") + QString::number(record);
}

namespace {
// Whether text begins with prefix, ignoring letter case. Runs for every record on every
// key typed into the call field, so ASCII letters are compared without a library call.
bool beginsWith(const QString& text, const QString& prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    const QChar* a = text.constData();
    const QChar* b = prefix.constData();
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y) {
            continue;
        }
        const bool asciiLetters = x < 128 && y < 128 && QChar::isLetter(x) && QChar::isLetter(y);
        if (asciiLetters ? (x | 0x20) != (y | 0x20) : QChar::toUpper(x) != QChar::toUpper(y)) {
            return false;
        }
    }
    return true;
}
} // namespace

QString partialDuplicates(const ContactLog& log, const QString& typed, const QString& band) {
    // The compact keys rule out almost every record; the few left are compared whole.
    const quint8 bandKey = CallKey::bandOf(band);
    const qsizetype keyed = std::min<qsizetype>(typed.size(), 4);
    const quint32 mask = keyed == 0 ? 0 : ~quint32(0) << (8 * (4 - keyed));
    const quint32 typedKey = CallKey::callStartOf(typed) & mask;
    const std::vector<CallKey>& keys = log.callKeys();
    QString list;
    for (std::size_t i = 0; i < keys.size() && list.size() <= 100; ++i) {
        if ((bandKey != 0 && keys[i].band != bandKey) || (keys[i].callStart & mask) != typedKey) {
            continue;
        }
        const ContactRecord& r = log.record(int(i) + 1);
        if (r.band.size() == band.size() && beginsWith(r.band, band) && beginsWith(r.call, typed)) {
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

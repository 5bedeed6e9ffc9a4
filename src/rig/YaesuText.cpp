// "Yaesu FTdx9000" replies: eight frequency digits after the first two characters of the
// frequency query, the mode after the first three of the mode query ("MD0").
#include "rig/YaesuText.h"

#include "rig/KenwoodText.h"

namespace ditlog {

RigReading parseFtdx9000Reply(const QByteArray& buffer, const RigQueries& queries, bool) {
    RigReading r;
    const QByteArray fKey = queries.frequency.left(2);
    if (!fKey.isEmpty()) {
        const qsizetype p = buffer.indexOf(fKey);
        if (p >= 0 && buffer.size() > p + 8) {
            if (const auto hz = textHertz(buffer, p + 2, 8, ';')) {
                r.frequency = roundTo5(double(*hz) / 1e6);
            }
        }
    }
    const QByteArray mKey = queries.mode.left(3);
    if (!mKey.isEmpty()) {
        const qsizetype p = buffer.indexOf(mKey);
        if (p >= 0 && buffer.size() > p + 3 && isModeCharacter(buffer.at(p + 3))) {
            r.mode = QString::fromLatin1(buffer.at(p + 3) == '3' ? "CW" : "PH");
        }
    }
    return r;
}

} // namespace ditlog

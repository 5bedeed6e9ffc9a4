// Morse patterns of letters, digits, punctuation and the prosign characters.
#include "keyer/MorseTable.h"

#include <QHash>

#include <cmath>

namespace ditlog {

namespace {
const QHash<char16_t, QString>& table() {
    static const QHash<char16_t, QString> t{
        {u' ', QStringLiteral("00000000")},
        {u'A', QStringLiteral("10111000")},
        {u'B', QStringLiteral("111010101000")},
        {u'C', QStringLiteral("11101011101000")},
        {u'D', QStringLiteral("1110101000")},
        {u'E', QStringLiteral("1000")},
        {u'F', QStringLiteral("101011101000")},
        {u'G', QStringLiteral("111011101000")},
        {u'H', QStringLiteral("1010101000")},
        {u'I', QStringLiteral("101000")},
        {u'J', QStringLiteral("1011101110111000")},
        {u'K', QStringLiteral("111010111000")},
        {u'L', QStringLiteral("101110101000")},
        {u'M', QStringLiteral("1110111000")},
        {u'N', QStringLiteral("11101000")},
        {u'O', QStringLiteral("11101110111000")},
        {u'P', QStringLiteral("10111011101000")},
        {u'Q', QStringLiteral("1110111010111000")},
        {u'R', QStringLiteral("1011101000")},
        {u'S', QStringLiteral("10101000")},
        {u'T', QStringLiteral("111000")},
        {u'U', QStringLiteral("1010111000")},
        {u'V', QStringLiteral("101010111000")},
        {u'W', QStringLiteral("101110111000")},
        {u'X', QStringLiteral("11101010111000")},
        {u'Y', QStringLiteral("1110101110111000")},
        {u'Z', QStringLiteral("11101110101000")},
        {u'0', QStringLiteral("1110111011101110111000")},
        {u'1', QStringLiteral("10111011101110111000")},
        {u'2', QStringLiteral("101011101110111000")},
        {u'3', QStringLiteral("1010101110111000")},
        {u'4', QStringLiteral("10101010111000")},
        {u'5', QStringLiteral("101010101000")},
        {u'6', QStringLiteral("11101010101000")},
        {u'7', QStringLiteral("1110111010101000")},
        {u'8', QStringLiteral("111011101110101000")},
        {u'9', QStringLiteral("11101110111011101000")},
        {u'.', QStringLiteral("10111010111010111000")},
        {u',', QStringLiteral("1110111010101110111000")},
        {u'?', QStringLiteral("101011101110101000")},
        {u'/', QStringLiteral("1110101011101000")},
        {u'-', QStringLiteral("1110101010111000")}, // keyed as BT, like "="
        {u'=', QStringLiteral("1110101010111000")},
        {u'[', QStringLiteral("1011101011101000")},             // AR
        {u']', QStringLiteral("101010111010111000")},           // SK
        {u';', QStringLiteral("111010111011101000")},           // KN
        {u'\\', QStringLiteral("111010111010101110101000")},    // CL
    };
    return t;
}
} // namespace

QString MorseTable::ElementPattern(QChar c) { return table().value(c.toUpper().unicode()); }

QString MorseTable::patternToKey(QChar c, int wordSpaceAdjust) {
    QString pattern = ElementPattern(c);
    if (c == QLatin1Char(' ')) {
        if (wordSpaceAdjust > 0) {
            pattern += QString(std::min(wordSpaceAdjust, 10000), QLatin1Char('0'));
        } else if (wordSpaceAdjust < 0) {
            pattern.truncate(std::max(0, 8 + wordSpaceAdjust));
        }
    }
    return pattern;
}

qint64 unitNanoseconds(double wpm) {
    if (!(wpm > 0) || !std::isfinite(wpm)) {
        return 0;
    }
    return qint64(std::llround(1.2e9 / wpm));
}

} // namespace ditlog

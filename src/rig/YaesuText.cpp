// "Yaesu FTdx9000" replies: eight frequency digits after the first two characters of the
// frequency query, the mode after the first three of the mode query ("MD0").
#include "rig/YaesuText.h"
#include "rig/RigCommand.h"

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


EncodedCommand ftdx9000FrequencyCommand(double mhz, const RigCommandContext& context) {
    const QByteArray key = context.frequencyQuery.size() >= 2 ? context.frequencyQuery.left(2)
                                                              : QByteArray("FA");
    return textFrequencyCommand(key, mhz, 8, 9);
}

EncodedCommand ftdx9000ModeCommand(const QString& modeWord, const RigCommandContext& context) {
    static const QList<std::pair<QLatin1String, char>> codes{
        {QLatin1String("CW"), '3'}, {QLatin1String("CW-R"), '7'}, {QLatin1String("LSB"), '1'},
        {QLatin1String("USB"), '2'}, {QLatin1String("AM"), '5'},  {QLatin1String("FM"), '4'},
        {QLatin1String("RTTY"), '6'}};
    for (const auto& [word, code] : codes) {
        if (modeWord == word) {
            return {context.modeQuery.left(3) + code + ';', {}};
        }
    }
    return {};
}

EncodedCommand ftdx9000Transmit(bool on, const RigCommandContext&) {
    return {on ? "TX1;" : "TX0;", {}};
}

} // namespace ditlog

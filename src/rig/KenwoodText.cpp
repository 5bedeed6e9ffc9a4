// Kenwood text replies: the frequency after "FA" (or the first two characters of the
// frequency query), the mode after "MD", and the IF status line of "Kenwood 2".
#include "rig/KenwoodText.h"
#include "rig/RigHex.h"
#include "rig/RigCommand.h"

#include <algorithm>
#include <cstring>

namespace ditlog {

namespace {
constexpr int kMaxHertzDigits = 12; // 999 GHz: anything longer is not a frequency

QString modeWord(char c, const char* cwCharacters) {
    return QString::fromLatin1(std::strchr(cwCharacters, c) != nullptr ? "CW" : "PH");
}
} // namespace

bool isModeCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

std::optional<qint64> textHertz(const QByteArray& buffer, qsizetype start, int documentedDigits,
                                char terminator) {
    qsizetype run = 0;
    while (start + run < buffer.size() && run <= kMaxHertzDigits) {
        const char c = buffer.at(start + run);
        if (c < '0' || c > '9') {
            break;
        }
        ++run;
    }
    if (run == 0) {
        return std::nullopt;
    }
    const bool terminated = run <= kMaxHertzDigits && start + run < buffer.size() &&
                            buffer.at(start + run) == terminator;
    const qsizetype digits = terminated ? run : std::min<qsizetype>(run, documentedDigits);
    return buffer.mid(start, digits).toLongLong();
}

RigReading parseKenwoodReply(const QByteArray& buffer, const RigQueries& queries, bool) {
    RigReading r;
    const QByteArray key = queries.frequency.left(2);
    if (!key.isEmpty()) {
        const qsizetype p = buffer.indexOf(key);
        if (p >= 0 && buffer.size() > p + 13) {
            if (const auto hz = textHertz(buffer, p + 2, 11, ';')) {
                r.frequency = roundTo5(double(*hz) / 1e6);
            }
        }
    }
    const qsizetype m = buffer.indexOf("MD");
    if (m >= 0 && buffer.size() > m + 2 && isModeCharacter(buffer.at(m + 2))) {
        r.mode = modeWord(buffer.at(m + 2), "37");
    }
    return r;
}

RigReading parseKenwood2Reply(const QByteArray& buffer, const RigQueries&, bool) {
    RigReading r;
    const qsizetype p = buffer.indexOf("IF");
    if (p < 0) {
        return r;
    }
    if (buffer.size() > p + 13) {
        if (const auto hz = textHertz(buffer, p + 2, 11, ';')) {
            r.frequency = roundTo5(double(*hz) / 1e6);
        }
    }
    if (buffer.size() > p + 29 && isModeCharacter(buffer.at(p + 29))) {
        r.mode = modeWord(buffer.at(p + 29), "3");
    }
    if (buffer.size() > p + 30) {
        const char vfo = buffer.at(p + 30);
        if (vfo >= '0' && vfo <= '9') {
            r.vfo = quint8(vfo - '0');
        }
    }
    return r;
}


// ---- commands ----------------------------------------------------------------------------

EncodedCommand textFrequencyCommand(const QByteArray& key, double mhz, int width, int maxDigits) {
    const auto digits = frequencyDigits(mhz, 1e6, width, maxDigits);
    if (!digits) {
        return EncodedCommand::failed(unsendableFrequency(mhz));
    }
    return {key + *digits + ';', {}};
}

EncodedCommand kenwoodFrequencyCommand(double mhz, const RigCommandContext& context) {
    // A query too short to name the VFO tunes VFO A.
    const QByteArray key = context.frequencyQuery.size() >= 2 ? context.frequencyQuery.left(2)
                                                              : QByteArray("FA");
    return textFrequencyCommand(key, mhz, 11, 11);
}

EncodedCommand kenwood2FrequencyCommand(double mhz, const RigCommandContext& context) {
    return textFrequencyCommand(context.vfo == 1 ? "FB" : "FA", mhz, 11, 11);
}

EncodedCommand elecraftFrequencyCommand(double mhz, const RigCommandContext&) {
    return textFrequencyCommand("FA", mhz, 11, 11);
}

EncodedCommand kenwoodModeCommand(const QString& modeWord, const RigCommandContext&) {
    static const QList<std::pair<QLatin1String, char>> codes{
        {QLatin1String("CW"), '3'}, {QLatin1String("LSB"), '1'}, {QLatin1String("USB"), '2'},
        {QLatin1String("AM"), '5'}, {QLatin1String("FM"), '4'},  {QLatin1String("RTTY"), '6'},
        {QLatin1String("FSK"), '6'}};
    for (const auto& [word, code] : codes) {
        if (modeWord == word) {
            return {QByteArray("MD") + code + ';', {}};
        }
    }
    return {};
}

// ---- the radio's keyer and transmit switch -------------------------------------------------

namespace {
constexpr ProsignSymbols kKenwoodProsigns{"+", ">", "(", "CL", "="};
constexpr ProsignSymbols kElecraftProsigns{"+", "*", "(", "CL", "="};

QByteArray speedCommand(int wpm, int lowest, int highest) {
    return "KS" + QByteArray::number(std::clamp(wpm, lowest, highest)).rightJustified(3, '0') + ';';
}
} // namespace

QByteArray kenwoodCwCharacters(QChar c) {
    return catCwCharacters(c, kKenwoodProsigns);
}

QByteArray elecraftCwCharacters(QChar c) {
    return catCwCharacters(c, kElecraftProsigns);
}

EncodedCommand kenwoodCwText(const QByteArray& characters, const RigCommandContext&) {
    return {"KY " + characters.left(kKenwoodCwCharacters).leftJustified(kKenwoodCwCharacters, ' ') +
                ';',
            {}};
}

EncodedCommand elecraftCwText(const QByteArray& characters, const RigCommandContext&) {
    return {"KY " + characters.left(kKenwoodCwCharacters) + ';', {}};
}

RigAnswer kenwoodCwRoom(const QByteArray& received, const RigCommandContext&) {
    for (qsizetype at = received.indexOf("KY"); at >= 0; at = received.indexOf("KY", at + 2)) {
        if (at + 3 < received.size() && received.at(at + 3) == ';') {
            const char state = received.at(at + 2);
            if (state == '0' || state == '2') {
                return RigAnswer::Accepted;
            }
            if (state == '1') {
                return RigAnswer::Refused;
            }
        }
    }
    return RigAnswer::Waiting;
}

EncodedCommand kenwoodCwSpeed(int wpm, const RigCommandContext&) {
    return {speedCommand(wpm, 4, 60), {}};
}

EncodedCommand elecraftCwSpeed(int wpm, const RigCommandContext&) {
    return {speedCommand(wpm, 8, 100), {}};
}

EncodedCommand kenwoodCwStop(const RigCommandContext&) {
    return {"KY0;", {}};
}

EncodedCommand elecraftCwStop(const RigCommandContext&) {
    return {"RX;", {}};
}

EncodedCommand kenwoodTransmit(bool on, const RigCommandContext&) {
    return {on ? "TX;" : "RX;", {}};
}

} // namespace ditlog

// Yaesu binary replies. The positions are hex digits of the reply written as hex pairs
// (1-based), as the radios' status blocks lay them out.
#include "rig/YaesuBinary.h"
#include "rig/RigCommand.h"

#include "rig/RigHex.h"

namespace ditlog {

namespace {
constexpr qsizetype kMinimumReply = 5;

QString word(const char* mode) {
    return QString::fromLatin1(mode);
}

// Digits first..last as one hexadecimal number, divided and rounded to 10 Hz.
RigReading hexFrequency(const QByteArray& buffer, int first, int last, double divisor) {
    RigReading r;
    if (const auto value = hexDigitsValue(buffer, first, last)) {
        r.frequency = roundTo5(double(*value) / divisor);
    }
    return r;
}

// The mode in the low half of byte 8 of the status block.
void statusBlockMode(const QByteArray& buffer, RigReading& r) {
    const auto mode = lowNibble(buffer, 8);
    if (!mode) {
        return;
    }
    if (*mode == 2) {
        r.mode = word("CW");
    } else if (*mode <= 7) {
        r.mode = word("PH");
    }
}

// A hex pair read as a decimal number up to its first letter ("0A" is 0, "1C" is 1).
int leadingDecimal(quint8 byte) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9) {
        return 0;
    }
    return low > 9 ? high : high * 10 + low;
}
} // namespace

RigReading parseYaesuReply(const QByteArray& buffer, const RigQueries&, bool) {
    RigReading r;
    if (buffer.size() < kMinimumReply) {
        return r;
    }
    if (const auto digits = bcdDigitsValue(buffer, 1, 8)) {
        r.frequency = double(*digits) / 1e5;
    }
    // A data mode (0A, 0C, 8A, ...) has no log mode: the mode stays as it was, while the
    // frequency still counts.
    const auto modeByte = quint8(buffer.at(4));
    if ((modeByte >> 4) > 9 || (modeByte & 0x0F) > 9) {
        return r;
    }
    switch ((modeByte >> 4) * 10 + (modeByte & 0x0F)) {
    case 0: case 1: case 4: case 8: case 84: case 88:
        r.mode = word("PH");
        break;
    case 2: case 3: case 82: case 83:
        r.mode = word("CW");
        break;
    default:
        break;
    }
    return r;
}

RigReading parseYaesu757Reply(const QByteArray& buffer, const RigQueries&, bool) {
    RigReading r;
    if (buffer.size() < kMinimumReply) {
        return r;
    }
    if (buffer.size() >= 9) {
        // BCD, least significant byte received first: bytes 9, 8, 7, 6.
        QByteArray ordered;
        for (const int i : {8, 7, 6, 5}) {
            ordered.append(buffer.at(i));
        }
        if (const auto digits = bcdDigitsValue(ordered, 1, 8)) {
            r.frequency = roundTo5(double(*digits) / 1e5);
        }
    }
    if (buffer.size() >= 10) {
        switch (leadingDecimal(quint8(buffer.at(9)))) {
        case 0: case 1:
            r.mode = word("PH");
            break;
        case 2: case 3:
            r.mode = word("CW");
            break;
        case 4:
            r.mode = word("AM");
            break;
        case 5:
            r.mode = word("FM");
            break;
        default:
            break;
        }
    }
    return r;
}

RigReading parseYaesu890Reply(const QByteArray& buffer, const RigQueries&, bool) {
    if (buffer.size() < kMinimumReply) {
        return {};
    }
    RigReading r = hexFrequency(buffer, 5, 10, 1e5);
    statusBlockMode(buffer, r);
    return r;
}

RigReading parseYaesu1000Reply(const QByteArray& buffer, const RigQueries&, bool) {
    if (buffer.size() < kMinimumReply) {
        return {};
    }
    RigReading r = hexFrequency(buffer, 4, 9, 1e5);
    statusBlockMode(buffer, r);
    return r;
}

RigReading parseYaesu990Reply(const QByteArray& buffer, const RigQueries&, bool) {
    if (buffer.size() < kMinimumReply) {
        return {};
    }
    RigReading r = hexFrequency(buffer, 3, 8, 1e5);
    statusBlockMode(buffer, r);
    return r;
}

RigReading parseYaesu920Reply(const QByteArray& buffer, const RigQueries&, bool) {
    if (buffer.size() < kMinimumReply) {
        return {};
    }
    RigReading r = hexFrequency(buffer, 3, 10, 1e6);
    if (const auto mode = lowNibble(buffer, 8)) {
        r.mode = word(*mode == 1 ? "CW" : "PH");
    }
    return r;
}


// ---- commands ----------------------------------------------------------------------------

namespace {
std::optional<QByteArray> tenHertzBcd(double mhz) {
    const auto digits = frequencyDigits(mhz, 1e5, 8, 8);
    return digits ? std::optional(bcdBytes(*digits)) : std::nullopt;
}

std::optional<char> modeCode(const QString& modeWord, const QList<std::pair<QLatin1String, char>>& codes) {
    for (const auto& [word, code] : codes) {
        if (modeWord == word) {
            return code;
        }
    }
    return std::nullopt;
}
} // namespace

EncodedCommand yaesuFrequencyCommand(double mhz, const RigCommandContext&) {
    const auto bcd = tenHertzBcd(mhz);
    if (!bcd) {
        return EncodedCommand::failed(unsendableFrequency(mhz));
    }
    return {*bcd + '\x01', {}};
}

EncodedCommand yaesuReversedFrequencyCommand(double mhz, const RigCommandContext&) {
    const auto bcd = tenHertzBcd(mhz);
    if (!bcd) {
        return EncodedCommand::failed(unsendableFrequency(mhz));
    }
    return {reversedBytes(*bcd) + '\x0A', {}};
}

EncodedCommand yaesuModeCommand(const QString& modeWord, const RigCommandContext&) {
    static const QList<std::pair<QLatin1String, char>> codes{
        {QLatin1String("CW"), '\x02'}, {QLatin1String("LSB"), '\x00'}, {QLatin1String("USB"), '\x01'},
        {QLatin1String("AM"), '\x04'}, {QLatin1String("FM"), '\x08'},  {QLatin1String("RTTY"), '\x0A'},
        {QLatin1String("DIG"), '\x0A'}, {QLatin1String("PKT"), '\x0C'}};
    const auto code = modeCode(modeWord, codes);
    return code ? EncodedCommand{*code + QByteArray("\x00\x00\x00\x07", 4), {}} : EncodedCommand{};
}

EncodedCommand yaesuReversedModeCommand(const QString& modeWord, const RigCommandContext&) {
    static const QList<std::pair<QLatin1String, char>> codes{
        {QLatin1String("CW"), '\x02'}, {QLatin1String("CW-R"), '\x03'}, {QLatin1String("LSB"), '\x00'},
        {QLatin1String("USB"), '\x01'}, {QLatin1String("AM"), '\x04'},  {QLatin1String("FM"), '\x06'},
        {QLatin1String("RTTY"), '\x08'}, {QLatin1String("PKT"), '\x0A'}};
    const auto code = modeCode(modeWord, codes);
    return code ? EncodedCommand{QByteArray(3, '\0') + *code + '\x0C', {}} : EncodedCommand{};
}

EncodedCommand yaesuTransmit(bool on, const RigCommandContext&) {
    return {QByteArray(4, '\0') + (on ? '\x08' : '\x88'), {}};
}

EncodedCommand yaesuReversedTransmit(bool on, const RigCommandContext&) {
    return {QByteArray(3, '\0') + (on ? '\x01' : '\x00') + '\x0F', {}};
}

} // namespace ditlog

// CI-V frame splitting and the frequency and mode replies of the Icom family.
#include "rig/CivProtocol.h"
#include "rig/RigCommand.h"

#include "rig/RigHex.h"

#include <algorithm>
#include <cmath>

namespace ditlog {

namespace {
constexpr quint8 kPreamble = 0xFE;
constexpr quint8 kEnd = 0xFD;
constexpr quint8 kController = 0xE0;
constexpr quint8 kReadFrequency = 0x03;
constexpr quint8 kReadMode = 0x04;
constexpr qsizetype kMaxFrameData = 64;

// A frequency from the reply digits (least significant byte first on the wire). Four and
// five bytes: the first four digits are whole MHz, the rest the fraction. Six bytes come
// from radios above 1 GHz and hold the hertz in twelve digits (10,368.1 MHz is 010368100000);
// they are read only where asked for. Nothing unless every digit is decimal.
std::optional<double> civFrequency(const QByteArray& data, bool sixBytes) {
    if (data.size() < 4 || data.size() > (sixBytes ? 6 : 5)) {
        return std::nullopt;
    }
    QByteArray reversed;
    for (qsizetype i = data.size() - 1; i >= 0; --i) {
        reversed.append(data.at(i));
    }
    if (reversed.size() == 6) {
        const auto hz = bcdDigitsValue(reversed, 1, 12);
        return hz ? std::optional<double>(double(*hz) / 1e6) : std::nullopt;
    }
    const auto whole = bcdDigitsValue(reversed, 1, 4);
    const int fractionDigits = int(reversed.size()) * 2 - 4;
    const auto fraction = bcdDigitsValue(reversed, 5, 4 + fractionDigits);
    if (!whole || !fraction) {
        return std::nullopt;
    }
    double scale = 1;
    for (int i = 0; i < fractionDigits; ++i) {
        scale *= 10;
    }
    return double(*whole) + double(*fraction) / scale;
}

std::optional<double> lastFrequency(const QByteArray& buffer, bool sixBytes) {
    std::optional<double> mhz;
    for (const CivFrame& f : civFrames(buffer)) {
        if (f.command == kReadFrequency && f.ended && !f.data.isEmpty()) {
            if (const auto value = civFrequency(f.data, sixBytes)) {
                mhz = value;
            }
        }
    }
    return mhz;
}

RigReading civMode(const QByteArray& buffer) {
    RigReading r;
    for (const CivFrame& f : civFrames(buffer)) {
        if (f.command == kReadMode && !f.data.isEmpty()) {
            r.mode = QString::fromLatin1(quint8(f.data.at(0)) == 0x03 ? "CW" : "PH");
            break;
        }
    }
    return r;
}
} // namespace

QList<CivFrame> civFrames(const QByteArray& buffer) {
    enum class State { Empty, GotFirstFE, To, From, Command, Data };
    QList<CivFrame> frames;
    State state = State::Empty;
    CivFrame frame;
    for (const char c : buffer) {
        const auto b = quint8(c);
        switch (state) {
        case State::Empty:
            state = b == kPreamble ? State::GotFirstFE : State::Empty;
            break;
        case State::GotFirstFE:
            state = b == kPreamble ? State::To : State::Empty;
            break;
        case State::To:
            // Extra preamble bytes before the addresses are allowed.
            if (b != kPreamble) {
                frame = CivFrame{};
                frame.to = b;
                state = State::From;
            }
            break;
        case State::From:
            frame.from = b;
            state = State::Command;
            break;
        case State::Command:
            frame.command = b;
            state = b == kEnd ? State::Empty : State::Data;
            break;
        case State::Data:
            if (b == kEnd) {
                frame.ended = true;
                frames.append(frame);
                state = State::Empty;
            } else if (frame.data.size() < kMaxFrameData) {
                frame.data.append(char(b));
            }
            break;
        }
    }
    if (state == State::Data) {
        frames.append(frame);
    }
    return frames;
}

bool civReplyComplete(const QByteArray& buffer) {
    for (const CivFrame& f : civFrames(buffer)) {
        if (f.ended && f.to == kController) {
            return true;
        }
    }
    return false;
}

RigReading parseIcomReply(const QByteArray& buffer, const RigQueries&, bool lastWasFrequency) {
    if (!lastWasFrequency) {
        return civMode(buffer);
    }
    RigReading r;
    if (const auto mhz = lastFrequency(buffer, true)) {
        r.frequency = *mhz;
    }
    return r;
}

RigReading parseIcom735Reply(const QByteArray& buffer, const RigQueries&, bool lastWasFrequency) {
    if (!lastWasFrequency) {
        return civMode(buffer);
    }
    // The 735 is an HF radio whose four bytes read a hundredfold high; a six-byte reply is
    // not its own and would read a hundredfold low: it is refused.
    RigReading r;
    if (const auto mhz = lastFrequency(buffer, false)) {
        r.frequency = *mhz / 100;
    }
    return r;
}


// ---- commands ----------------------------------------------------------------------------

namespace {
EncodedCommand unknownAddress(const QByteArray& frequencyQuery) {
    return EncodedCommand::failed(
        QStringLiteral("The radio's address \"%1\" in the frequency query is not a hexadecimal number.")
            .arg(QString::fromLatin1(frequencyQuery.mid(6, 2))));
}

QByteArray civFrame(quint8 address, const QByteArray& commandAndData) {
    QByteArray frame("\xFE\xFE", 2);
    frame.append(char(address));
    frame.append('\xE0');
    frame.append(commandAndData);
    frame.append('\xFD');
    return frame;
}
} // namespace

std::optional<quint8> civAddress(const QByteArray& frequencyQuery) {
    const QByteArray pair = frequencyQuery.mid(6, 2);
    if (pair.size() != 2) {
        return std::nullopt;
    }
    const auto bytes = PackedHexToBytes(pair);
    if (!bytes || bytes->size() != 1) {
        return std::nullopt;
    }
    return quint8(bytes->at(0));
}

EncodedCommand civFrequencyCommand(double mhz, const RigCommandContext& context) {
    const auto address = civAddress(context.frequencyQuery);
    if (!address) {
        return unknownAddress(context.frequencyQuery);
    }
    const auto digits = frequencyDigits(mhz, 1e6, 10, 10);
    if (!digits) {
        return EncodedCommand::failed(unsendableFrequency(mhz));
    }
    return {civFrame(*address, '\x05' + reversedBytes(bcdBytes(*digits))), {}};
}

EncodedCommand civModeCommand(const QString& modeWord, const RigCommandContext& context) {
    static const QList<std::pair<QLatin1String, char>> codes{
        {QLatin1String("CW"), '\x03'},  {QLatin1String("CW-R"), '\x07'}, {QLatin1String("LSB"), '\x00'},
        {QLatin1String("USB"), '\x01'}, {QLatin1String("AM"), '\x02'},   {QLatin1String("FM"), '\x05'},
        {QLatin1String("RTTY"), '\x04'}, {QLatin1String("RTTY-R"), '\x08'}};
    for (const auto& [word, code] : codes) {
        if (modeWord == word) {
            const auto address = civAddress(context.frequencyQuery);
            if (!address) {
                return unknownAddress(context.frequencyQuery);
            }
            return {civFrame(*address, QByteArray("\x06", 1) + code), {}};
        }
    }
    return {};
}

// ---- the radio's keyer and transmit switch -------------------------------------------------

namespace {
constexpr ProsignSymbols kCivProsigns{"^AR", "^SK", "^KN", "^CL", "^BT"};

EncodedCommand addressed(const RigCommandContext& context, const QByteArray& commandAndData) {
    const auto address = civAddress(context.frequencyQuery);
    if (!address) {
        return unknownAddress(context.frequencyQuery);
    }
    return {civFrame(*address, commandAndData), {}};
}
} // namespace

QByteArray civCwCharacters(QChar c) {
    return catCwCharacters(c, kCivProsigns);
}

EncodedCommand civCwText(const QByteArray& characters, const RigCommandContext& context) {
    return addressed(context, '\x17' + characters.left(kCivCwCharacters));
}

EncodedCommand civCwStop(const RigCommandContext& context) {
    return addressed(context, QByteArray("\x17\xFF", 2));
}

EncodedCommand civCwSpeed(int wpm, const RigCommandContext& context) {
    // 6 WPM is 0, 48 WPM is 255, in a straight line between.
    const int level = int(std::lround((std::clamp(wpm, 6, 48) - 6) * 255.0 / 42.0));
    return addressed(context, QByteArray("\x14\x0C", 2) +
                                  bcdBytes(QByteArray::number(level).rightJustified(4, '0')));
}

EncodedCommand civTransmit(bool on, const RigCommandContext& context) {
    return addressed(context, QByteArray("\x1C\x00", 2) + (on ? '\x01' : '\x00'));
}

RigAnswer civAcknowledgement(const QByteArray& received, const RigCommandContext& context) {
    const auto address = civAddress(context.frequencyQuery);
    for (const CivFrame& frame : civFrames(received)) {
        if (!frame.ended || frame.to != 0xE0 || (address && frame.from != *address)) {
            continue;
        }
        if (frame.command == 0xFB) {
            return RigAnswer::Accepted;
        }
        if (frame.command == 0xFA) {
            return RigAnswer::Refused;
        }
    }
    return RigAnswer::Waiting;
}

} // namespace ditlog

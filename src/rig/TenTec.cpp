// Ten-Tec replies: the Orion's "@AF" and "@RMM" lines, the front-panel protocol's binary
// frequency and mode replies.
#include "rig/TenTec.h"
#include "rig/RigCommand.h"

#include "rig/KenwoodText.h"
#include "rig/RigHex.h"

#include <algorithm>

namespace ditlog {

RigReading parseOrionReply(const QByteArray& buffer, const RigQueries&, bool) {
    RigReading r;
    const qsizetype f = buffer.indexOf("@AF");
    if (f >= 0) {
        // The digits after "@AF" up to the carriage return; anything else there is no reply.
        const qsizetype cr = buffer.indexOf('\r', f + 3);
        const qsizetype digits = cr - (f + 3);
        if (cr > 0 && digits > 0) {
            const auto hz = textHertz(buffer, f + 3, int(digits), '\r');
            const bool allDigits = hz && buffer.at(f + 3 + digits) == '\r' &&
                                   std::all_of(buffer.begin() + f + 3, buffer.begin() + cr,
                                               [](char c) { return c >= '0' && c <= '9'; });
            if (allDigits) {
                r.frequency = roundTo5(double(*hz) / 1e6);
            }
        }
    }
    const qsizetype m = buffer.indexOf("@RMM");
    if (m >= 0 && buffer.size() > m + 4 && isModeCharacter(buffer.at(m + 4))) {
        const char c = buffer.at(m + 4);
        r.mode = QString::fromLatin1(c == '2' || c == '3' ? "CW" : "PH");
    }
    return r;
}

RigReading parseFrontPanelReply(const QByteArray& buffer, const RigQueries&, bool lastWasFrequency) {
    RigReading r;
    if (lastWasFrequency) {
        // A, four bytes of Hz, CR: all four bytes are needed for the frequency.
        if (buffer.size() >= 5) {
            if (const auto hz = hexDigitsValue(buffer, 3, 10)) {
                r.frequency = roundTo5(double(*hz) / 1e6);
            }
        }
        return r;
    }
    if (buffer.size() >= 3) {
        const int mode = quint8(buffer.at(1)) & 0x0F;
        if (mode == 3) {
            r.mode = QStringLiteral("CW");
        } else if (mode <= 2 || mode == 4) {
            r.mode = QStringLiteral("PH");
        }
    }
    return r;
}


// ---- commands ----------------------------------------------------------------------------

EncodedCommand orionFrequencyCommand(double mhz, const RigCommandContext&) {
    const auto digits = frequencyDigits(mhz, 1e6, 1, 11);
    if (!digits) {
        return EncodedCommand::failed(unsendableFrequency(mhz));
    }
    return {"*AF" + shortestMegahertzText(mhz).toLatin1() + '\r', {}};
}

EncodedCommand frontPanelFrequencyCommand(double mhz, const RigCommandContext&) {
    const auto digits = frequencyDigits(mhz, 1e6, 1, 10);
    const qint64 hz = digits ? digits->toLongLong() : 0;
    if (hz < 1 || hz > 0xFFFFFFFFLL) {
        return EncodedCommand::failed(unsendableFrequency(mhz));
    }
    QByteArray out("*A");
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.append(char((hz >> shift) & 0xFF));
    }
    out.append('\r');
    return {out, {}};
}

} // namespace ditlog

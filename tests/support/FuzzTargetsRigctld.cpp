// Fuzz target of the rig daemon's answer parser.
#include "FuzzTargetsRigctld.h"
#include "FuzzRules.h"

#include "rig/RigctldProtocol.h"

#include <cmath>

namespace ditlog::testing {

void fuzzRigctldReplies(const uint8_t* data, size_t size) {
    const QByteArray buffer(reinterpret_cast<const char*>(data), qsizetype(size));
    const RigReading r = parseRigctldReply(buffer, {"f", "m"}, false);
    if (r.frequency) {
        require(std::isfinite(*r.frequency) && *r.frequency > 0 && *r.frequency <= 1e6,
                "a decoded frequency is finite and within reason");
    }
    if (r.mode) {
        require(*r.mode == QLatin1String("CW") || *r.mode == QLatin1String("PH"), "a decoded mode is CW or PH");
    }
    require(!r.vfo, "the daemon's answers set no VFO indicator");
    const int answers = rigctldAnswerCount(buffer);
    require(int(splitRigctldAnswers(buffer).size()) == answers, "every counted answer is split out");

    // As the bytes arrive: at every byte for short inputs, at 64 places for long ones.
    const qsizetype step = std::max<qsizetype>(1, buffer.size() / 64);
    int before = 0;
    for (qsizetype cut = 0; cut <= buffer.size(); cut += step) {
        const int now = rigctldAnswerCount(buffer.left(cut));
        require(now >= before && now <= answers, "whole answers never become fewer as bytes arrive");
        before = now;
    }

    const QByteArray line = rigctldLine(buffer);
    if (!line.isEmpty()) {
        require(line.startsWith('+') && line.endsWith('\n') && line.count('\n') == 1,
                "a query is one command line");
        require(line.size() <= kRigctldMaxLine, "a command line is bounded");
        for (const char c : line.left(line.size() - 1)) {
            require(quint8(c) >= 0x20 && c != 0x7F, "a command line holds no control characters");
        }
    }
    if (const auto mode = rigctldLogMode(buffer.left(24))) {
        require(*mode == QLatin1String("CW") || *mode == QLatin1String("PH"), "a mode name is CW or PH");
    }
}

} // namespace ditlog::testing

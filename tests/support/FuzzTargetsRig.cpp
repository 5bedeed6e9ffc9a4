// Fuzz targets of the rig link's parsers and files.
#include "FuzzTargetsRig.h"
#include "FuzzRules.h"

#include "charts/BandPlanLayout.h"
#include "rig/BandConversion.h"
#include "rig/BandPlan.h"
#include "rig/ReplyCollector.h"
#include "rig/RigFamily.h"
#include "rig/RigSettings.h"
#include "rig/TuningCommands.h"

#include <cmath>

namespace ditlog::testing {

namespace {


void checkReading(const RigReading& r) {
    if (r.frequency) {
        require(std::isfinite(*r.frequency) && *r.frequency >= 0 && *r.frequency < 1e7,
                "a decoded frequency is finite and within reason");
    }
    if (r.mode) {
        static const QStringList modes{QStringLiteral("CW"), QStringLiteral("PH"), QStringLiteral("AM"),
                                       QStringLiteral("FM")};
        require(modes.contains(*r.mode), "a decoded mode is a known mode word");
    }
    if (r.vfo) {
        require(*r.vfo <= 9, "a VFO indicator is one digit");
    }
}
} // namespace

// The answers to the radio's keyer and transmit switch: read as the bytes arrive, an
// answer once read (room, full, acknowledged, refused) stays what it was.
static void checkKeyerAnswers(const RigFamily& family, const QByteArray& buffer) {
    RigSettings settings;
    applyRigPreset(settings, family);
    const RigCommandContext context = rigCommandContext(settings, RigStatus{});
    for (const RigAnswerReader reader : {family.cw.room, family.cw.accepted, family.ptt.acknowledged}) {
        if (reader == nullptr) {
            continue;
        }
        RigAnswer first = RigAnswer::Waiting;
        for (qsizetype cut = 0; cut <= buffer.size(); ++cut) {
            const RigAnswer answer = reader(buffer.left(cut), context);
            require(answer == RigAnswer::Waiting || answer == RigAnswer::Accepted ||
                        answer == RigAnswer::Refused,
                    "an answer is waiting, accepted or refused");
            require(first == RigAnswer::Waiting || answer == first,
                    "an answer read stays as more bytes arrive");
            first = answer;
        }
    }
}

void fuzzRigReplies(const uint8_t* data, size_t size) {
    if (size == 0) {
        return;
    }
    const QList<RigFamily>& families = rigFamilies();
    const RigFamily& family = families.at(data[0] % families.size());
    const bool lastWasFrequency = (data[0] & 0x80) != 0;
    const QByteArray buffer = bytesOf(data + 1, size - 1);
    const RigQueries queries{family.preset.frequencyQuery, family.preset.modeQuery};
    for (const RigFamily& f : families) {
        if (f.parse != nullptr) {
            checkReading(f.parse(buffer, queries, lastWasFrequency));
            checkReading(f.parse(buffer, {buffer.left(3), buffer.mid(3, 4)}, !lastWasFrequency));
        }
    }
    PollQueries sent;
    sent.replies = 1 + data[0] % 3;
    sent.lastWasFrequency = lastWasFrequency;
    bool complete = false;
    ReplyCollector collector;
    qint64 now = 0;
    for (qsizetype cut = 0; cut <= buffer.size(); ++cut) {
        const bool nowComplete = family.complete(buffer.left(cut), sent);
        require(!complete || nowComplete, "a complete reply stays complete as bytes arrive");
        complete = nowComplete;
        if (cut > 0) {
            collector.add(buffer.mid(cut - 1, 1), now += 1000);
            require(collector.bytes().size() <= ReplyCollector::kMaxBytes, "the reply buffer is bounded");
        }
    }
    // Bigger pieces, past the bound.
    for (int i = 0; i < 8; ++i) {
        collector.add(buffer, now += 1000);
        require(collector.bytes().size() <= ReplyCollector::kMaxBytes, "the reply buffer is bounded");
    }
    checkKeyerAnswers(family, buffer);
}

void fuzzRigSettings(const uint8_t* data, size_t size) {
    RigSettings s;
    readRigSettings(bytesOf(data, size), s);
    require(rigSpeeds().contains(s.speed.trimmed()) && s.speed.size() == 5, "the speed is one offered");
    require(s.parity.size() == 1 && QStringLiteral("ONE").contains(s.parity), "parity is O, N or E");
    require(s.dataBits == QLatin1String("7") || s.dataBits == QLatin1String("8"), "data bits 7 or 8");
    require(s.stopBits == QLatin1String("1") || s.stopBits == QLatin1String("2"), "stop bits 1 or 2");
    require(s.portNumber >= 1 && s.portNumber <= 10, "the port is 1 to 10");
    require(rigPollRates().contains(s.pollRate), "the poll rate is one offered");
    require(int(s.modeSource) >= 1 && int(s.modeSource) <= 3, "the mode source is 1 to 3");
    require(s.convertToHex >= 0 && s.convertToHex <= 1 && s.useFrequency >= 0 && s.useFrequency <= 1,
            "the check boxes are 0 or 1");
    const QByteArray text = rigSettingsText(s);
    RigSettings back;
    require(readRigSettings(text, back), "written settings read back");
    require(back == s, "written settings read back the same");
    require(rigSettingsText(back) == text, "the text is stable");
}

void fuzzBandPlan(const uint8_t* data, size_t size) {
    const auto plan = readBandPlan(bytesOf(data, size));
    if (!plan) {
        return;
    }
    for (const BandPlanRow& row : plan->rows) {
        require(std::isfinite(row.low) && std::isfinite(row.high), "edges are finite");
    }
    const BandPlanGeometry g{9000, 6600, 1500, 1};
    for (const char* code : {"N", "T", "P", "G", "A", "E", "O"}) {
        const QList<BandPlanLabel> labels = DrawPrivileges(plan->rows, QLatin1String(code), g);
        int bars = 0;
        int tags = 0;
        for (const BandPlanLabel& l : labels) {
            require(std::isfinite(l.twips.left()) && std::isfinite(l.twips.width()), "positions are finite");
            bars += l.kind == BandPlanLabel::Kind::Bar ? 1 : 0;
            tags += l.kind == BandPlanLabel::Kind::Tag ? 1 : 0;
        }
        require(bars <= kMaxBandPlanBars && bars == tags, "at most 20 bars, one tag each");
    }
    const QList<BandPlanRow> extra = bandPlanRowsOfClass(*plan, QStringLiteral("E"));
    for (const double mhz : {1.9, 3.7, 5.36, 7.1, 14.2, 28.4, 144.2, 0.0, -1.0}) {
        const QString mode = BandPlanMode(mhz, extra);
        bool fromRow = false;
        for (const BandPlanRow& row : extra) {
            fromRow = fromRow || row.mode == mode;
        }
        require(mode.isEmpty() || mode == QLatin1String("LSB") || mode == QLatin1String("USB") || fromRow,
                "a band-plan mode is empty, a sideband or a segment's mode");
    }
}

} // namespace ditlog::testing

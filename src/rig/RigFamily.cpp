// The family table of the rig list and the send schemes of the poll.
#include "rig/RigFamily.h"

#include "rig/CivProtocol.h"
#include "rig/KenwoodText.h"
#include "rig/PegasusFile.h"
#include "rig/RigHex.h"
#include "rig/RigSettings.h"
#include "rig/RigctldProtocol.h"
#include "rig/TenTec.h"
#include "rig/YaesuBinary.h"
#include "rig/YaesuText.h"

namespace ditlog {

namespace {

// ---- send schemes ----------------------------------------------------------------------

void addWrite(PollQueries& p, const std::optional<QByteArray>& bytes) {
    if (bytes && !bytes->isEmpty()) {
        p.writes.append(*bytes);
        ++p.replies;
    }
}

// F then M as text, each when set.
PollQueries sendBothText(const RigQueries& q, bool flag, bool) {
    PollQueries p{{}, flag, 0};
    addWrite(p, q.frequency);
    addWrite(p, q.mode);
    return p;
}

// F then M, each followed by a carriage return.
PollQueries sendBothWithCr(const RigQueries& q, bool flag, bool) {
    PollQueries p{{}, flag, 0};
    if (!q.frequency.isEmpty()) {
        addWrite(p, q.frequency + '\r');
    }
    if (!q.mode.isEmpty()) {
        addWrite(p, q.mode + '\r');
    }
    return p;
}

// Frequency and mode queries in turn; a query shorter than needed is not sent, and the
// turn passes all the same.
PollQueries alternate(const RigQueries& q, bool lastWasFrequency, qsizetype minimum,
                      std::optional<QByteArray> (*encode)(const QByteArray&)) {
    const QByteArray& query = lastWasFrequency ? q.mode : q.frequency;
    PollQueries p{{}, !lastWasFrequency, 0};
    if (query.size() >= minimum) {
        addWrite(p, encode(query));
    }
    return p;
}

template <int Characters>
std::optional<QByteArray> hexPrefix(const QByteArray& query) {
    return SpacedHexToBytes(query.left(Characters));
}

std::optional<QByteArray> asText(const QByteArray& query) {
    return query;
}

PollQueries sendCiv(const RigQueries& q, bool flag, bool) {
    return alternate(q, flag, 17, &hexPrefix<17>);
}

PollQueries sendFrontPanel(const RigQueries& q, bool flag, bool) {
    return alternate(q, flag, 7, &hexPrefix<8>);
}

PollQueries sendAlternatingText(const RigQueries& q, bool flag, bool) {
    return alternate(q, flag, 2, &asText);
}

PollQueries sendYaesu(const RigQueries& q, bool flag, bool) {
    PollQueries p{{}, flag, 0};
    if (q.frequency.size() > 13) {
        addWrite(p, SpacedHexToBytes(q.frequency.left(14)));
    }
    return p;
}

PollQueries sendUserDefined(const RigQueries& q, bool flag, bool convertToHex) {
    PollQueries p{{}, flag, 0};
    for (const QByteArray& query : {q.frequency, q.mode}) {
        if (!query.isEmpty()) {
            addWrite(p, convertToHex ? SpacedHexToBytes(query) : std::optional(query));
        }
    }
    return p;
}

PollQueries sendNothing(const RigQueries&, bool flag, bool) {
    return {{}, flag, 0};
}

// ---- reply completeness ----------------------------------------------------------------

bool semicolonReplies(const QByteArray& buffer, const PollQueries& sent) {
    return buffer.count(';') >= sent.replies;
}

bool carriageReturnReplies(const QByteArray& buffer, const PollQueries& sent) {
    return buffer.count('\r') >= sent.replies;
}

bool civComplete(const QByteArray& buffer, const PollQueries&) {
    return civReplyComplete(buffer);
}

template <int Bytes>
bool atLeast(const QByteArray& buffer, const PollQueries&) {
    return buffer.size() >= Bytes;
}

// "A" + four bytes + CR for the frequency, "M" + two bytes + CR for the mode.
bool frontPanelComplete(const QByteArray& buffer, const PollQueries& sent) {
    return buffer.size() >= (sent.lastWasFrequency ? 6 : 4);
}

// Replies of unknown layout end only with a quiet line.
bool neverComplete(const QByteArray&, const PollQueries&) {
    return false;
}

// ---- the table -------------------------------------------------------------------------

RigPreset preset(const char* speed, const char* dataBits, const char* stopBits, const char* f,
                 const char* m, bool hex) {
    RigPreset p;
    p.port = RigPreset::Port::Set;
    p.speed = speed;
    p.dataBits = dataBits;
    p.stopBits = stopBits;
    p.parity = "N";
    p.frequencyQuery = f;
    p.modeQuery = m;
    p.convertToHex = hex;
    return p;
}

RigFamily serial(const char* name, RigPreset p, PollSender send, ReplyParser parse,
                 ReplyComplete complete) {
    RigFamily f;
    f.name = QLatin1String(name);
    f.transport = RigTransportKind::SerialPort;
    f.preset = p;
    f.send = send;
    f.parse = parse;
    f.complete = complete;
    return f;
}

const QByteArray kYaesuWakeUp = QByteArray(5, '\0');
const QByteArray kYaesuGoodbye = QByteArray("\x00\x00\x00\x00\x80", 5);

RigFamily yaesuBinary(const char* name, const char* query, ReplyParser parse, ReplyComplete complete) {
    RigFamily f = serial(name, preset("4800", "8", "2", query, "", true), &sendYaesu, parse, complete);
    f.wakeUp = kYaesuWakeUp;
    f.goodbye = kYaesuGoodbye;
    return f;
}

RigFamily civ(const char* name, const char* f, const char* m, ReplyParser parse, bool note) {
    RigFamily family = serial(name, preset("1200", "8", "1", f, m, true), &sendCiv, parse, &civComplete);
    family.preset.icomNote = note;
    return family;
}

RigFamily kenwood(const char* name, const char* f, const char* m, ReplyParser parse) {
    return serial(name, preset("4800", "8", "2", f, m, false), &sendBothText, parse, &semicolonReplies);
}

RigFamily commands(RigFamily f, FrequencyEncoder frequency, ModeEncoder mode, QList<int> delaysMs) {
    f.frequencyCommand = frequency;
    f.modeCommand = mode;
    f.frequencyDelaysMs = std::move(delaysMs);
    return f;
}

// ---- the radio's keyer and transmit switch -----------------------------------------------

// A radio's transmit relay has switched this long after an unanswered command.
constexpr int kTextPttWaitMs = 50;
constexpr int kBinaryPttWaitMs = 100;

RigFamily station(RigFamily f, RigCwCommands cw, RigPttCommands ptt) {
    f.cw = cw;
    f.ptt = ptt;
    return f;
}

RigCwCommands kenwoodKeyer(QByteArray (*characters)(QChar),
                           EncodedCommand (*text)(const QByteArray&, const RigCommandContext&),
                           EncodedCommand (*speed)(int, const RigCommandContext&),
                           EncodedCommand (*stop)(const RigCommandContext&)) {
    RigCwCommands cw;
    cw.charactersPerCommand = kKenwoodCwCharacters;
    cw.characters = characters;
    cw.text = text;
    cw.trailingBlankLost = true; // a Kenwood fills the field with blanks it does not send
    cw.roomQuery = QByteArrayLiteral("KY;");
    cw.room = &kenwoodCwRoom;
    cw.speed = speed;
    cw.stop = stop;
    return cw;
}

RigCwCommands civKeyer() {
    RigCwCommands cw;
    cw.charactersPerCommand = kCivCwCharacters;
    cw.characters = &civCwCharacters;
    cw.text = &civCwText;
    cw.accepted = &civAcknowledgement;
    cw.speed = &civCwSpeed;
    cw.stop = &civCwStop;
    return cw;
}

RigCwCommands rigctldKeyer() {
    RigCwCommands cw;
    cw.charactersPerCommand = kRigctldCwCharacters;
    cw.characters = &rigctldCwCharacters;
    cw.text = &rigctldCwText;
    cw.trailingBlankLost = true; // a command line loses its trailing blanks
    cw.speed = &rigctldCwSpeed;
    cw.stop = &rigctldCwStop;
    return cw;
}

RigPttCommands unansweredPtt(EncodedCommand (*transmit)(bool, const RigCommandContext&),
                             int waitMs) {
    return {transmit, nullptr, waitMs};
}

QList<RigFamily> buildFamilies() {
    QList<RigFamily> all;
    RigFamily none;
    none.name = QStringLiteral("None");
    none.send = &sendNothing;
    none.complete = &neverComplete;
    all.append(none);

    const RigCwCommands kenwoodCw =
        kenwoodKeyer(&kenwoodCwCharacters, &kenwoodCwText, &kenwoodCwSpeed, &kenwoodCwStop);
    const RigPttCommands kenwoodPtt = unansweredPtt(&kenwoodTransmit, kTextPttWaitMs);
    all.append(station(
        commands(kenwood("Elecraft", "FA;", "MD;", &parseKenwoodReply), &elecraftFrequencyCommand,
                 &kenwoodModeCommand, {205, 0, 1000}),
        kenwoodKeyer(&elecraftCwCharacters, &elecraftCwText, &elecraftCwSpeed, &elecraftCwStop),
        kenwoodPtt));
    all.append(station(
        commands(civ("Icom", "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD", &parseIcomReply, true),
                 &civFrequencyCommand, &civModeCommand, {140}),
        civKeyer(), RigPttCommands{&civTransmit, &civAcknowledgement, 0}));
    all.append(commands(
        civ("Icom 735", "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD", &parseIcom735Reply, true),
        &civFrequencyCommand, nullptr, {140}));
    all.append(station(commands(kenwood("Kenwood", "FA;", "MD;", &parseKenwoodReply),
                                &kenwoodFrequencyCommand, &kenwoodModeCommand, {205}),
                       kenwoodCw, kenwoodPtt));
    all.append(station(commands(kenwood("Kenwood 2", "IF;", "", &parseKenwood2Reply),
                                &kenwood2FrequencyCommand, &kenwoodModeCommand, {205}),
                       kenwoodCw, kenwoodPtt));
    all.append(commands(
        civ("Ten Tec Omni VI", "FE FE 04 E0 03 FD", "FE FE 04 E0 04 FD", &parseIcomReply, false),
        &civFrequencyCommand, &civModeCommand, {140, 220}));

    RigFamily orion = serial("Ten Tec Orion", preset("56000", "8", "1", "?AF", "?RMM", false),
                             &sendBothWithCr, &parseOrionReply, &carriageReturnReplies);
    orion.hardwareHandshake = true;
    orion.wakeUp = QByteArrayLiteral("X\r");
    RigFamily frontPanel = serial("Ten Tec Fnt Pnl", preset("56000", "8", "1", "3F 41 0D", "3F 4D 0D", true),
                                  &sendFrontPanel, &parseFrontPanelReply, &frontPanelComplete);
    frontPanel.hardwareHandshake = true;
    all.append(commands(orion, &orionFrequencyCommand, nullptr, {205}));
    all.append(commands(frontPanel, &frontPanelFrequencyCommand, nullptr, {205}));

    RigFamily pegasus;
    pegasus.name = QStringLiteral("Ten Tec Pegasus");
    pegasus.transport = RigTransportKind::StatusFile;
    pegasus.send = &sendNothing;
    pegasus.complete = &neverComplete;
    all.append(commands(pegasus, &pegasusCommandFile, nullptr, {205}));

    const RigCwCommands noKeyer;
    const RigPttCommands yaesuPtt = unansweredPtt(&yaesuReversedTransmit, kBinaryPttWaitMs);
    all.append(
        station(commands(yaesuBinary("Yaesu", "00 00 00 00 03", &parseYaesuReply, &atLeast<5>),
                         &yaesuFrequencyCommand, &yaesuModeCommand, {205}),
                noKeyer, unansweredPtt(&yaesuTransmit, kBinaryPttWaitMs)));
    all.append(commands(
        yaesuBinary("Yaesu 757 GX II", "00 00 00 00 10", &parseYaesu757Reply, &atLeast<10>),
        &yaesuReversedFrequencyCommand, &yaesuReversedModeCommand, {205}));
    all.append(station(
        commands(yaesuBinary("Yaesu 890", "00 00 00 02 10", &parseYaesu890Reply, &atLeast<8>),
                 &yaesuReversedFrequencyCommand, &yaesuReversedModeCommand, {205}),
        noKeyer, yaesuPtt));
    all.append(station(
        commands(yaesuBinary("Yaesu 920", "00 00 00 02 10", &parseYaesu920Reply, &atLeast<8>),
                 &yaesuReversedFrequencyCommand, &yaesuReversedModeCommand, {205}),
        noKeyer, yaesuPtt));
    all.append(station(
        commands(yaesuBinary("Yaesu 990", "00 00 00 02 10", &parseYaesu990Reply, &atLeast<8>),
                 &yaesuReversedFrequencyCommand, &yaesuReversedModeCommand, {205}),
        noKeyer, yaesuPtt));
    all.append(station(
        commands(yaesuBinary("Yaesu 1000 D", "00 00 00 02 10", &parseYaesu990Reply, &atLeast<8>),
                 &yaesuReversedFrequencyCommand, &yaesuReversedModeCommand, {205}),
        noKeyer, yaesuPtt));
    all.append(station(
        commands(yaesuBinary("Yaesu 1000", "00 00 00 02 10", &parseYaesu1000Reply, &atLeast<8>),
                 &yaesuReversedFrequencyCommand, &yaesuReversedModeCommand, {10}),
        noKeyer, yaesuPtt));

    RigPreset ftdx;
    ftdx.port = RigPreset::Port::SpeedOnly;
    ftdx.speed = "4800";
    ftdx.frequencyQuery = "FA;";
    ftdx.modeQuery = "MD0;";
    all.append(station(commands(serial("Yaesu FTdx9000", ftdx, &sendAlternatingText,
                                       &parseFtdx9000Reply, &semicolonReplies),
                                &ftdx9000FrequencyCommand, &ftdx9000ModeCommand, {205}),
                       noKeyer, unansweredPtt(&ftdx9000Transmit, kTextPttWaitMs)));

    RigPreset userDefined;
    userDefined.convertEnabled = true;
    all.append(serial("Other", userDefined, &sendUserDefined, nullptr, &neverComplete));

    // Every radio Hamlib knows, through its daemon: the port values stay as they are.
    RigPreset daemon;
    daemon.frequencyQuery = "f";
    daemon.modeQuery = "m";
    RigFamily rigctld = serial("Hamlib rigctld", daemon, &sendRigctldQueries, &parseRigctldReply,
                               &rigctldRepliesComplete);
    rigctld.transport = RigTransportKind::Network;
    // The daemon answers every command: its answer is the acknowledgement.
    all.append(station(rigctld, rigctldKeyer(), RigPttCommands{&rigctldTransmit, nullptr, 0}));
    return all;
}

} // namespace

const QList<RigFamily>& rigFamilies() {
    static const QList<RigFamily> families = buildFamilies();
    return families;
}

const RigFamily& rigFamily(const QString& rigType) {
    const QList<RigFamily>& all = rigFamilies();
    for (const RigFamily& f : all) {
        if (f.name.compare(rigType, Qt::CaseInsensitive) == 0) {
            return f;
        }
    }
    return all.first();
}

void applyRigPreset(RigSettings& settings, const RigFamily& family) {
    const RigPreset& p = family.preset;
    settings.rigType = family.name;
    settings.frequencyQuery = QLatin1String(p.frequencyQuery);
    settings.modeQuery = QLatin1String(p.modeQuery);
    settings.convertToHex = p.convertToHex ? 1 : 0;
    if (p.port != RigPreset::Port::Kept) {
        settings.speed = QString::fromLatin1(p.speed).leftJustified(5, QLatin1Char(' '));
    }
    if (p.port == RigPreset::Port::Set) {
        settings.dataBits = QLatin1String(p.dataBits);
        settings.stopBits = QLatin1String(p.stopBits);
        settings.parity = QLatin1String(p.parity);
    }
    settings.portSettings = settings.joinedPortSettings();
}

void ParseRigReply(const QString& rigType, const QByteArray& buffer, const RigQueries& queries,
                   bool lastWasFrequency, RigStatus& status) {
    const RigFamily& family = rigFamily(rigType);
    if (family.parse != nullptr) {
        status.apply(family.parse(buffer, queries, lastWasFrequency));
    }
}

} // namespace ditlog

// rigctld's extended answers: splitting, the poll's decode, mode names and the commands.
#include "rig/RigctldProtocol.h"

#include "rig/CatKeying.h"

#include <cmath>

namespace ditlog {

namespace {
constexpr double kMaxHertz = 1e12;

// The buffer's lines that ended with "\n" ("\r\n" too), the last unfinished one left out.
QList<QByteArray> completeLines(const QByteArray& buffer) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype end = buffer.indexOf('\n'); end >= 0; end = buffer.indexOf('\n', start)) {
        QByteArray line = buffer.mid(start, end - start);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        lines.append(line);
        start = end + 1;
    }
    return lines;
}

bool isModeName(const QByteArray& name) {
    if (name.isEmpty() || name.size() > 16) {
        return false;
    }
    for (const char c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

// The last value of that key in the buffer's answers.
std::optional<QByteArray> lastValue(const QList<RigctldAnswer>& answers, const QByteArray& key) {
    for (auto a = answers.crbegin(); a != answers.crend(); ++a) {
        if (a->code != 0) {
            continue;
        }
        for (auto v = a->values.crbegin(); v != a->values.crend(); ++v) {
            if (v->first == key) {
                return v->second;
            }
        }
    }
    return std::nullopt;
}
} // namespace

QByteArray rigctldLine(const QByteArray& command) {
    QByteArray line;
    for (const char c : command) {
        if (quint8(c) >= 0x20 && c != 0x7F) {
            line.append(c);
        }
    }
    line = line.trimmed();
    if (line.startsWith('+')) {
        line.remove(0, 1);
    }
    if (line.isEmpty()) {
        return {};
    }
    return '+' + line.left(kRigctldMaxLine - 2) + '\n';
}

bool rigctldIsSetCommand(const QByteArray& line) {
    const QByteArray command = line.startsWith('+') ? line.mid(1) : line;
    if (command.isEmpty()) {
        return false;
    }
    const char first = command.at(0);
    // Long names: "\set_freq" and the like, and the text for the radio's keyer.
    if (first == '\\') {
        return command.startsWith("\\set_") || command.startsWith("\\send_morse");
    }
    return first >= 'A' && first <= 'Z';
}

std::optional<int> rigctldReportCode(const QByteArray& line) {
    if (!line.startsWith("RPRT ")) {
        return std::nullopt;
    }
    bool ok = false;
    const int code = line.mid(5).trimmed().toInt(&ok);
    return ok ? std::optional(code) : std::nullopt;
}

QList<RigctldAnswer> splitRigctldAnswers(const QByteArray& buffer) {
    QList<RigctldAnswer> answers;
    RigctldAnswer current;
    for (const QByteArray& line : completeLines(buffer)) {
        if (const auto code = rigctldReportCode(line)) {
            current.code = *code;
            answers.append(current);
            current = {};
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) {
            continue; // not part of an extended answer
        }
        const QByteArray key = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (current.command.isEmpty() && current.values.isEmpty() && key.contains('_')) {
            current.command = key; // "get_freq:" opens the answer
        } else if (current.values.size() < 16) {
            current.values.append({key, value});
        }
    }
    return answers;
}

int rigctldAnswerCount(const QByteArray& buffer) {
    int count = 0;
    for (const QByteArray& line : completeLines(buffer)) {
        if (rigctldReportCode(line)) {
            ++count;
        }
    }
    return count;
}

std::optional<QString> rigctldLogMode(const QByteArray& hamlibMode) {
    const QByteArray name = hamlibMode.trimmed().toUpper();
    if (!isModeName(name) || name == "NONE") {
        return std::nullopt;
    }
    return (name == "CW" || name == "CWR") ? QStringLiteral("CW") : QStringLiteral("PH");
}

std::optional<QByteArray> rigctldModeName(const QString& modeWord) {
    static const QList<std::pair<QString, QByteArray>> names{
        {QStringLiteral("CW"), "CW"},       {QStringLiteral("CW-R"), "CWR"},
        {QStringLiteral("LSB"), "LSB"},     {QStringLiteral("USB"), "USB"},
        {QStringLiteral("AM"), "AM"},       {QStringLiteral("FM"), "FM"},
        {QStringLiteral("RTTY"), "RTTY"},   {QStringLiteral("RTTY-R"), "RTTYR"},
        {QStringLiteral("FSK"), "RTTY"},    {QStringLiteral("DIG"), "PKTUSB"},
        {QStringLiteral("PKT"), "PKTFM"},
    };
    for (const auto& [word, name] : names) {
        if (word.compare(modeWord.trimmed(), Qt::CaseInsensitive) == 0) {
            return name;
        }
    }
    return std::nullopt;
}

std::optional<qint64> rigctldHertz(double mhz) {
    const double hz = std::round(mhz * 1e6);
    if (!std::isfinite(hz) || hz < 1 || hz > kMaxHertz) {
        return std::nullopt;
    }
    return qint64(hz);
}

QString rigctldErrorText(int code) {
    static const char* const texts[] = {
        "Command completed successfully",
        "Invalid parameter",
        "Invalid configuration",
        "Memory shortage",
        "Feature not implemented",
        "Communication timed out",
        "IO error",
        "Internal Hamlib error",
        "Protocol error",
        "Command rejected by the rig",
        "Command performed, but arg truncated",
        "Function not available",
        "VFO not targetable",
        "Error talking on the bus",
        "Collision on the bus",
        "NULL RIG handle or invalid pointer parameter",
        "Invalid VFO",
        "Argument out of domain of func",
        "Function deprecated",
        "Security error",
        "Rig is not powered on",
    };
    const int index = -code;
    if (index >= 0 && index < int(std::size(texts))) {
        return QLatin1String(texts[index]);
    }
    return QStringLiteral("Error %1").arg(code);
}

PollQueries sendRigctldQueries(const RigQueries& queries, bool lastWasFrequency, bool) {
    PollQueries p{{}, lastWasFrequency, 0};
    for (const QByteArray& query : {queries.frequency, queries.mode}) {
        const QByteArray line = rigctldLine(query);
        if (!line.isEmpty()) {
            p.writes.append(line);
            ++p.replies;
        }
    }
    return p;
}

bool rigctldRepliesComplete(const QByteArray& buffer, const PollQueries& sent) {
    return rigctldAnswerCount(buffer) >= sent.replies;
}

RigReading parseRigctldReply(const QByteArray& buffer, const RigQueries&, bool) {
    const QList<RigctldAnswer> answers = splitRigctldAnswers(buffer);
    RigReading reading;
    if (const auto text = lastValue(answers, "Frequency")) {
        bool ok = false;
        const double hz = text->toDouble(&ok);
        // A few hertz round to no frequency at all: not a reading.
        const double mhz = ok && std::isfinite(hz) && hz <= kMaxHertz ? roundTo5(hz / 1e6) : 0;
        if (mhz > 0) {
            reading.frequency = mhz;
        }
    }
    if (const auto name = lastValue(answers, "Mode")) {
        reading.mode = rigctldLogMode(*name);
    }
    return reading;
}

namespace {
// The mode with the passband left as it is (Hamlib's "no change", -1), so that the
// operator's filter survives a spot click; a daemon that does not take -1 is sent 0, its
// backend's normal width.
RigStep modeStep(const QByteArray& name, int report) {
    return RigStep::writeOr(rigctldLine("M " + name + " -1"), rigctldLine("M " + name + " 0"),
                            QStringLiteral("passband no change"), report);
}
} // namespace

std::optional<RigCommand> rigctldFrequencyCommand(double mhz, const QString& modeWord) {
    const auto hz = rigctldHertz(mhz);
    if (!hz) {
        return std::nullopt;
    }
    RigCommand command;
    command.key = QStringLiteral("frequency");
    command.reports = {RigFailureReport{QStringLiteral("Error Changing Frequency"), QString(), true},
                       RigFailureReport{QStringLiteral("Error Changing Mode"),
                                        QLatin1Char(' ') + modeWord.trimmed(), false}};
    command.steps = {RigStep::stopPolling(), RigStep::discardInput()};
    if (const auto name = rigctldModeName(modeWord)) {
        command.steps += {modeStep(*name, 1), RigStep::drain(1)};
    }
    command.steps += {RigStep::write(rigctldLine("F " + QByteArray::number(*hz))), RigStep::drain(),
                      RigStep::resumePolling()};
    return command;
}

std::optional<RigCommand> rigctldModeCommand(const QString& modeWord) {
    const auto name = rigctldModeName(modeWord);
    if (!name) {
        return std::nullopt;
    }
    RigCommand command;
    command.key = QStringLiteral("mode");
    command.reports = {RigFailureReport{QStringLiteral("Error Changing Mode"),
                                        QLatin1Char(' ') + modeWord.trimmed(), true}};
    command.steps = {modeStep(*name, 0), RigStep::drain()};
    return command;
}

// ---- the radio's keyer and transmit switch -------------------------------------------------

namespace {
constexpr ProsignSymbols kRigctldProsigns{"+", "SK", "(", "CL", "="};
} // namespace

QByteArray rigctldCwCharacters(QChar c) {
    return catCwCharacters(c, kRigctldProsigns);
}

EncodedCommand rigctldCwText(const QByteArray& characters, const RigCommandContext&) {
    // A text of blanks alone would reach the daemon as no text at all.
    if (characters.trimmed().isEmpty()) {
        return {};
    }
    return {rigctldLine("\\send_morse " + characters.left(kRigctldCwCharacters)), {}};
}

EncodedCommand rigctldCwStop(const RigCommandContext&) {
    return {rigctldLine("\\stop_morse"), {}};
}

EncodedCommand rigctldCwSpeed(int wpm, const RigCommandContext&) {
    return {rigctldLine("L KEYSPD " + QByteArray::number(std::clamp(wpm, 1, 999))), {}};
}

EncodedCommand rigctldTransmit(bool on, const RigCommandContext&) {
    return {rigctldLine(on ? "T 1" : "T 0"), {}};
}

} // namespace ditlog

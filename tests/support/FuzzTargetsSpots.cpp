// The spot-input fuzz targets and the rules each checks.
#include "FuzzTargetsSpots.h"
#include "FuzzRules.h"

#include "platform/AgwFrame.h"
#include "spots/ReceivedTextFilter.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"
#include "spots/SpotSourceSettings.h"

#include <QObject>

namespace ditlog::testing {

namespace {



// Pieces of the input with sizes taken from its own bytes (1 to 64).
QList<QByteArray> pieces(const QByteArray& input) {
    QList<QByteArray> out;
    for (qsizetype at = 0; at < input.size();) {
        const qsizetype n = 1 + (static_cast<unsigned char>(input.at(at)) % 64);
        out.append(input.mid(at, n));
        at += n;
    }
    return out;
}

bool cleanConsole(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != u'\r' && c != u'\n') {
            return false;
        }
    }
    return true;
}

struct Intake {
    SpotConsole console;
    SpotIntake intake{console};
    QStringList spots; // frequency and call of each posted spot
    Intake() {
        QObject::connect(&intake, &SpotIntake::spotPosted, &intake,
                         [this](const QString& frequency, const QString& call, const QString& record) {
                             require(frequency.size() <= 9, "frequency within its column");
                             require(call.size() <= 13, "call within its column");
                             require(!record.contains(u'\r'), "record cut before its CR");
                             spots.append(frequency + u'|' + call);
                         });
    }
    void check() const {
        require(console.length() <= SpotConsole::kLimit, "console within its bound");
        require(cleanConsole(console.text()), "no control characters in the console");
    }
};

} // namespace

void fuzzSpotLines(const uint8_t* data, size_t size) {
    const QByteArray input = bytesOf(data, size);

    ReceivedTextFilter whole(ReceivedTextFilter::Protocol::Telnet);
    const QByteArray cleanWhole = whole.filter(input);
    const QByteArray repliesWhole = whole.takeReplies();
    Intake telnetWhole;
    telnetWhole.intake.ExamineTelnetBlock(cleanWhole);
    telnetWhole.check();

    ReceivedTextFilter cut(ReceivedTextFilter::Protocol::Telnet);
    QByteArray cleanCut;
    QByteArray repliesCut;
    Intake telnetCut;
    Intake tnc;
    for (const QByteArray& piece : pieces(input)) {
        const QByteArray clean = cut.filter(piece);
        cleanCut += clean;
        repliesCut += cut.takeReplies();
        telnetCut.intake.ExamineTelnetBlock(clean);
        telnetCut.check();
        require(telnetCut.intake.pendingTelnetText().size() <= LineSplitter::kDefaultMaxLine,
                "a waiting line within the limit");
        tnc.intake.SplitTncLines(piece);
        tnc.check();
    }
    require(cleanCut == cleanWhole, "filtered text independent of the cuts");
    // Replies are capped at about 4 KiB between two takes; below the cap they must agree.
    require(repliesWhole.size() <= 4096 + 3, "replies bounded");
    require(repliesWhole.size() > 4096 - 3 || repliesCut == repliesWhole,
            "replies independent of the cuts");
    require(telnetCut.spots == telnetWhole.spots, "Telnet spots independent of the cuts");

    // The same bytes as engine frames, monitored and connected.
    Intake agw;
    agw.intake.ExamineAgwFrame('U', QStringLiteral("N0DXC"), input);
    agw.check();
    agw.intake.setConnectedStation(QStringLiteral("N0DXC"));
    for (const QByteArray& piece : pieces(input)) {
        agw.intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), piece);
        agw.check();
    }
}

void fuzzAgwFrames(const uint8_t* data, size_t size) {
    const QByteArray input = bytesOf(data, size);
    AgwFrameDecoder whole;
    const QList<AgwFrame> frames = whole.feed(input);
    require(whole.pendingBytes() <= input.size(), "no more held than was given");

    AgwFrameDecoder cut;
    QList<AgwFrame> cutFrames;
    for (const QByteArray& piece : pieces(input)) {
        cutFrames += cut.feed(piece);
        require(cut.pendingBytes() < kAgwHeaderBytes + kAgwMaxDataBytes + 64,
                "decoder buffer bounded");
    }
    require(cutFrames == frames, "frames independent of the cuts");
    for (const AgwFrame& f : frames) {
        require(f.data.size() <= kAgwMaxDataBytes, "data within the limit");
        require(f.callFrom.size() <= kAgwCallBytes && f.callTo.size() <= kAgwCallBytes,
                "calls within their fields");
        AgwFrameDecoder again;
        const QList<AgwFrame> back = again.feed(encodeAgwFrame(f));
        require(back.size() == 1, "an encoded frame decodes");
        AgwFrame expected = f;
        expected.callFrom = f.callFrom.left(kAgwCallBytes - 1);
        expected.callTo = f.callTo.left(kAgwCallBytes - 1);
        require(back.at(0) == expected, "an encoded frame decodes equal");
    }
}

void fuzzPackSpot(const uint8_t* data, size_t size) {
    const std::optional<SpotSourceSettings> read = readSpotSettings(bytesOf(data, size));
    if (!read) {
        return;
    }
    require(SpotSourceSettings::kBauds.contains(read->Baud), "baud from the list");
    require(read->Port >= 1 && read->Port <= 10, "port 1 to 10");
    require(read->Handshake >= 1 && read->Handshake <= 4, "handshake 1 to 4");
    require(SpotSource::All.contains(read->Source), "a known source");
    require(read->CommandChar.size() <= 2, "command character of two digits");
    const QByteArray text = spotSettingsText(*read);
    const std::optional<SpotSourceSettings> back = readSpotSettings(text);
    require(back.has_value(), "written settings read back");
    require(*back == *read, "written settings read back the same");
    require(spotSettingsText(*back) == text, "the same text once written");
}

} // namespace ditlog::testing

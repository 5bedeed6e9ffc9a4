// Received text on its way to the console and the spot store: the filter of Telnet
// negotiation and control bytes, the bounded line splitter, the console's trim and
// duplicate window, and the examination of TNC lines, Telnet text and engine frames.
#include "spots/LineSplitter.h"
#include "spots/ReceivedTextFilter.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"

#include <QSignalSpy>
#include <QTest>

using namespace ditlog;

namespace {
QString spotLine(const QString& call, const QString& kHz = QStringLiteral("14025.0"),
                 const QString& comment = QStringLiteral("CQ TEST")) {
    return QStringLiteral("DX de W3LPL:    %1  %2 %3 1234Z")
        .arg(kHz.rightJustified(8), call.leftJustified(12), comment.leftJustified(30));
}

QByteArray bytes(const QString& text) { return text.toLatin1(); }

// The calls posted, in order.
QStringList posted(const QSignalSpy& spy) {
    QStringList calls;
    for (const QList<QVariant>& args : spy) {
        calls.append(args.at(1).toString());
    }
    return calls;
}
} // namespace

class TestSpotIntake : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filterTakesOutNegotiationAndControls() {
        ReceivedTextFilter telnet(ReceivedTextFilter::Protocol::Telnet);
        // IAC WILL ECHO, IAC DO NAWS, a sub-negotiation, BEL, NUL, a colour sequence, a tab.
        const QByteArray in = QByteArray("\xFF\xFB\x01login\x07\x00: \xFF\xFD\x1F", 15) +
                              QByteArray("\xFF\xFA\x18\x01\xFF\xF0\x1B[1;31mDX\x1B[0m\tde\r\n");
        QCOMPARE(telnet.filter(in), QByteArray("login: DX de\r\n"));
        // Refused: DONT ECHO for WILL ECHO, WONT NAWS for DO NAWS.
        QCOMPARE(telnet.takeReplies(), QByteArray("\xFF\xFE\x01\xFF\xFC\x1F"));
        QVERIFY(telnet.takeReplies().isEmpty());

        // Sequences cut between blocks are still recognised.
        ReceivedTextFilter split(ReceivedTextFilter::Protocol::Telnet);
        QCOMPARE(split.filter(QByteArray("ab\xFF", 3)), QByteArray("ab"));
        QCOMPARE(split.filter(QByteArray("\xFD", 1)), QByteArray());
        QCOMPARE(split.filter(QByteArray("\x03" "cd\x1B[3", 6)), QByteArray("cd"));
        QCOMPARE(split.filter(QByteArray("2mef\xFF\xFF", 6)), QByteArray("ef\xFF"));
        QCOMPARE(split.takeReplies(), QByteArray("\xFF\xFC\x03"));

        // Raw sources keep byte 255 and know no negotiation; a runaway sequence ends.
        ReceivedTextFilter raw;
        QCOMPARE(raw.filter(QByteArray("a\xFF\xFD" "b", 4)), QByteArray("a\xFF\xFD" "b"));
        QCOMPARE(raw.filter(QByteArray("\x1B[") + QByteArray(100, '1') + "x\r\n"),
                 QByteArray(35, '1') + "x\r\n");
    }

    void splitterTakesEveryLineEndAndStaysBounded() {
        LineSplitter s(16);
        QCOMPARE(s.feed("one\r\ntwo\nthr").size(), 2);
        QCOMPARE(s.pending(), QStringLiteral("thr"));
        // CR LF split between blocks is one line end; a CR alone ends a line too.
        QList<ReceivedLine> lines = s.feed("ee\r");
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).text, QStringLiteral("three"));
        lines = s.feed("\nfour\rfive\n");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1).text, QStringLiteral("five"));
        // An endless line keeps only its first part, then the rest up to its end goes.
        for (int i = 0; i < 1000; ++i) {
            QVERIFY(s.feed(QByteArray(1000, 'x')).isEmpty());
        }
        QCOMPARE(s.pendingBytes(), 16);
        lines = s.feed("yyy\nnext\n");
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).cut);
        QCOMPARE(lines.at(0).text, QString(16, QLatin1Char('x')));
        QCOMPARE(lines.at(1).text, QStringLiteral("next"));
        QVERIFY(!lines.at(1).cut);
    }

    void consoleTrimsAndLooksBack() {
        SpotConsole console;
        QSignalSpy replaced(&console, &SpotConsole::replaced);
        console.append(QString(9999, QLatin1Char('a')));
        console.TrimConsole();
        QCOMPARE(console.length(), 9999);
        console.show(QStringLiteral("bc"));
        QCOMPARE(console.length(), 9000);
        QVERIFY(console.text().endsWith(QLatin1String("abc")));
        // A flood is never held whole.
        console.show(QString(5'000'000, QLatin1Char('z')));
        QCOMPARE(console.length(), 9000);
        QCOMPARE(replaced.count(), 3);

        // The duplicate window: the last 800 characters, letter case ignored.
        SpotConsole small;
        small.append(QStringLiteral("DX DE K1ABC\r\n") + QString(787, QLatin1Char('.')));
        QVERIFY(small.alreadyShown(u"dx de k1abc"));
        small.append(QStringLiteral("."));
        QVERIFY(small.alreadyShown(u"DX DE K1ABC")); // from position 1 of 801
        small.append(QStringLiteral("."));
        QVERIFY(!small.alreadyShown(u"DX DE K1ABC"));
    }

    void tncLinesWaitForTheirEndAndRepeatsAreDropped() {
        SpotConsole console;
        SpotIntake intake(console);
        QSignalSpy spots(&intake, &SpotIntake::spotPosted);
        const QByteArray line = bytes(spotLine(QStringLiteral("K1ABC")) + QStringLiteral("\r\n"));
        // The first line after opening counts; half a line waits.
        intake.SplitTncLines(line.left(30));
        QCOMPARE(spots.count(), 0);
        intake.SplitTncLines(line.mid(30));
        QCOMPARE(posted(spots), QStringList{QStringLiteral("K1ABC")});
        QCOMPARE(spots.at(0).at(0).toString(), QStringLiteral("14025.0"));
        QVERIFY(spots.at(0).at(2).toString().startsWith(QLatin1String("de W3LPL:")));
        // The same line again is dropped, shown once.
        intake.SplitTncLines(line);
        QCOMPARE(spots.count(), 1);
        QCOMPARE(console.text().count(QLatin1String("K1ABC")), 1);
        // After about ten other lines it is a new spot; lower-case dx is a spot line.
        for (int i = 0; i < 10; ++i) {
            intake.SplitTncLines(bytes(QStringLiteral("cmd:%1 ").arg(i) + QString(80, QLatin1Char('-')) +
                                       QStringLiteral("\r\n")));
        }
        intake.SplitTncLines(line);
        intake.SplitTncLines(bytes(spotLine(QStringLiteral("W9XYZ")).replace(0, 2, QStringLiteral("dx")) +
                                   QStringLiteral("\r")));
        QCOMPARE(posted(spots), (QStringList{QStringLiteral("K1ABC"), QStringLiteral("K1ABC"),
                                             QStringLiteral("W9XYZ")}));
        // "List DX Only" keeps everything else out of the console, spots still come.
        intake.setDxOnly(true);
        const qsizetype before = console.length();
        intake.SplitTncLines("cmd: MONITOR ON\r\n");
        QCOMPARE(console.length(), before);
        intake.SplitTncLines(bytes(spotLine(QStringLiteral("JA1XX")) + QStringLiteral("\r\n")));
        QCOMPARE(spots.count(), 4);
    }

    void telnetTakesEverySpotOfABlock() {
        SpotConsole console;
        SpotIntake intake(console);
        QSignalSpy spots(&intake, &SpotIntake::spotPosted);
        QString text;
        for (const char* call : {"K1ABC", "W9XYZ", "DL1AA"}) {
            text += spotLine(QLatin1String(call)) + QStringLiteral("\r\n");
        }
        const QByteArray all = bytes(text + spotLine(QStringLiteral("VE3AB")));
        // Three whole lines and half of a fourth in one block, then the rest.
        intake.ExamineTelnetBlock(all.left(all.size() - 20));
        QCOMPARE(posted(spots), (QStringList{QStringLiteral("K1ABC"), QStringLiteral("W9XYZ"),
                                             QStringLiteral("DL1AA")}));
        intake.ExamineTelnetBlock(all.right(20) + "\r\n");
        QCOMPARE(spots.count(), 4);
        QCOMPARE(posted(spots).last(), QStringLiteral("VE3AB"));
        // Everything reached the console once, as it arrived.
        QCOMPARE(console.text(), QString::fromLatin1(all + "\r\n"));
        // A prompt without a line end is shown at once.
        intake.ExamineTelnetBlock("login: ");
        QVERIFY(console.text().endsWith(QLatin1String("login: ")));
        QCOMPARE(intake.pendingTelnetText(), QStringLiteral("login: "));
    }

    void agwMonitoredFrames() {
        SpotConsole console;
        SpotIntake intake(console);
        QSignalSpy spots(&intake, &SpotIntake::spotPosted);
        const QByteArray header(" 1:Fm N0DXC To DX <UI pid=F0 Len=80 PF=0 >[14:02:11]\r");
        const QByteArray spot = bytes(spotLine(QStringLiteral("K1ABC")));
        intake.ExamineAgwFrame('U', QStringLiteral("N0DXC"), header + spot + QByteArray("\r\0", 2));
        QCOMPARE(posted(spots), QStringList{QStringLiteral("K1ABC")});
        // The header line stays out of the console; the spot is shown with its line end.
        QVERIFY(!console.text().contains(QLatin1String("Fm N0DXC")));
        QVERIFY(console.text().endsWith(QString::fromLatin1(spot) + QStringLiteral("\r\n")));
        // The same spot repeated by a digipeater is dropped.
        intake.ExamineAgwFrame('U', QStringLiteral("N0DXC"), header + spot + QByteArray("\r\0", 2));
        QCOMPARE(spots.count(), 1);
        // Two spots in one frame are two spots.
        intake.ExamineAgwFrame('U', QStringLiteral("N0DXC"),
                               header + bytes(spotLine(QStringLiteral("W1AW"))) + "\r" +
                                   bytes(spotLine(QStringLiteral("G4ABC"))) + "\r");
        QCOMPARE(spots.count(), 3);
        // A frame with no spot and no "DX " is shown whole, kind and sender first.
        intake.ExamineAgwFrame('T', QStringLiteral("K9ZZ"), " 1:Fm K9ZZ To APRS <UI>\rhello\r");
        QVERIFY(console.text().contains(QLatin1String("TK9ZZ  1:Fm K9ZZ To APRS <UI>\r\nhello")));
    }

    void agwConnectedDataIsTakenLineByLine() {
        SpotConsole console;
        SpotIntake intake(console);
        QSignalSpy spots(&intake, &SpotIntake::spotPosted);
        intake.setConnectedStation(QStringLiteral("N0DXC"));
        const QByteArray two = bytes(spotLine(QStringLiteral("K1ABC")) + QStringLiteral("\r") +
                                     spotLine(QStringLiteral("W9XYZ")) + QStringLiteral("\r"));
        // Packets end anywhere, even inside a line.
        intake.ExamineAgwFrame('D', QStringLiteral("n0dxc"), two.left(100));
        QCOMPARE(posted(spots), QStringList{QStringLiteral("K1ABC")});
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), two.mid(100) + "Node prompt>\r");
        QCOMPARE(posted(spots), (QStringList{QStringLiteral("K1ABC"), QStringLiteral("W9XYZ")}));
        QVERIFY(console.text().endsWith(QLatin1String("Node prompt>\r\n")));
        // Another station's text is not shown while connected; its spots still count.
        intake.ExamineAgwFrame('U', QStringLiteral("K9ZZ"), "chatter\r");
        QVERIFY(!console.text().contains(QLatin1String("chatter")));
    }

    // A node's prompt or question has no line end: it shows as it comes. Text that may
    // still become a spot line waits for its end, or for a whole tick without more.
    void agwPromptsShowAsTheyCome() {
        SpotConsole console;
        SpotIntake intake(console);
        QSignalSpy spots(&intake, &SpotIntake::spotPosted);
        intake.setConnectedStation(QStringLiteral("N0DXC"));
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), "Welcome\rPlease enter your call: ");
        QVERIFY(console.text().endsWith(QLatin1String("Welcome\r\nPlease enter your call: ")));
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), "N0DXC-7");
        QVERIFY(console.text().endsWith(QLatin1String("call: N0DXC-7")));
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), ">\r");
        QVERIFY(console.text().endsWith(QLatin1String("call: N0DXC-7>\r\n")));
        // A spot line in pieces: nothing of it shows before it is whole, then once.
        const QByteArray line = bytes(spotLine(QStringLiteral("K1ABC")));
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), line.left(1));
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), line.mid(1, 30));
        QVERIFY(console.text().endsWith(QLatin1String("N0DXC-7>\r\n")));
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), line.mid(31) + "\r");
        QCOMPARE(posted(spots), QStringList{QStringLiteral("K1ABC")});
        QCOMPARE(console.text().count(QLatin1String("K1ABC")), 1);
        // A one-character prompt could still be the start of a spot: shown at the tick.
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), ">");
        QVERIFY(!console.text().endsWith(QLatin1String(">")));
        QCOMPARE(intake.pendingAgwText(), QStringLiteral(">"));
        intake.showAgwPrompt();
        QVERIFY(console.text().endsWith(QLatin1String("\r\n>")));
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), " bye\r");
        QVERIFY(console.text().endsWith(QLatin1String("\r\n> bye\r\n")));
        // "List DX Only" keeps prompts out too.
        intake.setDxOnly(true);
        intake.ExamineAgwFrame('D', QStringLiteral("N0DXC"), "login: ");
        QVERIFY(!console.text().contains(QLatin1String("login")));
    }
};

QTEST_GUILESS_MAIN(TestSpotIntake)
#include "tst_spotintake.moc"

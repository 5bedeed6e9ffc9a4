// The reply parsers of every radio family on replies laid out as the radios send them,
// with noise, echoes, replies cut short and fields longer than the documented ones.
#include "rig/CivProtocol.h"
#include "rig/PegasusFile.h"
#include "rig/RigFamily.h"
#include "rig/RigHex.h"

#include <QTest>

using namespace ditlog;

Q_DECLARE_METATYPE(ditlog::RigReading)

namespace {
QByteArray hex(const char* spaced) {
    return SpacedHexToBytes(QByteArray(spaced)).value();
}

RigReading parse(const QString& rigType, const QByteArray& buffer, bool lastWasFrequency = true) {
    const RigFamily& f = rigFamily(rigType);
    const RigQueries q{QByteArray(f.preset.frequencyQuery), QByteArray(f.preset.modeQuery)};
    return f.parse(buffer, q, lastWasFrequency);
}

RigReading reading(std::optional<double> mhz, std::optional<QString> mode = std::nullopt,
                   std::optional<quint8> vfo = std::nullopt) {
    return RigReading{mhz, std::move(mode), vfo};
}

const QString CW = QStringLiteral("CW");
const QString PH = QStringLiteral("PH");

// A Kenwood IF status line: frequency, then the fields up to the mode (index 29) and the
// VFO (index 30), then the rest and ';'.
QByteArray ifLine(const char* hz11, char mode, char vfo) {
    return QByteArray("IF") + hz11 + "0000+00000000000" + QByteArray(1, mode) + QByteArray(1, vfo) + "000000;";
}
} // namespace

class TestRigParsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hexHelpers() {
        QCOMPARE(SpacedHexToBytes("FE FE 64 E0 03 FD").value(), QByteArray("\xFE\xFE\x64\xE0\x03\xFD"));
        QCOMPARE(PackedHexToBytes("FEFE64E005").value(), QByteArray("\xFE\xFE\x64\xE0\x05"));
        QCOMPARE(HexDump(QByteArray("\xFE\xFE\xE0\x64\x03")), QStringLiteral("FE FE E0 64 03 "));
        QVERIFY(!SpacedHexToBytes("FE XY").has_value()); // never sent as zero bytes
        QCOMPARE(SpacedHexToBytes("3F 41 0").value(), QByteArray("\x3F\x41\x00", 3));
    }

    void replies_data() {
        QTest::addColumn<QString>("rig");
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<bool>("lastWasFrequency");
        QTest::addColumn<RigReading>("expected");

        const auto row = [](const char* tag, const char* rig, const QByteArray& buffer, bool flag,
                            const RigReading& expected) {
            QTest::newRow(tag) << QString::fromLatin1(rig) << buffer << flag << expected;
        };
        // Kenwood text family.
        row("kenwood both", "Kenwood", "FA00014025000;MD3;", true, reading(14.025, CW));
        row("kenwood phone", "Kenwood", "MD2;", true, reading({}, PH));
        row("kenwood reverse cw", "Elecraft", "MD7;", true, reading({}, CW));
        row("kenwood cut short", "Kenwood", "FA00014025000", true, reading({}));
        row("kenwood noise first", "Kenwood", QByteArray("\x00\xFF?;xx", 6) + "FA00007025000;", true, reading(7.025));
        row("kenwood echo only", "Kenwood", "FA;MD;", true, reading({}));
        row("kenwood not digits", "Kenwood", "FA0001402x000;", true, reading(0.0014));
        row("kenwood garbage", "Kenwood", "FAxxxxxxxxxxxx;", true, reading({}));
        row("kenwood 2 vfo b cw", "Kenwood 2", ifLine("00014025000", '3', '1'), true, reading(14.025, CW, 1));
        row("kenwood 2 vfo a phone", "Kenwood 2", ifLine("00003750000", '1', '0'), true, reading(3.75, PH, 0));
        row("kenwood 2 half line", "Kenwood 2", ifLine("00014025000", '3', '1').left(20), true, reading(14.025));
        // Yaesu text.
        row("ftdx cw", "Yaesu FTdx9000", "MD03;", false, reading({}, CW));
        row("ftdx phone", "Yaesu FTdx9000", "MD0C;", false, reading({}, PH));
        row("ftdx eight digits", "Yaesu FTdx9000", "FA14025000;", true, reading(14.025));
        row("ftdx nine digits", "Yaesu FTdx9000", "FA014025000;", true, reading(14.025));
        row("ftdx unterminated", "Yaesu FTdx9000", "FA140250001", true, reading(14.025));
        // CI-V.
        row("icom echo and reply", "Icom", hex("FE FE 64 E0 03 FD FE FE E0 64 03 00 50 02 14 00 FD"), true, reading(14.025));
        row("icom 735 four bytes", "Icom 735", hex("FE FE E0 64 03 00 50 02 14 FD"), true, reading(14.025));
        row("icom 2 m", "Icom", hex("FE FE E0 64 03 00 00 20 44 01 FD"), true, reading(144.2));
        // Above 1 GHz the radio sends six bytes: the hertz in twelve digits.
        row("icom 3 cm", "Icom", hex("FE FE E0 64 03 00 00 10 68 03 01 FD"), true, reading(10368.1));
        row("icom 23 cm", "Icom", hex("FE FE E0 64 03 00 00 20 96 12 00 FD"), true, reading(1296.2));
        row("icom six bytes, bad digit", "Icom", hex("FE FE E0 64 03 00 00 10 6B 03 01 FD"), true, reading({}));
        row("icom seven bytes", "Icom", hex("FE FE E0 64 03 00 00 10 68 03 01 00 FD"), true, reading({}));
        row("icom 735 six bytes", "Icom 735", hex("FE FE E0 64 03 00 00 10 68 03 01 FD"), true, reading({}));
        row("icom half reply", "Icom", hex("FE FE 64 E0 03 FD FE FE E0 64 03 00 50"), true, reading({}));
        row("icom stale then new", "Icom", hex("FE FE E0 64 03 00 00 00 07 00 FD FE FE E0 64 03 00 50 02 14 00 FD"), true, reading(14.025));
        row("icom not good", "Icom", hex("FE FE E0 64 FA FD"), true, reading({}));
        row("icom bad digits", "Icom", hex("FE FE E0 64 03 00 5A 02 14 00 FD"), true, reading({}));
        row("icom extra preamble", "Icom", hex("FE FE FE E0 64 03 00 50 02 14 00 FD"), true, reading(14.025));
        row("icom mode cw", "Icom", hex("FE FE 64 E0 04 FD FE FE E0 64 04 03 01 FD"), false, reading({}, CW));
        row("icom mode cw reverse", "Ten Tec Omni VI", hex("FE FE E0 04 04 07 01 FD"), false, reading({}, PH));
        row("icom mode asked, frequency came", "Icom", hex("FE FE E0 64 03 00 50 02 14 00 FD"), false, reading({}));
        // Yaesu binary.
        row("yaesu cw", "Yaesu", hex("01 40 25 00 82"), true, reading(14.025, CW));
        row("yaesu 160 phone", "Yaesu", hex("00 18 00 00 01"), true, reading(1.8, PH));
        row("yaesu 0.5 phone", "Yaesu", hex("00 05 00 00 04"), true, reading(0.5, PH));
        // A radio left in a data mode still reports where it is; its mode stays unknown.
        row("yaesu data mode", "Yaesu", hex("01 40 25 00 0A"), true, reading(14.025));
        row("yaesu packet fm", "Yaesu", hex("14 52 00 00 8C"), true, reading(145.2));
        row("yaesu data mode, not digits", "Yaesu", hex("01 4A 25 00 0A"), true, reading({}));
        row("yaesu unknown mode", "Yaesu", hex("01 40 25 00 06"), true, reading(14.025));
        row("yaesu four bytes", "Yaesu", hex("01 40 25 00"), true, reading({}));
        row("yaesu 890", "Yaesu 890", hex("00 00 15 66 84 00 00 02"), true, reading(14.025, CW));
        row("yaesu 890 no mode byte", "Yaesu 890", hex("00 00 15 66 84"), true, reading(14.025));
        row("yaesu 990", "Yaesu 990", hex("00 15 66 84 00 00 00 01"), true, reading(14.025, PH));
        row("yaesu 1000 d", "Yaesu 1000 D", hex("00 15 66 84 00 00 00 0F"), true, reading(14.025));
        row("yaesu 1000", "Yaesu 1000", hex("00 01 56 68 40 00 00 02"), true, reading(14.025, CW));
        row("yaesu 920", "Yaesu 920", hex("00 00 D6 01 28 00 00 01"), true, reading(14.025, CW));
        row("yaesu 920 phone", "Yaesu 920", hex("00 00 D6 01 28 00 00 02"), true, reading(14.025, PH));
        row("yaesu 757", "Yaesu 757 GX II", hex("00 00 00 00 00 00 25 40 01 02"), true, reading(14.025, CW));
        row("yaesu 757 0A", "Yaesu 757 GX II", hex("00 00 00 00 00 00 25 40 01 0A"), true, reading(14.025, PH));
        row("yaesu 757 1C", "Yaesu 757 GX II", hex("00 00 00 00 00 00 25 40 01 1C"), true, reading(14.025, PH));
        row("yaesu 757 am", "Yaesu 757 GX II", hex("00 00 00 00 00 00 00 05 00 04"), true, reading(0.5, QStringLiteral("AM")));
        row("yaesu 757 fm", "Yaesu 757 GX II", hex("00 00 00 00 00 00 00 90 02 05"), true, reading(29.0, QStringLiteral("FM")));
        // Ten-Tec.
        row("orion after noise", "Ten Tec Orion", "junk\r@AF14025000\r", true, reading(14.025));
        row("orion mode", "Ten Tec Orion", "@RMM3\r", true, reading({}, CW));
        row("orion both", "Ten Tec Orion", "@AF7025000\r@RMM0\r", true, reading(7.025, PH));
        row("orion no return", "Ten Tec Orion", "@AF14025000", true, reading({}));
        row("orion not digits", "Ten Tec Orion", "@AF14x25000\r", true, reading({}));
        row("front panel frequency", "Ten Tec Fnt Pnl", QByteArray("A\x00\xD6\x01\x28\r", 6), true, reading(14.025));
        row("front panel cut short", "Ten Tec Fnt Pnl", QByteArray("A\x00\xD6\x01", 4), true, reading({}));
        row("front panel cw", "Ten Tec Fnt Pnl", QByteArray("M\x03\x03\r", 4), false, reading({}, CW));
        row("front panel usb", "Ten Tec Fnt Pnl", QByteArray("M\x01\x01\r", 4), false, reading({}, PH));
        row("front panel unknown mode", "Ten Tec Fnt Pnl", QByteArray("M\x07\x01\r", 4), false, reading({}));
    }

    void replies() {
        QFETCH(QString, rig);
        QFETCH(QByteArray, buffer);
        QFETCH(bool, lastWasFrequency);
        QFETCH(RigReading, expected);
        const RigReading got = parse(rig, buffer, lastWasFrequency);
        QCOMPARE(got.mode, expected.mode);
        QCOMPARE(got.vfo, expected.vfo);
        QCOMPARE(got.frequency.has_value(), expected.frequency.has_value());
        if (expected.frequency) {
            QCOMPARE(*got.frequency, *expected.frequency);
        }
    }

    // A reply is complete only once its last byte is in, and decodes then as it would
    // whole; the bytes before it never make a reply of their own.
    void repliesSplitAnywhere_data() {
        QTest::addColumn<QString>("rig");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("queries");
        QTest::addColumn<bool>("lastWasFrequency");
        QTest::newRow("kenwood") << "Kenwood" << QByteArray("FA00014025000;MD3;") << 2 << false;
        QTest::newRow("kenwood 2") << "Kenwood 2" << ifLine("00014025000", '3', '1') << 1 << false;
        QTest::newRow("ftdx") << "Yaesu FTdx9000" << QByteArray("FA014025000;") << 1 << true;
        QTest::newRow("icom") << "Icom" << hex("FE FE 64 E0 03 FD FE FE E0 64 03 00 50 02 14 00 FD") << 1 << true;
        QTest::newRow("yaesu") << "Yaesu" << hex("01 40 25 00 82") << 1 << true;
        QTest::newRow("yaesu 757") << "Yaesu 757 GX II" << hex("00 00 00 00 00 00 25 40 01 02") << 1 << true;
        QTest::newRow("orion") << "Ten Tec Orion" << QByteArray("@AF14025000\r@RMM3\r") << 2 << true;
        QTest::newRow("front panel") << "Ten Tec Fnt Pnl" << QByteArray("A\x00\xD6\x01\x28\r", 6) << 1 << true;
    }

    void repliesSplitAnywhere() {
        QFETCH(QString, rig);
        QFETCH(QByteArray, reply);
        QFETCH(int, queries);
        QFETCH(bool, lastWasFrequency);
        const RigFamily& f = rigFamily(rig);
        PollQueries sent;
        sent.replies = queries;
        sent.lastWasFrequency = lastWasFrequency;
        for (qsizetype cut = 0; cut < reply.size(); ++cut) {
            QVERIFY2(!f.complete(reply.left(cut), sent), qPrintable(QStringLiteral("complete at %1").arg(cut)));
        }
        QVERIFY(f.complete(reply, sent));
        const RigReading whole = parse(rig, reply, lastWasFrequency);
        QVERIFY(whole.frequency.has_value());
        QCOMPARE(*whole.frequency, 14.025);
    }

    void civFramesSkipNoiseAndKeepCutFrame() {
        const QList<CivFrame> frames = civFrames(hex("00 FE 11 FE FE 64 E0 03 FD FE FE E0 64 03 00 50"));
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames.at(0).to, quint8(0x64));
        QVERIFY(frames.at(0).ended);
        QVERIFY(!frames.at(1).ended);
        QCOMPARE(frames.at(1).data, hex("00 50"));
        QVERIFY(!civReplyComplete(hex("FE FE 64 E0 03 FD"))); // the echo alone
    }

    void pegasusStatusFile() {
        QCOMPARE(parsePegasusStatus("14.025,\"CW\"\r\n"), reading(14.025, CW));
        QCOMPARE(parsePegasusStatus("7.1\r\nUSB\r\n"), reading(7.1, PH));
        QCOMPARE(parsePegasusStatus("14.025,\"\""), reading(14.025));
        QCOMPARE(parsePegasusStatus("abc,CW"), RigReading{});
        QCOMPARE(parsePegasusStatus("14.025"), RigReading{});
        QCOMPARE(parsePegasusStatus(""), RigReading{});
    }

    void familiesWithoutParserChangeNothing() {
        RigStatus status;
        status.frequency = 7.0;
        status.mode = CW;
        for (const char* rig : {"None", "Other", "Ten Tec Pegasus"}) {
            ParseRigReply(QLatin1String(rig), "FA00014025000;MD2;", {"FA;", "MD;"}, true, status);
        }
        QCOMPARE(status.frequency, 7.0);
        QCOMPARE(status.mode, CW);
        ParseRigReply(QStringLiteral("kenwood"), "MD2;", {"FA;", "MD;"}, true, status);
        QCOMPARE(status.mode, PH);
    }
};

QTEST_GUILESS_MAIN(TestRigParsers)
#include "tst_rigparsers.moc"

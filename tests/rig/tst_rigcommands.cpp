// The frequency and mode commands of every radio family, byte for byte, and the step
// sequences that carry them: the order, the waits, the mode chosen by the band plan, the
// faults that stop a command before anything is sent.
#include "rig/RigFamily.h"
#include "rig/RigHex.h"
#include "rig/RigSettings.h"
#include "rig/TunePanel.h"
#include "rig/TuningCommands.h"

#include <QDir>
#include <QTest>

#include <limits>

using namespace ditlog;

namespace {

QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

RigCommandContext presetContext(const QString& rigType) {
    RigSettings s;
    applyRigPreset(s, rigFamily(rigType));
    return rigCommandContext(s, RigStatus{});
}

EncodedCommand frequencyCommand(const QString& rigType, double mhz, RigCommandContext context) {
    return rigFamily(rigType).frequencyCommand(mhz, context);
}

EncodedCommand frequencyCommand(const QString& rigType, double mhz) {
    return frequencyCommand(rigType, mhz, presetContext(rigType));
}

// A step list as short lines: "write MD3;", "delay 205", "drain", ...
QStringList describe(const RigCommand& command) {
    QStringList out;
    for (const RigStep& step : command.steps) {
        QString line;
        switch (step.kind) {
        case RigStep::Kind::StopPolling: line = QStringLiteral("stop"); break;
        case RigStep::Kind::DiscardInput: line = QStringLiteral("discard"); break;
        case RigStep::Kind::Write:
            line = step.bytes.startsWith('\xFE') || step.bytes.size() == 5
                       ? QStringLiteral("write ") + HexDump(step.bytes).trimmed()
                       : QStringLiteral("write ") + QString::fromLatin1(step.bytes);
            break;
        case RigStep::Kind::Drain: line = QStringLiteral("drain"); break;
        case RigStep::Kind::Delay: line = QStringLiteral("delay %1").arg(step.ms); break;
        case RigStep::Kind::WriteFile: line = QStringLiteral("file ") + QString::fromLatin1(step.bytes); break;
        case RigStep::Kind::ResumePolling: line = QStringLiteral("resume"); break;
        case RigStep::Kind::Fail: line = QStringLiteral("fail"); break;
        case RigStep::Kind::Await: line = QStringLiteral("await %1").arg(step.ms); break;
        }
        out.append(line);
    }
    return out;
}

const QList<BandPlanRow> kPlan{
    {"160", "E", "CW", 1.8, 2.0},    {"80", "E", "PH", 3.6, 4.0},   {"60", "E", "PH", 5.33, 5.41},
    {"40", "E", "CW", 7.0, 7.125},   {"40", "E", "PH", 7.125, 7.3}, {"20", "E", "CW", 14.0, 14.15},
    {"20", "E", "PH", 14.15, 14.35}, {"10", "E", "PH", 28.3, 29.7}, {"2", "E", "PH", 144.1, 148.0},
};

RigCommand frequencySteps(const QString& rigType, double mhz, RigStatus status = {}) {
    RigSettings s;
    applyRigPreset(s, rigFamily(rigType));
    s.pegasusFolder = QStringLiteral("/pegasus");
    return changeFrequencyCommand(rigFamily(rigType), s, status, kPlan, mhz);
}

const QStringList kModeSteps{"delay 0", "drain", "delay 99"};

} // namespace

class TestRigCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void frequencyCommands_data() {
        QTest::addColumn<QString>("rigType");
        QTest::addColumn<double>("mhz");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* rig, double mhz, const QByteArray& bytes) {
            QTest::addRow("%s %g", rig, mhz) << QString::fromLatin1(rig) << mhz << bytes;
        };
        // The documented examples at 14.025 MHz.
        row("Kenwood", 14.025, "FA00014025000;");
        row("Icom", 14.025, hex("FE FE 64 E0 05 00 50 02 14 00 FD"));
        row("Yaesu", 14.025, hex("01 40 25 00 01"));
        row("Yaesu 890", 14.025, hex("00 25 40 01 0A"));
        row("Ten Tec Fnt Pnl", 14.025, hex("2A 41 00 D6 01 28 0D"));
        row("Yaesu FTdx9000", 14.025, "FA14025000;");
        // Every family on other bands.
        row("Kenwood", 1.8, "FA00001800000;");
        row("Elecraft", 7.0, "FA00007000000;");
        row("Kenwood 2", 28.5, "FA00028500000;");
        row("Icom", 1.8, hex("FE FE 64 E0 05 00 00 80 01 00 FD"));
        row("Icom 735", 28.5, hex("FE FE 64 E0 05 00 00 50 28 00 FD"));
        row("Ten Tec Omni VI", 50.1, hex("FE FE 04 E0 05 00 00 10 50 00 FD"));
        row("Icom", 144.2, hex("FE FE 64 E0 05 00 00 20 44 01 FD"));
        row("Ten Tec Fnt Pnl", 1.8, hex("2A 41 00 1B 77 40 0D"));
        row("Ten Tec Fnt Pnl", 144.2, hex("2A 41 08 98 51 40 0D"));
        row("Ten Tec Orion", 14.025, "*AF14.025\r");
        row("Ten Tec Orion", 7.0, "*AF7\r");
        row("Ten Tec Orion", 144.2, "*AF144.2\r");
        row("Yaesu", 7.0, hex("00 70 00 00 01"));
        row("Yaesu", 144.2, hex("14 42 00 00 01"));
        row("Yaesu 757 GX II", 1.8, hex("00 00 18 00 0A"));
        row("Yaesu 920", 28.5, hex("00 00 85 02 0A"));
        row("Yaesu 990", 50.1, hex("00 00 01 05 0A"));
        row("Yaesu 1000 D", 7.0, hex("00 00 70 00 0A"));
        row("Yaesu 1000", 14.0255, hex("50 25 40 01 0A"));
        row("Yaesu FTdx9000", 1.8, "FA01800000;");
        row("Yaesu FTdx9000", 144.2, "FA144200000;"); // the radio's longer field above 100 MHz
        // On the hertz at 144 MHz, where a single-precision value is off by 2 Hz.
        row("Kenwood", 144.20001, "FA00144200010;");
        row("Ten Tec Fnt Pnl", 144.20001, hex("2A 41 08 98 51 4A 0D"));
        // Radios reading 10 Hz steps round to the nearest.
        row("Yaesu", 3.560106, hex("00 35 60 11 01"));
    }

    void frequencyCommands() {
        QFETCH(QString, rigType);
        QFETCH(double, mhz);
        QFETCH(QByteArray, expected);
        const EncodedCommand command = frequencyCommand(rigType, mhz);
        QVERIFY2(command.ok(), qPrintable(command.fault));
        QCOMPARE(HexDump(command.bytes), HexDump(expected));
    }

    void frequencyCommandsFollowTheLinkAtCallTime() {
        RigCommandContext c = presetContext(QStringLiteral("Kenwood 2"));
        c.vfo = 1;
        QCOMPARE(frequencyCommand(QStringLiteral("Kenwood 2"), 14.025, c).bytes, QByteArray("FB00014025000;"));
        c.vfo = 0;
        QCOMPARE(frequencyCommand(QStringLiteral("Kenwood 2"), 14.025, c).bytes, QByteArray("FA00014025000;"));
        c.vfo = 10; // not yet reported
        QCOMPARE(frequencyCommand(QStringLiteral("Kenwood 2"), 14.025, c).bytes, QByteArray("FA00014025000;"));

        RigCommandContext k = presetContext(QStringLiteral("Kenwood"));
        k.frequencyQuery = "FB;";
        QCOMPARE(frequencyCommand(QStringLiteral("Kenwood"), 14.025, k).bytes, QByteArray("FB00014025000;"));
        k.frequencyQuery = "";
        QCOMPARE(frequencyCommand(QStringLiteral("Kenwood"), 14.025, k).bytes, QByteArray("FA00014025000;"));

        RigCommandContext icom = presetContext(QStringLiteral("Icom"));
        icom.frequencyQuery = "FE FE 5c E0 03 FD"; // the address the operator set on the radio
        QCOMPARE(frequencyCommand(QStringLiteral("Icom"), 7.0, icom).bytes, hex("FE FE 5C E0 05 00 00 00 07 00 FD"));
        QCOMPARE(rigFamily(QStringLiteral("Icom")).modeCommand(QStringLiteral("CW"), icom).bytes,
                 hex("FE FE 5C E0 06 03 FD"));

        RigCommandContext pegasus = presetContext(QStringLiteral("Ten Tec Pegasus"));
        pegasus.mode = QStringLiteral("PH");
        QCOMPARE(frequencyCommand(QStringLiteral("Ten Tec Pegasus"), 14.2, pegasus).bytes, QByteArray("14.2\r\nPH\r\n"));
        // The caller's value is not consumed: the same value gives the same command.
        QCOMPARE(frequencyCommand(QStringLiteral("Ten Tec Fnt Pnl"), 14.025).bytes,
                 frequencyCommand(QStringLiteral("Ten Tec Fnt Pnl"), 14.025).bytes);
    }

    void frequenciesNoRadioCanTakeAreFaults() {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        for (const QString& rig : {QStringLiteral("Kenwood"), QStringLiteral("Icom"), QStringLiteral("Yaesu"),
                                   QStringLiteral("Yaesu 990"), QStringLiteral("Ten Tec Fnt Pnl"),
                                   QStringLiteral("Ten Tec Orion"), QStringLiteral("Yaesu FTdx9000"),
                                   QStringLiteral("Ten Tec Pegasus")}) {
            for (const double mhz : {0.0, -14.025, nan, inf, 1e30, 0.0000001}) {
                const EncodedCommand c = frequencyCommand(rig, mhz);
                QVERIFY2(!c.ok() && c.bytes.isEmpty(), qPrintable(rig + QString::number(mhz)));
            }
        }
        // Past each family's digits.
        QVERIFY(!frequencyCommand(QStringLiteral("Yaesu"), 1000.0).ok());          // 9 digits of 10 Hz
        QVERIFY(frequencyCommand(QStringLiteral("Yaesu"), 999.99999).ok());
        QVERIFY(!frequencyCommand(QStringLiteral("Ten Tec Fnt Pnl"), 4295.0).ok()); // 32 bits of Hz
        QVERIFY(!frequencyCommand(QStringLiteral("Icom"), 10000.0).ok());          // 10 digits of Hz
        QVERIFY(!frequencyCommand(QStringLiteral("Yaesu FTdx9000"), 1000.0).ok());
        QVERIFY(frequencyCommand(QStringLiteral("Kenwood"), 10368.1).ok());
        QVERIFY(!frequencyCommand(QStringLiteral("Kenwood"), 100000.0).ok());
        // An address that is not hexadecimal sends nothing rather than address 00.
        RigCommandContext bad = presetContext(QStringLiteral("Icom"));
        bad.frequencyQuery = "FE FE ZZ E0 03 FD";
        QVERIFY(!frequencyCommand(QStringLiteral("Icom"), 14.025, bad).ok());
        QVERIFY(!rigFamily(QStringLiteral("Icom")).modeCommand(QStringLiteral("CW"), bad).ok());
        bad.frequencyQuery = "FE FE";
        QVERIFY(!frequencyCommand(QStringLiteral("Icom"), 14.025, bad).ok());
    }

    void modeCommands_data() {
        QTest::addColumn<QString>("rigType");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* rig, const char* word, const QByteArray& bytes) {
            QTest::addRow("%s %s", rig, word) << QString::fromLatin1(rig) << QString::fromLatin1(word) << bytes;
        };
        row("Kenwood", "CW", "MD3;");
        row("Kenwood", "LSB", "MD1;");
        row("Kenwood 2", "USB", "MD2;");
        row("Elecraft", "AM", "MD5;");
        row("Kenwood", "FM", "MD4;");
        row("Kenwood", "RTTY", "MD6;");
        row("Kenwood", "FSK", "MD6;");
        row("Kenwood", "CW-R", "");
        row("Kenwood", "PKT", "");
        row("Yaesu FTdx9000", "CW", "MD03;");
        row("Yaesu FTdx9000", "CW-R", "MD07;");
        row("Yaesu FTdx9000", "RTTY", "MD06;");
        row("Yaesu FTdx9000", "FSK", "");
        row("Icom", "CW", hex("FE FE 64 E0 06 03 FD"));
        row("Icom", "LSB", hex("FE FE 64 E0 06 00 FD"));
        row("Ten Tec Omni VI", "FM", hex("FE FE 04 E0 06 05 FD"));
        row("Icom", "RTTY-R", hex("FE FE 64 E0 06 08 FD"));
        row("Icom", "DIG", "");
        row("Yaesu", "CW", hex("02 00 00 00 07"));
        row("Yaesu", "USB", hex("01 00 00 00 07"));
        row("Yaesu", "FM", hex("08 00 00 00 07"));
        row("Yaesu", "DIG", hex("0A 00 00 00 07"));
        row("Yaesu", "PKT", hex("0C 00 00 00 07"));
        row("Yaesu", "CW-R", "");
        row("Yaesu 757 GX II", "CW", hex("00 00 00 02 0C"));
        row("Yaesu 1000", "CW-R", hex("00 00 00 03 0C"));
        row("Yaesu 990", "FM", hex("00 00 00 06 0C"));
        row("Yaesu 890", "RTTY", hex("00 00 00 08 0C"));
        row("Yaesu 1000 D", "PKT", hex("00 00 00 0A 0C"));
        row("Yaesu 920", "DIG", "");
    }

    void modeCommands() {
        QFETCH(QString, rigType);
        QFETCH(QString, word);
        QFETCH(QByteArray, expected);
        const EncodedCommand c = rigFamily(rigType).modeCommand(word, presetContext(rigType));
        QVERIFY(c.ok());
        QCOMPARE(HexDump(c.bytes), HexDump(expected));
    }

    void familiesWithoutModeCommands() {
        for (const char* rig : {"Icom 735", "Ten Tec Orion", "Ten Tec Fnt Pnl", "Ten Tec Pegasus", "Other", "None"}) {
            QVERIFY2(rigFamily(QLatin1String(rig)).modeCommand == nullptr, rig);
        }
        QVERIFY(rigFamily(QStringLiteral("Other")).frequencyCommand == nullptr);
        QVERIFY(rigFamily(QStringLiteral("None")).frequencyCommand == nullptr);
    }

    void kenwoodSequenceModeFirstThenFrequency() {
        QCOMPARE(describe(frequencySteps(QStringLiteral("Kenwood"), 14.025)),
                 QStringList({"stop", "discard"}) + kModeSteps +
                     QStringList({"write MD3;", "drain", "drain", "delay 205", "write FA00014025000;", "drain",
                                  "resume"}));
    }

    void bandPlanChoosesTheMode() {
        const auto modeWrite = [](double mhz) {
            for (const QString& line : describe(frequencySteps(QStringLiteral("Kenwood"), mhz))) {
                if (line.startsWith(QLatin1String("write MD"))) {
                    return line.mid(6);
                }
            }
            return QString();
        };
        QCOMPARE(modeWrite(7.2), QStringLiteral("MD1;"));   // 40 m phone: LSB
        QCOMPARE(modeWrite(3.9), QStringLiteral("MD1;"));   // 80 m
        QCOMPARE(modeWrite(14.2), QStringLiteral("MD2;"));  // 20 m phone: USB
        QCOMPARE(modeWrite(28.5), QStringLiteral("MD2;"));
        QCOMPARE(modeWrite(144.2), QStringLiteral("MD2;"));
        QCOMPARE(modeWrite(7.05), QStringLiteral("MD3;"));
        QCOMPARE(modeWrite(14.15), QString()); // on an edge: no row holds it
        // 160 m and outside every row: the frequency alone, without the mode part's waits.
        for (const double mhz : {1.85, 10.12}) {
            QCOMPARE(describe(frequencySteps(QStringLiteral("Kenwood"), mhz)),
                     QStringList({"stop", "discard", "drain", "delay 205",
                                  QStringLiteral("write ") + QString::fromLatin1(frequencyCommand(QStringLiteral("Kenwood"), mhz).bytes),
                                  "drain", "resume"}));
        }
    }

    void eachFamilysWaits() {
        const auto delays = [](const QString& rig) {
            QList<int> ms;
            for (const RigStep& s : frequencySteps(rig, 10.12).steps) {
                if (s.kind == RigStep::Kind::Delay) {
                    ms.append(s.ms);
                }
            }
            return ms;
        };
        QCOMPARE(delays(QStringLiteral("Kenwood")), QList<int>({205}));
        QCOMPARE(delays(QStringLiteral("Elecraft")), QList<int>({205, 0, 1000}));
        QCOMPARE(delays(QStringLiteral("Icom")), QList<int>({140}));
        QCOMPARE(delays(QStringLiteral("Icom 735")), QList<int>({140}));
        QCOMPARE(delays(QStringLiteral("Ten Tec Omni VI")), QList<int>({140, 220}));
        QCOMPARE(delays(QStringLiteral("Yaesu 1000")), QList<int>({10}));
        QCOMPARE(delays(QStringLiteral("Yaesu 890")), QList<int>({205}));
        QCOMPARE(delays(QStringLiteral("Other")), QList<int>());
    }

    void pegasusWritesItsFileAndKeepsItsInput() {
        RigStatus status;
        status.mode = QStringLiteral("CW");
        const RigCommand c = frequencySteps(QStringLiteral("Ten Tec Pegasus"), 14.025, status);
        QCOMPARE(describe(c), QStringList({"stop"}) + kModeSteps +
                                  QStringList({"drain", "drain", "delay 205", "file 14.025\r\nCW\r\n", "drain", "resume"}));
        const auto file = std::find_if(c.steps.begin(), c.steps.end(),
                                       [](const RigStep& s) { return s.kind == RigStep::Kind::WriteFile; });
        QCOMPARE(QDir::fromNativeSeparators(file->path), QStringLiteral("/pegasus/PEGASUS.IN"));
    }

    void faultsAreStepsThatFailInTheirPart() {
        const RigCommand c = frequencySteps(QStringLiteral("Yaesu"), 1000.5);
        QCOMPARE(c.steps.at(c.steps.size() - 3).kind, RigStep::Kind::Fail);
        QCOMPARE(c.reports.at(c.steps.at(c.steps.size() - 3).report).title, kErrorChangingFrequency);
        QVERIFY(c.reports.at(0).endsCommand);

        RigSettings s;
        applyRigPreset(s, rigFamily(QStringLiteral("Icom")));
        s.frequencyQuery = QStringLiteral("FE FE QQ E0 03 FD");
        const RigCommand icom = changeFrequencyCommand(rigFamily(s.rigType), s, {}, kPlan, 14.025);
        const QStringList steps = describe(icom);
        QCOMPARE(steps.count(QStringLiteral("fail")), 2);
        // The mode part's failure is told ("Error Changing Mode" and the word) and the
        // frequency part still runs up to its own.
        const RigStep& modeFail = icom.steps.at(steps.indexOf(QStringLiteral("fail")));
        QCOMPARE(icom.reports.at(modeFail.report).title, kErrorChangingMode);
        QCOMPARE(icom.reports.at(modeFail.report).suffix, QStringLiteral(" CW"));
        QVERIFY(!icom.reports.at(modeFail.report).endsCommand);
    }

    void modeAlone() {
        RigSettings s;
        applyRigPreset(s, rigFamily(QStringLiteral("Kenwood")));
        const auto cw = changeModeCommand(rigFamily(s.rigType), s, {}, kPlan, 0, QStringLiteral("CW"));
        QVERIFY(cw);
        QCOMPARE(describe(*cw), kModeSteps + QStringList({"write MD3;", "drain"})); // the poll is not stopped
        QCOMPARE(cw->key, kModeCommandKey);
        const auto byPlan = changeModeCommand(rigFamily(s.rigType), s, {}, kPlan, 7.2, QString());
        QVERIFY(byPlan);
        QVERIFY(describe(*byPlan).contains(QStringLiteral("write MD1;")));
        QVERIFY(!changeModeCommand(rigFamily(s.rigType), s, {}, kPlan, 1.85, QString()));
        QVERIFY(!changeModeCommand(rigFamily(s.rigType), s, {}, kPlan, 0, QString()));
        QVERIFY(!changeModeCommand(rigFamily(QStringLiteral("None")), s, {}, kPlan, 0, QStringLiteral("CW")));
        // A word the radio has no command for sends no bytes.
        const auto reverse = changeModeCommand(rigFamily(s.rigType), s, {}, kPlan, 0, QStringLiteral("CW-R"));
        QVERIFY(reverse);
        QVERIFY(!describe(*reverse).join(QLatin1Char(',')).contains(QLatin1String("write")));
    }

    void tunePanelArithmetic() {
        // The scan wraps to From once a step passes To, and lands on each step exactly.
        QCOMPARE(nextScanFrequency(53.999, 1.8, 54, 0.0025), 1.8);
        QCOMPARE(nextScanFrequency(53.9975, 1.8, 54, 0.0025), 54.0);
        double f = 14.0;
        for (int i = 0; i < 1000; ++i) {
            f = nextScanFrequency(f, 14.0, 15.0, 0.00003);
        }
        QCOMPARE(scanFrequencyText(f), QStringLiteral("14.03"));
        QCOMPARE(nextScanFrequency(7.0, 1.8, 54, 0), 7.0);
        QCOMPARE(scanFrequencyText(1.8), QStringLiteral("1.8"));
        QCOMPARE(scanFrequencyText(53.9995), QStringLiteral("53.9995"));
        QCOMPARE(scanFrequencyText(0.5), QStringLiteral(".5"));
        QCOMPARE(scanFrequencyText(2), QStringLiteral("2."));
        QCOMPARE(scanFrequencyText(14.025004), QStringLiteral("14.025"));
        // Step buttons: plain decimal text to the hertz, never at or below zero.
        QCOMPARE(steppedFrequencyText(14.025, 0.001), QStringLiteral("14.026"));
        QCOMPARE(steppedFrequencyText(14.025, -0.00001), QStringLiteral("14.02499"));
        QCOMPARE(steppedFrequencyText(0.7, 0.1), QStringLiteral("0.8"));
        QCOMPARE(steppedFrequencyText(0.5, -1), std::nullopt);
        QCOMPARE(steppedFrequencyText(0.001, -0.001), std::nullopt);
        // What counts as a number in the boxes.
        QCOMPARE(panelNumber(QStringLiteral(" 14.025 ")), 14.025);
        QCOMPARE(panelNumber(QStringLiteral("146")), 146.0);
        QCOMPARE(panelNumber(QStringLiteral(".5")), 0.5);
        for (const char* bad : {"", " ", "14,025", "1e30", "nan", "inf", "14.0.2", "/", "abc", "1e3", "9999999"}) {
            QVERIFY2(!panelNumber(QLatin1String(bad)), bad);
        }
        QCOMPARE(bandPresets().size(), 16);
        QCOMPARE(bandPresets().at(2).frequency, QStringLiteral("5.368"));
        QCOMPARE(bandPresets().last().caption, QStringLiteral("23"));
    }
};

QTEST_GUILESS_MAIN(TestRigCommands)
#include "tst_rigcommands.moc"

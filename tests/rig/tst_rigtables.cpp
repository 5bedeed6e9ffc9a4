// "RigCntrl.txt" byte for byte and its lenient reading, the presets of the rig list, the
// band and mode tables, the frequency texts, and the band plan file with the one shipped.
#include "rig/BandConversion.h"
#include "rig/BandPlan.h"
#include "rig/RigFamily.h"
#include "rig/RigSettings.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;

class TestRigTables : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingsFileIsWrittenAsDocumented() {
        RigSettings s;
        s.modeQuery = QStringLiteral("MD;");
        s.frequencyQuery = QStringLiteral("FA;");
        s.portNumber = 3;
        s.rigType = QStringLiteral("Kenwood");
        const QByteArray expected = "\"4800 \"\r\n\"N\"\r\n\"8\"\r\n\"2\"\r\n\"MD;\"\r\n\"FA;\"\r\n"
                                    "\"4800,N,8,2\"\r\n3\r\n\"N\"\r\n\"M\"\r\n\"Kenwood\"\r\n0\r\n1\r\n1\r\n";
        const QByteArray text = rigSettingsText(s);
        QVERIFY(text.startsWith(expected));
        // The link's own values follow the fourteen.
        QCOMPARE(text.mid(expected.size()), QByteArray("\"\"\r\n\"127.0.0.1\"\r\n4532\r\n"));
        RigSettings back;
        QVERIFY(readRigSettings(text, back));
        QCOMPARE(back, s);
    }

    void settingsAreReadLeniently() {
        RigSettings s;
        QVERIFY(readRigSettings("1200, E, 7, 1, \"FE FE 64 E0 04 FD\", \"FE FE 64 E0 03 FD\", "
                                "\"1200,E,7,1\", 10, D, S, Icom, 1, 0, 3",
                                s));
        QCOMPARE(s.speed, QStringLiteral("1200 "));
        QCOMPARE(s.parity, QStringLiteral("E"));
        QCOMPARE(s.dataBits, QStringLiteral("7"));
        QCOMPARE(s.stopBits, QStringLiteral("1"));
        QCOMPARE(s.modeQuery, QStringLiteral("FE FE 64 E0 04 FD"));
        QCOMPARE(s.portNumber, quint8(10));
        QCOMPARE(s.power, QStringLiteral("D"));
        QCOMPARE(s.pollRate, QStringLiteral("S"));
        QCOMPARE(s.rigType, QStringLiteral("Icom"));
        QCOMPARE(s.convertToHex, 1);
        QCOMPARE(s.useFrequency, 0);
        QCOMPARE(s.modeSource, ModeSource::DontUse);
        QCOMPARE(s.portSettings, QStringLiteral("1200,E,7,1"));
    }

    void badValuesKeepTheirDefaults() {
        RigSettings s;
        QVERIFY(readRigSettings("\"4801\"\r\n\"X\"\r\n\"9\"\r\n\"3\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n99\r\n\"Q\"\r\n"
                                "\"Z\"\r\n\"Kenwood\"\r\n7\r\n-1\r\n4\r\n",
                                s));
        RigSettings defaults;
        defaults.rigType = QStringLiteral("Kenwood");
        QCOMPARE(s, defaults);
        RigSettings cut;
        QVERIFY(readRigSettings("\"9600\"\r\n\"E\"", cut)); // a file cut short keeps the rest
        QCOMPARE(cut.speed, QStringLiteral("9600 "));
        QCOMPARE(cut.dataBits, QStringLiteral("8"));
        RigSettings none;
        QVERIFY(!readRigSettings("", none));
    }

    void settingsFileSurvivesASaveAndAMissingFile() {
        QTemporaryDir dir;
        RigSettings s;
        QVERIFY(!loadRigSettings(dir.path(), s));
        QCOMPARE(s, RigSettings{});
        s.rigType = QStringLiteral("Yaesu");
        s.pegasusFolder = QStringLiteral("/opt/pegasus");
        QVERIFY(!saveRigSettings(dir.path(), s));
        RigSettings back;
        QVERIFY(loadRigSettings(dir.path(), back));
        QCOMPARE(back, s);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files) == QStringList{kRigSettingsFileName});
    }

    void presets() {
        RigSettings s;
        s.speed = QStringLiteral("9600 ");
        s.portNumber = 7;
        applyRigPreset(s, rigFamily(QStringLiteral("Icom")));
        QCOMPARE(s.speed, QStringLiteral("1200 "));
        QCOMPARE(s.stopBits, QStringLiteral("1"));
        QCOMPARE(s.frequencyQuery, QStringLiteral("FE FE 64 E0 03 FD"));
        QCOMPARE(s.convertToHex, 1);
        QCOMPARE(s.portNumber, quint8(7));
        QVERIFY(rigFamily(QStringLiteral("Icom")).preset.icomNote);

        s.parity = QStringLiteral("E");
        applyRigPreset(s, rigFamily(QStringLiteral("Yaesu FTdx9000")));
        QCOMPARE(s.speed, QStringLiteral("4800 ")); // speed only; the rest kept
        QCOMPARE(s.parity, QStringLiteral("E"));
        QCOMPARE(s.modeQuery, QStringLiteral("MD0;"));
        QCOMPARE(s.convertToHex, 0);

        applyRigPreset(s, rigFamily(QStringLiteral("Other")));
        QCOMPARE(s.speed, QStringLiteral("4800 "));
        QVERIFY(s.frequencyQuery.isEmpty() && s.modeQuery.isEmpty());
        QVERIFY(rigFamily(QStringLiteral("Other")).preset.convertEnabled);
        QCOMPARE(rigFamily(QStringLiteral("no such radio")).name, QStringLiteral("None"));

        QStringList names;
        for (const RigFamily& f : rigFamilies()) {
            names.append(f.name);
        }
        QCOMPARE(names.mid(0, 19),
                 QString("None|Elecraft|Icom|Icom 735|Kenwood|Kenwood 2|Ten Tec Omni VI|Ten Tec Orion|"
                         "Ten Tec Fnt Pnl|Ten Tec Pegasus|Yaesu|Yaesu 757 GX II|Yaesu 890|Yaesu 920|"
                         "Yaesu 990|Yaesu 1000 D|Yaesu 1000|Yaesu FTdx9000|Other")
                     .split(QLatin1Char('|')));
    }

    void sendSchemes() {
        const auto send = [](const char* rig, bool flag, const char* f, const char* m, bool hex = false) {
            return rigFamily(QLatin1String(rig)).send({f, m}, flag, hex);
        };
        QCOMPARE(send("Kenwood", false, "FA;", "MD;").writes, (QList<QByteArray>{"FA;", "MD;"}));
        const PollQueries civ = send("Icom", false, "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD");
        QCOMPARE(civ.writes, QList<QByteArray>{QByteArray("\xFE\xFE\x64\xE0\x03\xFD")});
        QVERIFY(civ.lastWasFrequency);
        // A short mode query is never sent, and the turn passes all the same.
        const PollQueries shortMode = send("Icom", true, "FE FE 64 E0 03 FD", "FE FE 64");
        QVERIFY(shortMode.writes.isEmpty());
        QVERIFY(!shortMode.lastWasFrequency);
        QCOMPARE(send("Yaesu", false, "00 00 00 00 03", "").writes,
                 QList<QByteArray>{QByteArray("\x00\x00\x00\x00\x03", 5)});
        QVERIFY(send("Yaesu", false, "00 00 00 00", "").writes.isEmpty());
        QCOMPARE(send("Ten Tec Orion", false, "?AF", "?RMM").writes, (QList<QByteArray>{"?AF\r", "?RMM\r"}));
        QCOMPARE(send("Yaesu FTdx9000", true, "FA;", "MD0;").writes, QList<QByteArray>{"MD0;"});
        QCOMPARE(send("Ten Tec Fnt Pnl", false, "3F 41 0D", "3F 4D 0D").writes, QList<QByteArray>{"?A\r"});
        QCOMPARE(send("Other", false, "3F 41", "", true).writes, QList<QByteArray>{"?A"});
        QCOMPARE(send("Other", false, "3F 41", "x", false).writes, (QList<QByteArray>{"3F 41", "x"}));
        QVERIFY(send("Ten Tec Pegasus", false, "x", "y").writes.isEmpty());
        QCOMPARE(rigFamily(QStringLiteral("Yaesu 890")).wakeUp, QByteArray(5, '\0'));
        QVERIFY(rigFamily(QStringLiteral("Yaesu FTdx9000")).wakeUp.isEmpty());
        QCOMPARE(rigFamily(QStringLiteral("Ten Tec Orion")).wakeUp, QByteArray("X\r"));
    }

    void bandsAndModesByFrequency() {
        QCOMPARE(ModeFromFrequency(14.15), std::nullopt);
        QCOMPARE(ModeFromFrequency(14.2), QStringLiteral("PH"));
        QCOMPARE(ModeFromFrequency(3.55), QStringLiteral("CW"));
        QCOMPARE(ModeFromFrequency(1.85), std::nullopt);
        QCOMPARE(bandForFrequency(10.12), std::nullopt);
        QCOMPARE(bandForFrequency(7.2), QStringLiteral("40"));
        QCOMPARE(bandForFrequency(7.3), QStringLiteral("40"));
        QCOMPARE(bandForFrequency(1.8), QStringLiteral("160"));
        QCOMPARE(bandForFrequency(54.0001), std::nullopt);
        QCOMPARE(bandForFrequency(18.1), std::nullopt);
        QCOMPARE(rigFrequencyText(14.0253), QStringLiteral("14.025"));
        QCOMPARE(rigFrequencyText(7.0), QStringLiteral("7.000"));
        QCOMPARE(rigFrequencyText(0.5), QStringLiteral(".500"));
        QCOMPARE(rigDisplayFrequency(144.2), QStringLiteral("144.20000"));
        QCOMPARE(fixedDecimals(1270, 3, true), QStringLiteral("1,270.000"));
        QCOMPARE(fixedDecimals(-0.0001, 3), QStringLiteral(".000"));
    }

    void bandPlanReader() {
        const auto plan = readBandPlan("\"Jan 1\"\r\n\"20\",\"O\",\"\",14,14.35\r\n\"20\",\"G\",\"PH\",14.225,14.35\r\n");
        QVERIFY(plan);
        QCOMPARE(plan->effectiveDate, QStringLiteral("Jan 1"));
        QCOMPARE(plan->rows.size(), 2);
        QCOMPARE(plan->rows.at(1), (BandPlanRow{"20", "G", "PH", 14.225, 14.35}));
        QVERIFY(!readBandPlan("\"Jan 1\",\"20\",\"O\",\"\",14")); // a record cut short
        QVERIFY(!readBandPlan("\"Jan 1\",\"20\",\"O\",\"\",14,abc"));
        QVERIFY(!readBandPlan(""));
        QVERIFY(readBandPlan("\"Jan 1\"")->rows.isEmpty());
    }

    // The shipped plan: grouped under outline rows, every segment inside its band, every
    // class present, within the panel's limits, and modes where the rules put them.
    void shippedBandPlan() {
        QFile file(QStringLiteral(DITLOG_SOURCE_DIR "/data/BandPlan.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto plan = readBandPlan(file.readAll());
        QVERIFY(plan);
        QCOMPARE(plan->effectiveDate, QStringLiteral("February 13, 2026"));
        QVERIFY(plan->rows.size() <= BandPlan::kMaxRecords);
        QSet<QString> bands;
        QSet<QString> classes;
        BandPlanRow outline;
        for (const BandPlanRow& row : plan->rows) {
            if (row.licenceClass == QLatin1String("O")) {
                QVERIFY2(!bands.contains(row.band), qPrintable(row.band));
                bands.insert(row.band);
                outline = row;
                continue;
            }
            QCOMPARE(row.band, outline.band);
            QVERIFY(row.low >= outline.low && row.high <= outline.high && row.low < row.high);
            QVERIFY(row.mode == QLatin1String("CW") || row.mode == QLatin1String("PH"));
            classes.insert(row.licenceClass);
        }
        QVERIFY(bands.size() <= 20);
        QCOMPARE(classes, (QSet<QString>{"N", "T", "P", "G", "A", "E"}));
        const QList<BandPlanRow> extra = bandPlanRowsOfClass(*plan, QStringLiteral("E"));
        QCOMPARE(BandPlanMode(14.025, extra), QStringLiteral("CW"));
        QCOMPARE(BandPlanMode(14.2, extra), QStringLiteral("USB"));
        QCOMPARE(BandPlanMode(7.2, extra), QStringLiteral("LSB"));
        QCOMPARE(BandPlanMode(3.9, extra), QStringLiteral("LSB"));
        QCOMPARE(BandPlanMode(5.3585, extra), QStringLiteral("USB")); // 60 m is upper sideband
        QCOMPARE(BandPlanMode(1.85, extra), QString());
        QCOMPARE(BandPlanMode(10.12, extra), QStringLiteral("CW"));
        QCOMPARE(BandPlanMode(144.2, extra), QStringLiteral("USB"));
        QCOMPARE(BandPlanMode(30.0, extra), QString());
        const QList<BandPlanRow> general = bandPlanRowsOfClass(*plan, QStringLiteral("G"));
        QCOMPARE(BandPlanMode(14.2, general), QString()); // no General phone below 14.225
    }
};

QTEST_GUILESS_MAIN(TestRigTables)
#include "tst_rigtables.moc"

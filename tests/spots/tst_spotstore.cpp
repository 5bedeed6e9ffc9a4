// What is read from a spot line (columns, record, label, country) and what the store and
// the list make of the spots: the 50-slot shift, the withdrawal of an earlier spot of the
// same call, and the 200-row list; and the spotting window's settings file.
#include "log/PrefixTable.h"
#include "log/RecordFile.h"
#include "spots/SpotListModel.h"
#include "spots/SpotSourceSettings.h"
#include "spots/SpotStore.h"
#include "spots/SpotText.h"

#include <QTest>

using namespace ditlog;

namespace {
// A spot line in the cluster layout: spotter and colon padded to column 15, the frequency
// right-aligned to end in column 24, the call from column 27, comment, time.
QString clusterLine(const QString& spotter, double kHz, const QString& call,
                    const QString& comment = QStringLiteral("CQ TEST"),
                    const QString& time = QStringLiteral("1234Z")) {
    return QStringLiteral("DX de %1 %2  %3 %4 %5")
        .arg((spotter + QLatin1Char(':')).leftJustified(9), QString::number(kHz, 'f', 1).rightJustified(8),
             call.leftJustified(12), comment.leftJustified(30), time);
}
} // namespace

class TestSpotStore : public QObject {
    Q_OBJECT

    PrefixTable m_prefixes;

private Q_SLOTS:
    void initTestCase() {
        const auto content = readWholeFile(QStringLiteral(DITLOG_SOURCE_DIR "/data/arrlpre2.txt"));
        QVERIFY(content);
        QVERIFY(!LoadPrefixTable(m_prefixes, *content));
    }

    void fieldRuleReadsTheClusterColumns() {
        const QString line = clusterLine(QStringLiteral("W3LPL"), 14025.0, QStringLiteral("K1ABC"));
        QCOMPARE(line.indexOf(QLatin1String("14025.0")) + 7, 24); // ends in column 24
        QVERIFY(isSpotLine(line));
        QVERIFY(isSpotLine(u"dx de W3LPL"));
        QVERIFY(!isSpotLine(u"D"));
        QVERIFY(!isSpotLine(u"WWV de W0MU"));
        const SpotFields f = spotFields(line);
        QCOMPARE(f.frequency, QStringLiteral("14025.0"));
        QCOMPARE(f.call, QStringLiteral("K1ABC"));
        // Short and empty lines give what is there, never more.
        QCOMPARE(spotFields(u"DX de W3LPL:    1402").frequency, QStringLiteral("1402"));
        QCOMPARE(spotFields(u"DX").call, QString());
        // A long call is cut at the end of its column.
        QCOMPARE(spotFields(clusterLine(QStringLiteral("N0AX"), 7001.5, QStringLiteral("VP2V/W1ABCDEFG")))
                     .call,
                 QStringLiteral("VP2V/W1ABCDEF"));
    }

    void numericFrequencies() {
        QCOMPARE(numericValue(u" 14025.0 "), 14025.0);
        QCOMPARE(numericValue(u"1.8e3"), 1800.0);
        QCOMPARE(numericValue(u"-5"), -5.0);
        QCOMPARE(numericValue(u".5"), 0.5);
        for (const char* bad : {"", " ", "14O25", "1e", "12,5", "inf", "nan", "0x10", "1e999", "+"}) {
            QVERIFY2(!numericValue(QString::fromLatin1(bad)), bad);
        }
    }

    void recordAndListColumns() {
        const QString line =
            clusterLine(QStringLiteral("W3LPL"), 14025.0, QStringLiteral("K1ABC"),
                        QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRST"), QStringLiteral("1234Z")) +
            QStringLiteral(" FN20\r\n");
        const QString record = spotRecord(line);
        QVERIFY(record.startsWith(QLatin1String("de W3LPL:")));
        QVERIFY(!record.contains(QLatin1Char('\r')));
        const SpotRowColumns c = spotRowColumns(record);
        // Spotter, then the comment as far as its 23rd character.
        QCOMPARE(c.comments, QStringLiteral("de W3LPL:  0123456789ABCDEFGHIJKLM"));
        QCOMPARE(c.prefix, QStringLiteral("PQRST"));
        QCOMPARE(c.time, QStringLiteral("1234"));
        QCOMPARE(c.from, QStringLiteral("FN2"));
        // A record too short for the later columns leaves them empty.
        const SpotRowColumns shortOne = spotRowColumns(u"de W3LPL:  14025.0");
        QCOMPARE(shortOne.time, QString());
        QCOMPARE(shortOne.from, QString());
    }

    void labelTexts_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("label");
        QTest::newRow("two characters") << "W1" << "";
        QTest::newRow("plain") << "W1ABC" << "W1";
        QTest::newRow("two-digit prefix") << "KH6XYZ" << "KH6";
        QTest::newRow("digit first") << "3D2AB" << "3D2";
        QTest::newRow("no digit") << "RAEM" << "RAEM";
        QTest::newRow("prefix before slash") << "VE3/W1ABC" << "VE3";
        QTest::newRow("portable suffix") << "W1ABC/P" << "P";
        QTest::newRow("call area suffix") << "W1ABC/4" << "W4";
        QTest::newRow("country suffix") << "G3XYZ/VE3" << "VE3";
        QTest::newRow("slash at the end") << "W1ABC/" << "";
    }
    void labelTexts() {
        QFETCH(QString, call);
        QFETCH(QString, label);
        QCOMPARE(SpotLabelText(call), label);
    }

    void countriesOfRealCalls_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("country");
        QTest::newRow("USA") << "K1ABC" << "USA";
        QTest::newRow("Canada") << "VE3XYZ" << "Canada";
        QTest::newRow("Hawaii") << "KH6XYZ" << "Hawaii";
        QTest::newRow("Fiji") << "3D2AB" << "Fiji";
        QTest::newRow("Germany") << "DL1ABC" << "Fed. Rep. of Germany";
        QTest::newRow("portable in Japan") << "W1ABC/JA1" << "Japan";
        QTest::newRow("Guantanamo, five characters") << "KG4AB" << "Guantanamo Bay";
        QTest::newRow("KG4 of six is the USA") << "KG4ABC" << "USA";
        QTest::newRow("lower case matches nothing") << "dl1abc" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("no prefix") << "#?!" << "";
    }
    void countriesOfRealCalls() {
        QFETCH(QString, call);
        QFETCH(QString, country);
        QCOMPARE(SpotCountry(m_prefixes, call), country);
    }

    void storeShiftsAndWithdraws() {
        SpotStore store;
        const QDateTime t0(QDate(2026, 12, 8), QTime(14, 0));
        for (int i = 0; i < 60; ++i) {
            QCOMPARE(store.take(QStringLiteral("K%1AA").arg(i), 14.0f + i / 1000.0f, t0.addSecs(i)), -1);
        }
        // Slot 49 is the newest; the ten oldest have left.
        QCOMPARE(store.slot(49).Call, QStringLiteral("K59AA"));
        QCOMPARE(store.slot(0).Call, QStringLiteral("K10AA"));
        QCOMPARE(store.slot(0).Time, t0.addSecs(10));
        QCOMPARE(store.slot(49).LabelText, QStringLiteral("K59"));

        // A new spot of a call in slots 1..48 withdraws the most recent earlier one only.
        store.take(QStringLiteral("k30aa"), 7.025f, t0.addSecs(100));
        QCOMPARE(store.slot(48).Call, QStringLiteral("K59AA"));
        QCOMPARE(store.slot(19).Call, QStringLiteral("K30AA"));
        QCOMPARE(store.slot(19).FreqMHz, 0.0f);
        QCOMPARE(store.slot(49).FreqMHz, 7.025f);
        QCOMPARE(store.take(QStringLiteral("K30AA"), 7.026f, t0.addSecs(101)), 48);
        QCOMPARE(store.slot(48).FreqMHz, 0.0f);

        // The oldest slot is never searched: its spot stays.
        SpotStore edge;
        edge.take(QStringLiteral("OLD"), 3.5f, t0);
        for (int i = 0; i < 49; ++i) {
            edge.take(QStringLiteral("X%1").arg(i), 1.9f, t0);
        }
        QCOMPARE(edge.slot(0).Call, QStringLiteral("OLD"));
        QCOMPARE(edge.take(QStringLiteral("OLD"), 3.6f, t0), -1);
        edge.withdraw(49);
        edge.withdraw(50); // outside: nothing
        QCOMPARE(edge.slot(49).FreqMHz, 0.0f);
    }

    void listKeepsTheNewest200() {
        SpotListModel list;
        for (int i = 1; i <= 201; ++i) {
            list.addRow(SpotListModel::makeRow(QStringLiteral("C%1").arg(i), 14.025f, {}, {}));
        }
        QCOMPARE(list.rowCount(), 200);
        QCOMPARE(list.cellText(0, 0), QStringLiteral("C201"));
        QCOMPARE(list.cellText(199, 0), QStringLiteral("C2"));
        QCOMPARE(list.cellText(0, 1), QStringLiteral("14.025"));
        QCOMPARE(list.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Comments"));
        QCOMPARE(list.cellText(500, 0), QString());
    }

    void settingsFile() {
        SpotSourceSettings s;
        s.Source = SpotSource::Agw;
        s.Port = 10;
        s.Handshake = 4;
        s.ShowAsList = true;
        s.TelnetHost = QStringLiteral("dx.example.net");
        const QByteArray text = spotSettingsText(s);
        QCOMPARE(text, QByteArray("\"9600\"\r\n\"N\"\r\n\"8\"\r\n\"1\"\r\n10\r\n\"N\"\r\n"
                                  "\"AGW Packet Engine\"\r\n0\r\n4\r\n0\r\n#TRUE#\r\n\"03\"\r\n"
                                  "\"7300\"\r\n\"dx.example.net\"\r\n"));
        QCOMPARE(readSpotSettings(text), s);
        // Values outside their sets keep the defaults; the source is matched in any case.
        const QByteArray odd("\"9600  \",\"x\",\"9\",\"1\",99,\"R\",\"telnet\",7,0,1,#FALSE#,\"ZZ\",\"23\",\"h\"");
        const auto read = readSpotSettings(odd);
        QVERIFY(read);
        QCOMPARE(read->Baud, QStringLiteral("9600"));
        QCOMPARE(read->Parity, QStringLiteral("N"));
        QCOMPARE(read->DataBits, QStringLiteral("8"));
        QCOMPARE(read->Port, 1);
        QCOMPARE(read->PowerLine, QStringLiteral("R"));
        QCOMPARE(read->Source, SpotSource::Telnet);
        QCOMPARE(read->ConvertToHex, 0);
        QCOMPARE(read->Handshake, 1);
        QCOMPARE(read->CommandChar, QStringLiteral("03"));
        // A command character with anything after its digits (a NUL here) is not one.
        QByteArray nul = odd;
        nul.replace("\"ZZ\"", QByteArray("\"0\0\"", 4));
        QCOMPARE(readSpotSettings(nul)->CommandChar, QStringLiteral("03"));
        nul.replace(QByteArray("\"0\0\"", 4), "\"1b\"");
        QCOMPARE(readSpotSettings(nul)->CommandChar, QStringLiteral("1B"));
        // A file short of its fourteen values is refused whole.
        QVERIFY(!readSpotSettings(text.left(text.lastIndexOf("\"7300\""))));
        QVERIFY(!readSpotSettings(QByteArray()));
    }
};

QTEST_GUILESS_MAIN(TestSpotStore)
#include "tst_spotstore.moc"

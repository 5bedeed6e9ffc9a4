// The country-file conversion: the shipped tables come out of the shipped country file
// byte for byte, the conversion rules on small files, files that are refused, and the
// description of an update.
#include "log/CountryDataUpdate.h"
#include "log/CountryFileConverter.h"
#include "log/DataFolders.h"
#include "log/PrefixTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;

namespace {
QByteArray shipped(const char* name) {
    QFile file(QStringLiteral(DITLOG_SOURCE_DIR "/data/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("missing shipped file %s", name);
    }
    return file.readAll();
}

const QByteArray kSmall =
    "3B8,Mauritius,165,AF,39,53,-20.35,-57.50,-4.0,3B8;\n"
    "K,United States,291,NA,05,08,37.53,91.67,5.0,AA K =W1AW N(4)[7] W<40/90>;\n"
    "*TA1,European Turkey,390,EU,20,39,41.02,-28.97,-2.0,TA1;\n"
    "KH6,Hawaii,110,OC,31,61,21.12,157.48,10.00,AH6 KH6 K{OC} NH6~10~;\n";
} // namespace

class TestCountryFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shippedTablesComeFromTheShippedCountryFile() {
        const CountryConversion result = convertCountryFile(shipped("cty.csv"));
        QVERIFY2(result.files, qPrintable(result.problem.text));
        QCOMPARE(result.files->prefixFile, shipped("arrlpre2.txt"));
        QCOMPARE(result.files->countryFile, shipped("ADIFCnt.txt"));
        QCOMPARE(result.files->version, QStringLiteral("20260611"));
        PrefixTable table;
        QVERIFY(!LoadPrefixTable(table, result.files->prefixFile));
        QCOMPARE(table.count(), result.files->prefixes.size());
    }

    void conversionRules() {
        const CountryConversion result = convertCountryFile(kSmall);
        QVERIFY2(result.files, qPrintable(result.problem.text));
        // Ordered by first character, the file's order within one; the override-only
        // "K{OC}" of Hawaii is the USA's K already and is kept once; exact calls and the
        // other-awards entity are left out; overrides are dropped.
        QCOMPARE(result.files->prefixes,
                 (QStringList{QStringLiteral("3B8"), QStringLiteral("AA"), QStringLiteral("AH6"),
                              QStringLiteral("K"), QStringLiteral("KH6"), QStringLiteral("N"),
                              QStringLiteral("NH6"), QStringLiteral("W")}));
        QCOMPARE(result.files->countryFile,
                 QByteArray("\"Mauritius\",165\r\n\"USA\",291\r\n\"Hawaii\",110\r\n"));
        const QList<QByteArray> lines = result.files->prefixFile.split('\n');
        QCOMPARE(lines.at(0), QByteArray("\"3B8\",\"Mauritius\",\"AF\",-57.5,-20.35,39,53,-4\r"));
        QCOMPARE(lines.at(1), QByteArray("\"AA\",\"USA\",\"NA\",91.67,37.53,5,8,5\r"));
        QCOMPARE(lines.at(2), QByteArray("\"AH6\",\"Hawaii\",\"OC\",157.48,21.12,31,61,10\r"));
        QVERIFY(result.files->version.isEmpty());
    }

    void numbersTakeTheirShortestPlainForm() {
        const auto line = [](const char* lat) {
            const QByteArray csv = QByteArray("K,USA,291,NA,5,8,") + lat + ",0,-0.0,K;\n";
            const CountryConversion r = convertCountryFile(csv);
            return r.files ? r.files->prefixFile.split(',').at(4) : QByteArray("refused");
        };
        QCOMPARE(line("37.500"), QByteArray("37.5"));
        QCOMPARE(line(" -0.50 "), QByteArray("-0.5"));
        QCOMPARE(line("1e1"), QByteArray("10"));
        QCOMPARE(line("+.25"), QByteArray("0.25"));
        QCOMPARE(line("00"), QByteArray("0"));
        QCOMPARE(line("12."), QByteArray("12"));
        QCOMPARE(line("abc"), QByteArray("refused"));
        QCOMPARE(line("nan"), QByteArray("refused"));
        QCOMPARE(line("1e999999"), QByteArray("refused"));
        QCOMPARE(line(""), QByteArray("refused"));
    }

    void quotedFieldsAndBlankLines() {
        const CountryConversion r = convertCountryFile(
            "\r\n\"3B8\",\"Mauritius, Island\",165,AF,39,53,-20.35,-57.50,-4.0,3B8;\r\n");
        QVERIFY(!r.files); // a comma cannot be stored in the tables
        QCOMPARE(r.problem.line, 2);
        QVERIFY(r.problem.text.contains(QStringLiteral("Mauritius, Island")));
    }

    // Truncated, binary, huge and hand-broken files are refused, naming the record.
    void refusesWhatIsNotACountryFile_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("line");
        const QByteArray good = shipped("cty.csv");
        QTest::newRow("truncated") << good.left(good.size() / 2) << int(good.left(good.size() / 2).count('\n') + 1);
        QTest::newRow("binary") << QByteArray("K,USA,291\0\x01\x02", 12) << 0;
        QTest::newRow("huge") << QByteArray(kMaxCountryFileBytes + 1, 'K') << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("no semicolon") << QByteArray("K,USA,291,NA,5,8,37,91,5,K W\n") << 1;
        QTest::newRow("entity twice") << QByteArray(kSmall + "K2,usa,291,NA,5,8,37,91,5,K2;\n") << 5;
        QTest::newRow("bad prefix") << QByteArray("K,USA,291,NA,5,8,37,91,5,K w1;\n") << 1;
        QTest::newRow("bad dxcc") << QByteArray("K,USA,2x1,NA,5,8,37,91,5,K;\n") << 1;
        QTest::newRow("quote in name") << QByteArray("K,U\"SA,291,NA,5,8,37,91,5,K;\n") << 1;
        QTest::newRow("control char") << QByteArray("K,US\x07,291,NA,5,8,37,91,5,K;\n") << 1;
        // A position the prefix table could not load back.
        QTest::newRow("latitude past the pole") << QByteArray("K,USA,291,NA,5,8,90.5,91,5,K;\n") << 1;
        QTest::newRow("longitude past 180") << QByteArray("K,USA,291,NA,5,8,37,-1e3,5,K;\n") << 1;
        QTest::newRow("huge latitude") << QByteArray("K,USA,291,NA,5,8,5" + QByteArray(60, '3') + "." + QByteArray(40, '3') + ",91,5,K;\n") << 1;
        QTest::newRow("nine columns") << QByteArray("K,USA,291,NA,5,8,37,91,K;\n") << 1;
    }

    void refusesWhatIsNotACountryFile() {
        QFETCH(QByteArray, csv);
        QFETCH(int, line);
        const CountryConversion r = convertCountryFile(csv);
        QVERIFY(!r.files);
        QVERIFY(!r.problem.text.isEmpty());
        QCOMPARE(r.problem.line, line);
    }

    void describesTheChange() {
        const CountryConversion before = convertCountryFile(kSmall);
        const CountryConversion after = convertCountryFile(
            QByteArray(kSmall).replace("Mauritius", "Mauritius Island") +
            "VE,Canada,1,NA,5,9,44.35,78.75,5.0,VE VA;\n");
        QVERIFY(before.files && after.files);
        const CountryDataChanges changes = compareCountryData(
            before.files->prefixFile, before.files->countryFile, *after.files);
        QCOMPARE(changes.entitiesAdded,
                 (QStringList{QStringLiteral("Mauritius Island"), QStringLiteral("Canada")}));
        QCOMPARE(changes.entitiesRemoved, QStringList{QStringLiteral("Mauritius")});
        QCOMPARE(changes.prefixesAdded, 2);
        QCOMPARE(changes.prefixesRemoved, 0);
        const QString text = describeCountryDataChanges(changes, QStringLiteral("20270101"),
                                                        QStringLiteral("20260611"));
        QVERIFY(text.startsWith(QStringLiteral("Country file version 20270101 (in use: 20260611).")));
        QVERIFY(text.contains(QStringLiteral("Entities added (2): Mauritius Island, Canada")));
        QVERIFY(text.contains(QStringLiteral("Prefixes added: 2, removed: 0.")));
        // Names that look like placeholders stay as they are.
        CountryDataChanges odd;
        odd.entitiesAdded = {QStringLiteral("%1 %2")};
        QVERIFY(describeCountryDataChanges(odd, {}, {}).contains(QStringLiteral("(1): %1 %2")));
    }

    // Both tables are written where the program reads them; with the second unwritable
    // the first is put back.
    void installsBothOrNeither() {
        QTemporaryDir working, documents;
        const DataFolders folders = dataFoldersFor(working.path(), documents.path());
        QVERIFY(QDir().mkpath(folders.SharedFolder));
        QFile old(folders.workingFile(QStringLiteral("ADIFCnt.txt")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("\"Old\",1\r\n");
        old.close();
        const CountryConversion r = convertCountryFile(kSmall);
        QVERIFY(r.files);

        // A folder stands where the prefix table would go: its write fails.
        const QString prefixPath = QDir(folders.SharedFolder).filePath(QStringLiteral("arrlpre2.txt"));
        QVERIFY(QDir().mkpath(prefixPath));
        QVERIFY(installCountryFiles(folders, *r.files).has_value());
        QFile kept(folders.workingFile(QStringLiteral("ADIFCnt.txt")));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("\"Old\",1\r\n"));
        kept.close();

        QVERIFY(QDir().rmdir(prefixPath));
        QVERIFY(!installCountryFiles(folders, *r.files).has_value());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), r.files->countryFile); // replaced where it was read from
        QFile prefixes(prefixPath);
        QVERIFY(prefixes.open(QIODevice::ReadOnly));
        QCOMPARE(prefixes.readAll(), r.files->prefixFile);
    }
};

QTEST_GUILESS_MAIN(TestCountryFile)
#include "tst_countryfile.moc"

// Tests of the prefix table: loading, the call lookup with its portable, KG4, USA and
// Canada rules, entity completion, bearing and distance, and the shipped tables.
#include "log/PrefixTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ditlog;

namespace {

PrefixEntry dx(const QString& prefix, const QString& entity, const QString& continent = "EU",
               float longitude = 0, float latitude = 0) {
    return PrefixEntry{prefix, entity, continent, longitude, latitude};
}

// Shaped so that the estimated start lands inside the K and Z blocks (the lookup has to
// step back) and after the V block and the digits (it has to scan downwards).
PrefixTable shapedTable() {
    QList<PrefixEntry> entries{dx("3A", "Monaco"), dx("4X", "Israel", "AS")};
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (letter == 'K') {
            entries << dx("KH6", "Hawaii", "OC", 157.48f, 21.12f)
                    << dx("K", "USA", "NA", 91.87f, 37.6f)
                    << dx("KG4", "Guantanamo Bay", "NA", 75, 20) << dx("KL", "Alaska", "NA");
        }
        if (letter == 'V') {
            entries << dx("VE", "Canada", "NA") << dx("VK", "Australia", "OC");
        }
        if (letter == 'Z') {
            entries << dx("ZS", "South Africa", "AF") << dx("ZS", "Second South Africa", "AF");
        }
        for (int n = 0; n < (letter == 'K' ? 20 : letter == 'Z' ? 30 : 1); ++n) {
            entries << dx(QChar::fromLatin1(letter) + QStringLiteral("Q%1").arg(n), "Filler");
        }
    }
    return PrefixTable(entries);
}

// The longest prefix anywhere in the table that begins the call, ignoring case.
qsizetype longestMatch(const PrefixTable& table, const QString& call) {
    qsizetype longest = 0;
    for (int index = 1; index <= table.count(); ++index) {
        if (call.startsWith(table.entry(index).prefix, Qt::CaseInsensitive)) {
            longest = std::max(longest, table.entry(index).prefix.size());
        }
    }
    return longest;
}

PrefixTable shippedTable() {
    PrefixTable table;
    const auto content = readWholeFile(QStringLiteral(DITLOG_SOURCE_DIR "/data/arrlpre2.txt"));
    if (content) {
        LoadPrefixTable(table, *content);
    }
    return table;
}

} // namespace

class TestPrefixTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadsRecordsSpanningAndSharingLines() {
        PrefixTable table;
        QVERIFY(!LoadPrefixTable(table,
                                 "\"1A\",\"Sov Mil Order of Malta\",\"EU\",-12.43,41.9,15,28,-1\r\n"
                                 "\"KH6\",\"Hawaii\",\r\n\"OC\",157.48,\r\n21.12,31,61,10\r\n"
                                 "\"VE\",\"Canada\",\"NA\",78.75,44.35,\"5\",9,5,\"G\",\"England\","
                                 "\"EU\",1.47,52.77,14,27,0\r\n\r\n"));
        QCOMPARE(table.count(), 4);
        const PrefixEntry& hawaii = table.entry(2);
        QCOMPARE(hawaii.prefix + hawaii.entity + hawaii.continent, QString("KH6HawaiiOC"));
        QCOMPARE(hawaii.longitude, 157.48f);
        QCOMPARE(hawaii.latitude, 21.12f);
        QCOMPARE(table.entry(4).entity, QString("England"));
        QCOMPARE(table.entry(0).prefix + table.entry(5).entity, QString());
    }

    void malformedTableIsRefusedWithPosition() {
        const QByteArray first = "\"A\",\"B\",\"C\",1,2,3,4,5\r\n";
        const QList<std::tuple<QByteArray, int, int>> cases{
            {first + "\"K\",\"USA\",\"NA\",west,37,5,8,5\r\n", 2, 4}, // text for a number
            {first + "\"K\",\"USA\"\r\n", 3, 1},                      // entry cut short
            {first + "\"K\",\"USA\",\"NA\",1e39,37,5,8,5", 0, 0}};    // beyond single precision
        for (const auto& [content, line, field] : cases) {
            PrefixTable table(QList<PrefixEntry>{dx("X", "Stale")});
            const auto error = LoadPrefixTable(table, content);
            QVERIFY(error);
            QCOMPARE(error->line, line);
            QCOMPARE(error->field, field);
            QVERIFY(table.isEmpty());
        }
    }

    void refusesMoreThanMaxEntries() {
        QByteArray content = QByteArray("\"K\",\"USA\",\"NA\",91.87,37.6,5,8,5\r\n")
                                 .repeated(PrefixTable::MaxEntries);
        PrefixTable table;
        QVERIFY(!LoadPrefixTable(table, content));
        QCOMPARE(table.count(), PrefixTable::MaxEntries);
        QVERIFY(LoadPrefixTable(table, content + "\"W\",\"USA\",\"NA\",91.87,37.6,5,8,5\r\n"));
        QVERIFY(table.isEmpty());
    }

    void findsFileInSharedThenDataThenWorkingFolder() {
        QTemporaryDir root;
        QStringList folders{root.filePath("shared"), root.filePath("data"), root.filePath("work")};
        PrefixTable table(QList<PrefixEntry>{dx("X", "Stale")});
        QVERIFY(!LoadPrefixTable(table, folders[0], folders[1], folders[2]));
        QVERIFY(table.isEmpty());
        for (int n = 2; n >= 0; --n) {
            QVERIFY(QDir().mkpath(folders[n]));
            QFile file(QDir(folders[n]).filePath("arrlpre2.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QStringLiteral("\"P%1\",\"E\",\"EU\",0,0,0,0,0\r\n").arg(n).toLatin1());
            file.close();
            QCOMPARE(findPrefixFile(folders[0], folders[1], folders[2]), file.fileName());
        }
        QVERIFY(!LoadPrefixTable(table, folders[0], folders[1], folders[2]));
        QCOMPARE(table.entry(1).prefix, QString("P0"));
    }

    void findsLongestPrefixWithinBlock() {
        const PrefixTable table = shapedTable();
        const QList<QPair<QString, QString>> calls{
            {"4X4ABC", "Israel"},       // digit first: starts at A's estimate, scans down
            {"KH6ABC", "Hawaii"},       // the longer prefix, listed before K
            {"K1ABC", "USA"},           // listed after a longer one; start stepped back
            {"kl7ab", "Alaska"},        // lower case starts past Z
            {"VK2ABC", "Australia"},    // block before the estimate: scans down
            {"ZS6ABC", "South Africa"}, // first of two equal prefixes
            {"ZQ0A", "Filler"},         // last entry
            {"3A2B", "Monaco"},         // first entry
            {"1AB", ""}};
        for (const auto& [call, entity] : calls) {
            QCOMPARE(table.entry(findPrefixEntry(table, call, Qt::CaseInsensitive)).entity, entity);
        }
    }

    void anyFirstCharacterStaysInsideTheTable() {
        const QList<PrefixTable> tables{
            PrefixTable(), PrefixTable(QList<PrefixEntry>{dx("K", "USA")}),
            PrefixTable(QList<PrefixEntry>{dx("A", "a"), dx("Z", "z")}), shapedTable()};
        for (const PrefixTable& table : tables) {
            for (char16_t code : {u'\0', u'/', u'0', u'@', u'A', u'K', u'Z', u'[', u'a', u'k', u'z',
                                  u'\u00e9', u'\u00ff', u'\u4e00', u'\uffff'}) {
                for (const QString& tail : {QString(), QString("L7AB"), QString("/K")}) {
                    const QString call = QChar(code) + tail;
                    const int found = findPrefixEntry(table, call, Qt::CaseSensitive);
                    QVERIFY(found >= 0 && found <= table.count());
                    QCOMPARE(table.entry(findPrefixEntry(table, call, Qt::CaseInsensitive))
                                 .prefix.size(),
                             longestMatch(table, call));
                    CountryLookup(table, call, u"", 40, 75);
                }
            }
        }
    }

    void portablePartIsLookedUpWhenShort() {
        const QList<QPair<QString, QString>> calls{
            {"W1ABC/VE3", "VE3"},   {"W1A/KH6", "KH6"},         {"AB/KH6", "AB/KH6"},
            {"W1ABC/P", "W1ABC/P"}, {"VE3/W1ABC", "VE3/W1ABC"}, {"W1ABC/", "W1ABC/"}};
        for (const auto& [call, lookedUp] : calls) {
            QCOMPARE(callForLookup(call).toString(), lookedUp);
        }
    }

    void lookupDecidesWhatTheWindowShows() {
        const PrefixTable table = shapedTable();
        CountryLookupResult r = CountryLookup(table, u"W1ABC/KH6", u"", 40, 75);
        QVERIFY(r.ran && r.setSpc && r.selectSpc);
        QCOMPARE(r.spc + r.continent, QString("HawaiiOC"));
        const BearingDistance hawaii = HDCalc(40, 75, 21.12f, 157.48f);
        QVERIFY(!hawaii.bearing.isEmpty());
        QCOMPARE(r.bearing + r.distance, hawaii.bearing + hawaii.distance);

        // Canada: the operator's province stays and only the continent shows ...
        r = CountryLookup(table, u"VE3/W1ABC", u"ON", 40, 75);
        QVERIFY(r.ran && !r.setSpc && r.selectSpc);
        QCOMPARE(r.continent + r.bearing + r.distance, QString("NA"));
        // ... unless the field still says "Not Found" from the previous keystroke.
        r = CountryLookup(table, u"VE3", u"Not Found", 40, 75);
        QVERIFY(!r.setSpc && r.continent.isEmpty());

        r = CountryLookup(table, u"QQ1ABC", u"Hawaii", 40, 75);
        QVERIFY(r.setSpc && r.selectSpc);
        QCOMPARE(r.spc, QString("Not Found"));
        QCOMPARE(r.continent + r.bearing + r.distance, QString());

        r = CountryLookup(table, u"", u"Hawaii", 40, 75);
        QVERIFY(!r.ran && !r.setSpc && !r.selectSpc);

        // KG4 is Guantanamo Bay with a two-letter suffix only; other KG4 calls are USA.
        r = CountryLookup(table, u"KG4AB", u"", 40, 75);
        QCOMPARE(r.spc + r.bearing, "Guantanamo Bay" + HDCalc(40, 75, 20, 75).bearing);
        const BearingDistance usa = HDCalc(40, 75, 37.6f, 91.87f);
        for (const auto call : {u"KG4ABC", u"KG4A", u"kg4abc"}) {
            r = CountryLookup(table, call, u"", 40, 75);
            QVERIFY2(r.setSpc && r.spc.isEmpty(), qPrintable(r.spc));
            QCOMPARE(r.continent + r.bearing + r.distance, "NA" + usa.bearing + usa.distance);
        }
    }

    void completesEntityFromTheLastEntry() {
        const PrefixTable table(QList<PrefixEntry>{dx("I", "Italy"), dx("EI", "Ireland"),
                                                   dx("GD", "Isle of Man"),
                                                   dx("HB", "Switzerland")});
        QCOMPARE(findEntityCompletion(table, u"I", Qt::CaseSensitive), 3);
        QCOMPARE(findEntityCompletion(table, u"Ir", Qt::CaseSensitive), 2);
        QCOMPARE(findEntityCompletion(table, u"IT", Qt::CaseSensitive), 0);
        QCOMPARE(findEntityCompletion(table, u"IT", Qt::CaseInsensitive), 1);
    }

    void bearingAndDistance() {
        struct Case {
            float ownLat, ownLong, lat, lon;
            const char* bearing;
            const char* distance;
        };
        const Case cases[] = {{0, 0, 0, -90, "90 ", "6,214 "},      // a quarter circle east
                              {0, 0, 0, 90, "270 ", "6,214 "},      // ... and west
                              {30, 0, 60, -90, "34 ", "4,442 "},    // atan(0.5 / 0.75)
                              {-30, 0, -60, -90, "146 ", "4,442 "}, // the same mirrored south
                              {0, 0, 0, -170, "90 ", "11,737 "},
                              {0, 0, 0, -0.005f, "90 ", " "}, // under half a mile shows no digits
                              {41.7f, 72.7f, 41.7f, 72.7f, "", ""},
                              {0, 0, 0, 180, "", ""}};
        for (const Case& c : cases) {
            const BearingDistance result = HDCalc(c.ownLat, c.ownLong, c.lat, c.lon);
            QCOMPARE(result.bearing, QString(c.bearing));
            QCOMPARE(result.distance, QString(c.distance));
        }
    }

    void shippedTableFindsRealCalls() {
        const PrefixTable table = shippedTable();
        QVERIFY(table.count() > 4000);
        for (int index = 2; index <= table.count(); ++index) {
            QVERIFY2(table.entry(index - 1).prefix.front().toUpper() <=
                         table.entry(index).prefix.front().toUpper(),
                     qPrintable(table.entry(index).prefix));
        }
        const QList<QPair<QString, QString>> calls{
            {"G4ABC", "England"},        {"JA1ABC", "Japan"},
            {"KH6ABC", "Hawaii"},        {"4X4ABC", "Israel"},
            {"KG4AB", "Guantanamo Bay"}, {"KG4ABC", ""},
            {"KL7ABC", "Alaska"},        {"DL/W1ABC", "Fed. Rep. of Germany"}};
        for (const auto& [call, entity] : calls) {
            const CountryLookupResult r = CountryLookup(table, call, u"", 41.7f, 72.7f);
            QVERIFY2(r.setSpc && r.spc == entity, qPrintable(call + " " + r.spc));
            QVERIFY2(!r.continent.isEmpty() && !r.distance.isEmpty(), qPrintable(call));
        }
        for (const QString& call : QStringList{"VE3ABC", "W1ABC", "N1ABC/VE3"}) {
            const CountryLookupResult r = CountryLookup(table, call, u"CT", 41.7f, 72.7f);
            QVERIFY2(!r.setSpc && r.continent == "NA", qPrintable(call));
        }
        const auto numbers = readWholeFile(QStringLiteral(DITLOG_SOURCE_DIR "/data/ADIFCnt.txt"));
        QVERIFY(numbers && numbers->startsWith("\"Sov Mil Order of Malta\",246\r\n"));
        QVERIFY(numbers->contains("\r\n\"USA\",291\r\n") &&
                numbers->contains("\r\n\"Canada\",1\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestPrefixTable)
#include "tst_prefixtable.moc"

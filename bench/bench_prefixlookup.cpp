// Figures for the prefix table: reading the shipped table at start-up, and the lookup
// that runs on every keystroke in the call field.
#include "log/PrefixTable.h"

#include <QtTest>

using namespace ditlog;

class BenchPrefixLookup : public QObject {
    Q_OBJECT

private:
    QByteArray m_content;
    PrefixTable m_table;

private Q_SLOTS:
    void initTestCase() {
        const auto content = readWholeFile(QStringLiteral(DITLOG_SOURCE_DIR "/data/arrlpre2.txt"));
        QVERIFY(content);
        m_content = *content;
        QVERIFY(!LoadPrefixTable(m_table, m_content));
        qInfo("%d entries", m_table.count());
    }

    void loadTable() {
        PrefixTable table;
        QBENCHMARK {
            LoadPrefixTable(table, m_content);
        }
        QVERIFY(table.count() > 4000);
    }

    void lookupCall_data() {
        QTest::addColumn<QString>("call");
        QTest::newRow("K1ABC") << "K1ABC";
        QTest::newRow("4X4ABC") << "4X4ABC";
        QTest::newRow("VK2ABC") << "VK2ABC";
        QTest::newRow("W1ABC/KH6") << "W1ABC/KH6";
        QTest::newRow("lower case") << "zs6abc";
    }
    void lookupCall() {
        QFETCH(QString, call);
        CountryLookupResult result;
        QBENCHMARK {
            result = CountryLookup(m_table, call, u"", 41.7f, 72.7f);
        }
        QVERIFY(result.ran);
    }
};

QTEST_APPLESS_MAIN(BenchPrefixLookup)
#include "bench_prefixlookup.moc"

// Record-file reading and writing byte for byte, and the durable write paths.
#include "log/RecordFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;

class TestRecordFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesQuotedTextBareNumbersAndCrLf() {
        RecordWriter w;
        w.text(QStringLiteral("K1ABC")).text(QString()).number(5).singleNumber(14.025f);
        w.number(-0.5).integer(255).boolean(true).boolean(false);
        QCOMPARE(w.takeLine(), QByteArray("\"K1ABC\",\"\",5,14.025,-0.5,255,#TRUE#,#FALSE#\r\n"));
        QVERIFY(w.isEmpty());
        QCOMPARE(w.text(QStringLiteral("x")).takeLine(), QByteArray("\"x\"\r\n"));
    }

    void shortestNumberForms() {
        QCOMPARE(shortestNumber(5.0), QStringLiteral("5"));
        QCOMPARE(shortestNumber(5.0f), QStringLiteral("5"));
        QCOMPARE(shortestNumber(-0.0), QStringLiteral("0"));
        QCOMPARE(shortestNumber(0.1f), QStringLiteral("0.1"));
        QCOMPARE(shortestNumber(72.5f), QStringLiteral("72.5"));
        QCOMPARE(shortestNumber(1234567.0), QStringLiteral("1234567"));
        QCOMPARE(shortestNumber(qQNaN()), QStringLiteral("0"));
    }

    void stripsWhatCannotBeStored() {
        QCOMPARE(stripUnstorable(QStringLiteral("BO\"B\r\n\tX")), QStringLiteral("BOBX"));
        QCOMPARE(stripUnstorable(QStringLiteral("Côte d'Ivoire")), QStringLiteral("Côte d'Ivoire"));
    }

    void roundTripsEveryByte() {
        QString all;
        for (int c = 0x20; c <= 0xFF; ++c) {
            if (c != '"' && c != 0x7F) {
                all.append(QChar(c));
            }
        }
        RecordWriter w;
        const QByteArray line = w.text(all).number(2).takeLine();
        RecordReader r(line);
        QCOMPARE(r.readText().value(), all);
        QCOMPARE(r.readNumber().value(), 2.0);
        QVERIFY(r.atEnd());
    }

    void readsRecordsSpanningAndSharingLines() {
        RecordReader r("  \"A\" , 1.50 ,\r\n\"B\"\r\n\r\n\"C\",#true#,\"\"\n  7  ");
        QCOMPARE(r.readText().value(), QStringLiteral("A"));
        QCOMPARE(r.readNumber().value(), 1.5);
        QCOMPARE(r.readText().value(), QStringLiteral("B"));
        QCOMPARE(r.readText().value(), QStringLiteral("C"));
        QCOMPARE(r.readBool().value(), true);
        QCOMPARE(r.readText().value(), QString());
        QCOMPARE(r.readNumber().value(), 7.0);
        QVERIFY(r.atEnd());
        QVERIFY(!r.failed());
    }

    void reportsWhereMalformedInputFails_data() {
        // kinds: the reads to make in order, t for text and n for a number
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("field");
        QTest::newRow("stray quote after text")
            << QByteArray("\"a\",\"b\"\r\n\"K1\"AB\",5\r\n") << "tttn" << 2 << 1;
        QTest::newRow("quote inside bare field") << QByteArray("\"a\",b\"c\r\n") << "tt" << 1 << 2;
        QTest::newRow("unclosed quote") << QByteArray("\"a\",\"b\r\n\"c\"") << "ttt" << 1 << 2;
        QTest::newRow("text where a number is") << QByteArray("\"a\",\"5\"") << "tn" << 1 << 2;
        QTest::newRow("letters where a number is") << QByteArray("\"a\",5x") << "tn" << 1 << 2;
        QTest::newRow("missing field at end") << QByteArray("\"a\"\r\n") << "tn" << 2 << 1;
    }
    void reportsWhereMalformedInputFails() {
        QFETCH(QByteArray, content);
        QFETCH(QString, kinds);
        QFETCH(int, line);
        QFETCH(int, field);
        RecordReader r(content);
        bool ok = true;
        for (const QChar kind : kinds) {
            ok = ok && (kind == QLatin1Char('t') ? r.readText().has_value()
                                                 : r.readNumber().has_value());
        }
        QVERIFY(!ok);
        QVERIFY(r.failed());
        QCOMPARE(r.error().line, line);
        QCOMPARE(r.error().field, field);
        QVERIFY(r.error().describe().contains(QStringLiteral("line %1").arg(line)));
        QVERIFY(!r.readText().has_value()); // stays failed
    }

    void emptyBareNumberReadsAsZero() {
        RecordReader r(",\"x\"");
        QCOMPARE(r.readNumber().value(), 0.0);
        QCOMPARE(r.readText().value(), QStringLiteral("x"));
    }

    void atomicRewriteReplacesWholeFileAndLeavesNoTemporary() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QVERIFY(!writeFileAtomically(path, "old\r\n").has_value());
        QVERIFY(!writeFileAtomically(path, "new\r\n").has_value());
        QCOMPARE(readWholeFile(path).value(), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("log.txt")});
    }

    void failedWritesReportAndKeepTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QVERIFY(!writeFileAtomically(path, "kept\r\n").has_value());
        QVERIFY(writeFileAtomically(dir.filePath(QStringLiteral("no/such/folder/x")), "y").has_value());
        QVERIFY(appendToFile(dir.filePath(QStringLiteral("no/such/folder/x")), "y").has_value());
        QVERIFY(!appendToFile(path, "more\r\n").has_value());
        QCOMPARE(readWholeFile(path).value(), QByteArray("kept\r\nmore\r\n"));
        QString error;
        QVERIFY(!readWholeFile(dir.filePath(QStringLiteral("missing")), &error).has_value());
        QVERIFY(!error.isEmpty());
        QVERIFY(!readWholeFile(path, &error, 4).has_value());
    }
};

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"

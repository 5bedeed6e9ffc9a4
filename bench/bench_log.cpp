// Figures for the log file at its largest: load, durable append, atomic rewrite and
// reload. (Refilling the "All" list is measured through the main window, painted.)
#include "BenchData.h"
#include "log/ContactLog.h"
#include "log/RecordFile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ditlog;

class BenchLog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_text;

    QString path() const { return m_dir.filePath(QStringLiteral("log.txt")); }

private Q_SLOTS:
    void initTestCase() {
        m_text = bench::generatedLog(ContactLog::kMaxRecords);
        QVERIFY(!writeFileAtomically(path(), m_text));
        qInfo("log.txt of %d records, %lld bytes", ContactLog::kMaxRecords, qlonglong(m_text.size()));
    }

    void load() {
        LogFile file(path());
        ContactLog log;
        QBENCHMARK {
            QVERIFY(!file.load(log));
        }
        QCOMPARE(log.count(), ContactLog::kMaxRecords);
    }

    void append() {
        LogFile file(m_dir.filePath(QStringLiteral("append.txt")));
        ContactLog log;
        QVERIFY(!log.loadFromText(bench::generatedLog(100)));
        const ContactRecord r = log.record(1);
        QBENCHMARK {
            QVERIFY(!file.append(log, r, true));
        }
    }

    void rewriteAndReload() {
        LogFile file(path());
        ContactLog log;
        QVERIFY(!file.load(log));
        QBENCHMARK {
            QVERIFY(!file.rewrite(log));
            QVERIFY(!file.load(log));
        }
    }
};

QTEST_MAIN(BenchLog)
#include "bench_log.moc"

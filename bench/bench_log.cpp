// Figures for the log file at its largest: load, durable append, atomic rewrite and
// reload, and refilling the "All" list.
#include "BenchData.h"
#include "log/RecentContactsModel.h"

#include <QTemporaryDir>
#include <QTreeView>
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

    void refillAllList() {
        ContactLog log;
        QVERIFY(!log.loadFromText(m_text));
        RecentContactsModel model(log);
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.resize(800, 400);
        view.show();
        QBENCHMARK {
            model.RecentList(true);
            view.viewport()->repaint();
        }
        QCOMPARE(model.rowCount(), ContactLog::kMaxRecords);
    }
};

QTEST_MAIN(BenchLog)
#include "bench_log.moc"

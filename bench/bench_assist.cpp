// Figures of the contest aids: loading the 85,000-call master list, one key in the call
// field with that list loaded and the check-partial list repainted (11,000-record log),
// alone and with every aid on,
// the search alone, and one call-history lookup with the member roster and a learned log.
// The master list and the roster are Debian's tlf files when installed, else generated
// lists of the same size.
#include "BenchData.h"
#include "MainWindowFixture.h"
#include "app/AssistDesk.h"
#include "app/CheckPartialList.h"
#include "app/EntryPanel.h"
#include "assist/CallHistory.h"
#include "assist/CheckPartial.h"
#include "assist/PartialMatches.h"
#include "assist/WorkedCalls.h"

#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QtTest>

namespace {
const QString kTlfMaster = QStringLiteral("/usr/share/tlf/callmaster");
const QString kTlfRoster = QStringLiteral("/usr/share/tlf/cwops.txt");

QByteArray fileOr(const QString& path, const std::function<QByteArray()>& generate) {
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        return f.readAll();
    }
    qInfo("%s is not installed: a generated list of the same size is used", qPrintable(path));
    return generate();
}

QByteArray generatedCalls(int count) {
    QRandomGenerator random(85);
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        static const char* const prefixes[] = {"W", "K", "N", "AA", "KB", "VE", "G", "DL", "JA", "EA"};
        out += prefixes[random.bounded(10)];
        out += char('0' + random.bounded(10));
        for (int k = 0, n = 1 + int(random.bounded(3)); k < n; ++k) {
            out += char('A' + random.bounded(26));
        }
        out += '\n';
    }
    return out;
}

QByteArray masterList() { return fileOr(kTlfMaster, [] { return generatedCalls(85000); }); }

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// What the event loop does after a key: posted events, the list's delayed layout (a
// zero timer of the view), then the repaint of what changed.
void runPendingWork() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}
} // namespace

using namespace ditlog;

class BenchAssist : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::MainWindowFixture> m_f;

private Q_SLOTS:
    void initTestCase() {
        m_f = std::make_unique<testing::MainWindowFixture>(bench::generatedLog(ContactLog::kMaxRecords - 1000));
        QFile master(m_f->workingFile(QStringLiteral("MASTER.SCP")));
        QVERIFY(master.open(QIODevice::WriteOnly));
        master.write(masterList());
        master.close();
        m_f->settings().setValue(QLatin1String(AssistDesk::kCheckPartialKey), QStringLiteral("1"));
        m_f->startUp();
        QVERIFY(QTest::qWaitForWindowActive(&m_f->window()));
        QVERIFY(m_f->window().assist().master().size() > 80000);
    }

    void loadMasterList() {
        const QByteArray text = masterList();
        CheckPartial list;
        QBENCHMARK {
            QVERIFY(!list.loadText(text).error);
        }
        qInfo("%d calls", list.size());
    }

    // One key in the call field through real key events: the documented rules, the
    // search of 85,000 calls and this log's 11,000 contacts, the list reset and painted.
    void callFieldKeystroke() {
        EntryPanel& e = m_f->window().entry();
        e.cmdClear_Click();
        QTest::keyClicks(e.txtCall, QStringLiteral("K1A"));
        runPendingWork();
        for (int i = 0; i < 20; ++i) { // warm: fonts, the list's first layouts
            QTest::keyClick(e.txtCall, Qt::Key_B);
            runPendingWork();
            QTest::keyClick(e.txtCall, Qt::Key_Backspace);
            runPendingWork();
        }
        PaintCounter counter;
        CheckPartialList* list = m_f->window().assist().checkPartialList();
        QVERIFY2(list->isVisible(), "the check-partial list shows");
        list->viewport()->installEventFilter(&counter);
        QBENCHMARK {
            QTest::keyClick(e.txtCall, Qt::Key_B);
            runPendingWork();
            QTest::keyClick(e.txtCall, Qt::Key_Backspace);
            runPendingWork();
        }
        QVERIFY(list->model().rowCount() > 0);
        QVERIFY(counter.paints > 0);
    }

    // The same key with every aid on: the call history's lookup and fill, and what Enter
    // would send shown on the status line.
    void callFieldKeystrokeEveryAid() {
        AssistDesk& a = m_f->window().assist();
        a.setCallHistoryOn(true);
        a.setEnterSendsMessageOn(true);
        QTRY_VERIFY(!a.learning());
        EntryPanel& e = m_f->window().entry();
        e.cmdClear_Click();
        QTest::keyClicks(e.txtCall, QStringLiteral("K1A"));
        runPendingWork();
        QBENCHMARK {
            QTest::keyClick(e.txtCall, Qt::Key_B);
            runPendingWork();
            QTest::keyClick(e.txtCall, Qt::Key_Backspace);
            runPendingWork();
        }
        QVERIFY(!a.nextActionText().isEmpty());
        a.setCallHistoryOn(false);
        a.setEnterSendsMessageOn(false);
    }

    // The search alone, for the fragments of typing a call.
    void partialSearch() {
        const AssistDesk& a = m_f->window().assist();
        const QStringList fragments{QStringLiteral("K1"), QStringLiteral("K1A"), QStringLiteral("K1AB"),
                                    QStringLiteral("K1ABC"), QStringLiteral("QXZ9")};
        int rows = 0;
        QBENCHMARK {
            for (const QString& fragment : fragments) {
                rows += int(findPartials(a.master(), a.worked(), fragment, CheckPartialList::kShownCalls).rows.size());
            }
        }
        QVERIFY(rows > 0);
    }

    // One lookup of a call among the roster's and a learned 12,000-record log's calls
    // (calls of the log, of the roster, and one unknown, in turn).
    void historyLookup() {
        CallHistory history;
        const QByteArray roster = fileOr(kTlfRoster, [] {
            QByteArray r;
            for (int i = 0; i < 2000; ++i) {
                r += QStringLiteral("W%1AB%2,BOB %3\n").arg(i % 10).arg(QChar('A' + i % 26)).arg(i).toLatin1();
            }
            return r;
        });
        QVERIFY(!history.loadText(roster).error);
        ContactLog log;
        QVERIFY(!log.loadFromText(bench::generatedLog(ContactLog::kMaxRecords)));
        history.learn(log.records());
        QStringList calls;
        for (int i = 1; i <= log.count(); i += 97) {
            calls << log.record(i).call;
        }
        calls << QStringLiteral("4X4NJ") << QStringLiteral("NOCALL9");
        int found = 0;
        qsizetype next = 0;
        QBENCHMARK {
            found += history.find(calls.at(next++ % calls.size())) ? 1 : 0;
        }
        QVERIFY(found > 0);
    }
};

QTEST_MAIN(BenchAssist)
#include "bench_assist.moc"

// Figures for the main window with a full log: one keystroke in the call field through
// real key events and logging one contact, each with the repaint it causes, and refilling
// the recent list with all contacts, painted.
#include "BenchData.h"
#include "MainWindowFixture.h"
#include "app/EntryPanel.h"
#include "log/DuplicateCheck.h"
#include "log/PrefixTable.h"
#include "log/Score.h"

#include "app/ListsPanel.h"
#include "log/RecentContactsModel.h"

#include <QLineEdit>
#include <QTreeView>
#include <QtTest>

namespace {
// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

// What the event loop does after an event: layouts, then the repaint of what changed.
void runPendingWork() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}
} // namespace

using namespace ditlog;

class BenchWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::MainWindowFixture> m_f;

private Q_SLOTS:
    void initTestCase() {
        m_f = std::make_unique<testing::MainWindowFixture>(bench::generatedLog(ContactLog::kMaxRecords - 1000));
        m_f->startUp();
        QVERIFY(QTest::qWaitForWindowActive(&m_f->window()));
        QCOMPARE(m_f->window().contactLog().count(), ContactLog::kMaxRecords - 1000);
    }

    void callFieldKeystroke() {
        EntryPanel& e = m_f->window().entry();
        e.cmdClear_Click();
        QTest::keyClicks(e.txtCall, QStringLiteral("K1A"));
        runPendingWork();
        PaintCounter counter;
        e.txtCall->installEventFilter(&counter);
        QBENCHMARK {
            QTest::keyClick(e.txtCall, Qt::Key_B);
            runPendingWork();
            QTest::keyClick(e.txtCall, Qt::Key_Backspace);
            runPendingWork();
        }
        QVERIFY(counter.paints > 0);
    }

    // The rules run for one key in the call field, without the window around them.
    void callFieldCore() {
        const MainWindow& w = m_f->window();
        const ContactLog& log = m_f->window().contactLog();
        QBENCHMARK {
            const auto lookup = CountryLookup(w.prefixTable(), u"K1ABC", u"", 41.7f, 72.7f);
            const QString list = partialDuplicates(log, QStringLiteral("K1AB"), QStringLiteral("20"));
            const bool shown = NewIndicator(log, lookup.spc);
            Q_UNUSED(list);
            Q_UNUSED(shown);
        }
    }

    void logOneContact() {
        EntryPanel& e = m_f->window().entry();
        int n = 0;
        QBENCHMARK {
            e.cmdClear_Click();
            e.txtCall->setText(QStringLiteral("W%1XYZ").arg(n++));
            e.txtRSTR->setText(QStringLiteral("599"));
            e.txtCntry->setText(QStringLiteral("CT"));
            e.txtName->setText(QStringLiteral("AL"));
            e.txtSec->setText(QStringLiteral("123"));
            e.txtRSTS->setText(QStringLiteral("599"));
            e.Mains();
            runPendingWork();
        }
    }

    // "All" on a full log: the model reset, the view's layout and its paint.
    void refillAllList() {
        MainWindow& w = m_f->window();
        QTreeView* view = w.lists().ListView1();
        PaintCounter counter;
        view->viewport()->installEventFilter(&counter);
        QBENCHMARK {
            w.lists().model().RecentList(true);
            view->doItemsLayout();
            view->viewport()->repaint();
        }
        QVERIFY(counter.paints > 0);
        QCOMPARE(w.lists().model().rowCount(), w.contactLog().count());
        w.lists().RecentList();
    }
};

QTEST_MAIN(BenchWindow)
#include "bench_window.moc"

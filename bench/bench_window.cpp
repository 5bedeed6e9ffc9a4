// Figures for the main window with a full log: one keystroke in the call field through
// real key events, logging one contact, and the process's peak memory.
#include "BenchData.h"
#include "MainWindowFixture.h"
#include "app/EntryPanel.h"
#include "log/DuplicateCheck.h"
#include "log/PrefixTable.h"
#include "log/Score.h"

#include <QLineEdit>
#include <QtTest>

#include <sys/resource.h>

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
        QBENCHMARK {
            QTest::keyClick(e.txtCall, Qt::Key_B);
            QTest::keyClick(e.txtCall, Qt::Key_Backspace);
        }
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
        }
    }

    void cleanupTestCase() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        qInfo("peak memory with a %d-record log: %ld MiB", m_f->window().contactLog().count(),
              usage.ru_maxrss / 1024);
    }
};

QTEST_MAIN(BenchWindow)
#include "bench_window.moc"

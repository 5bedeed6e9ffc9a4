// Check partial and call history through the main window: each aid off (the entry rules
// as they were, whatever files lie about) and on, the list beside the possible-duplicates
// box with its accessible name and speech, both history forms, the member roster and the
// master list of Debian's tlf package when installed, learning from earlier logs, and bad
// files that leave everything as it was.
#include "MainWindowFixture.h"
#include "app/AssistDesk.h"
#include "app/CheckPartialList.h"
#include "app/EntryPanel.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const QString kTlfMaster = QStringLiteral("/usr/share/tlf/callmaster");
const QString kTlfRoster = QStringLiteral("/usr/share/tlf/cwops.txt");

QByteArray line(const QString& call, const QString& band, const QString& name = QStringLiteral("BOB"),
                const QString& spc = QStringLiteral("MA"), const QString& date = QStringLiteral("2026/12/08")) {
    return QStringLiteral("\"%1\",\"579\",\"1234\",\"599\",\"%2\",\"%5\",\"14:00:00\",\"%3\",\"%4\",5,\"\"\r\n")
        .arg(call, spc, name, band, date)
        .toLatin1();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestAids : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    EntryPanel* e = nullptr;
    QStringList spoken;

    // A main window over the log, with files put in place and choices stored first.
    void start(const QByteArray& log = {}, const QStringList& aidsOn = {}) {
        f = std::make_unique<MainWindowFixture>(log);
        writeFile(f->workingFile(QStringLiteral("MASTER.SCP")),
                  "# test list\nK1ABC\nK1ABD\nK1AAA\nW1AW\nN1ABC\nAK1AZZ\n");
        writeFile(f->workingFile(QStringLiteral("callhistory.txt")),
                  "K1ABC,Bob 1234\nK1AB,Al 77\nW1XYZ,\"Zo\xc3\xab\" \xc5\x81ukasz 99\n");
        for (const QString& key : aidsOn) {
            f->settings().setValue(key, QStringLiteral("1"));
        }
        f->startUp();
        e = &f->window().entry();
        assist().setSpeech([this](const QString& text) { spoken << text; });
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        e->focusCall();
    }
    AssistDesk& assist() { return f->window().assist(); }
    CheckPartialList* list() { return assist().checkPartialList(); }
    QAction* action(const char* name) { return f->window().action(QLatin1String(name)); }
    void type(const QString& text) { typeKeys(e->txtCall, text); }
    QStringList shownCalls() {
        QStringList calls;
        for (int r = 0; r < list()->model().rowCount(); ++r) {
            calls << list()->model().index(r).data().toString();
        }
        return calls;
    }
    bool historyColoured(QLineEdit* field) {
        return field->palette().color(QPalette::Text) == EntryPanel::historyColour();
    }

private Q_SLOTS:
    void cleanup() {
        f.reset();
        spoken.clear();
    }

    void aidsOffLeaveTheEntryAsItWas() {
        start();
        for (const char* name : {"mnuCheckPartial", "mnuCallHistory", "mnuEnterSendsMessage"}) {
            QVERIFY(action(name)->isCheckable() && !action(name)->isChecked());
        }
        QVERIFY(action("mnuRunMode")->isChecked()); // on at first
        QVERIFY(list()->isHidden());
        const int dupeWidth = e->lblDupe->width();
        type(QStringLiteral("k1abc"));
        QVERIFY(e->txtName->text().isEmpty() && e->txtSec->text().isEmpty()); // the roster is not used
        QCOMPARE(list()->model().rowCount(), 0);
        // Enter logs as documented: the checks speak, nothing is sent or stored.
        QTest::keyClick(e->txtCall, Qt::Key_Return);
        QCOMPARE(e->lblDialog->text(), QStringLiteral("Need Report Sent!"));
        QCOMPARE(f->window().contactLog().count(), 0);
        QVERIFY(f->window().findChild<QStatusBar*>() == nullptr);
        // Ctrl+K is the field's own key: nothing is read out.
        e->focusCall();
        QTest::keyClick(e->txtCall, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(spoken.isEmpty());
        QCOMPARE(e->lblDupe->width(), dupeWidth);
        QVERIFY(f->settings().value(QLatin1String(AssistDesk::kCheckPartialKey)).isEmpty());
    }

    void checkPartialWhileTyping() {
        start(line(QStringLiteral("K1ABD"), QStringLiteral("160")) + line(QStringLiteral("KP4/K1A"), QStringLiteral("40")),
              {QLatin1String(AssistDesk::kCheckPartialKey)});
        QVERIFY(action("mnuCheckPartial")->isChecked());
        QVERIFY(list()->isVisible());
        QCOMPARE(list()->accessibleName(), QStringLiteral("Check partial"));
        QVERIFY(list()->geometry().left() >= e->lblDupe->geometry().right()); // beside the box
        type(QStringLiteral("k"));
        QCOMPARE(list()->model().rowCount(), 0); // one character is too few
        type(QStringLiteral("1a"));
        // This log's calls first and marked (K1ABD a dupe on 160), then the list's.
        QCOMPARE(shownCalls(), QStringList({"K1ABD*", "KP4/K1A*", "K1AAA", "K1ABC", "AK1AZZ"}));
        QCOMPARE(list()->model().index(0).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("K1ABD, worked on 160, dupe"));
        QCOMPARE(list()->model().index(1).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("KP4/K1A, worked on 40"));
        QCOMPARE(e->lblDupe->text().trimmed(), QStringLiteral("K1ABD")); // the documented box too
        // The count is spoken once typing pauses; Ctrl+K reads the first five calls.
        QTRY_COMPARE(spoken, QStringList({QStringLiteral("5 calls")}));
        QTest::keyClick(e->txtCall, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(e->txtCall->text(), QStringLiteral("K1A"));
        QCOMPARE(spoken.last(), QStringLiteral("5 calls: K 1 A B D worked, K P 4 stroke K 1 A worked, "
                                               "K 1 A A A, K 1 A B C, A K 1 A Z Z"));
        // Nothing holds the call: the calls one character away.
        type(QStringLiteral("BX"));
        QCOMPARE(shownCalls(), QStringList({"K1ABD*", "K1ABC"}));
        QCOMPARE(list()->countText(), QStringLiteral("2 near calls"));
        // A chosen call goes into the call field.
        Q_EMIT list()->callChosen(QStringLiteral("K1ABC"));
        QCOMPARE(e->txtCall->text(), QStringLiteral("K1ABC"));
        QVERIFY(e->txtCall->hasFocus());
    }

    void aCappedListSaysTheTotal() {
        start({}, {QLatin1String(AssistDesk::kCheckPartialKey)});
        QByteArray many;
        for (int i = 0; i < 100; ++i) {
            many += QStringLiteral("W9A%1\n").arg(i, 2, 10, QLatin1Char('0')).toLatin1();
        }
        const QString path = f->workingFile(QStringLiteral("big.scp"));
        writeFile(path, many);
        f->prompts.script(path);
        action("mnuLoadCheckPartial")->trigger();
        type(QStringLiteral("w9a"));
        QCOMPARE(list()->model().rowCount(), CheckPartialList::kShownCalls);
        QCOMPARE(list()->accessibleName(), QStringLiteral("Check partial, 20 of 100 calls"));
        QCOMPARE(f->settings().value(QLatin1String(AssistDesk::kCheckPartialFileKey)), path);
    }

    void theMasterListOfTlf() {
        if (!QFile::exists(kTlfMaster)) {
            QSKIP("tlf's master call list is not installed (tools/install-deps.sh installs it)");
        }
        start();
        f->prompts.script(kTlfMaster);
        action("mnuLoadCheckPartial")->trigger(); // picking a list turns the aid on
        QVERIFY(action("mnuCheckPartial")->isChecked());
        QVERIFY(assist().master().size() > 80000);
        type(QStringLiteral("K1A"));
        QVERIFY(list()->model().rowCount() > 0);
        for (const QString& call : shownCalls()) {
            QVERIFY2(call.contains(QLatin1String("K1A")), qPrintable(call));
        }
        QVERIFY(list()->accessibleName().startsWith(QLatin1String("Check partial, 20 of ")));
    }

    void badListsChangeNothing() {
        start(line(QStringLiteral("K1ABD"), QStringLiteral("160")), {QLatin1String(AssistDesk::kCheckPartialKey)});
        const QByteArray logBefore = f->logFileContent();
        QFile big(f->workingFile(QStringLiteral("huge.scp")));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(200LL * 1024 * 1024));
        big.close();
        writeFile(f->workingFile(QStringLiteral("binary.scp")), QByteArray("K1ABC\n\0\0\xff", 9));
        writeFile(f->workingFile(QStringLiteral("none.scp")), "# nothing\n\"QUOTED\"\n" + QByteArray(5000, 'A') + "\n");
        for (const char* name : {"huge.scp", "binary.scp", "none.scp"}) {
            f->prompts.clear();
            f->prompts.script(f->workingFile(QLatin1String(name)));
            action("mnuLoadCheckPartial")->trigger();
            const QList<PromptCall> boxes = f->prompts.callsOf(QStringLiteral("message"));
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].title, QStringLiteral("Unable to load check partial file."));
            QVERIFY2(boxes[0].text.contains(QLatin1String("kept")), qPrintable(boxes[0].text));
            QCOMPARE(assist().master().size(), 6); // the list in use
        }
        // Quotes and long lines among good calls: the good ones load, the rest is told.
        writeFile(f->workingFile(QStringLiteral("mixed.scp")),
                  "W2ABC\n\"W3ABC\"\n" + QByteArray(3000, 'K') + "\nW4ABC\n");
        f->prompts.clear();
        f->prompts.script(f->workingFile(QStringLiteral("mixed.scp")));
        action("mnuLoadCheckPartial")->trigger();
        QCOMPARE(assist().master().size(), 2);
        QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).value(0).text,
                 QStringLiteral("mixed.scp: 2 calls loaded. 2 lines that were not a call's were "
                                "skipped, the first at line 2."));
        QCOMPARE(f->logFileContent(), logBefore);
        QCOMPARE(f->window().contactLog().count(), 1);
    }

    void historyFillsWhatIsEmpty() {
        start({}, {QLatin1String(AssistDesk::kCallHistoryKey)});
        type(QStringLiteral("k1abc"));
        QCOMPARE(e->txtName->text(), QStringLiteral("BOB"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("1234"));
        QVERIFY(e->txtCntry->text().isEmpty()); // the roster has no state
        QVERIFY(historyColoured(e->txtName) && e->historyFilled(e->txtSec));
        QCOMPARE(e->txtName->accessibleDescription(), QStringLiteral("From the call history"));
        // Another call takes the values back and puts its own; an unknown one none.
        QTest::keyClick(e->txtCall, Qt::Key_Backspace);
        QCOMPARE(e->txtName->text(), QStringLiteral("AL"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("77"));
        type(QStringLiteral("x"));
        QVERIFY(e->txtName->text().isEmpty() && e->txtSec->text().isEmpty());
        QVERIFY(!historyColoured(e->txtName));
        // What the operator typed is never overwritten.
        e->cmdClear_Click();
        e->txtName->setFocus();
        typeKeys(e->txtName, QStringLiteral("ed"));
        e->focusCall();
        type(QStringLiteral("k1abc"));
        QCOMPARE(e->txtName->text(), QStringLiteral("ED"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("1234"));
        // Typing over a value makes it the operator's; moving on accepts one.
        QTest::keyClick(e->txtCall, Qt::Key_Space);   // to the received report
        QTest::keyClick(e->txtRSTR, Qt::Key_Space);   // to SPC
        typeKeys(e->txtCntry, QStringLiteral("ma "));  // to Name
        QTest::keyClick(e->txtName, Qt::Key_Space);   // to Varns/Pwr: history value selected
        typeKeys(e->txtSec, QStringLiteral("4321"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("4321"));
        QVERIFY(!historyColoured(e->txtSec) && !e->historyFilled(e->txtSec));
        QTest::keyClick(e->txtSec, Qt::Key_Return);
        QCOMPARE(f->window().contactLog().count(), 1);
        QCOMPARE(f->window().contactLog().record(1).exchange, QStringLiteral("4321"));

        // A history value only passed over is accepted and logged as it is; quotes and
        // letters outside the log's 8-bit set never reach the file.
        type(QStringLiteral("w1xyz"));
        QCOMPARE(e->txtName->text(), QStringLiteral("ZO\u00cb LUKASZ"));
        QTest::keyClick(e->txtCall, Qt::Key_Space);
        QTest::keyClick(e->txtRSTR, Qt::Key_Space);
        typeKeys(e->txtCntry, QStringLiteral("ct "));
        QTest::keyClick(e->txtName, Qt::Key_Space);
        QVERIFY(!historyColoured(e->txtName)); // moved on: accepted
        QTest::keyClick(e->txtSec, Qt::Key_Return);
        QCOMPARE(f->window().contactLog().count(), 2);
        QVERIFY(f->logFileContent().contains("\"ZO\xcb LUKASZ\""));
    }

    void thisLogWinsOverTheHistory() {
        start(line(QStringLiteral("K1ABC"), QStringLiteral("40"), QStringLiteral("ROBERT"), QStringLiteral("CT")),
              {QLatin1String(AssistDesk::kCallHistoryKey)});
        type(QStringLiteral("k1ab"));
        QCOMPARE(e->txtName->text(), QStringLiteral("AL")); // K1AB of the history
        type(QStringLiteral("c"));
        QVERIFY(e->txtName->text().isEmpty()); // K1ABC is in this log: its contact fills
        QTest::keyClick(e->txtCall, Qt::Key_Space);
        QCOMPARE(e->txtName->text(), QStringLiteral("ROBERT"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("CT"));
        QVERIFY(!historyColoured(e->txtName));
    }

    void headerFormAndTheRoster() {
        start();
        const QString header = f->workingFile(QStringLiteral("ch.txt"));
        writeFile(header, "!!Order!!,Call,Name,Loc1,State,Exch1\n# comment\nK9ABC,Joe,Chicago,il,4711\n");
        f->prompts.script(header);
        action("mnuLoadCallHistory")->trigger(); // picking a file turns the aid on
        QVERIFY(action("mnuCallHistory")->isChecked());
        QCOMPARE(f->settings().value(QLatin1String(AssistDesk::kCallHistoryFileKey)), header);
        type(QStringLiteral("K9ABC"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("IL"));
        QCOMPARE(e->txtName->text(), QStringLiteral("JOE"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("4711"));
        if (!QFile::exists(kTlfRoster)) {
            QSKIP("tlf's member roster is not installed (tools/install-deps.sh installs it)");
        }
        e->cmdClear_Click();
        f->prompts.script(kTlfRoster);
        action("mnuLoadCallHistory")->trigger();
        type(QStringLiteral("4x4nj"));
        QCOMPARE(e->txtName->text(), QStringLiteral("RIKI"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("275"));
        e->cmdClear_Click();
        type(QStringLiteral("AD0AB"));
        QCOMPARE(e->txtName->text(), QStringLiteral("JIM OR JAIME"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("2114"));
    }

    void badHistoryFilesChangeNothing() {
        start({}, {QLatin1String(AssistDesk::kCallHistoryKey)});
        writeFile(f->workingFile(QStringLiteral("bin.txt")), QByteArray(64, '\0'));
        writeFile(f->workingFile(QStringLiteral("nocall.txt")), "!!Order!!,Name,Exch1\nBob,1\n");
        for (const char* name : {"bin.txt", "nocall.txt", "missing.txt"}) {
            f->prompts.clear();
            f->prompts.script(f->workingFile(QLatin1String(name)));
            action("mnuLoadCallHistory")->trigger();
            QCOMPARE(f->prompts.callsOf(QStringLiteral("message")).value(0).title,
                     QStringLiteral("Unable to load call history file."));
        }
        type(QStringLiteral("k1abc"));
        QCOMPARE(e->txtName->text(), QStringLiteral("BOB")); // the history in use
    }

    void learnsFromEarlierLogs() {
        f = std::make_unique<MainWindowFixture>();
        const QString backup = f->folders().BackupFolder;
        writeFile(backup + QStringLiteral("/202001011200.log"),
                  line(QStringLiteral("W1AW"), QStringLiteral("20"), QStringLiteral("HIRAM"), QStringLiteral("CT"),
                       QStringLiteral("2020/01/01")));
        writeFile(f->folders().DataFolder + QStringLiteral("/K1XYZ2025-03-01.log"),
                  line(QStringLiteral("W1AW"), QStringLiteral("40"), QStringLiteral("HARRY"), QStringLiteral("RI"),
                       QStringLiteral("2025/03/01")) +
                      line(QStringLiteral("N1ABC"), QStringLiteral("40"), QStringLiteral("ANN"), QStringLiteral("ME"),
                           QStringLiteral("2025/03/01")));
        f->settings().setValue(QLatin1String(AssistDesk::kCallHistoryKey), QStringLiteral("1"));
        f->startUp();
        e = &f->window().entry();
        QTRY_VERIFY(!assist().learning());
        QCOMPARE(assist().history().learnedCalls(), 2);
        e->focusCall();
        type(QStringLiteral("w1aw"));
        QCOMPARE(e->txtName->text(), QStringLiteral("HARRY")); // the newest contact
        QCOMPARE(e->txtCntry->text(), QStringLiteral("RI"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("1234"));
        QVERIFY(historyColoured(e->txtCntry));
    }
};

QTEST_MAIN(TestAids)
#include "tst_aids.moc"

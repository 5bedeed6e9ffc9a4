// Log maintenance through the main window with scripted dialogs: edit and delete from
// the recent list, a new log, archive and restore, and the exports from the File menu.
#include "MainWindowFixture.h"

#include "app/ClockPanel.h"
#include "app/EntryPanel.h"
#include "app/ListsPanel.h"
#include "log/RecordFile.h"
#include "log/StationPreferences.h"
#include "log/RecentContactsModel.h"
#include "log/windows/EditContactDialog.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
QByteArray tenContacts() {
    QByteArray out;
    for (int i = 1; i <= 10; ++i) {
        out += QStringLiteral("\"K%1AB\",\"599\",\"1234\",\"599\",\"CT\",\"2026/12/08\",\"14:0%2:00\","
                              "\"BOB\",\"20\",5,\"14.025\"\r\n")
                   .arg(i)
                   .arg(i % 10)
                   .toLatin1();
    }
    return out;
}

// Clicks the recent-list row that shows the given record.
void clickRecord(MainWindow& w, int record) {
    QTreeView* view = w.lists().ListView1();
    const RecentContactsModel& model = w.lists().model();
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.recordAtRow(row) == record) {
            const QRect r = view->visualRect(model.index(row, 1));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
            return;
        }
    }
    QFAIL("record not shown");
}
} // namespace

class TestMaintenance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deleteRecordFiveOfTen() {
        MainWindowFixture f(tenContacts());
        f.startUp();
        MainWindow& w = f.window();
        QVERIFY(w.lists().cmdDelete()->isHidden());
        clickRecord(w, 5);
        QVERIFY(!w.lists().cmdDelete()->isHidden());
        f.prompts.script(PromptAnswer::Yes);
        QTest::mouseClick(w.lists().cmdDelete(), Qt::LeftButton);
        QCOMPARE(w.contactLog().count(), 9);
        QCOMPARE(w.contactLog().record(5).call, QStringLiteral("K6AB"));
        QCOMPARE(f.logFileContent().count("\r\n"), 9);
        QVERIFY(w.lists().cmdDelete()->isHidden());

        // No keeps the log as it is.
        clickRecord(w, 1);
        f.prompts.script(PromptAnswer::No);
        QTest::mouseClick(w.lists().cmdDelete(), Qt::LeftButton);
        QCOMPARE(w.contactLog().count(), 9);
    }

    void editThroughTheListRewritesTheLog() {
        MainWindowFixture f(tenContacts());
        f.startUp();
        MainWindow& w = f.window();
        clickRecord(w, 3);
        QTest::mouseClick(w.lists().cmdEdit(), Qt::LeftButton);
        auto* edit = w.findChild<EditContactDialog*>(QStringLiteral("frmEditCon"));
        QVERIFY(edit != nullptr && edit->isVisible());
        QCOMPARE(edit->txtEditCall->text(), QStringLiteral("K3AB"));
        edit->txtEditBnd->setText(QStringLiteral("ROBERT"));
        edit->Text1->setText(QStringLiteral("40"));
        QTest::mouseClick(edit->cmdDone, Qt::LeftButton);
        QTRY_VERIFY(w.findChild<EditContactDialog*>(QStringLiteral("frmEditCon")) == nullptr);
        QCOMPARE(w.contactLog().record(3).name, QStringLiteral("ROBERT"));
        QVERIFY(f.logFileContent().contains("\"K3AB\",\"599\",\"1234\",\"599\",\"CT\",\"2026/12/08\","
                                            "\"14:03:00\",\"ROBERT\",\"40\",5,\"14.025\"\r\n"));
        QVERIFY(w.lists().cmdEdit()->isHidden());
        // The next call is typed at once: the keyboard is back in the call field, not in the
        // list the record was picked from (where the keys would go nowhere).
        QTRY_COMPARE(w.focusWidget(), static_cast<QWidget*>(w.entry().txtCall));

        // A right click edits too; a duplicate edit offers Delete Dupe, which deletes it.
        const QTreeView* view = w.lists().ListView1();
        const RecentContactsModel& model = w.lists().model();
        int row = 0;
        while (model.recordAtRow(row) != 4) {
            ++row;
        }
        QTest::mouseClick(view->viewport(), Qt::RightButton, {},
                          view->visualRect(model.index(row, 1)).center());
        edit = w.findChild<EditContactDialog*>(QStringLiteral("frmEditCon"));
        QVERIFY(edit != nullptr);
        edit->txtEditCall->setText(QStringLiteral("K5AB"));
        QTest::mouseClick(edit->cmdDone, Qt::LeftButton);
        QVERIFY(!edit->cmdDeleteDupe->isHidden());
        f.prompts.script(PromptAnswer::Yes);
        QTest::mouseClick(edit->cmdDeleteDupe, Qt::LeftButton);
        QTRY_COMPARE(w.contactLog().count(), 9);
        QCOMPARE(w.contactLog().record(4).call, QStringLiteral("K5AB"));
    }

    void newLogOnlyAfterYes() {
        MainWindowFixture f(tenContacts());
        f.startUp();
        MainWindow& w = f.window();
        f.prompts.script(QStringLiteral("no thanks"));
        w.action(QStringLiteral("mnuNew"))->trigger();
        QCOMPARE(w.contactLog().count(), 10);
        f.prompts.script(QStringLiteral("yes"));
        w.action(QStringLiteral("mnuNew"))->trigger();
        QCOMPARE(w.contactLog().count(), 0);
        QVERIFY(f.logFileContent().isEmpty());
        // Unchanged since loaded: no backup was due.
        QVERIFY(QDir(f.folders().BackupFolder).entryList(QDir::Files).isEmpty());
    }

    void archiveThenRestore() {
        MainWindowFixture f(tenContacts());
        f.startUp();
        MainWindow& w = f.window();
        const QString archive = f.folders().BackupFolder + QStringLiteral("/mine.log");
        f.prompts.script(archive);
        w.action(QStringLiteral("mnuArchive"))->trigger();
        QCOMPARE(readWholeFile(archive).value(), tenContacts());

        f.prompts.script(QStringLiteral("yes"));
        w.action(QStringLiteral("mnuNew"))->trigger();
        QCOMPARE(w.contactLog().count(), 0);

        // A file that is not a log is refused and the working log stays.
        const QString bad = f.folders().BackupFolder + QStringLiteral("/bad.log");
        QVERIFY(!writeFileAtomically(bad, "\"K1\"AB\"\r\n"));
        f.prompts.script(bad);
        w.action(QStringLiteral("mnuRestore"))->trigger();
        QCOMPARE(f.prompts.callsOf(QStringLiteral("message")).last().title,
                 QStringLiteral("Error Restoring Log"));
        QVERIFY(f.logFileContent().isEmpty());

        f.prompts.script(archive);
        w.action(QStringLiteral("mnuRestore"))->trigger();
        QCOMPARE(w.contactLog().count(), 10);
        QCOMPARE(f.logFileContent(), tenContacts());
    }

    void exportsFromTheFileMenu() {
        MainWindowFixture f(tenContacts());
        f.startUp();
        MainWindow& w = f.window();
        const QString adif = f.workingFile(QStringLiteral("out.adi"));
        f.prompts.script(QStringLiteral("100"));
        f.prompts.script(QStringLiteral("Sprint"));
        f.prompts.script(adif);
        w.action(QStringLiteral("mnuExportAdif"))->trigger();
        const QByteArray text = readWholeFile(adif).value();
        QCOMPARE(text.count("<eor>"), 10);
        QVERIFY(text.contains("<Call:4>K1AB <Qso_Date:8:d>20261208 <Band:3>20M <Mode:2>CW"));
        QVERIFY(text.contains("<DXCC:3>291 <State:2>CT"));

        f.prompts.script(QStringLiteral("5"));
        w.action(QStringLiteral("mnuExportLedra"))->trigger();
        QCOMPARE(readWholeFile(f.workingFile(QStringLiteral("LogExp.txt"))).value().count("\r\n"), 10);
    }

    void closingBacksUpAndKeepsTheOperatingTime() {
        MainWindowFixture f(tenContacts());
        f.startUp();
        MainWindow& w = f.window();
        QTest::mouseClick(w.clocks().cmdLogOn, Qt::LeftButton);
        f.clock.advanceSeconds(600);
        w.close();
        QCOMPARE(w.preferences().OperatingTime, 600.0f);
        StationPreferences stored;
        LoadPreferences(QFileInfo(f.workingFile(QStringLiteral("log.txt"))).path(), stored);
        QCOMPARE(stored.OperatingTime, 600.0f);
        // Ten records loaded and none added: no backup is needed.
        QVERIFY(QDir(f.folders().BackupFolder).entryList(QDir::Files).isEmpty());

        MainWindowFixture g(tenContacts());
        g.startUp();
        QVERIFY(QTest::qWaitForWindowActive(&g.window()));
        g.window().entry().focusCall();
        typeKeys(g.window().entry().txtCall, QStringLiteral("W1ABC599ct bob1234 599\n"));
        QCOMPARE(g.window().contactLog().count(), 11);
        g.window().close();
        const QStringList backups = QDir(g.folders().BackupFolder).entryList(QDir::Files);
        QCOMPARE(backups, QStringList{QStringLiteral("202612081405.log")});
        QCOMPARE(readWholeFile(QDir(g.folders().BackupFolder).filePath(backups.first())).value(),
                 g.logFileContent());
    }

    // Last: the exit it asks for stays queued for the rest of the run.
    void exitKeepsTheOperatingTimeWithoutABackup() {
        MainWindowFixture f(tenContacts());
        f.startUp();
        MainWindow& w = f.window();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.entry().focusCall();
        typeKeys(w.entry().txtCall, QStringLiteral("W1ABC599ct bob1234 599\n"));
        QTest::mouseClick(w.clocks().cmdLogOn, Qt::LeftButton);
        f.clock.advanceSeconds(90);
        w.action(QStringLiteral("mnuExit"))->trigger();
        QCOMPARE(w.preferences().OperatingTime, 90.0f);
        QVERIFY(!w.operatingTime().loggedOn());
        StationPreferences stored;
        LoadPreferences(QFileInfo(f.workingFile(QStringLiteral("log.txt"))).path(), stored);
        QCOMPARE(stored.OperatingTime, 90.0f);
        w.close(); // what the exit does next: no backup although the log changed
        QVERIFY(QDir(f.folders().BackupFolder).entryList(QDir::Files).isEmpty());
    }
};

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"

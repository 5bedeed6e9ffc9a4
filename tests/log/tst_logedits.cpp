// Changing logged contacts: the edit window driven by keys and scripted prompts, deleting a
// record with the rewrite that follows, and archive and restore of the log file.
#include "TestDoubles.h"
#include "log/ContactLog.h"
#include "log/LogArchive.h"
#include "log/PrefixTable.h"
#include "log/windows/EditContactDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ditlog;
using ditlog::testing::FixedScreen;
using ditlog::testing::PromptCall;
using ditlog::testing::ScriptedPrompts;
using ditlog::testing::SettableClock;

namespace {

ContactRecord contact(const QString& call, const QString& band,
                      const QString& spc = QStringLiteral("MA"), float points = 5) {
    return {call,       "579", "1234", "599",  spc,     "2007/03/04",
            "14:05:33", "BOB", band,   points, "14.025"};
}

QByteArray logText(const QList<ContactRecord>& records) {
    QByteArray out;
    for (const ContactRecord& r : records) {
        out += recordLine(r);
    }
    return out;
}

// Record 1 is edited in most tests; W2DEF on 20 m is logged twice (records 4 and 5).
QList<ContactRecord> fiveContacts() {
    return {contact(QStringLiteral("K1ABC"), QStringLiteral("20")),
            contact(QStringLiteral("W2DEF"), QStringLiteral("40"), QStringLiteral("NY")),
            contact(QStringLiteral("G4XYZ"), QStringLiteral("20"), QStringLiteral("England"), 2.5f),
            contact(QStringLiteral("W2DEF"), QStringLiteral("20"), QStringLiteral("NY")),
            contact(QStringLiteral("W2DEF"), QStringLiteral("20"), QStringLiteral("NJ"))};
}

PrefixEntry entity(const QString& prefix, const QString& name) {
    return {prefix, name, QStringLiteral("EU"), 0, 50};
}

struct EditFixture {
    ContactLog log;
    PrefixTable prefixes{{entity(QStringLiteral("G"), QStringLiteral("England")),
                          entity(QStringLiteral("ES"), QStringLiteral("Estonia")),
                          entity(QStringLiteral("T31"), QStringLiteral("Enderbury Island"))}};
    ScriptedPrompts prompts;
    FixedScreen screen{QSize(800, 600)};
    std::unique_ptr<EditContactDialog> dialog;

    EditFixture() { log.loadFromText(logText(fiveContacts())); }

    EditContactDialog& open(int number = 1) {
        dialog = std::make_unique<EditContactDialog>(log, number, prefixes, prompts, screen);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        return *dialog;
    }
    bool shown(const char* labelName) const {
        return !dialog->findChild<QLabel*>(QLatin1String(labelName))->isHidden();
    }
    int messages() const { return int(prompts.callsOf(QStringLiteral("message")).size()); }
    PromptCall lastMessage() const { return prompts.callsOf(QStringLiteral("message")).last(); }
};

void retype(QLineEdit* field, const QString& keys) {
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, keys);
}

QString messageTitle(const ScriptedPrompts& prompts, int index) {
    return prompts.callsOf(QStringLiteral("message")).at(index).title;
}

QStringList lines(const QByteArray& content) {
    return QString::fromLatin1(content).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

class TestLogEdits : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void opensOnTheRecordAndFiltersKeys();
    void spcCompletesEntityNamesWithLetterCase();
    void leavingAFieldChecksItWithoutChainedMessages();
    void doneRefusesBadFieldsDuplicatesAndSections();
    void doneStoresEveryFieldAndKeepsFrequency();
    void enterIsDoneEverywhereAndEscapeStoresNothing();
    void deleteDupeHandsTheRecordToTheMainWindow();
    void deletingRecordFiveOfTenRenumbersAndRewrites();
    void archiveCopiesTheLogOrLeavesItAlone();
    void restoreReplacesTheLogOnlyWithAValidFile();
};

void TestLogEdits::opensOnTheRecordAndFiltersKeys() {
    EditFixture f;
    EditContactDialog& w = f.open(3);
    QCOMPARE(w.objectName() + w.windowTitle(), QStringLiteral("frmEditConEdit Contact Entry"));
    const QStringList shown{w.txtEditCall->text(), w.txtEditNum->text(), w.txtEditCk->text(),
                            w.txtEditPre->text(),  w.txtEditSec->text(), w.txtEditDate->text(),
                            w.txtEditTime->text(), w.txtEditBnd->text(), w.Text1->text(),
                            w.Text2->text()};
    QCOMPARE(shown, QStringList({"G4XYZ", "599", "579", "England", "1234", "2007/03/04", "14:05:33",
                                 "BOB", "20", "2.5"}));
    QVERIFY(w.cmdDeleteDupe->isHidden());
    QVERIFY(!f.shown("lblEditDupe") && !f.shown("lblSpcInvalid") && !f.shown("lblBandInvalid"));
    QCOMPARE(QApplication::focusWidget(), w.txtEditCall);

    const QList<std::tuple<QLineEdit*, const char*, const char*>> typing{
        {w.txtEditCall, "w1\"ab/p", "W1AB/P"},
        {w.txtEditBnd, "bob \"jr\"", "BOB JR"},
        {w.txtEditDate, "2007-03/0a4:", "200703/04"},
        {w.txtEditTime, "14h:05/x", "14:05"},
        {w.Text2, "0123456789", "0245"},
        {w.Text2, "2.5", "2.5"}};
    for (const auto& [field, keys, result] : typing) {
        retype(field, QLatin1String(keys));
        QCOMPARE(field->text(), QLatin1String(result));
    }
    // Pasted text loses what a stored field cannot hold.
    QApplication::clipboard()->setText(QStringLiteral("K9\"Z\tQ\r\n"));
    w.txtEditCall->clear();
    w.txtEditCall->setFocus();
    QTest::keyClick(w.txtEditCall, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.txtEditCall->text(), QStringLiteral("K9ZQ"));
}

void TestLogEdits::spcCompletesEntityNamesWithLetterCase() {
    EditFixture f;
    QLineEdit* spc = f.open().txtEditPre;
    spc->setFocus();
    spc->setCursorPosition(0);
    // Typing at the start replaces "MA"; one letter completes nothing and is capitalised.
    QTest::keyClicks(spc, QStringLiteral("e"));
    QCOMPARE(spc->text(), QStringLiteral("E"));
    // The scan runs from the last entry: "En" finds Enderbury Island before England.
    QTest::keyClicks(spc, QStringLiteral("n"));
    QCOMPARE(spc->selectedText(), QStringLiteral("derbury Island"));
    QTest::keyClicks(spc, QStringLiteral("g"));
    QCOMPARE(spc->text(), QStringLiteral("England"));
    QCOMPARE(spc->selectedText(), QStringLiteral("land"));
    // Letter case counts: "EN" matches no name; a code typed in lower case is capitalised.
    spc->clear();
    QTest::keyClicks(spc, QStringLiteral("EN"));
    QCOMPARE(spc->text(), QStringLiteral("EN"));
    spc->selectAll();
    QTest::keyClicks(spc, QStringLiteral("ct"));
    QCOMPARE(spc->text(), QStringLiteral("CT"));
}

void TestLogEdits::leavingAFieldChecksItWithoutChainedMessages() {
    EditFixture f;
    EditContactDialog& w = f.open();
    w.txtEditDate->setText(QStringLiteral("2007/13/45"));
    w.txtEditTime->setText(QStringLiteral("25:61"));
    w.txtEditDate->setFocus();
    QTest::keyClick(w.txtEditDate, Qt::Key_Tab);
    // One message for the date; the focus moving back out of the (also invalid) time field
    // does not start the time check.
    QCOMPARE(f.messages(), 1);
    QCOMPARE(f.lastMessage().title, QStringLiteral("Invalid Date Format!"));
    QCOMPARE(f.lastMessage().text, QStringLiteral("You have entered an invalid date format!"));
    QCOMPARE(f.prompts.beeps(), 1);
    QCOMPARE(QApplication::focusWidget(), w.txtEditDate);

    w.txtEditDate->setText(QStringLiteral("2007/3/4"));
    QTest::keyClick(w.txtEditDate, Qt::Key_Tab);
    QTest::keyClick(w.txtEditTime, Qt::Key_Tab);
    QCOMPARE(f.messages(), 2);
    QCOMPARE(f.lastMessage().title, QStringLiteral("Invalid Time Format!"));
    QCOMPARE(f.lastMessage().text, QStringLiteral("You have entered an invalid time format!"));
    QCOMPARE(QApplication::focusWidget(), w.txtEditTime);
    // Switching to another window is not leaving the field.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(&w);
    QCOMPARE(f.messages(), 2);

    w.txtEditTime->setText(QStringLiteral("9:05"));
    retype(w.Text1, QStringLiteral("17"));
    QTest::keyClick(w.Text1, Qt::Key_Tab);
    QCOMPARE(f.prompts.beeps(), 3);
    QVERIFY(f.shown("lblBandInvalid"));
    QCOMPARE(QApplication::focusWidget(), w.Text1);
    retype(w.Text1, QStringLiteral("160"));
    QVERIFY(!f.shown("lblBandInvalid"));
    QTest::keyClick(w.Text1, Qt::Key_Tab);
    QTest::keyClicks(w.Text2, QStringLiteral("x")); // replaces the selected points
    QTest::keyClick(w.Text2, Qt::Key_Tab);
    QCOMPARE(w.Text2->text(), QStringLiteral("0"));
    QCOMPARE(f.messages(), 2);
}

void TestLogEdits::doneRefusesBadFieldsDuplicatesAndSections() {
    EditFixture f;
    EditContactDialog& w = f.open();
    const ContactRecord before = f.log.record(1);
    w.txtEditDate->setText(QStringLiteral("2007/02/30"));
    w.txtEditTime->setText(QStringLiteral("24:00"));
    w.cmdDone->click();
    // The time is checked first; the date waits for the next "Done".
    QCOMPARE(f.messages(), 1);
    QCOMPARE(f.lastMessage().title, QStringLiteral("Invalid Time Format!"));
    QCOMPARE(QApplication::focusWidget(), w.txtEditTime);
    w.txtEditTime->setText(QStringLiteral("23:59"));
    w.cmdDone->click();
    QCOMPARE(f.lastMessage().title, QStringLiteral("Invalid Date Format!"));
    QCOMPARE(QApplication::focusWidget(), w.txtEditDate);
    w.txtEditDate->setText(QStringLiteral("2008/02/29"));
    w.Text1->setText(QStringLiteral("17"));
    QTest::keyClick(w.Text1, Qt::Key_Return);
    QVERIFY(f.shown("lblBandInvalid"));
    QCOMPARE(f.messages(), 2);

    // W2DEF is logged twice on 20 m: one beep for each.
    w.Text1->setText(QStringLiteral("20"));
    w.txtEditCall->setText(QStringLiteral("W2DEF"));
    const int beeps = f.prompts.beeps();
    w.cmdDone->click();
    QVERIFY(f.shown("lblEditDupe") && !w.cmdDeleteDupe->isHidden());
    QCOMPARE(f.prompts.beeps(), beeps + 2);
    // Case counts for calls and codes: w2def is no duplicate, ct is no section.
    w.txtEditCall->setText(QStringLiteral("w2def"));
    for (const char* refused : {"ct", "HI"}) {
        w.txtEditPre->setText(QLatin1String(refused));
        w.cmdDone->click();
        QVERIFY2(f.shown("lblSpcInvalid") && !f.shown("lblEditDupe"), refused);
    }
    QCOMPARE(f.prompts.beeps(), beeps + 4);
    QVERIFY(w.isVisible());
    QCOMPARE(f.log.record(1), before);

    w.txtEditPre->setText(QStringLiteral("England"));
    w.cmdDone->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(f.log.record(1).call + f.log.record(1).spc, QStringLiteral("w2defEngland"));
}

void TestLogEdits::doneStoresEveryFieldAndKeepsFrequency() {
    EditFixture f;
    EditContactDialog& w = f.open(2);
    const QList<std::pair<QLineEdit*, const char*>> typing{
        {w.txtEditCall, "ve3xyz"}, {w.txtEditNum, "449"},
        {w.txtEditCk, "339"},      {w.txtEditPre, "ON"},
        {w.txtEditSec, "100w"},    {w.txtEditDate, "2007/3/5"},
        {w.txtEditTime, "9:05"},   {w.txtEditBnd, "al"},
        {w.Text1, "80"},           {w.Text2, "4"}};
    for (const auto& [field, keys] : typing) {
        retype(field, QLatin1String(keys));
    }
    QSignalSpy finished(&w, &QDialog::finished);
    w.cmdDone->click();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Accepted));
    const ContactRecord expected{"VE3XYZ", "339", "100W", "449", "ON",    "2007/03/05",
                                 "09:05",  "AL",  "80",   4.0f,  "14.025"};
    QCOMPARE(f.log.record(2), expected);
    const QList<ContactRecord> others = fiveContacts();
    QCOMPARE(f.log.records().mid(2), others.mid(2));
    QCOMPARE(f.log.record(1), others.at(0));
    // Typed seconds are kept; every stored form is zero-padded.
    QCOMPARE(editedTime(QStringLiteral("14:5:3")), QStringLiteral("14:05:03"));
    QCOMPARE(editedDate(QStringLiteral("3/4/2007")), QStringLiteral("2007/03/04"));
    QVERIFY(!editedTime(QStringLiteral("1405")) && !editedTime(QStringLiteral("14:05:60")));
}

void TestLogEdits::enterIsDoneEverywhereAndEscapeStoresNothing() {
    for (const char* name : {"txtEditCall", "txtEditNum", "txtEditCk", "txtEditPre", "txtEditSec",
                             "txtEditDate", "txtEditTime", "txtEditBnd", "Text1", "Text2"}) {
        EditFixture f;
        EditContactDialog& w = f.open(3);
        QSignalSpy finished(&w, &QDialog::finished);
        QLineEdit* field = w.findChild<QLineEdit*>(QLatin1String(name));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY2(finished.size() == 1 && !w.isVisible(), name);
    }
    // Escape closes without storing and without checking the field it leaves.
    EditFixture f;
    EditContactDialog& w = f.open();
    QSignalSpy finished(&w, &QDialog::finished);
    retype(w.txtEditDate, QStringLiteral("2007/99"));
    QTest::keyClick(w.txtEditDate, Qt::Key_Escape);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(f.messages(), 0);
    QCOMPARE(f.log.record(1), fiveContacts().at(0));
}

void TestLogEdits::deleteDupeHandsTheRecordToTheMainWindow() {
    EditFixture f;
    EditContactDialog& w = f.open(4);
    QSignalSpy deleteAsked(&w, &EditContactDialog::deleteDupeRequested);
    QSignalSpy finished(&w, &QDialog::finished);
    w.cmdDone->click(); // record 4 duplicates record 5
    QVERIFY(!w.cmdDeleteDupe->isHidden());
    w.txtEditTime->setText(QStringLiteral("99"));
    w.txtEditTime->setFocus();
    w.cmdDeleteDupe->click();
    QCOMPARE(deleteAsked.size(), 1);
    QCOMPARE(deleteAsked.at(0).at(0).toInt(), 4);
    QCOMPARE(finished.size(), 1);
    QVERIFY(!w.isVisible());
    QCOMPARE(f.messages(), 0); // closing from an invalid field is not leaving it
    QCOMPARE(f.log.count(), 5);
}

void TestLogEdits::deletingRecordFiveOfTenRenumbersAndRewrites() {
    QList<ContactRecord> ten;
    for (int i = 1; i <= 10; ++i) {
        ten.append(contact(QStringLiteral("K%1ABC").arg(i), QStringLiteral("20")));
    }
    ContactLog log;
    QVERIFY(!log.loadFromText(logText(ten)));
    QVERIFY(!deleteRecord(log, 0) && !deleteRecord(log, 11));
    QVERIFY(deleteRecord(log, 5));
    ten.removeAt(4);
    QCOMPARE(log.records(), ten);
    QTemporaryDir dir;
    const LogFile file(dir.filePath(QStringLiteral("log.txt")));
    QVERIFY(!file.rewrite(log));
    ContactLog reloaded;
    QVERIFY(!file.load(reloaded));
    QCOMPARE(reloaded.record(5).call, QStringLiteral("K6ABC"));
    QCOMPARE(lines(*readWholeFile(file.path())).size(), 9);
}

void TestLogEdits::archiveCopiesTheLogOrLeavesItAlone() {
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("log.txt"));
    const QString backup = dir.filePath(QStringLiteral("Varns/BACKUP"));
    const QByteArray content = logText(fiveContacts());
    QVERIFY(!writeFileAtomically(logPath, content));
    SettableClock clock(QDateTime(QDate(2026, 3, 4), QTime(23, 30)), 5 * 3600);
    ScriptedPrompts prompts;
    const QString proposed = backup + QStringLiteral("/W1AW2026-03-04.log");
    prompts.script(proposed);
    QVERIFY(archiveLog(logPath, backup, QStringLiteral("W1AW/P"), prompts, clock));
    QCOMPARE(prompts.calls().size(), 2);
    QCOMPARE(prompts.calls().at(0).title, QStringLiteral("Archive Information"));
    QCOMPARE(prompts.calls().at(0).text,
             QStringLiteral("This function is used to create a permanent copy of your currently "
                            "open log file.  To open your log file at a later date, click File > "
                            "Restore from Archive or Backup."));
    QCOMPARE(prompts.calls().at(1).text, QStringLiteral("Log Files (*.log) | *.log"));
    QCOMPARE(prompts.calls().at(1).defaultText, proposed);
    QCOMPARE(readWholeFile(proposed), content);

    // Cancel ends silently; a target that cannot be written is reported.
    prompts.clear();
    QVERIFY(!archiveLog(logPath, backup, QString(), prompts, clock));
    QCOMPARE(prompts.calls().size(), 2);
    QVERIFY(prompts.calls().at(1).defaultText.endsWith(QLatin1String("/YourCall2026-03-04.log")));
    prompts.clear();
    prompts.script(dir.filePath(QStringLiteral("missing/folder/a.log")));
    QVERIFY(!archiveLog(logPath, backup, QStringLiteral("K1ABC"), prompts, clock));
    QCOMPARE(messageTitle(prompts, 1), QStringLiteral("Error Archiving Log"));
    QCOMPARE(readWholeFile(logPath), content);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("log.txt")});
}

void TestLogEdits::restoreReplacesTheLogOnlyWithAValidFile() {
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("log.txt"));
    const QByteArray current = logText(fiveContacts());
    QVERIFY(!writeFileAtomically(logPath, current));
    ContactLog log;
    QVERIFY(!LogFile(logPath).load(log));
    const QString broken = dir.filePath(QStringLiteral("broken.log"));
    QVERIFY(
        !writeFileAtomically(broken, logText(fiveContacts().mid(0, 1)) + "\"W1\"X\",\"5\"\r\n"));
    ScriptedPrompts prompts;

    prompts.script(PromptAnswer::No);
    QVERIFY(!restoreLog(log, logPath, dir.path(), prompts));
    QCOMPARE(messageTitle(prompts, 0), QStringLiteral("Opening Archived Data Information"));
    QCOMPARE(messageTitle(prompts, 1), QStringLiteral("Are your sure?"));
    QCOMPARE(prompts.callsOf(QStringLiteral("message")).at(1).text,
             QStringLiteral("Are you sure that you want to open an archived log?  This action will "
                            "clear and replace existing QSO data."));
    QCOMPARE(prompts.callsOf(QStringLiteral("open")).size(), 0);

    // A file that is not a log, or cannot be read, leaves log.txt as it was.
    for (const QString& chosen : {broken, dir.filePath(QStringLiteral("absent.log"))}) {
        prompts.clear();
        prompts.script(PromptAnswer::Yes);
        prompts.script(chosen);
        QVERIFY(!restoreLog(log, logPath, dir.path(), prompts));
        QCOMPARE(messageTitle(prompts, 2), QStringLiteral("Error Restoring Log"));
        QCOMPARE(readWholeFile(logPath), current);
    }
    prompts.clear();
    prompts.script(PromptAnswer::Yes);
    prompts.script(broken);
    restoreLog(log, logPath, dir.path(), prompts);
    QVERIFY(
        prompts.callsOf(QStringLiteral("message")).at(2).text.contains(QLatin1String("line 2")));

    // An empty log is replaced without the question, from the backup folder's dialog.
    const QString archive = dir.filePath(QStringLiteral("old.log"));
    const QByteArray archived = logText(fiveContacts().mid(1, 2));
    QVERIFY(!writeFileAtomically(archive, archived));
    prompts.clear();
    prompts.script(archive);
    QVERIFY(restoreLog(ContactLog(), logPath, dir.path(), prompts));
    QCOMPARE(prompts.callsOf(QStringLiteral("message")).size(), 1);
    QCOMPARE(prompts.callsOf(QStringLiteral("open")).at(0).text,
             QStringLiteral("Log Files (*.log) | *.log"));
    QCOMPARE(prompts.callsOf(QStringLiteral("open")).at(0).defaultText, dir.path());
    QCOMPARE(readWholeFile(logPath), archived);
}

QTEST_MAIN(TestLogEdits)
#include "tst_logedits.moc"

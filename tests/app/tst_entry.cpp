// Typing contacts into the real main window with key events: forwarding between fields,
// the completeness and section checks, duplicates and their hold, logging, band, mode,
// keys and the operating-time clock.
#include "MainWindowFixture.h"

#include "app/ClockPanel.h"
#include "app/EntryPanel.h"
#include "app/ListsPanel.h"
#include "app/ScorePanel.h"
#include "log/RecentContactsModel.h"
#include "log/windows/StationWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
// A keyer with a keying line selected, recording what reaches it.
class RecordingKeyer final : public CwKeyerControl {
public:
    bool keyingLineSelected() const override { return true; }
    void FKeyCW(int keyCode) override { keys.append(keyCode); }
    void UpDown1_UpClick() override { ++speed; }
    void UpDown1_DownClick() override { --speed; }
    QString speedText() const override { return QString::number(speed); }
    bool isSending() const override { return sending; }
    void clearSendBuffer() override {
        buffer.clear();
        sending = false;
    }
    void stopRepeat() override { ++stops; }
    void appendToBuffer(const QString& text) override { buffer += text; }
    void removeLastUnsent() override { buffer.chop(1); }
    void LoopThroughCWBuffer() override { sending = true; }

    QList<int> keys;
    int speed = 25;
    int stops = 0;
    bool sending = false;
    QString buffer;
};

QByteArray line(const QString& call, const QString& spc, const QString& band,
                const QString& time = QStringLiteral("14:00:00")) {
    return QStringLiteral("\"%1\",\"579\",\"1234\",\"599\",\"%2\",\"2026/12/08\",\"%3\",\"BOB\",\"%4\",5,\"\"\r\n")
        .arg(call, spc, time, band)
        .toLatin1();
}
} // namespace

class TestEntry : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    EntryPanel* e = nullptr;

    void start(const QByteArray& log = QByteArray()) {
        f = std::make_unique<MainWindowFixture>(log);
        f->startUp();
        e = &f->window().entry();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        e->focusCall();
        QVERIFY(e->txtCall->hasFocus());
    }
    void type(const QString& text) { typeKeys(e->txtCall, text); }
    QString status() const { return e->lblDialog->text(); }

private Q_SLOTS:
    void cleanup() { f.reset(); }

    void digitAfterCallStartsTheReport() {
        start();
        type(QStringLiteral("w1abc5"));
        QCOMPARE(e->txtCall->text(), QStringLiteral("W1ABC"));
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("5"));
        QVERIFY(e->txtRSTR->hasFocus());
        QCOMPARE(e->txtRSTR->cursorPosition(), 1);
        type(QStringLiteral("79"));
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("579"));
        QCOMPARE(e->txtRSTS->text(), QStringLiteral("599")); // default on leaving the call

        e->cmdClear_Click();
        type(QStringLiteral("W1AB/5"));
        QCOMPARE(e->txtCall->text(), QStringLiteral("W1AB/5"));
        e->cmdClear_Click();
        type(QStringLiteral("W15"));
        QCOMPARE(e->txtCall->text(), QStringLiteral("W15"));
        QVERIFY(e->txtRSTR->text().isEmpty());
    }

    void lettersAndDigitsMoveOnToTheirFields() {
        start();
        type(QStringLiteral("K1ABC "));
        QVERIFY(e->txtRSTR->hasFocus());
        e->txtRSTR->clear();
        type(QStringLiteral("579c"));
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("579"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("C"));
        QVERIFY(e->txtCntry->hasFocus());
        QCOMPARE(e->txtCntry->cursorPosition(), 1);
        type(QStringLiteral("t bob1234"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("CT"));
        QCOMPARE(e->txtName->text(), QStringLiteral("BOB"));
        QCOMPARE(e->txtSec->text(), QStringLiteral("1234"));
        QVERIFY(e->txtSec->hasFocus());
        type(QStringLiteral(" "));
        QVERIFY(e->txtRSTS->hasFocus());
    }

    void fieldsRefuseWhatCannotBeStored() {
        start();
        type(QStringLiteral("K1\"AB"));
        QCOMPARE(e->txtCall->text(), QStringLiteral("K1AB"));
        e->txtName->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("BO\"B\r\nX"));
        e->txtName->paste();
        QCOMPARE(e->txtName->text(), QStringLiteral("BOBX"));
        e->txtRSTR->setFocus();
        type(QStringLiteral("5x9"));
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("5")); // a letter leaves for SPC
        e->txtCall->setText(QStringLiteral("ABCDEFGHIJKLMNOP"));
        QCOMPARE(e->txtCall->text().size(), 12);
    }

    void canadianProvinceOnLeavingTheCall() {
        start();
        type(QStringLiteral("VO2ABC "));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("NL"));
        e->cmdClear_Click();
        type(QStringLiteral("VE0ABC "));
        QVERIFY(e->txtCntry->text() != QStringLiteral("NL"));
        QCOMPARE(e->Label19->text(), QStringLiteral("NA"));
    }

    void lookupAndEntityCompletion() {
        start();
        type(QStringLiteral("4X4ABC"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("Israel"));
        QCOMPARE(e->Label19->text(), QStringLiteral("AS"));
        e->cmdClear_Click();
        type(QStringLiteral("W1ABC/VE3"));
        QCOMPARE(e->Label19->text(), QStringLiteral("NA"));
        e->cmdClear_Click();
        e->txtCntry->setFocus();
        type(QStringLiteral("eng"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("England"));
        QCOMPARE(e->txtCntry->selectedText(), QStringLiteral("land"));
        QCOMPARE(e->Label19->text(), QStringLiteral("EU"));
        QVERIFY(!e->lblNew->isHidden());
    }

    void completenessMessagesAndFocus() {
        start();
        type(QStringLiteral("\n"));
        QCOMPARE(status(), QStringLiteral("Need Report Sent!"));
        QVERIFY(e->txtRSTS->hasFocus());
        QCOMPARE(f->prompts.beeps(), 6);
        QCOMPARE(f->window().contactLog().count(), 0);

        e->txtCall->setText(QStringLiteral("K1"));
        e->txtRSTR->setText(QStringLiteral("599"));
        e->txtCntry->setText(QStringLiteral("CT"));
        e->txtName->setText(QStringLiteral("BOB"));
        e->txtSec->setText(QStringLiteral("1234"));
        e->txtRSTS->setText(QStringLiteral("599"));
        e->Mains();
        QCOMPARE(status(), QStringLiteral("Need Call Sign!"));
        QVERIFY(e->txtCall->hasFocus());
        QVERIFY(f->logFileContent().isEmpty());
    }

    void sectionCheckAndLogging() {
        start();
        type(QStringLiteral("K1ABC599xx bob1234 599"));
        type(QStringLiteral("\n"));
        QCOMPARE(status(), QStringLiteral("Invald Section!"));
        QVERIFY(e->txtCntry->hasFocus());
        QCOMPARE(f->window().contactLog().count(), 0);
        e->txtCntry->setText(QStringLiteral("ct"));
        type(QStringLiteral("\n"));
        QCOMPARE(f->window().contactLog().count(), 1);
        QCOMPARE(f->logFileContent(),
                 QByteArray("\"K1ABC\",\"599\",\"1234\",\"599\",\"CT\",\"2026/12/08\",\"14:05:33\","
                            "\"BOB\",\"160\",5,\"\"\r\n"));
        QVERIFY(e->txtCall->text().isEmpty());
        QVERIFY(e->txtCall->hasFocus());
        QCOMPARE(f->window().score().lblTotalContacts()->text(), QStringLiteral("1"));
        QCOMPARE(f->window().lists().model().cellText(0, 1), QStringLiteral("K1ABC"));
    }

    void duplicatesPerBandAndTheHold() {
        start(line(QStringLiteral("K1ABC"), QStringLiteral("CT"), QStringLiteral("20")));
        f->window().selectBand(QStringLiteral("20"));
        type(QStringLiteral("k1abc "));
        QCOMPARE(status(), QStringLiteral("Duplicate K1ABC 2026/12/08 14:00:00  Rec# 1"));
        QVERIFY(e->txtCall->text().isEmpty());
        QVERIFY(e->txtCall->hasFocus());
        QVERIFY(e->duplicateFlagged());

        // Keys within 3 s are held, then applied in order.
        type(QStringLiteral("W2"));
        QVERIFY(e->txtCall->text().isEmpty());
        f->clock.advanceMs(2900);
        QTest::qWait(120);
        QVERIFY(e->txtCall->text().isEmpty());
        type(QStringLiteral("X"));
        f->clock.advanceMs(200);
        QTRY_COMPARE(e->txtCall->text(), QStringLiteral("W2X"));
        QVERIFY(!e->duplicateFlagged());

        // Another band: no duplicate, but the exchange comes from the earlier contact.
        e->cmdClear_Click();
        f->window().selectBand(QStringLiteral("40"));
        type(QStringLiteral("K1ABC "));
        QVERIFY(!e->duplicateFlagged());
        QCOMPARE(e->txtSec->text(), QStringLiteral("1234"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("CT"));
        QCOMPARE(e->txtName->text(), QStringLiteral("BOB"));
        type(QStringLiteral("\n"));
        QCOMPARE(f->window().contactLog().count(), 2);
    }

    void possibleDuplicatesMostRecentFirst() {
        start(line(QStringLiteral("K1ABC"), QStringLiteral("CT"), QStringLiteral("160")) +
              line(QStringLiteral("K1ABD"), QStringLiteral("CT"), QStringLiteral("160")) +
              line(QStringLiteral("K1ABE"), QStringLiteral("CT"), QStringLiteral("40")));
        type(QStringLiteral("K1A"));
        QCOMPARE(e->lblDupe->text(), QStringLiteral("K1ABD K1ABC "));
        type(QStringLiteral("B"));
        QCOMPARE(status(), QStringLiteral("Possible Duplicate!"));
        e->cmdClear_Click();
        type(QStringLiteral("ABC"));
        QCOMPARE(status(), QStringLiteral("The second or third character is not numeric!"));
        e->cmdClear_Click();
        QTest::mouseClick(f->window().cmdDup(), Qt::LeftButton);
        QCOMPARE(f->window().cmdDup()->text(), QStringLiteral("Off"));
        type(QStringLiteral("K1A"));
        QVERIFY(e->lblDupe->text().isEmpty());
    }

    void listPreviousContactsShowsThemOldestFirst() {
        start(line(QStringLiteral("K1ABC"), QStringLiteral("CT"), QStringLiteral("20")) +
              line(QStringLiteral("W9XYZ"), QStringLiteral("IL"), QStringLiteral("20")) +
              line(QStringLiteral("K1ABC"), QStringLiteral("CT"), QStringLiteral("40")));
        f->window().action(QStringLiteral("mnuListPrevious"))->trigger();
        QCOMPARE(f->window().preferences().ListPreviousContacts, quint8(1));
        type(QStringLiteral("K1ABC "));
        const RecentContactsModel& model = f->window().lists().model();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.cellText(0, 0), QStringLiteral("1"));
        QCOMPARE(model.cellText(1, 0), QStringLiteral("3"));
    }

    void phoneModeReports() {
        start();
        f->window().mnuSSB_Click();
        QCOMPARE(f->window().lblMode()->text(), QStringLiteral("PH"));
        type(QStringLiteral("K1ABC "));
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("55"));
        e->txtRSTR->clear();
        type(QStringLiteral("579"));
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("57"));
    }

    void tenContactsByKeyboardAgreeEverywhere() {
        start();
        f->window().selectBand(QStringLiteral("20"));
        const QStringList entries{
            QStringLiteral("K1ABC599ct bob1234 599\n"), QStringLiteral("W2XY599ny al567 599\n"),
            QStringLiteral("VE3AB599  jo100w 599\n"),      QStringLiteral("G4ABC599  ed 100w 599\n"),
            QStringLiteral("DL1AA599  hans 50w 599\n"),    QStringLiteral("K6ZZ599ca sue22 599\n"),
            QStringLiteral("N4QQ599 fl tom 12 599\n"),    QStringLiteral("W1AW599ct hiram 1 599\n"),
            QStringLiteral("JA1AA599  taro 5w 599\n"),     QStringLiteral("K9OO599il pat 4444 599\n")};
        for (const QString& entry : entries) {
            const int before = f->window().contactLog().count();
            type(entry);
            QVERIFY2(f->window().contactLog().count() == before + 1,
                     qPrintable(entry + QStringLiteral(": ") + status()));
            f->clock.advanceSeconds(60);
        }
        const ContactLog& log = f->window().contactLog();
        QCOMPARE(log.count(), 10);
        QCOMPARE(f->logFileContent(), log.toText());
        QCOMPARE(log.record(3).spc, QStringLiteral("ON"));
        QCOMPARE(log.record(4).spc, QStringLiteral("England"));
        QCOMPARE(log.record(7).spc, QStringLiteral("FL"));
        QCOMPARE(log.dxContacts(), 3);
        QCOMPARE(log.multipliersWorked(), 6); // CT NY ON CA FL IL
        QCOMPARE(f->window().score().lblTotalMultipliers()->text(), QStringLiteral("9"));
        QCOMPARE(f->window().lists().heading()->text(), QStringLiteral("DX  - 3"));
        QCOMPARE(f->window().lists().model().rowCount(), 10);
        QCOMPARE(f->window().score().lblRate60()->text(), QStringLiteral("10"));
    }

    void bandLabelSteps() {
        start();
        MainWindow& w = f->window();
        w.lblBand_Click();
        QCOMPARE(w.preferences().Band, QStringLiteral("160"));
        w.selectBand(QStringLiteral("10"));
        QTest::mouseClick(w.lblBand(), Qt::LeftButton);
        QCOMPARE(w.lblBand()->text(), QStringLiteral("80"));
        QVERIFY(w.action(QStringLiteral("mnuBand80Ch"))->isChecked());
        QVERIFY(!w.action(QStringLiteral("mnuBand10Ch"))->isChecked());
        w.lblBand_Click();
        QCOMPARE(w.preferences().Band, QStringLiteral("40"));
    }

    void functionKeysReachTheKeyer() {
        start();
        RecordingKeyer keyer;
        f->window().setKeyer(keyer);
        QTest::keyClick(e->txtCall, Qt::Key_F10);
        QTest::keyClick(e->txtCall, Qt::Key_F1);
        QCOMPARE(keyer.keys, (QList<int>{124, 112}));
        QTest::keyClick(e->txtCall, Qt::Key_Up);
        QCOMPARE(status(), QStringLiteral("26 WPM"));
        QTest::keyClick(e->txtCall, Qt::Key_F12);
        QVERIFY(f->window().keyboardCwMode());
        type(QStringLiteral("cq"));
        QCOMPARE(keyer.buffer, QStringLiteral("CQ"));
        QVERIFY(e->txtCall->text().isEmpty());
        // Esc while sending aborts and keeps the entry.
        QTest::keyClick(e->txtCall, Qt::Key_F12);
        e->txtName->setText(QStringLiteral("BOB"));
        QTest::keyClick(e->txtCall, Qt::Key_Escape);
        QVERIFY(keyer.buffer.isEmpty());
        QCOMPARE(e->txtName->text(), QStringLiteral("BOB"));
        QTest::keyClick(e->txtCall, Qt::Key_Escape);
        QVERIFY(e->txtName->text().isEmpty());

        f->window().mnuSSB_Click();
        keyer.keys.clear();
        QTest::keyClick(e->txtCall, Qt::Key_F10);
        QTest::keyClick(e->txtCall, Qt::Key_F11);
        QVERIFY(keyer.keys.isEmpty());
    }

    void ctrlShortcutSwallowsOnlyItsOwnKey() {
        start();
        type(QStringLiteral("W1ABC"));
        QTest::keyClick(e->txtCall, Qt::Key_B, Qt::ControlModifier); // a window shortcut
        QCOMPARE(e->txtCall->text(), QStringLiteral("W1ABC"));
        QTest::keyClick(e->txtCall, Qt::Key_A, Qt::ControlModifier); // the field's own
        QCOMPARE(e->txtCall->selectedText(), QStringLiteral("W1ABC"));
    }

    void taskbarLayoutAppliedAtTheEndOfStartUp() {
        f = std::make_unique<MainWindowFixture>(QByteArray());
        StationPreferences prefs;
        prefs.TaskbarMode = 1;
        QVERIFY(!writePreferences(QFileInfo(f->workingFile(QStringLiteral("log.txt"))).path(), prefs));
        f->screen.setWorkArea(QRect(0, 0, 1024, 728));
        MainWindow& w = f->window();
        w.show();
        f->prompts.script(PromptAnswer::Yes);
        w.startUp(); // the station window is open: start-up waits for it
        QVERIFY(w.height() > 728 - 40);
        QTest::mouseClick(w.stationWindow()->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QCOMPARE(w.height(), 728 - 40);
        QCOMPARE(w.pos(), QPoint(0, 0));
        QVERIFY(w.action(QStringLiteral("mnuTaskbar"))->isChecked());
    }

    void operatingTimeClock() {
        start();
        ClockPanel& clocks = f->window().clocks();
        QTest::mouseClick(clocks.cmdLogOn, Qt::LeftButton);
        QCOMPARE(clocks.cmdLogOn->text(), QStringLiteral("&Log \"Time Off\""));
        f->clock.advanceSeconds(3723);
        clocks.Timer2_Timer();
        QCOMPARE(clocks.lblOperatingTime->text(), QStringLiteral("01:02:03"));
        QCOMPARE(clocks.lblUtcTime->text(), QStringLiteral("15:07:36"));
        QCOMPARE(clocks.lblLocalTime->text(), QStringLiteral("3:07:36"));
        QCOMPARE(clocks.lblAmPm->text(), QStringLiteral("PM"));
        QTest::mouseClick(clocks.cmdLogOn, Qt::LeftButton);
        QVERIFY(status().startsWith(QStringLiteral("Logged Off at ")));
        QCOMPARE(f->window().preferences().OperatingTime, 3723.0f);
        QVERIFY(e->txtCall->hasFocus());
    }
};

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"

// Logging through the real main window where the order of the rules matters: keys held
// after a duplicate, Enter on a duplicate, what the lookups and the duplicate check put
// into the fields, the rig frequency, post-contest times and the points stored.
#include "MainWindowFixture.h"

#include "app/EntryPanel.h"
#include "ui/KeyHold.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
QByteArray line(const QString& call, const QString& band, const QString& exchange = QStringLiteral("1234"),
                const QString& spc = QStringLiteral("CT"), const QString& name = QStringLiteral("BOB")) {
    return (QStringLiteral("\"") + call + QStringLiteral("\",\"579\",\"") + exchange +
            QStringLiteral("\",\"599\",\"") + spc + QStringLiteral("\",\"2026/12/08\",\"14:00:00\",\"") +
            name + QStringLiteral("\",\"") + band + QStringLiteral("\",5,\"\"\r\n"))
        .toLatin1();
}

QColor background(const QLabel* label) { return label->palette().color(QPalette::Window); }
} // namespace

class TestLogging : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    EntryPanel* e = nullptr;

    void start(const QByteArray& log = QByteArray(), const QString& band = QStringLiteral("20")) {
        f = std::make_unique<MainWindowFixture>(log);
        f->startUp();
        e = &f->window().entry();
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        f->window().selectBand(band);
        e->focusCall();
    }
    void type(const QString& text) { typeKeys(e->txtCall, text); }
    QString status() const { return e->lblDialog->text(); }
    const ContactLog& log() { return f->window().contactLog(); }
    void waitOutTheHold() {
        f->clock.advanceMs(3100);
        QTRY_VERIFY(!e->keyHold().isHolding());
    }

private Q_SLOTS:
    void cleanup() { f.reset(); }

    void keysHeldAfterADuplicateGoWhereTheFocusIsThen() {
        start(line(QStringLiteral("K1ABC"), QStringLiteral("20")));
        type(QStringLiteral("k1abc "));
        QVERIFY(e->duplicateFlagged());
        // The next contact typed at once: held, then applied field by field.
        type(QStringLiteral("n2aa 579"));
        QVERIFY(e->txtCall->text().isEmpty());
        QCOMPARE(e->keyHold().heldKeys(), 8);
        waitOutTheHold();
        QCOMPARE(e->txtCall->text(), QStringLiteral("N2AA"));
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("579"));
        QVERIFY(e->txtRSTR->hasFocus());
        type(QStringLiteral("ny al 55 599\n"));
        QCOMPARE(log().count(), 2);
        QCOMPARE(log().record(2).call, QStringLiteral("N2AA"));
        QCOMPARE(log().record(2).rstReceived, QStringLiteral("579"));

        // A held duplicate holds again; what follows it waits for the new hold.
        type(QStringLiteral("k1abc "));
        type(QStringLiteral("n2aa w"));
        f->clock.advanceMs(3100);
        QTRY_VERIFY(e->keyHold().heldKeys() == 1); // the replayed N2AA was a duplicate too
        QVERIFY(e->keyHold().isHolding());
        QVERIFY(e->txtCall->text().isEmpty());
        waitOutTheHold();
        QCOMPARE(e->txtCall->text(), QStringLiteral("W"));
    }

    // An Enter typed while keys are held (within 3 s of a duplicate) does not wait: the
    // contact it completes is in the file when the key has been handled, and a duplicate
    // among the held keys does not hold back the contact typed after it.
    void enterEndsTheHoldAndStoresAtOnce() {
        start(line(QStringLiteral("K1ABC"), QStringLiteral("20")));
        type(QStringLiteral("k1abc "));
        QVERIFY(e->keyHold().isHolding());
        type(QStringLiteral("n2aa 579 ny al 55 599\n"));
        QCOMPARE(log().count(), 2);
        QVERIFY(f->logFileContent().contains("\"N2AA\""));
        QVERIFY(!e->keyHold().isHolding());
        QVERIFY(e->txtCall->text().isEmpty());

        type(QStringLiteral("n2aa "));
        QVERIFY(e->duplicateFlagged());
        type(QStringLiteral("k1abc w3bb 579 ct bo 66 599\n"));
        QCOMPARE(log().count(), 3);
        QCOMPARE(log().record(3).call, QStringLiteral("W3BB"));
        QCOMPARE(log().record(3).rstReceived, QStringLiteral("579"));
    }

    void enterOnADuplicateKeepsTheWarning() {
        start(line(QStringLiteral("K1ABC"), QStringLiteral("20")));
        type(QStringLiteral("K1ABC\n"));
        QCOMPARE(status(), QStringLiteral("Duplicate K1ABC 2026/12/08 14:00:00  Rec# 1"));
        QCOMPARE(background(e->lblDialog), QColor(255, 0, 0));
        QVERIFY(e->duplicateFlagged());
        QVERIFY(e->keyHold().isHolding());
        for (QLineEdit* field : {e->txtCall, e->txtRSTR, e->txtCntry, e->txtName, e->txtSec, e->txtRSTS}) {
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
        }
        QVERIFY(e->txtCall->hasFocus());
        QCOMPARE(log().count(), 1);

        // An incomplete entry ended by Enter in the call field still gets its reports.
        waitOutTheHold();
        type(QStringLiteral("W9XYZ\n"));
        QCOMPARE(status(), QStringLiteral("Need Report Sent!"));
        QVERIFY(e->txtRSTS->hasFocus());
        QCOMPARE(e->txtRSTR->text(), QStringLiteral("599"));
    }

    void duplicateTextKeepsWhatTheCallHolds() {
        start(line(QStringLiteral("K1%1"), QStringLiteral("20")));
        type(QStringLiteral("k1%1 "));
        QCOMPARE(status(), QStringLiteral("Duplicate K1%1 2026/12/08 14:00:00  Rec# 1"));
    }

    void emptyFieldsFilledFromEveryEarlierContact() {
        start(line(QStringLiteral("K1ABC"), QStringLiteral("40"), QString(), QStringLiteral("CT"), QString()) +
              line(QStringLiteral("K1ABC"), QStringLiteral("80"), QStringLiteral("1234"), QStringLiteral("MA"),
                   QStringLiteral("BOB")));
        type(QStringLiteral("K1ABC "));
        QVERIFY(!e->duplicateFlagged());
        QCOMPARE(e->txtCntry->text(), QStringLiteral("CT")); // the oldest contact's
        QCOMPARE(e->txtSec->text(), QStringLiteral("1234")); // the later one's
        QCOMPARE(e->txtName->text(), QStringLiteral("BOB"));
    }

    void spaceInTheSpcFieldCompletesOrMovesOn() {
        start();
        e->txtCntry->setFocus();
        typeKeys(e->txtCntry, QStringLiteral("new C"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("New Caledonia"));
        QCOMPARE(e->Label19->text(), QStringLiteral("OC"));
        QVERIFY(e->txtCntry->hasFocus());
        e->cmdClear_Click();
        e->txtCntry->setFocus();
        typeKeys(e->txtCntry, QStringLiteral("new Z"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("New Zealand"));
        // A Space no name goes on with moves on, keeping the completed name.
        typeKeys(e->txtCntry, QStringLiteral(" "));
        QVERIFY(e->txtName->hasFocus());
        QCOMPARE(e->txtCntry->text(), QStringLiteral("New Zealand"));
        // Backspace at the start empties the field.
        e->txtCntry->setFocus();
        e->txtCntry->setCursorPosition(0);
        QTest::keyClick(e->txtCntry, Qt::Key_Backspace);
        QVERIFY(e->txtCntry->text().isEmpty());
    }

    void lookupTakesBackItsOwnEntity() {
        start();
        type(QStringLiteral("W1ABC/KH6"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("Hawaii"));
        QTest::keyClick(e->txtCall, Qt::Key_Backspace);
        QVERIFY(e->txtCntry->text().isEmpty());
        QCOMPARE(e->Label19->text(), QStringLiteral("NA")); // at once, not a key later
        // What the operator typed stays.
        e->txtCntry->setText(QStringLiteral("HI"));
        QTest::keyClick(e->txtCall, Qt::Key_Backspace);
        QCOMPARE(e->txtCntry->text(), QStringLiteral("HI"));
    }

    void bearingAlongAMeridian() {
        start();
        // Cuba and Panama share the longitude 80 W in the shipped table.
        f->window().preferences().OwnLatitude = 21.5f;
        f->window().preferences().OwnLongitude = 80.0f;
        type(QStringLiteral("HP1AB"));
        QCOMPARE(e->txtCntry->text(), QStringLiteral("Panama"));
        QCOMPARE(e->Label22->text(), QStringLiteral("180 "));
        QCOMPARE(e->Label23->text(), QStringLiteral("863 "));
    }

    void rigFrequencyLastsOneAttempt() {
        start();
        e->setRigFrequency(QStringLiteral("14.025"));
        type(QStringLiteral("W1ABC\n"));
        QCOMPARE(log().count(), 0);
        QVERIFY(e->rigFrequency().isEmpty());
        e->cmdClear_Click();
        type(QStringLiteral("W1ABC599ct bob1234 599\n"));
        QCOMPARE(log().count(), 1);
        QVERIFY(log().record(1).frequency.isEmpty());
        e->setRigFrequency(QStringLiteral("7.030"));
        type(QStringLiteral("W2ABC599ny al567 599\n"));
        QCOMPARE(log().record(2).frequency, QStringLiteral("7.030"));
    }

    void pointsAtLogging_data() {
        QTest::addColumn<QString>("exchange");
        QTest::addColumn<float>("points");
        QTest::newRow("member number") << QStringLiteral("1234") << 5.0f;
        QTest::newRow("two digits") << QStringLiteral("12") << 5.0f;
        QTest::newRow("one digit") << QStringLiteral("7") << 2.0f;
        QTest::newRow("power") << QStringLiteral("100W") << 2.0f;
    }
    void pointsAtLogging() {
        QFETCH(QString, exchange);
        QFETCH(float, points);
        start();
        type(QStringLiteral("W1ABC599ct bob ") + exchange + QStringLiteral(" 599\n"));
        QCOMPARE(log().count(), 1);
        QCOMPARE(log().record(1).exchange, exchange);
        QCOMPARE(log().record(1).points, points);
        QVERIFY(f->logFileContent().contains(QStringLiteral(",%1,").arg(double(points)).toLatin1()));
    }

    void postContestDateAndTime() {
        start();
        f->window().action(QStringLiteral("mnuPostContest"))->trigger();
        QVERIFY(e->txtPostConTime->isVisible());
        const auto enter = [this](const QString& time, const QString& date) {
            e->cmdClear_Click();
            e->txtPostConTime->setText(time);
            e->txtPostConDate->setText(date);
            e->focusCall();
            type(QStringLiteral("W%1ABC599ct bob1234 599\n").arg(log().count() + 1));
        };
        enter(QStringLiteral("945"), QStringLiteral("2026/12/6"));
        QCOMPARE(log().count(), 1);
        QCOMPARE(log().record(1).time, QStringLiteral("09:45"));
        QCOMPARE(log().record(1).date, QStringLiteral("2026/12/06"));
        e->txtPostConTime->setFocus();
        QTRY_COMPARE(e->txtPostConTime->selectedText(), QStringLiteral("09:45"));
        typeKeys(e->txtPostConTime, QStringLiteral("9:45:30"));
        QCOMPARE(e->txtPostConTime->text(), QStringLiteral("9:45:30"));
        e->focusCall();
        type(QStringLiteral("W2ABC599ny al567 599\n"));
        QCOMPARE(log().count(), 2);
        QCOMPARE(log().record(2).time, QStringLiteral("09:45:30"));

        enter(QStringLiteral("1405"), QStringLiteral("2026/13/01"));
        QCOMPARE(status(), QStringLiteral("Invalid date format!"));
        enter(QStringLiteral("25:00"), QStringLiteral("2026/12/06"));
        QCOMPARE(status(), QStringLiteral("Invalid time format!"));
        QCOMPARE(log().count(), 2);
        // Only digits and the separator reach the fields; Enter in them logs.
        e->cmdClear_Click();
        type(QStringLiteral("W3ABC599ct bob1234 599"));
        e->txtPostConDate->clear();
        e->txtPostConDate->setFocus();
        QCOMPARE(e->txtPostConDate->text(), QStringLiteral("2026/12/08")); // today, when empty
        QTRY_COMPARE(e->txtPostConDate->selectedText(), QStringLiteral("2026/12/08"));
        typeKeys(e->txtPostConDate, QStringLiteral("x2026/12/07:"));
        QCOMPARE(e->txtPostConDate->text(), QStringLiteral("2026/12/07"));
        e->txtPostConTime->setText(QStringLiteral("14:05"));
        typeKeys(e->txtPostConDate, QStringLiteral("\n"));
        QCOMPARE(log().count(), 3);
        QCOMPARE(log().record(3).date, QStringLiteral("2026/12/07"));
    }
};

QTEST_MAIN(TestLogging)
#include "tst_logging.moc"

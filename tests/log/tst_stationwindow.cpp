// The station window driven by key events, its save to the shared file and the
// preferences; the colours window; the form-size and taskbar commands.
#include "log/AppearanceCommands.h"
#include "log/EntityNames.h"
#include "log/SharedPreferences.h"
#include "log/StationPreferences.h"
#include "log/windows/ColoursWindow.h"
#include "log/windows/StationWindow.h"
#include "platform/SettingsStore.h"
#include "support/TestDoubles.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ditlog;
using ditlog::testing::FixedScreen;
using ditlog::testing::ScriptedPrompts;

namespace {

// A small entity table searched from the last entry to the first, like the prefix table.
class FakeNames final : public EntityNames {
public:
    std::optional<EntityInfo> completeEntityName(const QString& prefix,
                                                 Qt::CaseSensitivity cs) const override {
        for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it) {
            if (it->entity.startsWith(prefix, cs)) {
                return *it;
            }
        }
        return std::nullopt;
    }
    // G is England, ES Estonia.
    std::optional<EntityInfo> entityOfCall(const QString& call) const override {
        if (call.startsWith(QLatin1String("ES"))) {
            return m_entries.at(1);
        }
        if (call.startsWith(QLatin1Char('G'))) {
            return m_entries.at(0);
        }
        return std::nullopt;
    }

private:
    QList<EntityInfo> m_entries{{QStringLiteral("England"), QStringLiteral("EU"), 1.47f, 52.77f},
                                {QStringLiteral("Estonia"), QStringLiteral("EU"), -25.5f, 58.6f}};
};

// Everything a station window needs, on real files in a temporary folder.
struct StationFixture {
    QTemporaryDir dir;
    StationPreferences prefs;
    QtSettingsStore settings{dir.filePath(QStringLiteral("settings.ini"))};
    SharedPreferences shared;
    FakeNames names;
    FixedScreen screen{QSize(640, 480)};
    ScriptedPrompts prompts;
    std::unique_ptr<StationWindow> window;

    QString sharedPath() const { return dir.filePath(QStringLiteral("SharedUserPreferences.xml")); }

    StationWindow& open(bool withNames = true) {
        shared.OpenSharedPreferences(sharedPath());
        window = std::make_unique<StationWindow>(prefs, settings, shared,
                                                 withNames ? &names : nullptr, screen, prompts);
        window->show();
        QApplication::setActiveWindow(window.get());
        return *window;
    }
};

void retype(QLineEdit* box, const QString& keys) {
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, keys);
}

} // namespace

class TestStationWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensWithStoredValuesAndCallDefault();
    void capitalBoxesAndEnterSaves();
    void countryCompletesFromTheLastMatchingName();
    void countryWithoutTableOnlyCapitalisesFirstLetter();
    void newOperatorIsPlacedByTheCall();
    void utcBoxFiltersKeysAndHoldsFocusUntilNumeric();
    void pastedTextLosesQuotesAndKeepsCaret();
    void doneWritesSharedFileAndPreferences();
    void doneReportsWriteFailureAndStillSaves();
    void formSizeIsClampedOrRefused();
    void taskbarNeedsFullSizeForm();
    void coloursWindowStoresChosenColours();
    void tabFollowsTheRowsAndCutValuesAreNotSaved();
};

void TestStationWindow::tabFollowsTheRowsAndCutValuesAreNotSaved() {
    StationFixture f;
    f.prefs.OwnCall = QStringLiteral("W1ABCDEFGHIJKLMNOP"); // longer than its box
    f.prefs.UtcOffset = -4.123456f;
    StationWindow& w = f.open();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(w.Text1->text().size(), w.Text1->maxLength());
    w.Text1->setFocus();
    QStringList order;
    for (int i = 0; i < 10; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, (QStringList{"Text1", "Text8", "Text9", "Text5", "Text2", "Text3", "Text4",
                                 "Text7", "Text6", "Command1"}));
    // Left as shown, the whole values are kept; a box the operator changed is taken.
    retype(w.Text9, QStringLiteral("ann"));
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(f.prefs.OwnCall, QStringLiteral("W1ABCDEFGHIJKLMNOP"));
    QCOMPARE(f.prefs.UtcOffset, -4.123456f);
    QCOMPARE(f.prefs.OwnFirstName, QStringLiteral("ANN"));
    QVERIFY(readWholeFile(f.sharedPath()).value_or(QByteArray()).contains("<OWN_CALL>W1ABCDEFGHIJKLMNOP<"));
}

void TestStationWindow::opensWithStoredValuesAndCallDefault() {
    StationFixture f;
    f.settings.setValue(QStringLiteral("UserCallSign"), QStringLiteral("K1ABC"));
    f.prefs.OwnLongitude = 71.1f;
    f.prefs.OwnLatitude = 42.25f;
    f.prefs.UtcOffset = -5.5f;
    StationWindow& w = f.open();
    QCOMPARE(w.objectName(), QStringLiteral("frmStationID"));
    QCOMPARE(w.windowTitle(), QStringLiteral(" Amateur Station I.D."));
    QCOMPARE(w.Text1->text(), QStringLiteral("K1ABC"));
    QCOMPARE(w.Text3->text(), QStringLiteral("71.1"));
    QCOMPARE(w.Text4->text(), QStringLiteral("42.25"));
    QCOMPARE(w.Text6->text(), QStringLiteral("-5.5"));

    // A stored own call wins over the settings-store default, at every opening.
    w.hide();
    f.prefs.OwnCall = QStringLiteral("G4XYZ");
    w.show();
    QCOMPARE(w.Text1->text(), QStringLiteral("G4XYZ"));
}

void TestStationWindow::capitalBoxesAndEnterSaves() {
    StationFixture f;
    StationWindow& w = f.open();
    QSignalSpy saved(&w, &StationWindow::stationSaved);
    retype(w.Text1, QStringLiteral("w1\"aw/p"));
    QCOMPARE(w.Text1->text(), QStringLiteral("W1AW/P"));
    for (QLineEdit* box : {w.Text5, w.Text7, w.Text8, w.Text9}) {
        retype(box, QStringLiteral("n1"));
        QCOMPARE(box->text(), QStringLiteral("N1"));
    }
    retype(w.Text2, QStringLiteral("usa"));
    QCOMPARE(w.Text2->text(), QStringLiteral("Usa")); // only the first letter

    // Enter in the country box is not "Done"; in the call box it is.
    QTest::keyClick(w.Text2, Qt::Key_Return);
    QCOMPARE(saved.count(), 0);
    QTest::keyClick(w.Text1, Qt::Key_Return);
    QCOMPARE(saved.count(), 1);
    QVERIFY(w.isHidden());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(f.prefs.OwnCall, QStringLiteral("W1AW/P"));
    QCOMPARE(f.prefs.OwnFirstName, QStringLiteral("N1"));
}

void TestStationWindow::countryCompletesFromTheLastMatchingName() {
    StationFixture f;
    StationWindow& w = f.open();
    w.Text2->clear();
    w.Text2->setFocus();

    QTest::keyClick(w.Text2, Qt::Key_E); // "e" at the start becomes "E": Estonia is last
    QCOMPARE(w.Text2->text(), QStringLiteral("Estonia"));
    QCOMPARE(w.Text2->selectedText(), QStringLiteral("stonia"));
    QCOMPARE(w.Text3->text(), QStringLiteral("-25.5"));
    QCOMPARE(w.Text4->text(), QStringLiteral("58.6"));
    QCOMPARE(w.Text7->text(), QStringLiteral("EU"));

    QTest::keyClick(w.Text2, Qt::Key_N); // "En"
    QCOMPARE(w.Text2->text(), QStringLiteral("England"));
    QCOMPARE(w.Text2->selectedText(), QStringLiteral("gland"));
    QCOMPARE(w.Text3->text(), QStringLiteral("1.47"));
    QCOMPARE(w.Text4->text(), QStringLiteral("52.77"));

    // Case matters after the first letter: "EN" matches nothing and replaces the rest.
    QTest::keyClick(w.Text2, Qt::Key_Backspace);
    QCOMPARE(w.Text2->text(), QStringLiteral("En"));
    QTest::keyClick(w.Text2, Qt::Key_Backspace);
    QTest::keyClick(w.Text2, 'N');
    QCOMPARE(w.Text2->text(), QStringLiteral("EN"));
    QVERIFY(!w.Text2->hasSelectedText());
    QCOMPARE(w.Text3->text(), QStringLiteral("1.47"));
}

void TestStationWindow::countryWithoutTableOnlyCapitalisesFirstLetter() {
    StationFixture f;
    f.prefs.OwnLongitude = 10;
    StationWindow& w = f.open(false);
    retype(w.Text2, QStringLiteral("england"));
    QCOMPARE(w.Text2->text(), QStringLiteral("England"));
    QVERIFY(!w.Text2->hasSelectedText());
    QCOMPARE(w.Text3->text(), QStringLiteral("10"));
}

void TestStationWindow::newOperatorIsPlacedByTheCall() {
    StationFixture f;
    StationWindow& w = f.open();
    QCOMPARE(w.Text3->text(), QStringLiteral("0"));
    // Country, continent and position empty: the typed call fills them, as it changes.
    retype(w.Text1, QStringLiteral("es1"));
    QCOMPARE(w.Text2->text(), QStringLiteral("Estonia"));
    QCOMPARE(w.Text3->text(), QStringLiteral("-25.5"));
    QCOMPARE(w.Text4->text(), QStringLiteral("58.6"));
    QCOMPARE(w.Text7->text(), QStringLiteral("EU"));
    retype(w.Text1, QStringLiteral("g4xyz"));
    QCOMPARE(w.Text2->text(), QStringLiteral("England"));
    QCOMPARE(w.Text4->text(), QStringLiteral("52.77"));
    // A call of no known entity gives the empty boxes back.
    retype(w.Text1, QStringLiteral("x"));
    QCOMPARE(w.Text2->text(), QString());
    QCOMPARE(w.Text3->text(), QStringLiteral("0"));
    QCOMPARE(w.Text7->text(), QString());
    // The operator's own change wins: the call no longer moves the station.
    retype(w.Text1, QStringLiteral("g4xyz"));
    retype(w.Text4, QStringLiteral("51.5"));
    retype(w.Text1, QStringLiteral("es1"));
    QCOMPARE(w.Text2->text(), QStringLiteral("England"));
    QCOMPARE(w.Text4->text(), QStringLiteral("51.5"));
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(f.prefs.OwnCountry, QStringLiteral("England"));
    QCOMPARE(f.prefs.OwnLongitude, 1.47f);
    QCOMPARE(f.prefs.OwnLatitude, 51.5f);
    QCOMPARE(f.prefs.OwnContinent, QStringLiteral("EU"));

    // A station already placed is never moved by its call.
    StationFixture placed;
    placed.prefs.OwnLatitude = 42.25f;
    StationWindow& p = placed.open();
    retype(p.Text1, QStringLiteral("g4xyz"));
    QVERIFY(p.Text2->text().isEmpty());
    QCOMPARE(p.Text4->text(), QStringLiteral("42.25"));
    // A call from the settings store places a new operator on opening.
    StationFixture stored;
    stored.settings.setValue(QStringLiteral("UserCallSign"), QStringLiteral("G4XYZ"));
    QCOMPARE(stored.open().Text2->text(), QStringLiteral("England"));
}

void TestStationWindow::utcBoxFiltersKeysAndHoldsFocusUntilNumeric() {
    StationFixture f;
    StationWindow& w = f.open();
    QSignalSpy saved(&w, &StationWindow::stationSaved);
    retype(w.Text6, QStringLiteral("a-5x.5 "));
    QCOMPARE(w.Text6->text(), QStringLiteral("-5.5"));
    QTest::keyClick(w.Text6, Qt::Key_Backspace);
    QCOMPARE(w.Text6->text(), QStringLiteral("-5."));

    retype(w.Text6, QStringLiteral("-"));
    QTest::keyClick(w.Text6, Qt::Key_Tab);
    QCOMPARE(f.prompts.beeps(), 1);
    QCOMPARE(QApplication::focusWidget(), w.Text6);

    QTest::keyClicks(w.Text6, QStringLiteral("3"));
    QTest::keyClick(w.Text6, Qt::Key_Tab);
    QCOMPARE(f.prompts.beeps(), 1);
    QCOMPARE(QApplication::focusWidget(), w.Command1);

    w.Text6->setFocus();
    QTest::keyClick(w.Text6, Qt::Key_Enter);
    QCOMPARE(saved.count(), 1);
    QCOMPARE(f.prefs.UtcOffset, -3.0f);
}

void TestStationWindow::pastedTextLosesQuotesAndKeepsCaret() {
    StationFixture f;
    StationWindow& w = f.open();
    w.Text9->setText(QStringLiteral("JOHN"));
    w.Text9->setFocus();
    w.Text9->setCursorPosition(2);
    QApplication::clipboard()->setText(QStringLiteral("\"X\"\t"));
    QTest::keyClick(w.Text9, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.Text9->text(), QStringLiteral("JOXHN"));
    QCOMPARE(w.Text9->cursorPosition(), 3);

    w.Text6->setFocus();
    w.Text6->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("UTC-4"));
    QTest::keyClick(w.Text6, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.Text6->text(), QStringLiteral("-4"));

    w.Text2->setText(QStringLiteral("\"Wales\"\r\n"));
    QCOMPARE(w.Text2->text(), QStringLiteral("Wales"));
}

void TestStationWindow::doneWritesSharedFileAndPreferences() {
    StationFixture f;
    StationWindow& w = f.open();
    QSignalSpy saved(&w, &StationWindow::stationSaved);
    w.Text1->setText(QStringLiteral("W1AW"));
    w.Text5->setText(QStringLiteral("CT"));
    w.Text6->setText(QStringLiteral("-5"));
    w.Text2->setText(QStringLiteral("England"));
    w.Text3->setText(QStringLiteral("east"));
    w.Text4->setText(QStringLiteral("51.5"));
    w.Text9->setText(QStringLiteral("BOB"));
    w.Text7->setText(QStringLiteral("EU"));
    w.Text8->setText(QStringLiteral("99"));
    QTest::mouseClick(w.Command1, Qt::LeftButton);

    QCOMPARE(w.Text3->text(), QStringLiteral("0"));
    QFile file(f.sharedPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                                        "<OWN_CALL>W1AW</OWN_CALL>\r\n"
                                        "<OWN_SPC>CT</OWN_SPC>\r\n"
                                        "<OWN_UTC>-5</OWN_UTC>\r\n"
                                        "<OWN_COUNTRY>England</OWN_COUNTRY>\r\n"
                                        "<OWN_LONGITUDE>0</OWN_LONGITUDE>\r\n"
                                        "<OWN_LATITUDE>51.5</OWN_LATITUDE>\r\n"
                                        "<OWN_FIRST_NAME>BOB</OWN_FIRST_NAME>\r\n"
                                        "<OWN_CONTINENT>EU</OWN_CONTINENT>\r\n"));
    QCOMPARE(saved.count(), 1);
    QVERIFY(f.prompts.callsOf(QStringLiteral("message")).isEmpty());

    const StationPreferences expected{.OwnCall = QStringLiteral("W1AW"),
                                      .OwnSpc = QStringLiteral("CT"),
                                      .UtcOffset = -5,
                                      .OwnCountry = QStringLiteral("England"),
                                      .OwnLongitude = 0,
                                      .OwnLatitude = 51.5f,
                                      .OwnContinent = QStringLiteral("EU"),
                                      .OwnMemberNumber = QStringLiteral("99"),
                                      .OwnFirstName = QStringLiteral("BOB")};
    QCOMPARE(f.prefs, expected);
}

void TestStationWindow::doneReportsWriteFailureAndStillSaves() {
    StationFixture f;
    StationWindow& w = f.open();
    f.shared.OpenSharedPreferences(f.dir.filePath(QStringLiteral("missing/shared.xml")));
    QSignalSpy saved(&w, &StationWindow::stationSaved);
    w.Text1->setText(QStringLiteral("N0CALL"));
    w.Command1->click();
    const auto messages = f.prompts.callsOf(QStringLiteral("message"));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().title, QStringLiteral("Unable to write file."));
    QVERIFY(!messages.first().text.isEmpty());
    QCOMPARE(saved.count(), 1);
    QCOMPARE(f.prefs.OwnCall, QStringLiteral("N0CALL"));
}

void TestStationWindow::formSizeIsClampedOrRefused() {
    const QString restart =
        QStringLiteral("For this setting to take effect please restart this program.");
    const struct {
        QString answer;
        int percent;
        QString messageTitle; // empty: no message
    } cases[] = {{QStringLiteral("25"), 30, restart},
                 {QStringLiteral("150"), 100, restart},
                 {QStringLiteral(" 90 "), 90, restart},
                 {QStringLiteral("abc"), 80, QStringLiteral("Numeric Values Required")},
                 {QString(), 80, QString()}}; // cancel
    for (const auto& c : cases) {
        StationPreferences prefs;
        prefs.FormSizePercent = 80;
        ScriptedPrompts prompts;
        prompts.script(c.answer);
        QCOMPARE(askFormSize(prefs, prompts), c.percent != 80);
        QCOMPARE(int(prefs.FormSizePercent), c.percent);
        QCOMPARE(prompts.calls().first().title, QStringLiteral("Please enter screen percentage."));
        QCOMPARE(prompts.calls().first().defaultText, QStringLiteral("80"));
        const auto messages = prompts.callsOf(QStringLiteral("message"));
        QCOMPARE(messages.size(), c.messageTitle.isEmpty() ? 0 : 1);
        QVERIFY(messages.isEmpty() || messages.first().title == c.messageTitle);
    }
}

void TestStationWindow::taskbarNeedsFullSizeForm() {
    StationPreferences prefs;
    ScriptedPrompts prompts;
    prefs.FormSizePercent = 95;
    QVERIFY(!toggleTaskbarMode(prefs, prompts));
    QCOMPARE(int(prefs.TaskbarMode), 0);
    QCOMPARE(prompts.callsOf(QStringLiteral("message")).size(), 1);
    QCOMPARE(prompts.calls().first().title,
             QStringLiteral("Please set your form size to 100% to use this option."));

    prefs.FormSizePercent = 100;
    QVERIFY(toggleTaskbarMode(prefs, prompts));
    QCOMPARE(int(prefs.TaskbarMode), 1);
    QVERIFY(toggleTaskbarMode(prefs, prompts));
    QCOMPARE(int(prefs.TaskbarMode), 0);
    QCOMPARE(prompts.callsOf(QStringLiteral("message")).size(), 1);
}

void TestStationWindow::coloursWindowStoresChosenColours() {
    StationPreferences prefs;
    prefs.WorkedColour = 0x0000FF;
    ScriptedPrompts prompts;
    FixedScreen screen(QSize(640, 480));
    ColoursWindow w(prefs, screen, prompts);
    QSignalSpy changed(&w, &ColoursWindow::coloursChanged);
    QCOMPARE(w.objectName(), QStringLiteral("Form6"));
    QCOMPARE(w.lblWorked->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    prompts.script(quint32(0xFF8000)); // blue 255, green 128, red 0
    QTest::mouseClick(w.cmdWorked, Qt::LeftButton);
    QCOMPARE(prompts.calls().last().text, QString::number(0x0000FF)); // offered the old one
    QCOMPARE(prefs.WorkedColour, 0xFF8000);
    QCOMPARE(w.lblWorked->palette().color(QPalette::WindowText), QColor(0, 128, 255));
    QCOMPARE(changed.count(), 1);

    QCOMPARE(w.cmdRemaining->text(), QStringLiteral("Change \"Remaining\" Color"));
    QTest::mouseClick(w.cmdRemaining, Qt::LeftButton); // cancelled: nothing changes
    QCOMPARE(prefs.RemainingColour, 0);
    QCOMPARE(changed.count(), 1);
    prompts.script(quint32(0x00FF00));
    QTest::mouseClick(w.cmdRemaining, Qt::LeftButton);
    QCOMPARE(prefs.RemainingColour, 0x00FF00);
    QCOMPARE(w.lblRemaining->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(changed.count(), 2);
}

QTEST_MAIN(TestStationWindow)
#include "tst_stationwindow.moc"

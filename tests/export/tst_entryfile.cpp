// The contest entry file byte for byte (header, multiplier lines, QSO columns) and the
// summary window that writes it and stores the operator's address details.
#include "export/EntryFile.h"
#include "export/windows/SummaryWindow.h"
#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/RecordFile.h"
#include "log/SharedPreferences.h"
#include "log/StationPreferences.h"
#include "platform/SettingsStore.h"
#include "support/TestDoubles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(ditlog::ContactRecord)

using namespace ditlog;
using ditlog::testing::FixedScreen;
using ditlog::testing::ScriptedPrompts;

namespace {

// One contact in each situation the QSO columns have to cope with: a state, a province
// with a one-digit-hour time, DX with a power exchange and a Latin-1 name, Hawaii and
// Alaska as DX, a band outside the seven with an over-long call and name, and 6 m.
const QByteArray kLog = QByteArrayLiteral(
    "\"W1AW\",\"599\",\"1234\",\"579\",\"CT\","
    "\"2026/01/14\",\"20:01:15\",\"HIRAM\",\"40\",5,\"7.025\"\r\n"
    "\"VE3XYZ\",\"559\",\"567\",\"599\",\"ON\",\"2026/01/14\",\"9:05\",\"BOB\",\"80\",5,\"\"\r\n"
    "\"DL1ABC\",\"599\",\"100W\",\"599\",\"Germany\","
    "\"2026/01/14\",\"20:15:00\",\"REN\xC9\",\"20\",2,\"\"\r\n"
    "\"KH6ABC\",\"599\",\"5W\",\"599\",\"Hawaii\","
    "\"2026/01/14\",\"20:20:00\",\"MAKANA\",\"15\",2,\"\"\r\n"
    "\"KL7/W1ABCDEFG\",\"579\",\"9999\",\"599\",\"Alaska\","
    "\"2026/01/15\",\"00:02:00\",\"CHRISTOPHER\",\"30\",5,\"\"\r\n"
    "\"W6XX\",\"599\",\"12\",\"599\",\"CA\","
    "\"2026/01/15\",\"00:10:59\",\"AL\",\"6\",5,\"50.1\"\r\n");

ContactLog loadedLog() {
    ContactLog log;
    const auto error = log.loadFromText(kLog);
    if (error) {
        qFatal("test log does not load: %s", qPrintable(error->describe()));
    }
    return log;
}

// The state multiplier lines and their total, without line ends.
QList<QByteArray> stateSection(const QByteArray& file) {
    QList<QByteArray> out;
    for (const QByteArray& line : file.split('\n')) {
        if (line.startsWith("STATE-MULTIPLIER")) {
            out.append(line.chopped(1));
        }
    }
    return out;
}

// Everything the summary window needs, on real files in a temporary folder.
struct SummaryFixture {
    QTemporaryDir dir;
    ContactLog log = loadedLog();
    StationPreferences prefs;
    DataFolders folders;
    QtSettingsStore settings{dir.filePath(QStringLiteral("settings.ini"))};
    SharedPreferences shared;
    FixedScreen screen{QSize(800, 600)};
    ScriptedPrompts prompts;
    std::unique_ptr<SummaryWindow> window;

    SummaryFixture() {
        folders = dataFoldersFor(dir.path(), dir.path());
        QDir().mkpath(folders.DataFolder);
        QDir().mkpath(folders.SharedFolder);
        prefs.OwnCall = QStringLiteral(" W1XYZ/P ");
        prefs.OwnSpc = QStringLiteral("MA");
        prefs.OwnMemberNumber = QStringLiteral("4321");
    }

    // The stored address details, in the order of Text5, Text6, Text7, Text8, Text1.
    const QStringList keys{QStringLiteral("UserAddressName"), QStringLiteral("UserAddressLine1"),
                           QStringLiteral("UserAddressLine2"), QStringLiteral("UserEMail"),
                           QStringLiteral("UserClubName")};
    const QStringList values{QStringLiteral("Pat"), QStringLiteral("1 Main St"),
                             QStringLiteral("Hartford"), QStringLiteral("pat@example.org"),
                             QStringLiteral("Nutmeg Sprinters")};

    QString sharedPath() const { return folders.sharedPreferencesPath(); }
    static QStringList boxTexts(const SummaryWindow& w) {
        return {w.Text5->text(), w.Text6->text(), w.Text7->text(), w.Text8->text(),
                w.Text1->text()};
    }

    SummaryWindow& open() {
        shared.OpenSharedPreferences(sharedPath());
        window = std::make_unique<SummaryWindow>(log, prefs, folders, settings, shared, prompts,
                                                 screen, QStringLiteral("Ditlog 0.1"));
        window->show();
        QApplication::setActiveWindow(window.get());
        return *window;
    }
};

// A click on the option's circle, where the operator clicks.
void tick(QRadioButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

QByteArray fileContent(const QString& path) {
    return readWholeFile(path).value_or(QByteArray());
}

// The real message boxes, with the file dialog answered from a script.
class RealBoxes final : public UserPrompts {
public:
    explicit RealBoxes(QWidget* mainWindow) { m_real.setParentWindow(mainWindow); }
    QString savePath;
    PromptAnswer message(const QString& title, const QString& text, PromptButtons buttons,
                         PromptIcon icon) override {
        return m_real.message(title, text, buttons, icon);
    }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return savePath; }
    std::optional<quint32> chooseColour(quint32) override { return std::nullopt; }
    void beep() override {}
    void setClipboardText(const QString&) override {}

private:
    WidgetPrompts m_real;
};

} // namespace

class TestEntryFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeFileForASmallLog();
    void stateMultiplierLines_data();
    void stateMultiplierLines();
    void overLongValuesKeepLaterColumns_data();
    void overLongValuesKeepLaterColumns();
    void headerValuesStayOnTheirLines();
    void opensFilledAndFreshEachTime();
    void writeStoresSettingsAndSharedTags();
    void cancelAndFailureStoreNothing();
    void boxesDropWhatCannotBeStored();
    void writtenMessageGivesTheKeyboardBack();
};

void TestEntryFile::wholeFileForASmallLog() {
    const ContactLog log = loadedLog();
    StationPreferences prefs;
    prefs.OwnCall = QStringLiteral(" W1XYZ ");
    prefs.OwnSpc = QStringLiteral("MA");
    SummaryFields fields{QStringLiteral("4321"),         QStringLiteral("Nutmeg Sprinters"),
                         QStringLiteral("77"),           QStringLiteral("Pat Operator"),
                         QStringLiteral("1 Main Street"), QStringLiteral("Hartford, CT 06101"),
                         QStringLiteral("pat@example.org"),
                         QStringLiteral("Great fun!\nSee you next time.\n")};
    const QString title =
        QStringLiteral("  Ditlog 0.1 - CW sprint logger for the club members, portable edition");
    const QByteArray file = buildEntryFile(entryFileInput(
        log, prefs, title, QStringLiteral("Fall Sprint"), QStringLiteral("QRO"), fields));

    const QByteArray expected = QByteArrayList{
        "START-OF-LOG: 2.0",
        "CREATED-BY: Ditlog 0.1 - CW sprint logger for the club membe",
        "CONTEST: Fall Sprint",
        "STATE-PROVINCE-COUNTRY: MA",
        "CALLSIGN: W1XYZ",
        "VARNS-NUMBER: 4321",
        "CLUB NAME: Nutmeg Sprinters",
        "CLUB-VARNS-NUMBER: 77",
        "CATEGORY: QRO",
        "QSO-POINTS: 24",
        "TOTAL-MULTIPLIERS: 6",
        "CLAIMED-SCORE: 144",
        "NAME: Pat Operator",
        "ADDRESS: 1 Main Street",
        "ADDRESS: Hartford, CT 06101",
        "ADDRESS: (e-mail) pat@example.org",
        "SOAPBOX: Great fun!",
        "SOAPBOX: See you next time.",
        "STATE-MULTIPLIERS: CT CA ON ",
        "STATE-MULTIPLIER-TOTAL:  3 ",
        "COUNTRY-MULTIPLIER: Germany",
        "COUNTRY-MULTIPLIER: Hawaii",
        "COUNTRY-MULTIPLIER: Alaska",
        "COUNTRY-MULTIPLIER-TOTAL: 3",
    //   1    6     12         23   28  32         43  47 50        60     67
        "QSO:  7000 2026-01-14 2001 579 W1AW       599 CT HIRAM     1234    5 ",
        "QSO:  3500 2026-01-14 0905 599 VE3XYZ     559 ON BOB       567     5 ",
        "QSO: 14000 2026-01-14 2015 599 DL1ABC     599 DX REN\xC9"
        "      100W    2 ",
        "QSO: 21000 2026-01-14 2020 599 KH6ABC     599 DX MAKANA    5W      2 ",
        "QSO:       2026-01-15 0002 599 KL7/W1ABCD 579 DX CHRISTOPH 9999    5 ",
        "QSO: 50    2026-01-15 0010 599 W6XX       599 CA AL        12      5 ",
        "END-OF-LOG:",
    }.join("\r\n") + "\r\n";
    QCOMPARE(file, expected);
}

void TestEntryFile::stateMultiplierLines_data() {
    QTest::addColumn<int>("worked");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("none") << 0 << QList<QByteArray>{"STATE-MULTIPLIER-TOTAL:  0 "};
    QTest::newRow("twelve fill one line")
        << 12
        << QList<QByteArray>{"STATE-MULTIPLIERS: CT MA ME NH RI VT NY NJ DE PA MD AL ",
                             "STATE-MULTIPLIER-TOTAL:  12 "};
    QTest::newRow("twenty written at the twentieth")
        << 20
        << QList<QByteArray>{
               "STATE-MULTIPLIERS: CT MA ME NH RI VT NY NJ DE PA MD AL GA KY NC FL SC TN VA AR ",
               "STATE-MULTIPLIER-TOTAL:  20 "};
    QTest::newRow("twenty-one leave a rest")
        << 21
        << QList<QByteArray>{
               "STATE-MULTIPLIERS: CT MA ME NH RI VT NY NJ DE PA MD AL GA KY NC FL SC TN VA AR ",
               "STATE-MULTIPLIERS: LA ", "STATE-MULTIPLIER-TOTAL:  21 "};
}

void TestEntryFile::stateMultiplierLines() {
    QFETCH(int, worked);
    QFETCH(QList<QByteArray>, lines);
    EntryFileInput input;
    for (int row = 1; row <= worked; ++row) {
        input.multipliers.markWorked(row);
    }
    const QByteArray file = buildEntryFile(input);
    QCOMPARE(stateSection(file), lines);
    QVERIFY(file.contains("\r\nCOUNTRY-MULTIPLIER-TOTAL: 0\r\nEND-OF-LOG:\r\n"));
}

void TestEntryFile::overLongValuesKeepLaterColumns_data() {
    QTest::addColumn<ContactRecord>("record");
    QTest::addColumn<QByteArray>("line");
    const ContactRecord base{QStringLiteral("K1AB"),     QStringLiteral("599"),
                             QStringLiteral("12"),       QStringLiteral("599"),
                             QStringLiteral("NH"),       QStringLiteral("2026/01/14"),
                             QStringLiteral("23:59:59"), QStringLiteral("ED"),
                             QStringLiteral("160"),      5,
                             QString()};
    //                 1    6     12         23   28  32         43  47 50        60     67
    ContactRecord r = base;
    r.rstSent = QStringLiteral("5999");
    r.rstReceived = QStringLiteral("55999");
    r.exchange = QStringLiteral("1500WATTS");
    r.points = -1;
    QTest::newRow("reports and exchange cut")
        << r
        << QByteArray("QSO:  1800 2026-01-14 2359 599 K1AB       559 NH ED        1500WA -1 ");
    r = base;
    r.date = QStringLiteral("2026/1/4");
    r.time = QStringLiteral("7:03:00");
    r.spc.clear();
    r.points = 1.5f;
    QTest::newRow("short date and hour, empty spc")
        << r
        << QByteArray("QSO:  1800 2026-01-04 0703 599 K1AB       599    ED        12      1.5 ");
}

void TestEntryFile::overLongValuesKeepLaterColumns() {
    QFETCH(ContactRecord, record);
    QFETCH(QByteArray, line);
    QCOMPARE(qsoLine(record).toLatin1(), line);
}

void TestEntryFile::headerValuesStayOnTheirLines() {
    // Stored values edited outside the program may hold line breaks or tabs; none may
    // start a line of its own in the entry file.
    EntryFileInput input;
    input.fields.addressLine2 = QStringLiteral("Springfield\r\nQSO: forged");
    input.fields.clubName = QStringLiteral("Old\tTimers");
    input.fields.soapbox = QStringLiteral("One\r\n\r\nTwo\tthree");
    input.fields.name = QStringLiteral("Zo\u00EB \u4E2D");
    const QByteArray file = buildEntryFile(input);
    QVERIFY(file.contains("\r\nADDRESS: SpringfieldQSO: forged\r\n"));
    QVERIFY(file.contains("\r\nCLUB NAME: OldTimers\r\n"));
    QVERIFY(file.contains("\r\nSOAPBOX: One\r\nSOAPBOX: \r\nSOAPBOX: Twothree\r\nSTATE-"));
    QVERIFY(file.contains("\r\nNAME: Zo\xEB ?\r\n"));
    QCOMPARE(file.count('\n'), file.count("\r\n"));
}

void TestEntryFile::opensFilledAndFreshEachTime() {
    SummaryFixture f;
    for (qsizetype i = 0; i < f.keys.size(); ++i) {
        f.settings.setValue(f.keys.at(i), f.values.at(i));
    }
    SummaryWindow& w = f.open();
    QCOMPARE(w.objectName(), QStringLiteral("Form2"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Summary Sheet Information"));
    QCOMPARE(w.Text10->text(), QStringLiteral("4321"));
    QCOMPARE(f.boxTexts(w), f.values);
    QCOMPARE(w.contest(), QStringLiteral("Winter Sprint"));
    QCOMPARE(w.category(), QStringLiteral("QRP"));

    // The two option groups tick independently of each other.
    tick(w.Option11);
    tick(w.Option3);
    QCOMPARE(w.contest(), QStringLiteral("Spring Sprint"));
    QCOMPARE(w.category(), QStringLiteral("CLUB"));
    tick(w.Option12);
    tick(w.Option1);
    QCOMPARE(w.contest(), QStringLiteral("Summer Sprint"));
    QCOMPARE(w.category(), QStringLiteral("QRO"));
    tick(w.Option13);
    QCOMPARE(w.contest(), QStringLiteral("Fall Sprint"));

    // "Done" hides; the next opening is a fresh form.
    w.Text2->setText(QStringLiteral("77"));
    w.Text11->setPlainText(QStringLiteral("fun"));
    w.Text1->setText(QStringLiteral("Unsaved Club"));
    QTest::mouseClick(w.cmdDone, Qt::LeftButton);
    QVERIFY(w.isHidden());
    w.show();
    QCOMPARE(w.contest(), QStringLiteral("Winter Sprint"));
    QCOMPARE(w.category(), QStringLiteral("QRP"));
    QVERIFY(w.Text2->text().isEmpty() && w.Text11->toPlainText().isEmpty());
    QCOMPARE(f.boxTexts(w), f.values);
}

void TestEntryFile::writeStoresSettingsAndSharedTags() {
    SummaryFixture f;
    SummaryWindow& w = f.open();
    tick(w.Option13);
    tick(w.Option3);
    const QList<QLineEdit*> boxes{w.Text5, w.Text6, w.Text7, w.Text8, w.Text1};
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        boxes.at(i)->setText(QLatin1Char(' ') + f.values.at(i) + QLatin1Char(' '));
    }
    const QString path = f.folders.DataFolder + QStringLiteral("/entry.log");
    f.prompts.script(path);
    QTest::mouseClick(w.cmdWriteSummary, Qt::LeftButton);

    const auto saves = f.prompts.callsOf(QStringLiteral("save"));
    QCOMPARE(saves.size(), 1);
    QCOMPARE(saves.at(0).text, QStringLiteral("LOG Files (*.log) | *.log"));
    QCOMPARE(saves.at(0).defaultText, f.folders.DataFolder + QStringLiteral("/W1XYZ.log"));
    QCOMPARE(fileContent(path),
             buildEntryFile(entryFileInput(f.log, f.prefs, QStringLiteral("Ditlog 0.1"),
                                           QStringLiteral("Fall Sprint"), QStringLiteral("CLUB"),
                                           w.fields())));

    QCOMPARE(f.prompts.beeps(), 1);
    const auto messages = f.prompts.callsOf(QStringLiteral("message"));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).title, QStringLiteral("File Written Successfully."));
    QCOMPARE(messages.at(0).text,
             QStringLiteral("The file was successfully written to the directory:\n\n") +
                 QDir::toNativeSeparators(path) +
                 QStringLiteral(".\n\nAttach this file to an e-mail addressed for contest "
                                "submission.  If you wish to print this file, you can open it "
                                "with Notepad or Wordpad to print."));
    QCOMPARE(w.focusWidget(), w.cmdDone);
    QVERIFY(w.isVisible());

    for (qsizetype i = 0; i < f.keys.size(); ++i) {
        QCOMPARE(f.settings.value(f.keys.at(i)), f.values.at(i));
    }
    QCOMPARE(fileContent(f.sharedPath()),
             QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                        "<OWN_ADDRESS_NAME>Pat</OWN_ADDRESS_NAME>\r\n"
                        "<OWN_ADDRESS_LINE1>1 Main St</OWN_ADDRESS_LINE1>\r\n"
                        "<OWN_ADDRESS_LINE2>Hartford</OWN_ADDRESS_LINE2>\r\n"
                        "<OWN_EMAIL>pat@example.org</OWN_EMAIL>\r\n"
                        "<OWN_CLUB_NAME>Nutmeg Sprinters</OWN_CLUB_NAME>\r\n"));
}

void TestEntryFile::cancelAndFailureStoreNothing() {
    SummaryFixture f;
    SummaryWindow& w = f.open();
    w.Text5->setText(QStringLiteral("Pat"));
    // Enter in a box is not the write button.
    QTest::keyClick(w.Text5, Qt::Key_Return);
    QVERIFY(f.prompts.calls().isEmpty());

    QTest::mouseClick(w.cmdWriteSummary, Qt::LeftButton); // no scripted answer: cancelled
    QCOMPARE(f.prompts.calls().size(), 1);                 // the dialog only
    QVERIFY(QDir(f.folders.DataFolder).entryList(QDir::Files).isEmpty());

    f.prompts.clear();
    f.prompts.script(f.folders.DataFolder + QStringLiteral("/missing/entry.log"));
    QTest::mouseClick(w.cmdWriteSummary, Qt::LeftButton);
    QCOMPARE(f.prompts.beeps(), 1);
    const auto messages = f.prompts.callsOf(QStringLiteral("message"));
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).title, QStringLiteral("Unable to write file."));
    QVERIFY(!messages.at(0).text.isEmpty());

    QVERIFY(f.settings.value(QStringLiteral("UserAddressName")).isEmpty());
    QVERIFY(!QFile::exists(f.sharedPath()));
    QVERIFY(!f.shared.text().contains(QStringLiteral("OWN_ADDRESS_NAME")));
}

void TestEntryFile::boxesDropWhatCannotBeStored() {
    SummaryFixture f;
    f.settings.setValue(QStringLiteral("UserEMail"), QStringLiteral("pat\"@example.org\t"));
    SummaryWindow& w = f.open();
    QCOMPARE(w.Text8->text(), QStringLiteral("pat@example.org"));

    w.Text6->setFocus();
    QTest::keyClicks(w.Text6, QStringLiteral("1 \"Main\" St"));
    QCOMPARE(w.Text6->text(), QStringLiteral("1 Main St"));
    w.Text6->setCursorPosition(2);
    w.Text6->insert(QStringLiteral("\"Old\"\n"));
    QCOMPARE(w.Text6->text(), QStringLiteral("1 OldMain St"));
    QCOMPARE(w.Text6->cursorPosition(), 5); // after the kept characters

    // The soapbox keeps its line breaks.
    w.Text11->setPlainText(QStringLiteral("Say \"hi\"\n\tto all"));
    QCOMPARE(w.Text11->toPlainText(), QStringLiteral("Say hi\nto all"));
}

void TestEntryFile::writtenMessageGivesTheKeyboardBack() {
    SummaryFixture f;
    QWidget mainWindow;
    mainWindow.resize(400, 300);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
    RealBoxes boxes(&mainWindow);
    boxes.savePath = f.folders.DataFolder + QStringLiteral("/entry.log");
    f.shared.OpenSharedPreferences(f.sharedPath());
    SummaryWindow w(f.log, f.prefs, f.folders, f.settings, f.shared, boxes, f.screen,
                    QStringLiteral("Ditlog 0.1"), &mainWindow);
    w.open();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QWidget* boxParent = nullptr;
    QTimer::singleShot(0, &w, [&boxParent] {
        // The box stands over the window that asked; Enter closes it.
        QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        boxParent = box->parentWidget();
        QCOMPARE(box->windowTitle(), QStringLiteral("File Written Successfully."));
        box->accept();
    });
    w.cmdWriteSummary->setFocus();
    QTest::keyClick(w.cmdWriteSummary, Qt::Key_Space);
    QCOMPARE(boxParent, &w);
    QTRY_COMPARE(QApplication::activeWindow(), &w);
    QVERIFY(w.cmdDone->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // "Done" by keyboard
    QTRY_VERIFY(w.isHidden());
}

QTEST_MAIN(TestEntryFile)
#include "tst_entryfile.moc"

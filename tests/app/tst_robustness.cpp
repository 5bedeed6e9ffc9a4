// Every file read at start given empty, truncated, binary, huge or hand-edited content:
// the documented message or fallback, never a crash or a hang, never a lost file.
#include "MainWindowFixture.h"

#include "app/EntryPanel.h"
#include "log/RecordFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const QByteArray kLogLine = "\"K1ABC\",\"599\",\"1234\",\"599\",\"CT\",\"2026/12/08\",\"14:05:33\","
                            "\"BOB\",\"20\",5,\"\"\r\n";

QByteArray binaryContent() {
    QByteArray b;
    for (int i = 0; i < 4096; ++i) {
        b.append(char((i * 7919) % 256));
    }
    return b;
}

// Writes a file of the given kind; "huge" is a sparse 100 MB file.
void writeKind(const QString& path, const QString& kind, const QByteArray& valid) {
    if (kind == QLatin1String("huge")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(valid);
        QVERIFY(f.resize(100LL * 1024 * 1024));
        return;
    }
    QByteArray content;
    if (kind == QLatin1String("truncated")) {
        content = valid.left(valid.size() * 3 / 4); // cut inside the last record
    } else if (kind == QLatin1String("binary")) {
        content = binaryContent();
    }
    QVERIFY(!writeFileAtomically(path, content));
}

QByteArray digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(&f);
    return h.result();
}

QStringList messageTitles(const ScriptedPrompts& prompts) {
    QStringList titles;
    for (const PromptCall& c : prompts.callsOf(QStringLiteral("message"))) {
        titles.append(c.title);
    }
    return titles;
}
} // namespace

class TestRobustness : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void damagedLogEndsWithTheFileErrorAndIsKept_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("binary") << "binary";
        QTest::newRow("huge") << "huge";
    }
    void damagedLogEndsWithTheFileErrorAndIsKept() {
        QFETCH(QString, kind);
        MainWindowFixture f(std::nullopt);
        const QString path = f.workingFile(QStringLiteral("log.txt"));
        writeKind(path, kind, kLogLine + kLogLine);
        const QByteArray before = digest(path);
        QSignalSpy fatal(&f.window(), &MainWindow::fatalLoadError);
        f.startUp();
        QCOMPARE(fatal.count(), 1);
        QVERIFY(messageTitles(f.prompts).contains(QStringLiteral("File Error")));
        f.window().close(); // the backup at exit only copies
        QCOMPARE(digest(path), before);
    }

    void cutLogOpensItsGoodRecordsOnYes() {
        MainWindowFixture f(std::nullopt);
        const QString path = f.workingFile(QStringLiteral("log.txt"));
        QByteArray content;
        for (int i = 1; i <= 4; ++i) {
            content += QByteArray(kLogLine).replace("K1ABC", "K" + QByteArray::number(i) + "ABC");
        }
        content += QByteArray(kLogLine).replace("K1ABC", "K9ZZZ\",\"5").left(40); // cut mid-record
        content.insert(content.indexOf("\"K2ABC\"") + 1, '"');                     // a stray quote
        QVERIFY(!writeFileAtomically(path, content));
        QSignalSpy fatal(&f.window(), &MainWindow::fatalLoadError);
        f.prompts.script(PromptAnswer::Yes); // open the existing log
        f.prompts.script(PromptAnswer::Yes); // and its good records
        f.startUp();
        QCOMPARE(fatal.count(), 0);
        const QList<PromptCall> asked = f.prompts.callsOf(QStringLiteral("message"));
        QCOMPARE(asked.last().title, QStringLiteral("File Error"));
        QVERIFY2(asked.last().text.contains(QStringLiteral("log.txt, line 2, field 1:")), qPrintable(asked.last().text));
        QVERIFY(asked.last().text.contains(QStringLiteral("Open the 3 good records now? The damaged lines 2 and 5")));

        const ContactLog& log = f.window().contactLog();
        QCOMPARE(log.count(), 3);
        QCOMPARE(log.record(2).call, QStringLiteral("K3ABC"));
        const QStringList copies = QDir(QFileInfo(path).path()).entryList({QStringLiteral("log.txt.*.bad")});
        QCOMPARE(copies, QStringList{QStringLiteral("log.txt.20261208-140533.bad")});
        QCOMPARE(readWholeFile(QFileInfo(path).dir().filePath(copies.first())).value(), content);
        QCOMPARE(f.logFileContent(), log.toText());
        // Logging goes on in the repaired file.
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        f.window().entry().focusCall();
        typeKeys(f.window().entry().txtCall, QStringLiteral("W1ABC599ct bob1234 599\n"));
        QCOMPARE(log.count(), 4);
        QCOMPARE(f.logFileContent(), log.toText());
    }

    void absurdPreferenceValuesTakeTheirDefaults() {
        MainWindowFixture f(kLogLine);
        const QString path = f.workingFile(QStringLiteral("varnpref.txt"));
        const QByteArray text = "\"W1ABCDEFGHIJKLMNOP\"\r\n\"CT\"\r\n1e30\r\n\"CW\"\r\n0\r\n\"USA\"\r\n72.7\r\n"
                                "41.7\r\n5\r\n255\r\n0\r\n\"20\"\r\n\"NA\"\r\n\"1234\"\r\n0\r\n\"None\"\r\n"
                                "\"BOB\"\r\n\"599\"\r\n0\r\n0\r\n";
        QVERIFY(!writeFileAtomically(path, text));
        f.startUp();
        MainWindow& w = f.window();
        QCOMPARE(w.preferences().UtcOffset, 0.0f);
        QCOMPARE(w.preferences().FormSizePercent, quint8(100));
        QCOMPARE(w.preferences().OwnLongitude, 72.7f);
        QCOMPARE(readWholeFile(path + QStringLiteral(".bad")).value(), text);
        const PromptCall told = f.prompts.callsOf(QStringLiteral("message")).first();
        QCOMPARE(told.title, QStringLiteral("Error opeining file"));
        QVERIFY2(told.text.contains(QStringLiteral("UtcOffset 1e+30, FormSizePercent 5")), qPrintable(told.text));
        QVERIFY(w.width() > 1000); // the whole screen, not 5 % of it
        // The station window was closed with "Done": the call it could not show whole is kept.
        QCOMPARE(w.preferences().OwnCall, QStringLiteral("W1ABCDEFGHIJKLMNOP"));
        QVERIFY(readWholeFile(path).value().startsWith("\"W1ABCDEFGHIJKLMNOP\"\r\n\"CT\"\r\n0\r\n"));
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.entry().focusCall();
        typeKeys(w.entry().txtCall, QStringLiteral("W1ABC599ct bob1234 599\n"));
        QCOMPARE(w.contactLog().count(), 2);
        QCOMPARE(w.contactLog().record(2).date, QStringLiteral("2026/12/08"));
    }

    void emptyAndHandEditedLogsLoad() {
        MainWindowFixture empty(QByteArray{});
        empty.startUp();
        QCOMPARE(empty.window().contactLog().count(), 0);

        // Line feeds only, blanks around fields, 5.0 points, a record over two lines.
        MainWindowFixture edited(QByteArray("\"K1ABC\" , \"599\",\"1234\",\"599\",\"CT\",\n"
                                            "\"2026/12/08\",\"14:05:33\",\"BOB\",\"20\", 5.0 ,\"\"\n"));
        edited.startUp();
        QCOMPARE(edited.window().contactLog().count(), 1);
        QCOMPARE(edited.window().contactLog().record(1).points, 5.0f);
        QCOMPARE(messageTitles(edited.prompts), QStringList{QStringLiteral("Open existing log?")});
    }

    void damagedPreferencesFallBackAndAreKept_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty") << "empty";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("binary") << "binary";
        QTest::newRow("huge") << "huge";
    }
    void damagedPreferencesFallBackAndAreKept() {
        QFETCH(QString, kind);
        MainWindowFixture f(kLogLine);
        const QString path = f.workingFile(QStringLiteral("varnpref.txt"));
        writeKind(path, kind, "\"W1AW\"\r\n\"CT\"\r\n-5\r\n\"CW\"\r\n0\r\n");
        const QByteArray before = digest(path);
        f.startUp();
        QVERIFY(messageTitles(f.prompts).contains(QStringLiteral("Error opeining file")));
        QCOMPARE(f.window().contactLog().count(), 1); // start-up went on to open the log
        QCOMPARE(digest(path + QStringLiteral(".bad")), before);
        if (kind == QLatin1String("truncated")) {
            QCOMPARE(f.window().preferences().OwnCall, QStringLiteral("W1AW"));
        }
        QCOMPARE(f.window().preferences().FormSizePercent, quint8(100));
    }

    void damagedPrefixTableLeavesLookupsEmpty_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty") << "empty";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("binary") << "binary";
        QTest::newRow("huge") << "huge";
    }
    void damagedPrefixTableLeavesLookupsEmpty() {
        QFETCH(QString, kind);
        MainWindowFixture f(kLogLine);
        const QString path = f.workingFile(QStringLiteral("arrlpre2.txt"));
        writeKind(path, kind, "\"G\",\"England\",\"EU\",2,52,14,27,0\r\n\"K\",\"USA\",\"NA\",90,40,5,8,5\r\n");
        const QByteArray before = digest(path);
        f.startUp();
        const bool reported = messageTitles(f.prompts).contains(QStringLiteral("Error opeining file"));
        QCOMPARE(reported, kind != QLatin1String("empty"));
        QCOMPARE(f.window().contactLog().count(), 1);
        f.window().entry().txtCall->setText(QStringLiteral("G4ABC"));
        QCOMPARE(f.window().entry().txtCntry->text(), QStringLiteral("Not Found"));
        QCOMPARE(digest(path), before);
    }

    void unreadableSharedFileIsNeverReplaced_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("binary") << "binary";
        QTest::newRow("huge") << "huge";
    }
    void unreadableSharedFileIsNeverReplaced() {
        QFETCH(QString, kind);
        MainWindowFixture f(kLogLine);
        const QString path = f.folders().sharedPreferencesPath();
        writeKind(path, kind, "<?xml?>\r\n<OWN_CALL>W1AW</OWN_CALL>\r\n");
        const QByteArray before = digest(path);
        f.startUp(); // "Done" in the station window sets the shared elements
        QCOMPARE(digest(path), before);
        QVERIFY(messageTitles(f.prompts).contains(QStringLiteral("Unable to write file.")));
        QCOMPARE(f.window().contactLog().count(), 1);
    }

    void emptySharedFileStartsAfresh() {
        MainWindowFixture f(kLogLine);
        const QString path = f.folders().sharedPreferencesPath();
        writeKind(path, QStringLiteral("empty"), {});
        f.startUp();
        const QByteArray after = readWholeFile(path).value();
        QVERIFY(after.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<OWN_CALL>"));
    }
};

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"

// The preference file, the shared preference file, the data folders and file stems.
#include "log/DataFolders.h"
#include "log/SharedPreferences.h"
#include "log/StationPreferences.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace ditlog;

namespace {
StationPreferences sample() {
    StationPreferences p;
    p.OwnCall = QStringLiteral("W1AW");
    p.OwnSpc = QStringLiteral("CT");
    p.UtcOffset = -4.5f;
    p.Mode = QStringLiteral("PH");
    p.OperatingTime = 3723.5f;
    p.OwnCountry = QStringLiteral("USA");
    p.OwnLongitude = 72.7f;
    p.OwnLatitude = 41.7f;
    p.FormSizePercent = 90;
    p.WorkedColour = 0xFF0000;
    p.RemainingColour = 255;
    p.Band = QStringLiteral("40");
    p.OwnContinent = QStringLiteral("NA");
    p.OwnMemberNumber = QStringLiteral("1234");
    p.VoiceNavigation = 2;
    p.RigType = QStringLiteral("None");
    p.OwnFirstName = QStringLiteral("HIRAM");
    p.DefaultRst = QStringLiteral("579");
    p.TaskbarMode = 1;
    p.ListPreviousContacts = 1;
    return p;
}
} // namespace

class TestPreferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesTwentyLinesInOrder() {
        const QByteArray expected =
            "\"W1AW\"\r\n\"CT\"\r\n-4.5\r\n\"PH\"\r\n3723.5\r\n\"USA\"\r\n72.7\r\n41.7\r\n90\r\n"
            "16711680\r\n255\r\n\"40\"\r\n\"NA\"\r\n\"1234\"\r\n2\r\n\"None\"\r\n\"HIRAM\"\r\n"
            "\"579\"\r\n1\r\n1\r\n";
        QCOMPARE(preferencesText(sample()), expected);
    }

    void roundTripsThroughTheWorkingFolder() {
        QTemporaryDir dir;
        QVERIFY(!writePreferences(dir.path(), sample()).has_value());
        StationPreferences back;
        QCOMPARE(LoadPreferences(dir.path(), back).status, PreferenceLoad::Status::Loaded);
        QCOMPARE(back, sample());
    }

    void missingFileKeepsDefaults() {
        QTemporaryDir dir;
        StationPreferences p;
        QCOMPARE(LoadPreferences(dir.path(), p).status, PreferenceLoad::Status::Missing);
        QCOMPARE(p, StationPreferences());
        QCOMPARE(p.FormSizePercent, quint8(100));
    }

    void shortOrMalformedFileKeepsWhatWasRead() {
        StationPreferences p;
        PreferenceLoad r = readPreferences("\"K1ABC\"\r\n\"ON\"\r\n-5\r\n", p);
        QCOMPARE(r.status, PreferenceLoad::Status::Malformed);
        QCOMPARE(p.OwnCall, QStringLiteral("K1ABC"));
        QCOMPARE(p.UtcOffset, -5.0f);
        QCOMPARE(p.DefaultRst, QStringLiteral("599"));

        StationPreferences q;
        r = readPreferences("\"K1ABC\"\r\n\"ON\"\r\nabc\r\n", q);
        QCOMPARE(r.status, PreferenceLoad::Status::Malformed);
        QCOMPARE(r.error.line, 3);
        QCOMPARE(q.UtcOffset, 0.0f);

        // A value out of its range takes the default and is named.
        QByteArray text = preferencesText(sample());
        text.replace("\r\n90\r\n", "\r\n7\r\n");
        StationPreferences s;
        const PreferenceLoad load = readPreferences(text, s);
        QCOMPARE(load.status, PreferenceLoad::Status::Loaded);
        QVERIFY(load.damaged());
        QCOMPARE(load.outOfRange, QStringList{QStringLiteral("FormSizePercent 7")});
        QCOMPARE(s.FormSizePercent, quint8(100));
    }

    void everyValueHasItsRange_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("name");
        QTest::newRow("utc offset") << 3 << QByteArray("1e30") << "UtcOffset";
        QTest::newRow("mode") << 4 << QByteArray("\"RTTY\"") << "Mode";
        QTest::newRow("operating time") << 5 << QByteArray("-60") << "OperatingTime";
        QTest::newRow("longitude") << 7 << QByteArray("720") << "OwnLongitude";
        QTest::newRow("latitude") << 8 << QByteArray("-91") << "OwnLatitude";
        QTest::newRow("form size") << 9 << QByteArray("300") << "FormSizePercent";
        QTest::newRow("colour") << 10 << QByteArray("-1") << "WorkedColour";
        QTest::newRow("band") << 12 << QByteArray("\"30\"") << "Band";
        QTest::newRow("voice") << 15 << QByteArray("3") << "VoiceNavigation";
        QTest::newRow("report") << 18 << QByteArray("\"5999\"") << "DefaultRst";
        QTest::newRow("taskbar") << 19 << QByteArray("2") << "TaskbarMode";
        QTest::newRow("list previous") << 20 << QByteArray("-1") << "ListPreviousContacts";
    }
    void everyValueHasItsRange() {
        QFETCH(int, line);
        QFETCH(QByteArray, value);
        QFETCH(QString, name);
        QList<QByteArray> lines = preferencesText(sample()).split('\n');
        lines[line - 1] = value + '\r';
        StationPreferences p;
        const PreferenceLoad load = readPreferences(lines.join('\n'), p);
        QCOMPARE(load.status, PreferenceLoad::Status::Loaded);
        QCOMPARE(load.outOfRange.size(), 1);
        QVERIFY2(load.outOfRange.first().startsWith(name), qPrintable(load.outOfRange.first()));
        // That value is the default; the others are as written.
        StationPreferences expected = sample();
        const StationPreferences defaults;
        const QList<std::pair<QString, std::function<void()>>> reset{
            {"UtcOffset", [&] { expected.UtcOffset = defaults.UtcOffset; }},
            {"Mode", [&] { expected.Mode = defaults.Mode; }},
            {"OperatingTime", [&] { expected.OperatingTime = defaults.OperatingTime; }},
            {"OwnLongitude", [&] { expected.OwnLongitude = defaults.OwnLongitude; }},
            {"OwnLatitude", [&] { expected.OwnLatitude = defaults.OwnLatitude; }},
            {"FormSizePercent", [&] { expected.FormSizePercent = defaults.FormSizePercent; }},
            {"WorkedColour", [&] { expected.WorkedColour = defaults.WorkedColour; }},
            {"Band", [&] { expected.Band = defaults.Band; }},
            {"VoiceNavigation", [&] { expected.VoiceNavigation = defaults.VoiceNavigation; }},
            {"DefaultRst", [&] { expected.DefaultRst = defaults.DefaultRst; }},
            {"TaskbarMode", [&] { expected.TaskbarMode = defaults.TaskbarMode; }},
            {"ListPreviousContacts", [&] { expected.ListPreviousContacts = defaults.ListPreviousContacts; }}};
        for (const auto& [field, apply] : reset) {
            if (field == name) {
                apply();
            }
        }
        QCOMPARE(p, expected);
    }

    void storedTextNeverCarriesQuotes() {
        StationPreferences p = sample();
        p.OwnFirstName = QStringLiteral("BO\"B\r\n");
        QVERIFY(preferencesText(p).contains("\"BOB\"\r\n"));
    }

    void callFileStem() {
        QCOMPARE(CallFileStem(QStringLiteral("W1ABC/P")), QStringLiteral("W1ABC"));
        QCOMPARE(CallFileStem(QStringLiteral("/W1ABC")), QStringLiteral("YourCall"));
        QCOMPARE(CallFileStem(QString()), QStringLiteral("YourCall"));
        QCOMPARE(CallFileStem(QStringLiteral("w1abc")), QStringLiteral("YourCall"));
        QCOMPARE(CallFileStem(QStringLiteral("VE3XYZ-1")), QStringLiteral("VE3XYZ"));
    }

    void sharedPreferencesEdits() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SharedUserPreferences.xml"));
        SharedPreferences shared;
        shared.OpenSharedPreferences(path);
        QCOMPARE(shared.text(), QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"));
        shared.SetSharedPreference(QStringLiteral("own_call"), QStringLiteral("K1ABC"), false);
        shared.SetSharedPreference(QStringLiteral("OWN_SPC"), QStringLiteral("a<b"), false);
        shared.SetSharedPreference(QStringLiteral("OWN_CALL"), QStringLiteral("W1AW"), false);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!shared.SetSharedPreference(QStringLiteral("OWN_UTC"), QStringLiteral("-5"), true));
        const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                                    "<OWN_CALL>W1AW</OWN_CALL>\r\n<OWN_SPC>a<b</OWN_SPC>\r\n"
                                    "<OWN_UTC>-5</OWN_UTC>\r\n";
        QCOMPARE(readWholeFile(path).value(), expected);

        // Reopened, the final line break is dropped and edits continue in place.
        SharedPreferences again;
        again.OpenSharedPreferences(path);
        again.SetSharedPreference(QStringLiteral("OWN_SPC"), QStringLiteral("CT"), true);
        QVERIFY(readWholeFile(path).value().contains("<OWN_SPC>CT</OWN_SPC>\r\n<OWN_UTC>"));
        QVERIFY(readWholeFile(path).value().endsWith("</OWN_UTC>\r\n"));
    }

    void sharedFileWithoutFinalLineBreakKeepsItsLastElement() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.xml"));
        QVERIFY(!writeFileAtomically(path, "<?xml?>\r\n<A>1</A>").has_value());
        SharedPreferences shared;
        shared.OpenSharedPreferences(path);
        QCOMPARE(shared.text(), QStringLiteral("<?xml?>\r\n<A>1</A>"));
        // An element whose closing tag was lost gets a fresh element instead of eating the file.
        QVERIFY(!writeFileAtomically(path, "<?xml?>\r\n<A>1\r\n<B>2</B>\r\n").has_value());
        shared.OpenSharedPreferences(path);
        shared.SetSharedPreference(QStringLiteral("A"), QStringLiteral("9"), false);
        QVERIFY(shared.text().contains(QStringLiteral("<B>2</B>")));
        QVERIFY(shared.text().endsWith(QStringLiteral("<A>9</A>")));
    }

    void documentsFolderProbing() {
        QTemporaryDir home;
        QHash<QString, QString> env{{QStringLiteral("HOME"), home.path()}};
        const auto lookup = [&env](const char* name) { return env.value(QLatin1String(name)); };
        QCOMPARE(findDocumentsFolder(lookup), home.path());
        QDir(home.path()).mkpath(QStringLiteral("Documents"));
        QCOMPARE(findDocumentsFolder(lookup), home.path() + QStringLiteral("/Documents"));
        QDir(home.path()).mkpath(QStringLiteral(".config"));
        QDir(home.path()).mkpath(QStringLiteral("Dokumente"));
        QFile dirs(home.filePath(QStringLiteral(".config/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
        dirs.close();
        QCOMPARE(findDocumentsFolder(lookup), home.path() + QStringLiteral("/Dokumente"));
        env.insert(QStringLiteral("XDG_DOCUMENTS_DIR"), home.path() + QStringLiteral("/none"));
        QCOMPARE(findDocumentsFolder(lookup), home.path() + QStringLiteral("/Documents"));
    }

    void createsTheFolderLayout() {
        QTemporaryDir home;
        const DataFolders f = dataFoldersFor(QStringLiteral("/work"), home.path());
        QCOMPARE(f.DataFolder, home.path() + QStringLiteral("/TREVO Software/Varns"));
        QCOMPARE(f.SharedFolder, home.path() + QStringLiteral("/TREVO Software/Shared"));
        QCOMPARE(f.BackupFolder, f.DataFolder + QStringLiteral("/BACKUP"));
        QVERIFY(createDataFolders(f).isEmpty());
        QVERIFY(QFileInfo(f.BackupFolder).isDir());
        QVERIFY(QFileInfo(f.SharedFolder).isDir());

        // A file where a folder should be: reported, and the others are still made.
        QTemporaryDir other;
        QFile blocker(other.filePath(QStringLiteral("TREVO Software")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const auto problems = createDataFolders(dataFoldersFor(QString(), other.path()));
        QCOMPARE(problems.size(), 3);
        QCOMPARE(problems.first().title, QStringLiteral("Unable to create directory."));
        QCOMPARE(createDataFolders(dataFoldersFor(QString(), QString())).first().title,
                 QStringLiteral("User Access Directory Error"));
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"

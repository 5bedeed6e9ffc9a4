// Where the shipped data files are found: the source tree of this build before the
// compiled-in copies, never outside the data folders, and a placed copy never replaces
// a file the operator already has.
#include "platform/ShippedData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;

class TestShippedData : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsTheSourceTreeBeforeTheCompiledInCopy() {
        const QString inTree = QDir::cleanPath(QStringLiteral(DITLOG_SOURCE_DIR "/data/help.txt"));
        QCOMPARE(shippedDataPath(QStringLiteral("help.txt")), inTree);
        QCOMPARE(shippedDataPath(QStringLiteral("prompts/Dupe.wav")),
                 QDir::cleanPath(QStringLiteral(DITLOG_SOURCE_DIR "/data/prompts/Dupe.wav")));
        QVERIFY(shippedDataFolders().last().endsWith(QStringLiteral("/data")));
        QVERIFY(shippedDataFolders().first().endsWith(QStringLiteral("/share/ditlog")));
        QVERIFY(readShippedData(QStringLiteral("arrlpre2.txt")).has_value());
    }

    void onlyNamesInsideTheDataFolders() {
        QVERIFY(shippedDataPath(QStringLiteral("no-such-file.txt")).isEmpty());
        QVERIFY(shippedDataPath(QStringLiteral("../CMakeLists.txt")).isEmpty());
        QVERIFY(shippedDataPath(QStringLiteral(DITLOG_SOURCE_DIR "/CMakeLists.txt")).isEmpty());
        QVERIFY(shippedDataPath(QString()).isEmpty());
        QVERIFY(!readShippedData(QStringLiteral("no-such-file.txt")));
    }

    void placingKeepsTheOperatorsFile() {
        QTemporaryDir dir;
        QFile own(dir.filePath(QStringLiteral("help.txt")));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("my own notes");
        own.close();
        QVERIFY(!placeShippedFile(QStringLiteral("help.txt"), dir.path()));
        QVERIFY(own.open(QIODevice::ReadOnly));
        QCOMPARE(own.readAll(), QByteArray("my own notes"));

        QVERIFY(!placeShippedFile(QStringLiteral("prompts/Call.wav"), dir.path()));
        QFile placed(dir.filePath(QStringLiteral("prompts/Call.wav")));
        QVERIFY(placed.open(QIODevice::ReadOnly));
        QCOMPARE(placed.readAll(), *readShippedData(QStringLiteral("prompts/Call.wav")));

        const auto missing = placeShippedFile(QStringLiteral("no-such-file.txt"), dir.path());
        QVERIFY(missing && missing->contains(QStringLiteral("missing")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("no-such-file.txt"))));
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shippeddata.moc"

// File > Update Country Data through the main window: a newer country file changes what a
// call looks up to, a broken one is refused and nothing changes, and cancelling the
// confirmation keeps the data in use.
#include "MainWindowFixture.h"

#include "app/EntryPanel.h"
#include "log/CountryDataUpdate.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
QByteArray shippedCountryFile() {
    QFile file(QStringLiteral(DITLOG_SOURCE_DIR "/data/cty.csv"));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("missing data/cty.csv");
    }
    return file.readAll();
}

QString writeCsv(MainWindowFixture& f, const QByteArray& content) {
    const QString path = f.workingFile(QStringLiteral("newer-cty.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        qFatal("cannot write the country file");
    }
    return path;
}

QByteArray fileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The SPC the entry row shows for a call typed afresh.
QString lookedUp(MainWindow& w, const QString& call) {
    EntryPanel& e = w.entry();
    e.txtCall->clear();
    typeKeys(e.txtCall, call);
    return e.txtCntry->text();
}
} // namespace

class TestCountryData : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newerFileChangesTheLookup() {
        MainWindowFixture f;
        f.startUp();
        MainWindow& w = f.window();
        QCOMPARE(lookedUp(w, QStringLiteral("3B8ABC")), QStringLiteral("Mauritius"));

        // The newer file gives Mauritius a new name and a new entity with prefix 3B0.
        QByteArray newer = shippedCountryFile().replace("=VER20260611", "=VER20270101");
        newer.replace(",Mauritius,", ",Republic of Mauritius,");
        newer.append("3B0,Test Atoll,999,AF,39,53,-10.0,-50.0,-4.0,3B0;\n");
        f.prompts.script(writeCsv(f, newer));
        f.prompts.script(PromptAnswer::Yes);
        w.action(QStringLiteral("mnuUpdateCountryData"))->trigger();

        const QList<PromptCall> messages = f.prompts.callsOf(QStringLiteral("message"));
        QVERIFY(messages.size() >= 2);
        const QString question = messages.at(messages.size() - 2).text;
        QVERIFY2(question.contains(QStringLiteral("version 20270101")), qPrintable(question));
        QVERIFY(question.contains(QStringLiteral("Entities added (2): Republic of Mauritius, Test Atoll")));
        QVERIFY(question.contains(QStringLiteral("Entities removed (1): Mauritius")));
        QVERIFY(messages.last().text.contains(QStringLiteral("now version 20270101")));

        QCOMPARE(lookedUp(w, QStringLiteral("3B8ABC")), QStringLiteral("Republic of Mauritius"));
        QCOMPARE(lookedUp(w, QStringLiteral("3B0XY")), QStringLiteral("Test Atoll"));
        QVERIFY(fileContent(countryDataPath(f.folders(), QStringLiteral("ADIFCnt.txt")))
                    .contains("\"Test Atoll\",999\r\n"));
    }

    void brokenOrDeclinedFileChangesNothing() {
        MainWindowFixture f;
        f.startUp();
        MainWindow& w = f.window();
        const QString prefixPath = countryDataPath(f.folders(), QStringLiteral("arrlpre2.txt"));
        const QByteArray before = fileContent(prefixPath);
        QVERIFY(!before.isEmpty());

        const QByteArray good = shippedCountryFile();
        f.prompts.script(writeCsv(f, good.left(good.size() / 3)));
        w.action(QStringLiteral("mnuUpdateCountryData"))->trigger();
        QVERIFY(f.prompts.callsOf(QStringLiteral("message")).last().text.contains(
            QStringLiteral("is not a country file this program can use (line ")));

        f.prompts.script(writeCsv(f, QByteArray(good).replace(",Mauritius,", ",Maurice,")));
        f.prompts.script(PromptAnswer::No);
        w.action(QStringLiteral("mnuUpdateCountryData"))->trigger();

        f.prompts.script(writeCsv(f, good));
        w.action(QStringLiteral("mnuUpdateCountryData"))->trigger();
        QVERIFY(f.prompts.callsOf(QStringLiteral("message")).last().text.contains(
            QStringLiteral("already matches")));

        QCOMPARE(fileContent(prefixPath), before);
        QCOMPARE(lookedUp(w, QStringLiteral("3B8ABC")), QStringLiteral("Mauritius"));
    }
};

QTEST_MAIN(TestCountryData)
#include "tst_countrydata.moc"

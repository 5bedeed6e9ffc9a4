// The contact log: loading "log.txt" with its running values, appending and rewriting it
// (also when the writer is killed mid-rewrite), the recent list and backups.
#include "TestDoubles.h"
#include "log/ContactLog.h"
#include "log/LogMaintenance.h"
#include "log/RecentContactsModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace ditlog;

namespace {
ContactRecord contact(const QString& call, const QString& spc, const QString& band = QStringLiteral("20"),
                      float points = 5, const QString& time = QStringLiteral("14:05:33")) {
    return {call, QStringLiteral("579"), QStringLiteral("1234"), QStringLiteral("599"), spc,
            QStringLiteral("2007/03/04"), time, QStringLiteral("BOB"), band, points,
            QStringLiteral("14.025")};
}

QByteArray logText(const QList<ContactRecord>& records) {
    QByteArray out;
    for (const ContactRecord& r : records) {
        out += recordLine(r);
    }
    return out;
}

QByteArray numberedLog(int n) {
    QList<ContactRecord> records;
    for (int i = 1; i <= n; ++i) {
        records.append(contact(QStringLiteral("K%1ABC").arg(i), QStringLiteral("CT")));
    }
    return logText(records);
}

// Child mode: rewrite the file forever, alternating two valid logs.
[[noreturn]] void rewriteLoop(const QString& path) {
    const QByteArray a = numberedLog(300);
    const QByteArray b = numberedLog(301);
    for (int i = 0;; ++i) {
        writeFileAtomically(path, (i % 2) ? a : b);
    }
}
} // namespace

class TestContactLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesTheDocumentedLine() {
        QCOMPARE(recordLine(contact(QStringLiteral("K1ABC"), QStringLiteral("CT"))),
                 QByteArray("\"K1ABC\",\"579\",\"1234\",\"599\",\"CT\",\"2007/03/04\",\"14:05:33\","
                            "\"BOB\",\"20\",5,\"14.025\"\r\n"));
        ContactRecord r = contact(QStringLiteral("G4ABC"), QStringLiteral("England"), QStringLiteral("40"), 2);
        r.frequency.clear();
        QVERIFY(recordLine(r).endsWith(",\"40\",2,\"\"\r\n"));
    }

    void emptyLogLoadsEmpty() {
        ContactLog log;
        QVERIFY(!log.loadFromText(QByteArray()).has_value());
        QCOMPARE(log.count(), 0);
        QCOMPARE(log.totalPoints(), 0.0f);
        QCOMPARE(log.dxContacts(), 0);
        QVERIFY(log.dxEntityList().isEmpty());
        QCOMPARE(log.multipliersWorked(), 0);
    }

    void loadBuildsTheRunningValues() {
        QList<ContactRecord> records{contact(QStringLiteral("G4ABC"), QStringLiteral("England")),
                                     contact(QStringLiteral("G4ABD"), QStringLiteral("ENGLAND")),
                                     contact(QStringLiteral("KH6XX"), QStringLiteral("HI")),
                                     contact(QStringLiteral("KL7XX"), QStringLiteral("AK")),
                                     contact(QStringLiteral("K1ABC"), QStringLiteral("ct")),
                                     contact(QStringLiteral("K1ABD"), QStringLiteral("CT"), QStringLiteral("40"), 2),
                                     contact(QStringLiteral("VE3AB"), QStringLiteral("ON")),
                                     contact(QStringLiteral("DL1AB"), QStringLiteral("Fed. Rep. of Germany"))};
        ContactLog log;
        QVERIFY(!log.loadFromText(logText(records)).has_value());
        QCOMPARE(log.count(), 8);
        QCOMPARE(log.totalPoints(), 37.0f);
        QCOMPARE(log.dxContacts(), 3);
        QCOMPARE(log.dxEntityList(), (QStringList{QStringLiteral("England"),
                                                  QStringLiteral("Fed. Rep. of Germany")}));
        QCOMPARE(log.multipliersWorked(), 2); // CT once, ON; HI and AK mark nothing
        QVERIFY(log.multipliers().row(log.multipliers().find(QStringLiteral("CT"))).worked);
        QCOMPARE(log.backupReferenceCount(), 8);
    }

    void pointsReadInAnyDecimalForm() {
        ContactLog log;
        QByteArray text = recordLine(contact(QStringLiteral("K1ABC"), QStringLiteral("CT")));
        text.replace(",5,", ", 5.0 ,");
        QVERIFY(!log.loadFromText(text).has_value());
        QCOMPARE(log.record(1).points, 5.0f);
        QCOMPARE(recordLine(log.record(1)), recordLine(contact(QStringLiteral("K1ABC"), QStringLiteral("CT"))));
    }

    void strayQuoteStopsTheLoadAndKeepsTheLog() {
        ContactLog log;
        QVERIFY(!log.loadFromText(numberedLog(3)).has_value());
        QByteArray broken = numberedLog(2);
        broken.replace("\"BOB\"", "\"BO\"B\"");
        const auto error = log.loadFromText(broken);
        QVERIFY(error.has_value());
        QCOMPARE(error->line, 1);
        QCOMPARE(log.count(), 3);
    }

    void refusesMoreThanTheLimit() {
        ContactLog log;
        QVERIFY(!log.loadFromText(numberedLog(ContactLog::kMaxRecords)).has_value());
        QVERIFY(log.isFull());
        QVERIFY(log.loadFromText(numberedLog(ContactLog::kMaxRecords + 1)).has_value());

        QTemporaryDir dir;
        LogFile file(dir.filePath(QStringLiteral("log.txt")));
        QVERIFY(!file.rewrite(log).has_value());
        QVERIFY(file.append(log, contact(QStringLiteral("W9XYZ"), QStringLiteral("IL")), true).has_value());
        QCOMPARE(log.count(), ContactLog::kMaxRecords);
        QCOMPARE(readWholeFile(file.path()).value(), log.toText());
    }

    void appendWritesTheLineAndTheRunningValues() {
        QTemporaryDir dir;
        LogFile file(dir.filePath(QStringLiteral("log.txt")));
        ContactLog log;
        QVERIFY(!file.append(log, contact(QStringLiteral("K1ABC"), QStringLiteral("CT")), true).has_value());
        QCOMPARE(log.addLogged(contact(QStringLiteral("K1ABD"), QStringLiteral("CT")), true), 0);
        QVERIFY(!file.append(log, contact(QStringLiteral("G4ABC"), QStringLiteral("England")), false).has_value());
        QCOMPARE(log.totalPoints(), 15.0f);
        QCOMPARE(log.dxContacts(), 1);
        QVERIFY(log.dxEntityList().isEmpty()); // only added when the entity was new
        QCOMPARE(log.multipliersWorked(), 1);
        QCOMPARE(readWholeFile(file.path()).value(),
                 recordLine(contact(QStringLiteral("K1ABC"), QStringLiteral("CT"))) +
                     recordLine(contact(QStringLiteral("G4ABC"), QStringLiteral("England"))));
        // A failed append adds nothing to the log in memory.
        LogFile nowhere(dir.filePath(QStringLiteral("missing/log.txt")));
        QVERIFY(nowhere.append(log, contact(QStringLiteral("W1AW"), QStringLiteral("CT")), true).has_value());
        QCOMPARE(log.count(), 3);
    }

    void recentListShowsTheNewestTwenty() {
        ContactLog log;
        RecentContactsModel model(log);
        QVERIFY(!log.loadFromText(numberedLog(20)).has_value());
        model.RecentList(false);
        QCOMPARE(model.rowCount(), 20);
        QCOMPARE(model.cellText(0, 0), QStringLiteral("20"));
        QVERIFY(!log.loadFromText(numberedLog(21)).has_value());
        model.RecentList(false);
        QCOMPARE(model.rowCount(), 20);
        QCOMPARE(model.cellText(0, 1), QStringLiteral("K21ABC"));
        QCOMPARE(model.cellText(19, 0), QStringLiteral("2"));
        model.RecentList(true);
        QCOMPARE(model.rowCount(), 21);
        QCOMPARE(model.cellText(20, 0), QStringLiteral("1"));
        QCOMPARE(model.cellText(0, 7), QStringLiteral("03/04 14:05"));
        QCOMPARE(model.cellText(0, 9), QStringLiteral("5"));
        QCOMPARE(listDateTime(QStringLiteral("2026/12/8"), QStringLiteral("9:45")), QStringLiteral("12/08 09:45"));
        model.sortByColumn(1);
        QCOMPARE(model.cellText(0, 1), QStringLiteral("K10ABC"));
    }

    void clipboardTextIsOldestFirstWithCaptions() {
        ContactLog log;
        QVERIFY(!log.loadFromText(numberedLog(2)).has_value());
        RecentContactsModel model(log);
        model.RecentList(false);
        const QString expected =
            QStringLiteral("Rec#\tCall\tRec\tSPC\tName\tVarns\tSnt\tDate/Time\tBnd\tPts\r\n"
                           "1\tK1ABC\t579\tCT\tBOB\t1234\t599\t03/04 14:05\t20\t5\r\n"
                           "2\tK2ABC\t579\tCT\tBOB\t1234\t599\t03/04 14:05\t20\t5\r\n");
        QCOMPARE(model.clipboardText(), expected);
    }

    void backupOnlyForAChangedLog() {
        QTemporaryDir dir;
        LogFile file(dir.filePath(QStringLiteral("log.txt")));
        const QString backups = dir.filePath(QStringLiteral("Varns/BACKUP"));
        testing::SettableClock clock(QDateTime(QDate(2007, 3, 4), QTime(14, 5, 59)));
        QCOMPARE(backupFileName(clock.localNow()), QStringLiteral("200703041405.log"));

        ContactLog log;
        QVERIFY(!Backup(log, file.path(), backups, clock)); // empty log
        QVERIFY(!writeFileAtomically(file.path(), numberedLog(3)).has_value());
        QVERIFY(!file.load(log).has_value());
        QVERIFY(!Backup(log, file.path(), backups, clock)); // unchanged since loaded
        QVERIFY(!file.append(log, contact(QStringLiteral("W1AW"), QStringLiteral("CT")), true).has_value());
        QVERIFY(Backup(log, file.path(), backups, clock));
        QCOMPARE(readWholeFile(backups + QStringLiteral("/200703041405.log")).value(),
                 readWholeFile(file.path()).value());

        // A log started empty takes the count of its next load as its reference.
        ContactLog fresh;
        QVERIFY(!fresh.loadFromText(QByteArray()).has_value());
        QCOMPARE(fresh.backupReferenceCount(), 0);
        QVERIFY(!fresh.loadFromText(numberedLog(4)).has_value());
        QCOMPARE(fresh.backupReferenceCount(), 4);
        QVERIFY(!fresh.loadFromText(numberedLog(5)).has_value());
        QCOMPARE(fresh.backupReferenceCount(), 4);

        // An unwritable backup folder is ignored and the log file is untouched.
        const QByteArray before = readWholeFile(file.path()).value();
        QFile blocker(dir.filePath(QStringLiteral("blocked")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!Backup(log, file.path(), dir.filePath(QStringLiteral("blocked/BACKUP")), clock));
        QCOMPARE(readWholeFile(file.path()).value(), before);
    }

    void newLogAnswers() {
        testing::ScriptedPrompts prompts;
        prompts.script(QStringLiteral("YES"));
        QVERIFY(askNewLog(prompts));
        prompts.script(QStringLiteral("yes"));
        QVERIFY(askNewLog(prompts));
        prompts.script(QStringLiteral("Y"));
        QVERIFY(!askNewLog(prompts));
        QVERIFY(!askNewLog(prompts)); // cancelled
        QCOMPARE(prompts.calls().first().title,
                 QStringLiteral("WARNING - Your existing log file will be ERASED!"));
    }

    void utcOffsetCheck() {
        testing::ScriptedPrompts prompts;
        testing::SettableClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 5)), -(5 * 3600 + 30 * 60));
        QCOMPARE(recommendedUtcOffset(clock), -5.5);
        QVERIFY(!UtcOffsetCheck(clock, prompts, -5.5f).has_value());
        QVERIFY(prompts.calls().isEmpty()); // matching offset: nothing asked
        prompts.script(QStringLiteral("-5.5"));
        QCOMPARE(UtcOffsetCheck(clock, prompts, 0).value(), -5.5f);
        const testing::PromptCall asked = prompts.calls().last();
        QCOMPARE(asked.title, QStringLiteral("Update the Local Time / UTC Offset?"));
        QCOMPARE(asked.defaultText, QStringLiteral("-5.5"));
        QVERIFY(asked.text.contains(QStringLiteral("Current System Time: 03:35")));
        QVERIFY(asked.text.contains(QStringLiteral("Current Local Time: 09:05")));
        QVERIFY(!UtcOffsetCheck(clock, prompts, 0).has_value()); // cancelled
        prompts.script(QStringLiteral("abc"));
        QVERIFY(!UtcOffsetCheck(clock, prompts, 0).has_value());
        QCOMPARE(logNow(clock, -5.5f), QDateTime(QDate(2026, 12, 8), QTime(3, 35), Qt::UTC));
        QCOMPARE(operatingTimeText(3723), QStringLiteral("01:02:03"));
    }

    void killedRewriteLeavesOldOrNewFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        const QByteArray a = numberedLog(300);
        const QByteArray b = numberedLog(301);
        QVERIFY(!writeFileAtomically(path, a).has_value());
        for (int round = 0; round < 8; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--rewrite-loop"), path});
            QVERIFY(child.waitForStarted());
            QTest::qWait(20 + QRandomGenerator::global()->bounded(60));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished());
            const QByteArray now = readWholeFile(path).value();
            QVERIFY2(now == a || now == b, "log.txt was left half written");
            ContactLog log;
            QVERIFY(!log.loadFromText(now).has_value());
        }
    }
};

int main(int argc, char* argv[]) {
    if (argc == 3 && QByteArray(argv[1]) == "--rewrite-loop") {
        rewriteLoop(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestContactLog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_contactlog.moc"

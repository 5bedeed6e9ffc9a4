// The aids' rules without a window: the master call list and its searches (checked
// against a plain scan, on the 85,000-call list when it is installed), the call-history
// forms and learning, text the log can store, bad files, Enter sends message's rule and
// the marks of spots.
#include "assist/AidFile.h"
#include "assist/CallHistory.h"
#include "assist/CheckPartial.h"
#include "assist/EarlierLogs.h"
#include "assist/EnterSendsMessage.h"
#include "assist/PartialMatches.h"
#include "assist/SpotMarks.h"
#include "assist/WorkedCalls.h"
#include "log/ContactLog.h"
#include "log/PrefixTable.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <string_view>

using namespace ditlog;

namespace {
const QString kTlfMaster = QStringLiteral("/usr/share/tlf/callmaster");

std::string_view view(QByteArrayView v) { return {v.data(), size_t(v.size())}; }

QList<QByteArray> containing(const CheckPartial& list, const QByteArray& fragment) {
    QList<QByteArray> out;
    list.forEachContaining(fragment, [&](int i) {
        out << list.callAt(i).toByteArray();
        return true;
    });
    return out;
}

QList<QByteArray> near(const CheckPartial& list, const QByteArray& text) {
    QList<QByteArray> out;
    list.forEachNear(text, [&](int i) {
        out << list.callAt(i).toByteArray();
        return true;
    });
    return out;
}

ContactRecord record(const QString& call, const QString& band, const QString& spc = QStringLiteral("MA"),
                     const QString& date = QStringLiteral("2026/12/08"),
                     const QString& name = QStringLiteral("BOB"), const QString& exchange = QStringLiteral("1234")) {
    return {call, QStringLiteral("579"), exchange, QStringLiteral("599"), spc, date,
            QStringLiteral("14:00:00"), name, band, 5, QString()};
}
} // namespace

class TestAssistCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void masterListLoads() {
        CheckPartial list;
        const CallListLoad load = list.loadText(
            "# comment line\r\nw1aw\r\nK1ABC\nK1ABC\n\n  VE3/W1AW/P  \rNOTACALL\nW1A\"W\nAB\n" +
            QByteArray(2000, 'K') + "\nN0X\n");
        QVERIFY(!load.error);
        QCOMPARE(load.calls, 4); // W1AW (upper-cased), K1ABC once, VE3/W1AW/P, N0X
        QCOMPARE(load.skipped, 4);
        QCOMPARE(load.firstSkippedLine, 7);
        QVERIFY(list.contains("W1AW") && list.contains("VE3/W1AW/P") && !list.contains("W1A"));
        QCOMPARE(list.callAt(0), QByteArrayView("K1ABC")); // sorted

        // Nothing usable, or not text: an error, and the list in use is kept.
        for (const QByteArray& bad : {QByteArray("# only comments\n\n"), QByteArray("NOTACALL\nXY\n")}) {
            const CallListLoad failed = list.loadText(bad);
            QVERIFY(failed.error);
            QCOMPARE(list.size(), 4);
        }
        QVERIFY(notTextProblem(QByteArray("W1AW\n\0K1ABC", 11)));
        QVERIFY(!notTextProblem("W1AW\r\nK1ABC\tX\n"));
    }

    void searchesFindWhatAPlainScanFinds() {
        QByteArray text;
        if (QFile::exists(kTlfMaster)) {
            QFile f(kTlfMaster);
            QVERIFY(f.open(QIODevice::ReadOnly));
            text = f.readAll();
        } else {
            for (int i = 0; i < 3000; ++i) {
                text += QStringLiteral("%1%2%3\n").arg(QChar('A' + i % 26)).arg(i % 10).arg(i, 4, 36).toUpper().toLatin1();
            }
        }
        CheckPartial list;
        QVERIFY(!list.loadText(text).error);
        if (QFile::exists(kTlfMaster)) {
            QVERIFY(list.size() > 80000);
        }
        const QList<QByteArray> fragments{"K1", "1AB", "W1AW", "/P", "ZZZZ9", "A1A", "QQ", "4X4", "9",
                                          "K1AB", "W1AWX", "DL1A", "N0", "KG4A"};
        for (const QByteArray& fragment : fragments) {
            QList<QByteArray> scanContaining;
            QList<QByteArray> scanNear;
            for (int i = 0; i < list.size(); ++i) {
                const QByteArrayView c = list.callAt(i);
                if (fragment.size() >= 2 && view(c).find(view(fragment)) != std::string_view::npos) {
                    scanContaining << c.toByteArray();
                }
                if (fragment.size() >= 2 && view(c) != view(fragment) && oneEditApart(c, fragment)) {
                    scanNear << c.toByteArray();
                }
            }
            QCOMPARE(containing(list, fragment), scanContaining);
            QCOMPARE(near(list, fragment), scanNear);
        }
    }

    void oneEditApartCases() {
        QVERIFY(oneEditApart("W1AW", "W1AX"));  // changed
        QVERIFY(oneEditApart("W1AW", "W1AWX")); // added
        QVERIFY(oneEditApart("W1AW", "WAW"));   // missing
        QVERIFY(oneEditApart("W1AW", "XW1AW"));
        QVERIFY(!oneEditApart("W1AW", "W1AW"));
        QVERIFY(!oneEditApart("W1AW", "1WAW")); // a swap is two edits
        QVERIFY(!oneEditApart("W1AW", "W1"));
    }

    void partialsRankThisLogFirst() {
        CheckPartial list;
        QVERIFY(!list.loadText("K1ABC\nW1ABD\nK1ABX\nAK1ABZ\nN2ABQ\nK1ABD\n").error);
        ContactLog log;
        log.setRecords({record(QStringLiteral("K1ABX"), QStringLiteral("20")),
                        record(QStringLiteral("KP4/K1AB"), QStringLiteral("40"))});
        WorkedCalls worked;
        worked.rebuild(log);
        const PartialMatches m = findPartials(list, worked, QStringLiteral("k1ab"), 4);
        QCOMPARE(m.total, 5); // K1ABX and KP4/K1AB of the log, then K1ABC, K1ABD, AK1ABZ
        QCOMPARE(m.rows.size(), 4);
        QCOMPARE(m.rows[0].call, QStringLiteral("K1ABX"));
        QCOMPARE(m.rows[1].call, QStringLiteral("KP4/K1AB"));
        QCOMPARE(m.rows[1].workedBands, quint16(1u << CallKey::bandOf(QStringLiteral("40"))));
        QCOMPARE(m.rows[2].call, QStringLiteral("K1ABC")); // beginning with it before inside it
        QVERIFY(!m.near);
        QCOMPARE(findPartials(list, worked, QStringLiteral("K"), 10).total, 0);

        // Nothing contains it: the calls one character away, this log's first.
        const PartialMatches n = findPartials(list, worked, QStringLiteral("K1ABY"), 10);
        QVERIFY(n.near);
        QStringList calls;
        for (const PartialRow& r : n.rows) {
            calls << r.call;
        }
        QCOMPARE(calls, QStringList({QStringLiteral("K1ABX"), QStringLiteral("K1ABC"), QStringLiteral("K1ABD")}));
    }

    void historyForms() {
        CallHistory h;
        HistoryLoad load = h.loadText(
            "# a roster\nK1ABC,Bob 1234\nW1AW,Jim or Jaime 2114\nSM5SIC,GI or G\xc3\xb6ran 2094\n"
            "SP9XYZ,\xc5\x81ukasz 100W\nn0x , \"Q\" Smith , 5\nW2ABC,Al\nJUSTACALL\nK1ABC,Robert 1234\n");
        QVERIFY(!load.error);
        QCOMPARE(load.entries, 6);
        QCOMPARE(load.skipped, 1);
        const auto v = [&](const char* call) { return *h.find(QLatin1String(call)); };
        QCOMPARE(v("k1abc"), (HistoryValues{QStringLiteral("ROBERT"), {}, QStringLiteral("1234")})); // the last line wins
        QCOMPARE(v("W1AW").name, QStringLiteral("JIM OR JAIME"));
        QCOMPARE(v("SM5SIC").name, QStringLiteral("GI OR G\u00d6RAN")); // Latin-1 is kept
        QCOMPARE(v("SP9XYZ"), (HistoryValues{QStringLiteral("LUKASZ"), {}, QStringLiteral("100W")}));
        QCOMPARE(v("N0X"), (HistoryValues{QStringLiteral("Q SMITH"), {}, QStringLiteral("5")})); // quotes dropped
        QCOMPARE(v("W2ABC"), (HistoryValues{QStringLiteral("AL"), {}, {}}));

        // The header form: Name, State (else Loc1) and Exch1, wherever they stand.
        load = h.loadText("!!Order!!,Call,Name,Loc1,State,Exch1,UserText\n"
                          "K1ABC,Bob,Boston,ma,1234,x\nVE3XYZ,Ann,ON,,\nDL1ABC,Hans,Germany,,,\n"
                          "!!Order!!,Exch1,Call\n100W,W6ABC\n");
        QVERIFY(!load.error);
        QCOMPARE(v("K1ABC"), (HistoryValues{QStringLiteral("BOB"), QStringLiteral("MA"), QStringLiteral("1234")}));
        QCOMPARE(v("VE3XYZ").spc, QStringLiteral("ON"));
        QCOMPARE(v("DL1ABC").spc, QStringLiteral("Germany"));
        QCOMPARE(v("W6ABC").exchange, QStringLiteral("100W"));
        QVERIFY(!h.find(QStringLiteral("W1AW"))); // the earlier file was replaced

        // A header without a Call column, or nothing usable: an error, the history kept.
        QVERIFY(h.loadText("!!Order!!,Name,Exch1\nBob,1\n").error);
        QVERIFY(h.loadText(QByteArray(4000, 'x')).error);
        QCOMPARE(h.fileEntries(), 4);
    }

    void storableText_data() {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("quotes") << QStringLiteral("Bob \"the\" Smith") << QStringLiteral("Bob the Smith");
        QTest::newRow("latin-1 kept") << QStringLiteral("Jo\u00ebl") << QStringLiteral("Jo\u00ebl");
        QTest::newRow("marks dropped") << QStringLiteral("\u0160ime \u0106iri\u0107") << QStringLiteral("Sime Ciric");
        QTest::newRow("plain spelling") << QStringLiteral("\u0141ukasz \u0152uvre") << QStringLiteral("Lukasz OEuvre");
        QTest::newRow("not storable") << QStringLiteral("\u4e2d\u6587 Li") << QStringLiteral("Li");
        QTest::newRow("controls and blanks") << QStringLiteral("  A\tB\r\n\x01" "C  ") << QStringLiteral("A B C");
    }
    void storableText() {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(ditlog::storableText(in), out);
    }

    void learningTakesTheNewestContact() {
        const QList<ContactRecord> older{record(QStringLiteral("K1ABC"), QStringLiteral("20"),
                                                QStringLiteral("CT"), QStringLiteral("2024/01/01"),
                                                QStringLiteral("ROBERT"), QStringLiteral("100W"))};
        const QList<ContactRecord> newer{record(QStringLiteral("k1abc"), QStringLiteral("40"),
                                                QStringLiteral("MA"), QStringLiteral("2025/06/01"),
                                                QStringLiteral("Bob"), QStringLiteral("1234"))};
        for (const bool newerFirst : {false, true}) {
            CallHistory h;
            h.learn(newerFirst ? newer : older);
            h.learn(newerFirst ? older : newer);
            QCOMPARE(*h.find(QStringLiteral("K1ABC")),
                     (HistoryValues{QStringLiteral("BOB"), QStringLiteral("MA"), QStringLiteral("1234")}));
        }
        // The file's values stand; what it leaves empty comes from the earlier logs.
        CallHistory h;
        QVERIFY(!h.loadText("K1ABC,Robert 99\n").error);
        h.learn(newer);
        QCOMPARE(*h.find(QStringLiteral("K1ABC")),
                 (HistoryValues{QStringLiteral("ROBERT"), QStringLiteral("MA"), QStringLiteral("99")}));
    }

    void earlierLogsOfBothFolders() {
        QTemporaryDir data;
        QVERIFY(QDir().mkpath(data.filePath(QStringLiteral("BACKUP"))));
        const QByteArray good = recordLine(record(QStringLiteral("K1ABC"), QStringLiteral("20")));
        const auto write = [](const QString& path, const QByteArray& bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write(data.filePath(QStringLiteral("K1XYZ2025-01-01.log")), good + "\"broken\r\n" + good);
        write(data.filePath(QStringLiteral("BACKUP/202601011200.log")), good);
        write(data.filePath(QStringLiteral("BACKUP/notes.txt")), good);
        write(data.filePath(QStringLiteral("BACKUP/binary.log")), QByteArray("\0\0\0", 3));
        const QStringList files = earlierLogFiles(data.path(), data.filePath(QStringLiteral("BACKUP")));
        QCOMPARE(files.size(), 3);
        QCOMPARE(earlierLogRecords(data.filePath(QStringLiteral("K1XYZ2025-01-01.log"))).size(), 2);
        QVERIFY(earlierLogRecords(data.filePath(QStringLiteral("BACKUP/binary.log"))).isEmpty());
        QVERIFY(earlierLogFiles(data.filePath(QStringLiteral("none")), QString()).isEmpty());
    }

    void badFilesAreRefusedWithinBounds() {
        QTemporaryDir dir;
        // 200 MB that occupy no disk: refused before anything is read.
        QFile big(dir.filePath(QStringLiteral("MASTER.SCP")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(200LL * 1024 * 1024));
        big.close();
        QString problem;
        QVERIFY(!readAidFile(big.fileName(), &problem));
        QVERIFY2(problem.contains(QLatin1String("200 MB")), qPrintable(problem));
        QFile binary(dir.filePath(QStringLiteral("binary.scp")));
        QVERIFY(binary.open(QIODevice::WriteOnly));
        binary.write(QByteArray("W1AW\n") + QByteArray(100, '\0'));
        binary.close();
        QVERIFY(!readAidFile(binary.fileName(), &problem));
        QVERIFY(problem.contains(QLatin1String("not a text file")));
        QVERIFY(!readAidFile(dir.filePath(QStringLiteral("missing.txt")), &problem));
        QVERIFY(problem.contains(QLatin1String("not found")));

        // Lines: every line end, and a line too long to be a call's is handed on empty.
        const QByteArray text = QByteArray("A\r\nB\rC\n") + QByteArray(kMaxAidLineBytes + 1, 'x') + "\nD";
        AidLines lines(text);
        QByteArrayView line;
        bool tooLong = false;
        QStringList seen;
        while (lines.next(line, tooLong)) {
            seen << (tooLong ? QStringLiteral("<long>") : QString::fromLatin1(line));
        }
        QCOMPARE(seen, QStringList({"A", "B", "C", "<long>", "D"}));
    }

    void enterSendsMessageRule_data() {
        QTest::addColumn<bool>("run");
        QTest::addColumn<QString>("entry"); // "" empty call, "call", "full", "dupe", "section"
        QTest::addColumn<bool>("phone");
        QTest::addColumn<bool>("dollarExchange");
        QTest::addColumn<QString>("expected");
        QTest::newRow("run, empty") << true << "" << false << false << "Enter: CQ (F1)";
        QTest::newRow("run, call") << true << "call" << false << false << "Enter: K1ABC and exchange (F5 F2)";
        QTest::newRow("run, $ exchange") << true << "call" << false << true << "Enter: exchange (F2)";
        QTest::newRow("run, phone") << true << "call" << true << false << "Enter: exchange (F2)";
        QTest::newRow("run, complete") << true << "full" << false << false << "Enter: TU and log (F3)";
        QTest::newRow("run, dupe") << true << "dupe" << false << false << "Enter: duplicate";
        QTest::newRow("run, bad section") << true << "section" << false << false << "Enter: log";
        QTest::newRow("s&p, empty") << false << "" << false << false << "Enter: log";
        QTest::newRow("s&p, call") << false << "call" << false << false << "Enter: my call (F4)";
        QTest::newRow("s&p, complete") << false << "full" << false << false << "Enter: exchange and log (F2)";
    }
    void enterSendsMessageRule() {
        QFETCH(bool, run);
        QFETCH(QString, entry);
        QFETCH(bool, phone);
        QFETCH(bool, dollarExchange);
        QFETCH(QString, expected);
        EntryState s;
        s.runMode = run;
        s.phone = phone;
        s.callEmpty = entry.isEmpty();
        s.fieldsFilled = entry == QLatin1String("full") || entry == QLatin1String("section");
        s.duplicate = entry == QLatin1String("dupe");
        s.sectionOk = entry != QLatin1String("section");
        s.exchangeStartsWithCall = dollarExchange;
        const EnterStep step = nextEnterStep(s);
        QCOMPARE(describeEnterStep(step, MessageKeys(), QStringLiteral("K1ABC ")), expected);
        QCOMPARE(step.focusFirstEmpty, entry == QLatin1String("call"));
    }

    void messageKeysInTheStore() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.filePath(QStringLiteral("s.ini")));
        QCOMPARE(MessageKeys::load(store), MessageKeys());
        MessageKeys keys;
        keys.setCode(MessageRole::ThankYou, 124); // F10
        keys.save(store);
        QCOMPARE(store.value(QStringLiteral("EsmKeyThankYou")), QStringLiteral("F10"));
        store.setValue(QStringLiteral("EsmKeyCq"), QStringLiteral("F13")); // unknown: the default
        QCOMPARE(MessageKeys::load(store), keys);
        QCOMPARE(functionKeyCode(QStringLiteral("f11")), std::optional<int>(122));
    }

    void spotMarks() {
        PrefixTable prefixes;
        // Sorted by prefix, as the table is kept.
        QVERIFY(!LoadPrefixTable(prefixes, QByteArray("\"DL\",\"Germany\",\"EU\",-10,51,5,9,5\r\n"
                                                      "\"F\",\"France\",\"EU\",-2,46,5,9,5\r\n"
                                                      "\"K\",\"USA\",\"NA\",91.87,37.6,5,8,5\r\n"
                                                      "\"VE\",\"Canada\",\"NA\",78.75,44.35,5,9,5\r\n"
                                                      "\"W\",\"USA\",\"NA\",91.87,37.6,5,8,5\r\n")));
        ContactLog log;
        QVERIFY(!log.loadFromText(recordLine(record(QStringLiteral("K1ABC"), QStringLiteral("20"), QStringLiteral("MA"))) +
                                  recordLine(record(QStringLiteral("DL1AA"), QStringLiteral("20"), QStringLiteral("Germany")))));
        WorkedCalls worked;
        worked.rebuild(log);
        SpotMarks marks(log, worked, prefixes);
        QCOMPARE(marks.markOf(u"K1ABC", 14.025), SpotMark::Dupe);
        QCOMPARE(marks.markOf(u"k1abc", 7.025), SpotMark::None);         // worked on 20 only, MA worked
        QCOMPARE(marks.markOf(u"DL2BB", 14.030), SpotMark::None);        // Germany worked
        QCOMPARE(marks.markOf(u"F5XX", 14.030), SpotMark::NewMultiplier); // France not
        QCOMPARE(marks.markOf(u"VE3ABC", 14.030), SpotMark::NewMultiplier); // ON by its prefix
        QCOMPARE(marks.markOf(u"W1XYZ", 14.030), SpotMark::None);       // state unknown
        CallHistory history;
        QVERIFY(!history.loadText("!!Order!!,Call,State\nW1XYZ,CT\nW2XYZ,MA\n").error);
        marks.setHistory(&history);
        QCOMPARE(marks.markOf(u"W1XYZ", 14.030), SpotMark::NewMultiplier);
        QCOMPARE(marks.markOf(u"W2XYZ", 14.030), SpotMark::None); // MA is worked
        QCOMPARE(marks.markOf(u"F5XX", 10.120), SpotMark::None);  // no log band
        QCOMPARE(logBandOf(50.1), QStringLiteral("6"));
    }
};

QTEST_MAIN(TestAssistCore)
#include "tst_assistcore.moc"

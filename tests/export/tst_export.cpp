// The ADIF and Ledra exports: derived values, the country-number table, the exact file
// bytes, ADIF field lengths as a reader sees them, and both commands with scripted
// answers, including cancel, a missing table and a target that cannot be written.
#include "TestDoubles.h"
#include "export/AdifExport.h"
#include "export/ExportRules.h"
#include "export/LedraExport.h"
#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ditlog;
using ditlog::testing::PromptCall;
using ditlog::testing::ScriptedPrompts;
using ditlog::testing::SettableClock;

namespace {
ContactRecord contact(const QString& call, const QString& exchange, const QString& spc,
                      const QString& date, const QString& time, const QString& name,
                      const QString& band, const QString& frequency,
                      const QString& rstReceived = QStringLiteral("579")) {
    const QString sent = QStringLiteral("599");
    return {call, rstReceived, exchange, sent, spc, date, time, name, band, 2, frequency};
}

// A USA state, a Canadian province with a power exchange at 9:05, a DX entity on a band
// outside the seven with a Latin-1 name, Hawaii with an invalid date, Alaska with no
// time and no number, and an entity missing from the table.
ContactLog sampleLog() {
    const QList<ContactRecord> records{
        contact("W1AW", "1234", "VT", "2007/03/04", "14:05:33", "HIRAM", "20", "14.025"),
        contact("VE3ABC", "100W", "ON", "2007/03/04", "9:05", "JOE", "40", ""),
        contact("G4ABC", " 567 ", "England", "2007/03/05", "23:59:59", "JOS\u00c9", "30",
                " 10.115 ", "559"),
        contact("KH6XX", "0042", "HI", "2007/13/01", "14:05", "", "15", "", "599 "),
        contact("KL7XX", "QRP", "AK", "2007/03/04", "", "SUE", "10", ""),
        contact("9A1A", "", "Croatia", "2007/03/04", "00:00:01", "IVO", "6", "50.100"),
    };
    QByteArray text;
    for (const ContactRecord& r : records) {
        text += recordLine(r);
    }
    ContactLog log;
    [&] { QVERIFY(!log.loadFromText(text).has_value()); }();
    return log;
}

// A small table; the lower-case "usa" comes first and must be the one found.
const QByteArray kTable = "\"usa\",291\r\n\"USA\",999\r\n\"Canada\",1\r\n\"England\",223\r\n"
                          "\"Hawaii\",110\r\n\"Alaska\",6\r\n";

AdifCountryTable table() {
    QString error;
    return AdifCountryTable::parse(kTable, &error).value();
}

const QByteArray kHeader = "ADIF Export from Ditlog 0.1.0\r\n"
                           "Ditlog contact logger for CW sprints\r\n"
                           "Made by TREVO Software\r\n"
                           "Log exported on: 2026-12-08 14:05:33\r\n"
                           "\r\n<EOH>\r\n\r\n";

const QByteArray kRecords =
    "<Call:4>W1AW <Qso_Date:8:d>20070304 <Band:3>20M <Mode:2>CW\r\n"
    "<Tx_Pwr:3>100 <Freq:6>14.025 <Time_On:4>1405 <DXCC:3>291 <State:2>VT <RST_Rcvd:3>579 "
    "<RST_Sent:3>599 <Varns:4>1234 <Name:5>HIRAM <Comment:13>Varns Contest\r\n<eor>\r\n\r\n"
    "<Call:6>VE3ABC <Qso_Date:8:d>20070304 <Band:3>40M <Mode:2>CW\r\n"
    "<Tx_Pwr:3>100 <Time_On:4>0905 <DXCC:1>1 <RST_Rcvd:3>579 <RST_Sent:3>599 <Name:3>JOE "
    "<Comment:13>Varns Contest\r\n<eor>\r\n\r\n"
    "<Call:5>G4ABC <Qso_Date:8:d>20070305 <Band:3>30M <Mode:2>CW\r\n"
    "<Tx_Pwr:3>100 <Freq:6>10.115 <Time_On:4>2359 <DXCC:3>223 <RST_Rcvd:3>559 <RST_Sent:3>599 "
    "<Varns:3>567 <Name:4>JOS\xc9 <Comment:13>Varns Contest\r\n<eor>\r\n\r\n"
    "<Call:5>KH6XX <Band:3>15M <Mode:2>CW\r\n"
    "<Tx_Pwr:3>100 <Time_On:4>1405 <DXCC:3>110 <State:2>HI <RST_Rcvd:3>599 <RST_Sent:3>599 "
    "<Varns:4>0042 <Comment:13>Varns Contest\r\n<eor>\r\n\r\n"
    "<Call:5>KL7XX <Qso_Date:8:d>20070304 <Band:3>10M <Mode:2>CW\r\n"
    "<Tx_Pwr:3>100 <Time_On:4>0000 <DXCC:1>6 <State:2>AK <RST_Rcvd:3>579 <RST_Sent:3>599 "
    "<Name:3>SUE <Comment:13>Varns Contest\r\n<eor>\r\n\r\n"
    "<Call:4>9A1A <Qso_Date:8:d>20070304 <Band:2>6M <Mode:2>CW\r\n"
    "<Tx_Pwr:3>100 <Freq:6>50.100 <Time_On:4>0000 <RST_Rcvd:3>579 <RST_Sent:3>599 "
    "<Name:3>IVO <Comment:13>Varns Contest\r\n<eor>\r\n\r\n";

const QByteArray kLedra =
    "\"W1AW\",\"2007/03/04\",\"20\",\"CW\",\"100\",\"14:05:33\",\"599\",\"579\",,\"USA\",\"VT\","
    ",,,,\"Varns Contest HIRAM\"\r\n"
    "\"VE3ABC\",\"2007/03/04\",\"40\",\"CW\",\"100\",\"9:05\",\"599\",\"579\",,\"Canada\",\"\","
    ",,,,\"Varns Contest JOE\"\r\n"
    "\"G4ABC\",\"2007/03/05\",\"30\",\"CW\",\"100\",\"23:59:59\",\"599\",\"559\",,\"England\","
    "\"\",,,,,\"Varns Contest JOS\xc9\"\r\n"
    "\"KH6XX\",\"2007/13/01\",\"15\",\"CW\",\"100\",\"14:05\",\"599\",\"599 \",,\"Hawaii\","
    "\"HI\",,,,,\"Varns Contest \"\r\n"
    "\"KL7XX\",\"2007/03/04\",\"10\",\"CW\",\"100\",\"\",\"599\",\"579\",,\"Alaska\",\"AK\","
    ",,,,\"Varns Contest SUE\"\r\n"
    "\"9A1A\",\"2007/03/04\",\"6\",\"CW\",\"100\",\"00:00:01\",\"599\",\"579\",,\"Croatia\","
    "\"\",,,,,\"Varns Contest IVO\"\r\n";

// Reads the records as an ADIF reader does: text between fields is skipped and each
// value is exactly as long as its tag says. "name=value" per field; an empty list for a
// malformed tag, a header holding a tag, or a value that does not end where it should.
QList<QStringList> readAdifRecords(const QByteArray& text) {
    QList<QStringList> records(1);
    qsizetype pos = text.indexOf("<EOH>");
    if (pos < 0 || text.left(pos).contains('<')) {
        return {};
    }
    pos += 5;
    while ((pos = text.indexOf('<', pos)) >= 0) {
        const qsizetype close = text.indexOf('>', pos);
        const QList<QByteArray> tag = text.mid(pos + 1, close - pos - 1).split(':');
        if (close > 0 && tag.size() == 1 && tag.at(0) == "eor") {
            records.append(QStringList());
            pos = close + 1;
            continue;
        }
        const int length = close > 0 && tag.size() >= 2 ? tag.at(1).toInt() : -1;
        pos = close + 1 + length;
        if (length < 0 || pos > text.size() ||
            (pos < text.size() && !QByteArray(" \r<").contains(text.at(pos)))) {
            return {};
        }
        records.last() << QString::fromLatin1(tag.at(0) + '=' + text.mid(close + 1, length));
    }
    records.removeLast();
    return records;
}

DataFolders makeFolders(const QTemporaryDir& working, const QTemporaryDir& documents) {
    DataFolders folders = dataFoldersFor(working.path(), documents.path());
    createDataFolders(folders);
    return folders;
}

void writeTable(const QString& folder, const QByteArray& content) {
    QVERIFY(!writeFileAtomically(QDir(folder).filePath(QStringLiteral("ADIFCnt.txt")), content));
}

const SettableClock kClock{QDateTime(QDate(2026, 12, 8), QTime(14, 5, 33)), 0};
const QString kTitle = QStringLiteral("Ditlog 0.1.0");
} // namespace

class TestExport : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void derivesTimeDateAndPlace() {
        const QStringList times{"14:05:33", "14:05", "9:05", " 9:05:07 ", "14:5", "", "1405"};
        QStringList got;
        for (const QString& t : times) {
            got << exportTime(t);
        }
        QCOMPARE(got, (QStringList{"1405", "1405", "0905", "0905", "1405", "0000", "1405"}));
        QCOMPARE(exportDate(" 2008/2/29 "), QStringLiteral("20080229"));
        for (const char* bad : {"2007/02/29", "2007/13/01", "03/04", "2007/03/04x"}) {
            QVERIFY2(exportDate(QString::fromLatin1(bad)).isEmpty(), bad);
        }
        QString country;
        QString state;
        exportCountryAndState("CT", "a1abc", &country, &state); // any case of A, K, N, W
        QVERIFY(country == "USA" && state == "CT");
        exportCountryAndState("HI", "", &country, &state);
        QVERIFY(country == "Canada" && state.isEmpty());
        exportCountryAndState("C", "W1AW", &country, &state);
        QVERIFY(country.isEmpty() && state.isEmpty());
    }

    void countryTable() {
        QCOMPARE(table().lookup(" USA "), 291); // the first "usa", not the later 999
        QCOMPARE(table().lookup("CANADA"), 1);
        QCOMPARE(table().lookup("Croatia"), 0);
        QByteArray full;
        for (int i = 0; i < AdifCountryTable::kMaxEntries; ++i) {
            full += "\"Land " + QByteArray::number(i) + "\"," + QByteArray::number(i) + "\r\n";
        }
        QString error;
        QVERIFY(AdifCountryTable::parse(full, &error).has_value());
        for (const QByteArray& bad : {full + "\"One more\",1", QByteArray("\"USA\""),
                                      QByteArray("\"USA\",2.5"), QByteArray("\"USA\",40000")}) {
            error.clear();
            QVERIFY2(!AdifCountryTable::parse(bad, &error) && !error.isEmpty(),
                     bad.right(20).constData());
        }

        QTemporaryDir working;
        QTemporaryDir documents;
        const DataFolders folders = makeFolders(working, documents);
        QVERIFY(!AdifCountryTable::load(folders, &error));
        QVERIFY(error.contains(QStringLiteral("ADIFCnt.txt")));
        int expected = 3; // searched in the shared, data and working folders, in that order
        for (const QString& folder :
             {folders.WorkingFolder, folders.DataFolder, folders.SharedFolder}) {
            writeTable(folder, "\"USA\"," + QByteArray::number(expected) + "\r\n");
            QCOMPARE(AdifCountryTable::load(folders, &error)->lookup("USA"), expected--);
        }
    }

    void fileTextsAreByteForByte() {
        const ContactLog log = sampleLog();
        QCOMPARE(adifText(log, table(), kTitle, "2026-12-08 14:05:33", "100  ", "Varns Contest"),
                 kHeader + kRecords);
        QCOMPARE(ledraText(log, "100"), kLedra);
        QCOMPARE(adifText(ContactLog(), table(), kTitle, "2026-12-08 14:05:33", "100", "x"),
                 kHeader);
        QVERIFY(ledraText(ContactLog(), "100").isEmpty());
        // No power and no comment: both fields left out, <eor> on the line of the others.
        QCOMPARE(adifRecord(log.record(1), deriveExportFields(log.record(1), nullptr), "", ""),
                 QByteArray("<Call:4>W1AW <Qso_Date:8:d>20070304 <Band:3>20M <Mode:2>CW\r\n"
                            "<Freq:6>14.025 <Time_On:4>1405 <State:2>VT <RST_Rcvd:3>579 "
                            "<RST_Sent:3>599 <Varns:4>1234 <Name:5>HIRAM <eor>\r\n\r\n"));
        // A typed quote cannot break a Ledra record: it reads back as sixteen values.
        RecordReader reader(ledraLine(log.record(1), "1\"00"));
        QStringList values;
        while (!reader.atEnd()) {
            values << reader.readText().value_or(QStringLiteral("<error>"));
        }
        QVERIFY(values.size() == 16 && values.at(4) == "100" && values.at(8).isEmpty());
    }

    void readersFindEveryFieldWhereItsLengthSays() {
        // Blanks to trim, Latin-1 and other letters, "<" and ">" inside values and title.
        ContactLog log;
        log.setRecords(
            {contact("W1AW", " 12 ", "VT", "2007/03/04", "14:05:33", "Ren\u00e9e <x>", "20",
                     " 14.025 ", "579 "),
             contact("SP1A", "", "Poland", "2007/03/04", "1:2", "\u0141ukasz", "80", "")});
        const QString comment = QStringLiteral("\u00e9t\u00e9 > ") + QString(300, QLatin1Char('c'));
        const QString title = QStringLiteral("<b>Ditlog</b> ") + QString(80, QLatin1Char('x'));
        const QByteArray text = adifText(log, table(), title, "now", " 5 W ", comment);
        QVERIFY(text.startsWith("ADIF Export from bDitlog/b " + QByteArray(46, 'x') + "\r\n"));
        const QList<QStringList> records = readAdifRecords(text);
        QCOMPARE(records.size(), 2);
        QCOMPARE(
            records.at(0),
            (QStringList{"Call=W1AW", "Qso_Date=20070304", "Band=20M", "Mode=CW", "Tx_Pwr= 5 W",
                         "Freq=14.025", "Time_On=1405", "DXCC=291", "State=VT", "RST_Rcvd=579",
                         "RST_Sent=599", "Varns=12", "Name=Ren\u00e9e <x>", "Comment=" + comment}));
        QCOMPARE(records.at(1).at(5), QStringLiteral("Time_On=0102"));
        QCOMPARE(records.at(1).at(8), QStringLiteral("Name=?ukasz")); // what Latin-1 can hold
    }

    void adifCommandAsksWritesAndReports() {
        QTemporaryDir working;
        QTemporaryDir documents;
        const DataFolders folders = makeFolders(working, documents);
        writeTable(folders.SharedFolder, kTable);
        const QString target = QDir(folders.DataFolder).filePath(QStringLiteral("Varns.adi"));
        QVERIFY(!writeFileAtomically(target, "old"));
        ScriptedPrompts prompts;
        for (const QString& answer : QStringList{"100", "Varns Contest", target}) {
            prompts.script(answer);
        }
        ExportAdif(sampleLog(), folders, prompts, kClock, kTitle);

        QCOMPARE(readWholeFile(target).value(), kHeader + kRecords);
        QStringList asked;
        for (const auto& call : prompts.calls()) {
            asked << call.kind + '|' + call.title + '|' + call.text + '|' + call.defaultText;
        }
        QCOMPARE(
            asked,
            (QStringList{
                "input|Please enter your transmitter output power.|Please enter the power value "
                "that "
                "you would like to record.  This is an optional value that will be included in "
                "each "
                "QSO record and displayed in Ledra's power output column.|100",
                "input|Please enter a comment.|Please enter a comment that you would like to "
                "appear "
                "on each QSO record.  This is an optional description that will be displayed in "
                "Ledra's Comments column.|Varns Contest",
                "save|Export ADIF File|ADIF Files (*.adi) | *.adi|" + target,
                "message|File Written Successfully.|The file was successfully written to the "
                "directory:\n\n" +
                    QDir::toNativeSeparators(target) + ".|"}));
    }

    void adifCommandCancelAndFailures() {
        QTemporaryDir working;
        QTemporaryDir documents;
        const DataFolders folders = makeFolders(working, documents);
        const auto run = [&](const QString& path) {
            ScriptedPrompts prompts;
            for (const QString& answer : {QStringLiteral("100"), QString(), path}) {
                prompts.script(answer);
            }
            ExportAdif(sampleLog(), folders, prompts, kClock, kTitle);
            const auto messages = prompts.callsOf(QStringLiteral("message"));
            const bool failed = prompts.beeps() == 1 && messages.size() == 1 &&
                                messages.at(0).title == QStringLiteral("Unable to write file.");
            return std::make_pair(prompts.callsOf(QStringLiteral("save")).size(),
                                  failed ? messages.at(0).text
                                         : QString(messages.isEmpty() ? "" : "?"));
        };
        const QString target = QDir(folders.DataFolder).filePath(QStringLiteral("Varns.adi"));

        const auto missing = run(target); // no table anywhere: reported before the dialog
        QVERIFY(missing.first == 0 && missing.second.contains(QStringLiteral("ADIFCnt.txt")));
        QByteArray tooLarge;
        for (int i = 0; i <= AdifCountryTable::kMaxEntries; ++i) {
            tooLarge += "\"Land\",1\r\n";
        }
        writeTable(folders.WorkingFolder, tooLarge);
        QVERIFY(run(target).second.contains(QStringLiteral("more than 1000")));

        writeTable(folders.WorkingFolder, kTable);
        QCOMPARE(run(QString()), std::make_pair(qsizetype(1), QString())); // cancel: silent
        const QString unwritable = working.filePath(QStringLiteral("no such folder/Varns.adi"));
        const auto failed = run(unwritable);
        QVERIFY(failed.first == 1 && !failed.second.isEmpty() && failed.second != "?");
        QCOMPARE(QDir(folders.DataFolder).entryList(QDir::Files), QStringList());
    }

    void ledraCommand() {
        QTemporaryDir working;
        QTemporaryDir documents;
        DataFolders folders = makeFolders(working, documents);
        const QString path = working.filePath(QStringLiteral("LogExp.txt"));
        QVERIFY(!writeFileAtomically(path, "old contents"));
        ScriptedPrompts prompts;
        prompts.script(QStringLiteral("100"));
        ExportLedra(sampleLog(), folders, prompts);
        QCOMPARE(readWholeFile(path).value(), kLedra);
        QCOMPARE(prompts.calls().size(), 3);
        const PromptCall& input = prompts.calls().at(0);
        QVERIFY(input.title == "Please enter the power value" && input.defaultText.isEmpty() &&
                input.text == "Please enter the power value you would like to record.");
        QCOMPARE(prompts.calls().at(1).kind, QStringLiteral("beep"));
        QCOMPARE(prompts.calls().at(2).title, QStringLiteral("Export Successful!"));
        QCOMPARE(prompts.calls().at(2).text,
                 "LogExp.txt has been written to this program's working directory " +
                     QDir::toNativeSeparators(working.path()) +
                     ".  Import these contacts into the Ledra program by clicking File, Import, "
                     "and navigating to this directory from the Ledra program.  Transferring your "
                     "files by ADIF format is now the preferred method for file transfer.");
        ScriptedPrompts empty;
        ExportLedra(ContactLog(), folders, empty);
        QCOMPARE(readWholeFile(path).value(), QByteArray());

        folders.WorkingFolder = working.filePath(QStringLiteral("gone"));
        ScriptedPrompts failing;
        ExportLedra(sampleLog(), folders, failing);
        const auto messages = failing.callsOf(QStringLiteral("message"));
        QVERIFY(failing.beeps() == 1 && messages.size() == 1 && !messages.at(0).text.isEmpty());
        QCOMPARE(messages.at(0).title, QStringLiteral("Unable to write file."));
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"

// Tests of the scoring rules: totals and their display texts, the section check, the
// contact rates, the "New" entity rule, the multiplier summary and the summary-file guard.
#include "log/ContactLog.h"
#include "log/Score.h"
#include "log/StationPreferences.h"
#include "support/TestDoubles.h"

#include <QLocale>
#include <QtTest>

using namespace ditlog;
using ditlog::testing::ScriptedPrompts;

namespace {

// One line of "log.txt": a contact with this spc at a "yyyy/mm/dd hh:mm[:ss]" stamp.
QByteArray line(const QString& spc, const QString& stamp = QStringLiteral("2007/03/04 14:05:33"),
                int points = 2) {
    const QStringList dateTime = stamp.split(u' ');
    return QStringLiteral(
               "\"K1ABC\",\"599\",\"100W\",\"599\",\"%1\",\"%2\",\"%3\",\"BOB\",\"20\",%4,"
               "\"\"\r\n")
        .arg(spc, dateTime.value(0), dateTime.value(1), QString::number(points))
        .toLatin1();
}

ContactLog logOf(const QByteArray& text) {
    ContactLog log;
    if (const auto error = log.loadFromText(text)) {
        qFatal("test log did not load: %s", qPrintable(error->message));
    }
    return log;
}

ContactLog logOfSpcs(const QStringList& spcs) {
    QByteArray text;
    for (const QString& spc : spcs) {
        text += line(spc);
    }
    return logOf(text);
}

// CT contacts logged at these stamps, in this order.
ContactLog logAt(const QStringList& stamps) {
    QByteArray text;
    for (const QString& stamp : stamps) {
        text += line(QStringLiteral("CT"), stamp);
    }
    return logOf(text);
}

QDateTime at(const QString& stamp) {
    QDateTime t = QDateTime::fromString(stamp, QStringLiteral("yyyy/MM/dd HH:mm:ss.zzz"));
    t.setTimeSpec(Qt::UTC);
    return t;
}

} // namespace

class TestScore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scoreOfTenContacts() {
        // 3 DX contacts in two entities, 4 state contacts in 3 states, 3 codes that are
        // no multiplier (a hand-edited log can hold them).
        ContactLog log =
            logOfSpcs({"England", "CT", "ct", "MA", "Japan", "NY", "ENGLAND", "HI", "AK", "ZZ"});
        QCOMPARE(log.dxEntityList().size(), 2);
        const ScoreTexts texts = scoreTexts(log);
        QCOMPARE(texts.totalContacts, QStringLiteral("10"));
        QCOMPARE(texts.totalPoints, QStringLiteral("20"));
        QCOMPARE(texts.totalMultipliers, QStringLiteral("6"));
        QCOMPARE(texts.totalScore, QStringLiteral("120"));

        // A second CT adds points, not a multiplier.
        QCOMPARE(log.addLogged(log.record(2), false), 0);
        QCOMPARE(totalMultipliers(log), 6);
        QCOMPARE(scoreTexts(log).totalScore, QStringLiteral("132"));
    }

    void sectionCheck() {
        const MultiplierTable table;
        QCOMPARE(SectionCheck(table, "ct"), 1);
        QCOMPARE(SectionCheck(table, "Pe"), 62);
        QCOMPARE(SectionCheck(table, "HI"), 0); // Hawaii and Alaska are DX entities
        QCOMPARE(SectionCheck(table, "AK"), 0);
        QCOMPARE(SectionCheck(table, ""), 0);
    }

    void thousandsSeparators() {
        // The separator does not follow the system's language.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(groupedNumber(999), QStringLiteral("999"));
        QCOMPARE(groupedNumber(1000), QStringLiteral("1,000"));
        QCOMPARE(groupedNumber(1e12), QStringLiteral("1,000,000,000,000"));
        QCOMPARE(groupedNumber(2.5), QStringLiteral("3")); // halves round away from zero
        QCOMPARE(groupedNumber(-1234.5), QStringLiteral("-1,235"));

        QByteArray text;
        for (int i = 0; i < 1234; ++i) {
            text += line(QStringLiteral("Japan"), QStringLiteral("2007/03/04 14:05:33"), 5);
        }
        const ScoreTexts texts = scoreTexts(logOf(text));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(texts.totalContacts, QStringLiteral("1,234"));
        QCOMPARE(texts.totalPoints, QStringLiteral("6,170"));
        QCOMPARE(texts.totalMultipliers, QStringLiteral("1234"));
        QCOMPARE(texts.totalScore, QStringLiteral("7,613,780"));
    }

    void rates_data() {
        QTest::addColumn<QStringList>("stamps");
        QTest::addColumn<QString>("now");
        QTest::addColumn<int>("rate60");
        QTest::addColumn<int>("rate20");
        const QString three = QStringLiteral("2007/03/04 15:00:00.000");
        QTest::newRow("10, 30 and 59 minutes old")
            << QStringList{"2007/03/04 14:01:00", "2007/03/04 14:30:00", "2007/03/04 14:50:00"}
            << three << 3 << 3;
        QTest::newRow("3599 s counts, 3600 s does not")
            << QStringList{"2007/03/04 14:00:00", "2007/03/04 14:00:01"} << three << 1 << 0;
        // Out of order: the scan ends at the hour-old record and never sees the one before.
        QTest::newRow("hour-old record ends the scan")
            << QStringList{"2007/03/04 14:30:00", "2007/03/04 14:00:00", "2007/03/04 14:50:00"}
            << three << 1 << 3;
        QTest::newRow("1199 s is in the 20 minutes, 1200 s is not")
            << QStringList{"2007/03/04 14:40:00", "2007/03/04 14:40:01"} << three << 2 << 3;
        QTest::newRow("future record counts in both")
            << QStringList{"2007/03/04 14:50:00", "2007/03/05 09:00:00"} << three << 2 << 6;
        QTest::newRow("time without seconds") << QStringList{"2007/03/04 14:41"} << three << 1 << 3;
        QTest::newRow("across midnight")
            << QStringList{"2007/03/04 23:00:00", "2007/03/04 23:55:00"}
            << QStringLiteral("2007/03/05 00:10:00.000") << 1 << 3;
        QTest::newRow("now taken to whole seconds")
            << QStringList{"2007/03/04 14:40:00"} << QStringLiteral("2007/03/04 14:59:59.900") << 1
            << 3;
        QTest::newRow("unreadable record beyond the hour is never read")
            << QStringList{"2007/02/30 14:00:00", "2007/03/04 13:00:00", "2007/03/04 14:50:00"}
            << three << 1 << 3;
    }
    void rates() {
        QFETCH(QStringList, stamps);
        QFETCH(QString, now);
        QFETCH(int, rate60);
        QFETCH(int, rate20);
        const auto rates = TimeStats(logAt(stamps), at(now));
        QVERIFY(rates);
        QCOMPARE(rates->rate60, rate60);
        QCOMPARE(rates->rate20, rate20);
    }

    void unreadableDateOrTimeGivesNoRates() {
        const QDateTime now = at("2007/03/04 15:00:00.000");
        for (const char* stamp : {"2007/02/30 14:50:00", "2007-03-04 14:50:00",
                                  "2007/03/04 24:00:00", "2007/03/04 14"}) {
            const ContactLog log = logAt({"2007/03/04 14:10:00", stamp});
            QVERIFY2(!TimeStats(log, now), stamp);
        }
    }

    void newIndicator() {
        const ContactLog log = logOfSpcs({"England", "CT"});
        QVERIFY(NewIndicator(log, "Japan"));
        QVERIFY(NewIndicator(log, "Eng"));
        QVERIFY(!NewIndicator(log, "ENGLAND")); // already on the entity list
        QVERIFY(!NewIndicator(log, "JA"));
        QVERIFY(!NewIndicator(log, ""));
        for (const char* notDx : {"Not Found", "not found", "Canada", "CANADA", "USA", "usa"}) {
            QVERIFY2(!NewIndicator(log, notDx), notDx);
        }
    }

    void multiplierSummaryCountsTheCode() {
        const ContactLog log = logOfSpcs({"CT", "ct", "MA", "Ct", "CTX"});
        QCOMPARE(multiplierSummary(log, 1), QStringLiteral("Connecticut      Total =3"));
        QCOMPARE(multiplierSummary(log, 62), QStringLiteral("Prince Edward      Total =0"));
        QCOMPARE(summaryFontPointSize(15360, 100), 12.8); // 1024 pixels wide
        QCOMPARE(summaryFontPointSize(9600, 50), 4.0);
    }

    void summaryNeedsOwnCall() {
        StationPreferences prefs;
        ScriptedPrompts prompts;
        prefs.OwnCall = QStringLiteral("K1");
        QVERIFY(!writeSummaryAllowed(prefs, prompts));
        QCOMPARE(prompts.calls().size(), 1);
        QCOMPARE(prompts.calls().at(0).title, QStringLiteral("Call Sign Required!"));
        QCOMPARE(prompts.calls().at(0).text, QStringLiteral("Please enter your call in setup."));

        prompts.clear();
        prefs.OwnCall = QStringLiteral("K1A");
        QVERIFY(writeSummaryAllowed(prefs, prompts));
        QVERIFY(prompts.calls().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestScore)
#include "tst_score.moc"

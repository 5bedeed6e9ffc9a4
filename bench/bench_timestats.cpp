// Figures for the score work done after every logged contact and every minute on a full
// 12,000-record log: the rates, the score texts and the multiplier hover summary.
#include "log/ContactLog.h"
#include "log/Score.h"

#include <QtTest>

using namespace ditlog;

namespace {

// A full log, one contact every `spacing` seconds, the newest logged at `newest`.
ContactLog generatedLog(const QDateTime& newest, int spacing) {
    static const char* const spcs[] = {"CT", "MA", "England", "ON", "Japan", "TX", "Hawaii"};
    QByteArray text;
    for (int i = ContactLog::kMaxRecords - 1; i >= 0; --i) {
        const QDateTime t = newest.addSecs(-qint64(i) * spacing);
        ContactRecord r;
        r.call = QStringLiteral("K%1ABC").arg(i % 10);
        r.rstReceived = QStringLiteral("599");
        r.exchange = QString::number(1000 + i % 5000);
        r.rstSent = QStringLiteral("599");
        r.spc = QLatin1String(spcs[i % 7]);
        r.date = t.toString(QStringLiteral("yyyy/MM/dd"));
        r.time = t.toString(QStringLiteral("HH:mm:ss"));
        r.name = QStringLiteral("BOB");
        r.band = QStringLiteral("20");
        r.points = (i % 3 == 0) ? 2 : 5;
        text += recordLine(r);
    }
    ContactLog log;
    if (log.loadFromText(text)) {
        qFatal("generated log did not load");
    }
    return log;
}

} // namespace

class BenchTimeStats : public QObject {
    Q_OBJECT

private:
    const QDateTime m_now{QDate(2007, 3, 4), QTime(15, 0), Qt::UTC};
    ContactLog m_spread; // one contact a second: the rate scan stops after an hour
    ContactLog m_burst;  // all logged at the same second: the scan reads every record

private Q_SLOTS:
    void initTestCase() {
        m_spread = generatedLog(m_now, 1);
        m_burst = generatedLog(m_now, 0);
        qInfo("score texts: %s contacts, %s points, %s multipliers, %s score",
              qPrintable(scoreTexts(m_spread).totalContacts),
              qPrintable(scoreTexts(m_spread).totalPoints),
              qPrintable(scoreTexts(m_spread).totalMultipliers),
              qPrintable(scoreTexts(m_spread).totalScore));
    }

    void timeStats_data() {
        QTest::addColumn<bool>("burst");
        QTest::newRow("one a second") << false;
        QTest::newRow("all at once") << true;
    }
    void timeStats() {
        QFETCH(bool, burst);
        const ContactLog& log = burst ? m_burst : m_spread;
        std::optional<ContactRates> rates;
        QBENCHMARK {
            rates = TimeStats(log, m_now);
        }
        QVERIFY(rates);
        QCOMPARE(rates->rate60, burst ? ContactLog::kMaxRecords : 3600);
    }

    void labelDisplayTexts() {
        ScoreTexts texts;
        QBENCHMARK {
            texts = scoreTexts(m_spread);
        }
        QCOMPARE(texts.totalContacts, QStringLiteral("12,000"));
    }

    void multiplierSummary() {
        QString text;
        QBENCHMARK {
            text = ditlog::multiplierSummary(m_spread, 1);
        }
        QVERIFY(text.startsWith(QStringLiteral("Connecticut")));
    }
};

QTEST_APPLESS_MAIN(BenchTimeStats)
#include "bench_timestats.moc"

// The score panel on a design canvas: values, multiplier label colours and layout, and the
// click and hover signals of the multiplier labels.
#include "app/ScorePanel.h"
#include "log/ContactLog.h"
#include "log/StationPreferences.h"
#include "support/TestDoubles.h"
#include "ui/WindowScaling.h"

#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace ditlog;
using ditlog::testing::FixedScreen;

namespace {

constexpr qint32 kRed = 0x0000FF;  // &HFF
constexpr qint32 kBlue = 0xFF0000; // &HFF0000

ContactRecord contact(const QString& spc, const QString& time = QStringLiteral("14:50:00")) {
    ContactRecord r;
    r.call = QStringLiteral("W1AW");
    r.rstReceived = QStringLiteral("599");
    r.exchange = QStringLiteral("1234");
    r.rstSent = QStringLiteral("599");
    r.spc = spc;
    r.date = QStringLiteral("2007/03/04");
    r.time = time;
    r.name = QStringLiteral("ANN");
    r.band = QStringLiteral("40");
    r.points = 5;
    return r;
}

void load(ContactLog& log, const QList<ContactRecord>& records) {
    QByteArray text;
    for (const ContactRecord& r : records) {
        text += recordLine(r);
    }
    QVERIFY(!log.loadFromText(text));
}

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// A design rectangle in twips as pixels on a canvas at its design size.
QRect designPixels(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

} // namespace

class TestScorePanel : public QObject {
    Q_OBJECT

private:
    ContactLog m_log;
    StationPreferences m_prefs;
    FixedScreen m_screen{QSize(1024, 768)};
    std::unique_ptr<DesignCanvas> m_canvas;
    ScorePanel* m_panel = nullptr;

private Q_SLOTS:
    void init() {
        m_log = ContactLog();
        m_prefs = StationPreferences();
        m_prefs.WorkedColour = kRed;
        m_prefs.RemainingColour = kBlue;
        m_canvas = std::make_unique<DesignCanvas>(QSize(kDesignWidthTwips, 6900));
        m_panel = new ScorePanel(m_log, m_prefs, m_screen, *m_canvas, m_canvas.get());
    }
    void cleanup() { m_canvas.reset(); }

    void controlsAndLayout() {
        const QStringList captions{"Total Contacts ............",   "Total QSO Points ........",
                                   "Total Multipliers ...........", "Total Score..................",
                                   "QSOs / Hr (last 20 min)",       "QSOs / Hr (last 60 min)"};
        QStringList shown;
        for (const QLabel* label : m_canvas->findChildren<QLabel*>()) {
            shown << label->text();
        }
        for (const QString& caption : captions) {
            QVERIFY2(shown.contains(caption), qPrintable(caption));
        }
        QCOMPARE(m_panel->scoreFrame()->title(), QStringLiteral("Score Statistics"));
        QCOMPARE(m_panel->Label15()->text(), QStringLiteral("Multipliers worked:"));

        const QRect frame = m_panel->scoreFrame()->geometry();
        QCOMPARE(frame, designPixels(6600, 2160, 2880, 1560));
        for (const char* name : {"lblTotalContacts", "lblTotalPoints", "lblTotalMultipliers",
                                 "lblTotalScore", "lblRate20", "lblRate60"}) {
            const auto* value = m_canvas->findChild<QLabel*>(QLatin1String(name));
            QVERIFY2(value && frame.contains(value->geometry()), name);
        }

        // Every multiplier label in the grid, with its code and name, none overlapping.
        const QRect grid = designPixels(120, 4920, 9360, 1900);
        QList<QRect> placed;
        for (int row = 1; row <= MultiplierTable::kRows; ++row) {
            const QLabel* label =
                m_canvas->findChild<QLabel*>(QStringLiteral("Label10_%1").arg(row));
            QCOMPARE(label, m_panel->Label10(row));
            QCOMPARE(label->text(), m_log.multipliers().row(row).code);
            QCOMPARE(label->toolTip(), m_log.multipliers().row(row).name);
            QVERIFY(grid.contains(label->geometry()));
            for (const QRect& other : std::as_const(placed)) {
                QVERIFY2(!other.intersects(label->geometry()), qPrintable(label->text()));
            }
            placed.append(label->geometry());
        }
        QCOMPARE(m_panel->Label10(27)->text(), QStringLiteral("XHIX"));
        QCOMPARE(m_panel->Label10(27)->toolTip(), QStringLiteral("Hawaii"));
    }

    void coloursFollowTheLog() {
        load(m_log, {contact("CT"), contact("ma"), contact("Hawaii"), contact("CT")});
        m_panel->CountMultipliers();
        QCOMPARE(textColour(m_panel->Label10(1)), QColor(255, 0, 0));
        QCOMPARE(textColour(m_panel->Label10(2)), QColor(255, 0, 0));
        QCOMPARE(textColour(m_panel->Label10(3)), QColor(0, 0, 255));
        QCOMPARE(m_panel->Label10Colour(27), kBlue); // Hawaii worked as DX is no multiplier
        QCOMPARE(m_panel->Label15()->text(), QStringLiteral("State / Prov Multipliers Worked: 2"));

        // A newly worked state is marked without a reload.
        const int row = m_log.addLogged(contact("VT"), false);
        QCOMPARE(row, 6);
        m_panel->MarkMultiplier(row);
        QCOMPARE(m_panel->Label10Colour(6), kRed);
        QCOMPARE(m_panel->Label15()->text(), QStringLiteral("State / Prov Multipliers Worked: 3"));

        // A reload of a log without CT returns its label to the remaining colour.
        load(m_log, {contact("NY")});
        m_panel->CountMultipliers();
        QCOMPARE(m_panel->Label10Colour(1), kBlue);
        QCOMPARE(m_panel->Label10Colour(6), kBlue);
        QCOMPARE(m_panel->Label10Colour(7), kRed);
        QCOMPARE(m_panel->Label15()->text(), QStringLiteral("State / Prov Multipliers Worked: 1"));
    }

    void valuesAndRates() {
        load(m_log, {contact("England", "14:01:00"), contact("CT", "14:30:00"),
                     contact("ON", "14:50:00")});
        m_panel->Labeldisplay();
        QCOMPARE(m_panel->lblTotalContacts()->text(), QStringLiteral("3"));
        QCOMPARE(m_panel->lblTotalScore()->text(), QStringLiteral("45"));

        QDateTime now(QDate(2007, 3, 4), QTime(15, 0), Qt::UTC);
        m_panel->TimeStats(now);
        QCOMPARE(m_panel->lblRate60()->text(), QStringLiteral("3"));
        QCOMPARE(m_panel->lblRate20()->text(), QStringLiteral("3"));

        // An unreadable newest record leaves the rates as they were.
        m_log.addLogged(contact("MA", "14:5:xx"), false);
        m_panel->TimeStats(now.addSecs(3600));
        QCOMPARE(m_panel->lblRate60()->text(), QStringLiteral("3"));
        QCOMPARE(m_panel->lblRate20()->text(), QStringLiteral("3"));
    }

    void clickAndHover() {
        load(m_log, {contact("CT"), contact("Hawaii"), contact("HAWAII"), contact("ct")});
        QSignalSpy clicked(m_panel, &ScorePanel::multiplierClicked);
        QSignalSpy hovered(m_panel, &ScorePanel::multiplierHovered);

        QTest::mouseClick(m_panel->Label10(54), Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.at(0).at(0).toString(), QStringLiteral("ON"));
        QTest::mouseClick(m_panel->Label10(54), Qt::RightButton);
        QCOMPARE(clicked.size(), 1);

        QLabel* hawaii = m_panel->Label10(27);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), hawaii->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(hawaii, &move);
        QCOMPARE(hovered.size(), 1);
        QCOMPARE(hovered.at(0).at(0).toString(), QStringLiteral("Hawaii      Total =0"));
        // 8 points for a 1024-pixel (15360-twip) screen at full form size.
        QCOMPARE(hovered.at(0).at(1).toDouble(), 12.8);

        m_prefs.FormSizePercent = 50;
        m_panel->Label10_MouseMove(1);
        QCOMPARE(hovered.at(1).at(0).toString(), QStringLiteral("Connecticut      Total =2"));
        QCOMPARE(hovered.at(1).at(1).toDouble(), 6.4);
    }
};

QTEST_MAIN(TestScorePanel)
#include "tst_scorepanel.moc"

// The band maps: scale and placement arithmetic, age colours, stacking, and the main
// window's strip and the spectrum map driven with the mouse.
#include "MainWindowFixture.h"

#include "app/EntryPanel.h"
#include "app/ListsPanel.h"
#include "spots/SpotSourceLink.h"
#include "rig/RigTuning.h"
#include "spots/BandMapGeometry.h"
#include "spots/SpotSourceSettings.h"
#include "spots/windows/BandMapStrip.h"
#include "spots/windows/AllBandsMapWindow.h"
#include "spots/windows/SpotDesk.h"

#include <QAccessible>
#include <QAction>
#include <QListView>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
class RecordingRig final : public RigTuning {
public:
    void ChangeFrequency(double mhz) override { tuned.append(mhz); }
    QList<double> tuned;
};

const QDateTime kNow(QDate(2026, 12, 8), QTime(14, 5, 33));

void take(SpotStore& store, const QString& call, float mhz, qint64 ageSeconds = 0) {
    store.take(call, mhz, kNow.addSecs(-ageSeconds));
}

QStringList scaleTexts(const BandScale& scale) {
    QStringList texts;
    for (double v : scale) {
        texts << scaleText(v);
    }
    return texts;
}

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}
} // namespace

class TestBandMap : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    RecordingRig m_rig;

    SpotDesk& desk() { return f->window().spots(); }
    BandMapStrip& strip() { return *desk().lblDX(); }
    // A started main window showing the band map of the given band.
    void start(const QString& band) {
        f = std::make_unique<MainWindowFixture>();
        f->startUp();
        f->window().show();
        desk().setRigTuning(m_rig);
        m_rig.tuned.clear();
        f->window().selectBand(band);
        desk().settings().Source = QStringLiteral("Telnet");
        desk().settings().ShowAsList = false;
        desk().PacketResize();
        QCOMPARE(desk().display(), SpotDesk::Display::BandMap);
    }
    void spot(const QString& call, const QString& kHz) {
        desk().BandMapSpots(call, kHz, QStringLiteral("de W3LPL: ") + kHz + QLatin1Char(' ') + call);
    }

private Q_SLOTS:
    void cleanup() { f.reset(); }

    void scaleOfOneBand() {
        SpotStore store;
        QCOMPARE(scaleTexts(bandScale(store, mainBandEdges(QStringLiteral("160")))),
                 QStringList({"1.800", "1.850", "1.900", "1.950", "2.000"}));
        // One spot leaves the band's edges; a single spot on 1.830 sits at 0.15 of the axis.
        take(store, QStringLiteral("K1ABC"), 1.830f);
        const BandScale one = bandScale(store, mainBandEdges(QStringLiteral("160")));
        QCOMPARE(scaleText(one[0]), QStringLiteral("1.800"));
        QVERIFY(qAbs(*axisPosition(1.830f, one[0], one[4], 100, 1100) - 250) < 0.01);
        // Two spots zoom to their span with a kilohertz either side.
        take(store, QStringLiteral("K1ABC"), 14.010f);
        take(store, QStringLiteral("K2ABC"), 14.030f);
        const BandScale two = bandScale(store, mainBandEdges(QStringLiteral("20")));
        QCOMPARE(scaleTexts(two), QStringList({"14.009", "14.015", "14.020", "14.025", "14.031"}));
        QVERIFY(*axisPosition(14.010f, two[0], two[4], 0, 1000) < 50);
        QVERIFY(*axisPosition(14.030f, two[0], two[4], 0, 1000) > 950);
        // An unknown band: every label .000 and nothing on the scale.
        const BandScale none = bandScale(store, mainBandEdges(QStringLiteral("30")));
        QCOMPARE(scaleTexts(none), QStringList(5, QStringLiteral(".000")));
        QVERIFY(!onScale(14.01, none[0], none[4]));
        QVERIFY(!axisPosition(14.01, none[0], none[4], 0, 100));
        // Band edges are outside; slot 0 does not zoom.
        QVERIFY(!onScale(14.0f, 14.0, 14.35));
        SpotStore edge;
        edge.take(QStringLiteral("W1AW"), 14.1f, kNow);
        for (int i = 0; i < 49; ++i) {
            edge.take(QStringLiteral("X%1").arg(i), 7.1f, kNow);
        }
        QCOMPARE(edge.slot(0).Call, QStringLiteral("W1AW"));
        double upper = 14.35, lower = 14.0;
        ZoomToSpots(edge, upper, lower);
        QCOMPARE(lower, 14.0);
        QCOMPARE(upper, 14.35);
    }

    void zoomSpectrumRows() {
        SpotStore store;
        take(store, QStringLiteral("A1"), 10.120f);
        take(store, QStringLiteral("A2"), 10.130f);
        take(store, QStringLiteral("A3"), 14.025f);
        double upper = 10.15, lower = 10.1;
        ZoomToSpots(store, upper, lower);
        QVERIFY(qAbs(lower - 10.119) < 1e-4 && qAbs(upper - 10.131) < 1e-4);
        QCOMPARE(spectrumRowOf(10.120), 3);
        QCOMPARE(spectrumRowOf(144.3), 10);
        QCOMPARE(spectrumRowOf(1.8), -1);
        QCOMPARE(spectrumRowOf(0), -1);
        QCOMPARE(mainBandEdges(QStringLiteral("30")).upper, 0.0);
        QCOMPARE(scaleText(0.5), QStringLiteral(".500"));
        QCOMPARE(scaleText(14.0249), QStringLiteral("14.025"));
    }

    void ageColoursAndHoverText() {
        QCOMPARE(*SpotAgeColour(0), 0xFFFF80u);
        QCOMPARE(*SpotAgeColour(599), 0xFFFF80u);
        QCOMPARE(*SpotAgeColour(600), 0xFFFFFFu);
        QCOMPARE(*SpotAgeColour(1799), 0xFFFFFFu);
        QCOMPARE(*SpotAgeColour(1800), 0xC0C0C0u);
        QCOMPARE(*SpotAgeColour(3599), 0xC0C0C0u);
        QVERIFY(!SpotAgeColour(3600));
        DxSpot spot{QStringLiteral("OH2BH"), 14.0251f, QDateTime(QDate(2026, 12, 8), QTime(23, 50, 7)),
                    QStringLiteral("OH2")};
        QCOMPARE(spotHoverText(spot, 5), QStringLiteral("OH2BH  14.025  04:50:07"));
        QCOMPARE(spotHoverText(spot, -3.5f), QStringLiteral("OH2BH  14.025  20:20:07"));
    }

    void stackingRows() {
        // Newest first takes the lowest row; overlapping labels climb; with every row
        // taken a label goes where it covers least.
        const QList<int> rows = stackRows({{0, 30}, {10, 40}, {20, 50}, {35, 60}, {100, 130}, {5, 25}}, 3);
        QCOMPARE(rows, QList<int>({0, 1, 2, 0, 0, 2}));
        QCOMPARE(stackRows({{0, 10}, {0, 10}}, 0), QList<int>({0, 0}));
    }

    void stripShowsSpotsOfTheBand() {
        start(QStringLiteral("20"));
        spot(QStringLiteral("OH2BH"), QStringLiteral("14025.1"));
        f->clock.advanceSeconds(700);
        spot(QStringLiteral("K1ABC"), QStringLiteral("14010.0"));
        spot(QStringLiteral("JA1XYZ"), QStringLiteral("7010.0"));  // another band
        spot(QStringLiteral("3D2AA"), QStringLiteral("14000.0"));  // the band edge
        spot(QStringLiteral("W6X"), QStringLiteral("0"));          // withdrawn on arrival
        spot(QStringLiteral("VK9"), QStringLiteral("14030"));      // call too short for a label
        QTRY_VERIFY(strip().spotLabel(49)->isVisible());
        const QRect area = strip().rect();
        QCOMPARE(strip().axis().scaleLabel(0)->text(), QStringLiteral("14.009"));
        QCOMPARE(strip().axis().scaleLabel(4)->text(), QStringLiteral("14.031"));
        QLabel* oh2 = strip().spotLabel(44);
        QLabel* k1 = strip().spotLabel(45);
        QCOMPARE(oh2->text(), QStringLiteral("OH2"));
        QCOMPARE(oh2->toolTip(), QStringLiteral("OH2BH  14.025  14:05:33"));
        QCOMPARE(oh2->accessibleName(), QStringLiteral("OH2BH, 14.025 MHz, 11 minutes old"));
        QCOMPARE(textColour(oh2), QColor(0xFF, 0xFF, 0xFF));
        QCOMPARE(textColour(k1), QColor(0xFF, 0xFF, 0x80));
        QVERIFY(!strip().spotLabel(46)->isVisible());
        QVERIFY(!strip().spotLabel(47)->isVisible());
        QVERIFY(!strip().spotLabel(48)->isVisible());
        QVERIFY(k1->geometry().center().x() < oh2->geometry().center().x());
        QVERIFY(k1->geometry().bottom() < strip().axis().y());
        for (int i = 44; i <= 49; ++i) {
            if (strip().spotLabel(i)->isVisible()) {
                QVERIFY(area.contains(strip().spotLabel(i)->geometry()));
            }
        }
        // Growing older: grey at half an hour, gone at an hour and everything older with it.
        f->clock.advanceSeconds(1100);
        desk().DisplayBandMapLabels();
        QCOMPARE(textColour(oh2), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(textColour(k1), QColor(0xFF, 0xFF, 0xFF));
        f->clock.advanceSeconds(1800);
        desk().DisplayBandMapLabels();
        QVERIFY(!oh2->isVisible());
        QVERIFY(k1->isVisible());
        // A band change redraws for the new band; the strip keeps its rectangle.
        f->window().selectBand(QStringLiteral("40"));
        QVERIFY(!k1->isVisible());
        QCOMPARE(strip().axis().scaleLabel(0)->text(), QStringLiteral("7.000"));
        QVERIFY(strip().spotLabel(46)->isVisible());
        f->window().selectBand(QStringLiteral("6"));
        QVERIFY(!strip().spotLabel(46)->isVisible());
    }

    void crowdedKilohertzStaysInTheStrip() {
        // Fifty spots on one kilohertz, one with a very long call: all drawn, none outside
        // the strip, the newest ones stacked clear of each other as far as rows go.
        start(QStringLiteral("20"));
        for (int i = 0; i < 50; ++i) {
            const QString call = i == 7 ? QStringLiteral("VE3/") + QString(60, QLatin1Char('X'))
                                        : QStringLiteral("DL%1ABC").arg(i);
            spot(call, QStringLiteral("14025.0"));
        }
        QTRY_VERIFY(strip().spotLabel(49)->isVisible());
        for (int i = 0; i < 50; ++i) {
            QLabel* label = strip().spotLabel(i);
            QVERIFY2(label->isVisible(), qPrintable(label->objectName()));
            QVERIFY2(strip().rect().contains(label->geometry()), qPrintable(label->objectName()));
        }
        const int rows = strip().stackRowCount();
        QVERIFY(rows >= 2);
        for (int i = 49; i > 49 - rows; --i) {
            for (int j = i - 1; j > 49 - rows; --j) {
                QVERIFY(!strip().spotLabel(i)->geometry().intersects(strip().spotLabel(j)->geometry()));
            }
        }
        // Neighbours a few hundred hertz apart stand clear of each other.
        start(QStringLiteral("20"));
        spot(QStringLiteral("OH2BH"), QStringLiteral("14025.0"));
        spot(QStringLiteral("OH3AA"), QStringLiteral("14025.05"));
        spot(QStringLiteral("K1ABC"), QStringLiteral("14030.0"));
        QTRY_VERIFY(strip().spotLabel(49)->isVisible());
        const QRect oh2 = strip().spotLabel(47)->geometry();
        const QRect oh3 = strip().spotLabel(48)->geometry();
        QVERIFY(!oh2.intersects(oh3));
        QVERIFY(oh2.left() < oh3.right() && oh3.left() < oh2.right()); // one above the other
        QVERIFY(oh2.bottom() < oh3.top());
    }

    void clicksOnTheStrip() {
        start(QStringLiteral("20"));
        f->window().preferences().RigType = QStringLiteral("None");
        spot(QStringLiteral("OH2BH"), QStringLiteral("14025.1"));
        spot(QStringLiteral("K1ABC"), QStringLiteral("14010.0"));
        QTRY_VERIFY(strip().spotLabel(49)->isVisible());
        QLabel* oh2 = strip().spotLabel(48);
        // Hover: the duplicates box shows the spot.
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(oh2, &enter);
        QCOMPARE(f->window().entry().lblDupe->text(), oh2->toolTip());
        // Right: tune whatever the radio type, the call into the call box, Tab leaves it.
        QTest::mouseClick(oh2, Qt::RightButton);
        QCOMPARE(m_rig.tuned.size(), 1);
        QVERIFY(qAbs(m_rig.tuned[0] - 14.0251) < 1e-4);
        QCOMPARE(f->window().entry().txtCall->text(), QStringLiteral("OH2BH"));
        QTRY_VERIFY(!f->window().entry().txtCall->hasFocus());
        QCOMPARE(f->window().entry().txtRSTR->text(), QStringLiteral("599"));
        // Left: withdrawn from the map, kept in the list.
        QTest::mouseClick(oh2, Qt::LeftButton);
        QCOMPARE(desk().store().slot(48).FreqMHz, 0.0f);
        QVERIFY(!oh2->isVisible());
        QVERIFY(strip().spotLabel(49)->isVisible());
        QCOMPARE(desk().listModel().rowCount(), 2);
        QCOMPARE(m_rig.tuned.size(), 1);
    }

    void stripModesOfPacketResize() {
        start(QStringLiteral("20"));
        QVERIFY(strip().isVisible());
        QFrame* line = strip().findChild<QFrame*>(QStringLiteral("LineDX"));
        QVERIFY(line != nullptr);
        QCOMPARE(line->y(), strip().height() / 2);
        QVERIFY(line->x() > 0 && line->geometry().right() < strip().width());
        for (int i = 0; i < 5; ++i) {
            QLabel* scale = strip().findChild<QLabel*>(QStringLiteral("lblFreqSpot_%1").arg(i));
            QVERIFY(scale != nullptr && scale->isVisible());
            QVERIFY(scale->y() > line->y());
            QVERIFY(strip().rect().contains(scale->geometry()));
        }
        desk().settings().ShowAsList = true;
        desk().PacketResize();
        QVERIFY(!strip().isVisible());
        QVERIFY(desk().txtDX()->isVisible());
        QCOMPARE(desk().txtDX()->geometry(), strip().geometry());
        desk().settings().Source = QStringLiteral("None");
        desk().PacketResize();
        QCOMPARE(desk().display(), SpotDesk::Display::Off);
        QVERIFY(!strip().isVisible() && !desk().txtDX()->isVisible());
    }

    void spectrumMap() {
        start(QStringLiteral("20"));
        f->screen.setWorkArea(QRect(0, 0, 1000, 700));
        spot(QStringLiteral("K1ABC"), QStringLiteral("10120.0"));
        spot(QStringLiteral("OH2BH"), QStringLiteral("14025.0"));
        spot(QStringLiteral("JA1AA"), QStringLiteral("3000.0")); // on no row
        QTRY_VERIFY(strip().spotLabel(48)->isVisible());
        QVERIFY(!strip().spotLabel(47)->isVisible()); // 30 m is not on the main map
        QAction* menu = f->window().findChild<QAction*>(QStringLiteral("mnuSpectrumMap"));
        QVERIFY(menu->isEnabled());
        menu->trigger();
        AllBandsMapWindow* map = desk().spectrumMap();
        QVERIFY(map != nullptr);
        QCOMPARE(map->windowTitle(), QStringLiteral(" HF Spectrum Map"));
        QCOMPARE(map->windowModality(), Qt::WindowModal);
        QTRY_VERIFY(map->isVisible());
        // The whole window, its frame included, takes the work area.
        QCOMPARE(map->frameGeometry(), QRect(0, 0, 1000, 700));
        QCOMPARE(map->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lblFreqSpot_\\d+$"))).size(), 55);
        QLabel* k1 = map->spotLabel(47);
        QLabel* oh2 = map->spotLabel(48);
        QVERIFY(k1->isVisible() && oh2->isVisible());
        QVERIFY(!map->spotLabel(49)->isVisible());
        QCOMPARE(k1->geometry().bottom() + 1, map->row(3).y());
        QCOMPARE(oh2->geometry().bottom() + 1, map->row(4).y());
        QVERIFY(map->row(3).y() < map->row(4).y());
        QCOMPARE(map->row(0).scaleLabel(0)->text(), QStringLiteral("1.800"));
        // Spots arriving while it is open are drawn at once.
        spot(QStringLiteral("G3XYZ"), QStringLiteral("28020.0"));
        QTRY_VERIFY(map->spotLabel(49)->isVisible());
        QCOMPARE(map->spotLabel(49)->text(), QStringLiteral("G3"));
        QVERIFY(map->rect().contains(map->spotLabel(49)->geometry()));
        k1 = map->spotLabel(46); // the spots moved down a slot
        oh2 = map->spotLabel(47);
        QCOMPARE(oh2->text(), QStringLiteral("OH2"));
        // Left withdraws from both maps.
        QTest::mouseClick(oh2, Qt::LeftButton);
        QVERIFY(!oh2->isVisible());
        QCOMPARE(desk().store().slot(47).FreqMHz, 0.0f);
        QVERIFY(!strip().spotLabel(47)->isVisible());
        // Right tunes, fills the call, closes the map and focuses the call box.
        QTest::mouseClick(k1, Qt::RightButton);
        QVERIFY(qAbs(m_rig.tuned.value(0) - 10.12) < 1e-4);
        QCOMPARE(f->window().entry().txtCall->text(), QStringLiteral("K1ABC"));
        QTRY_VERIFY(desk().spectrumMap() == nullptr);
        // A double click on the strip opens it again, built anew.
        QTest::mouseDClick(&strip(), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_VERIFY(desk().spectrumMap() != nullptr);
        desk().spectrumMap()->close();
        QTRY_VERIFY(desk().spectrumMap() == nullptr);
    }

    // A spot of a row's band outside the row's zoomed scale (slot 0 does not zoom) is not
    // drawn at the window's edge: it is left off.
    void spectrumLeavesOffSpotsOutsideTheScale() {
        start(QStringLiteral("20"));
        spot(QStringLiteral("W1AW"), QStringLiteral("14100.0"));
        spot(QStringLiteral("K1ABC"), QStringLiteral("14010.0"));
        spot(QStringLiteral("K2ABC"), QStringLiteral("14030.0"));
        for (int i = 0; i < 47; ++i) {
            spot(QStringLiteral("DL%1XX").arg(i), QStringLiteral("7010.0"));
        }
        QCOMPARE(desk().store().slot(0).Call, QStringLiteral("W1AW"));
        desk().openSpectrumMap();
        AllBandsMapWindow* map = desk().spectrumMap();
        QTRY_VERIFY(map != nullptr && map->isVisible());
        QCOMPARE(map->row(4).scaleLabel(4)->text(), QStringLiteral("14.031"));
        QVERIFY(map->spotLabel(1)->isVisible() && map->spotLabel(2)->isVisible());
        QVERIFY(!map->spotLabel(0)->isVisible());
        map->close();
    }

    // The keyboard on the strip: one stop of Tab, the arrows from spot to spot in frequency
    // order, each said by name and focus; Enter tunes as a right click does, Delete
    // withdraws as a left click does; the spot keeps the focus when others arrive.
    void stripByKeyboard() {
        start(QStringLiteral("20"));
        spot(QStringLiteral("OH2BH"), QStringLiteral("14025.1"));
        spot(QStringLiteral("K1ABC"), QStringLiteral("14010.0"));
        spot(QStringLiteral("JA1XYZ"), QStringLiteral("7010.0"));
        spot(QStringLiteral("W9XYZ"), QStringLiteral("14030.0"));
        QTRY_VERIFY(strip().spotLabel(49)->isVisible());
        QApplication::setActiveWindow(&f->window());
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        QWidget* before = f->window().lists().List1();
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        // The newest spot first, focused as a screen reader sees it.
        QCOMPARE(QApplication::focusWidget(), strip().spotLabel(49));
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(strip().spotLabel(49));
        QVERIFY(spoken->state().focused);
        QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("W9XYZ, 14.030 MHz, less than a minute old"));
        QList<QWidget*> visited;
        const auto record = [&visited] { visited.append(QApplication::focusWidget()); };
        const auto keyOnFocus = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
        for (const Qt::Key key : {Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left}) {
            keyOnFocus(key);
            record();
        }
        // K1ABC 14.010, OH2BH 14.025, W9XYZ 14.030 (the last stays), OH2BH.
        QCOMPARE(visited, (QList<QWidget*>{strip().spotLabel(47), strip().spotLabel(46), strip().spotLabel(49),
                                           strip().spotLabel(49), strip().spotLabel(46)}));
        // The focus is seen: a frame in the spot's colour.
        const QImage shot = strip().spotLabel(46)->grab().toImage();
        QCOMPARE(shot.pixelColor(1, shot.height() / 2), textColour(strip().spotLabel(46)));
        // A new spot shifts the slots: the focus stays on OH2BH.
        spot(QStringLiteral("G3XYZ"), QStringLiteral("14020.0"));
        QTRY_COMPARE(QApplication::focusWidget(), strip().spotLabel(45));
        QCOMPARE(strip().spotLabel(45)->text(), QStringLiteral("OH2"));
        // Delete withdraws it; the focus goes to the next spot up.
        keyOnFocus(Qt::Key_Delete);
        QCOMPARE(desk().store().slot(45).FreqMHz, 0.0f);
        QVERIFY(!strip().spotLabel(45)->isVisible());
        QCOMPARE(QApplication::focusWidget(), strip().spotLabel(48)); // W9XYZ, 14.030
        QCOMPARE(m_rig.tuned.size(), 0);
        // Shift+Tab goes back to what stands before the map.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), before);
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), strip().spotLabel(48));
        // Enter: tuned, the call into the call box, which is then left as by Tab.
        keyOnFocus(Qt::Key_Return);
        QCOMPARE(m_rig.tuned.size(), 1);
        QVERIFY(qAbs(m_rig.tuned[0] - 14.030) < 1e-4);
        QCOMPARE(f->window().entry().txtCall->text(), QStringLiteral("W9XYZ"));
        QTRY_COMPARE(QApplication::focusWidget(), f->window().entry().txtRSTR);
        // The menu key does the same.
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        keyOnFocus(Qt::Key_Home);
        keyOnFocus(Qt::Key_Menu);
        QCOMPARE(m_rig.tuned.size(), 2);
        QVERIFY(qAbs(m_rig.tuned[1] - 14.010) < 1e-4);
    }

    // Every spot withdrawn: the strip itself keeps the focus and finds a spot that comes.
    void stripWithoutSpots() {
        start(QStringLiteral("20"));
        spot(QStringLiteral("OH2BH"), QStringLiteral("14025.1"));
        QTRY_VERIFY(strip().spotLabel(49)->isVisible());
        QApplication::setActiveWindow(&f->window());
        QVERIFY(QTest::qWaitForWindowActive(&f->window()));
        strip().setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), strip().spotLabel(49));
        QTest::keyClick(strip().spotLabel(49), Qt::Key_Delete);
        QCOMPARE(QApplication::focusWidget(), &strip());
        spot(QStringLiteral("K1ABC"), QStringLiteral("14010.0"));
        QTRY_VERIFY(strip().spotLabel(49)->isVisible());
        QTest::keyClick(&strip(), Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), strip().spotLabel(49));
    }

    // The spectrum map by keyboard: the newest spot first, Left and Right along a band,
    // Up and Down to the next band with spots, Enter tunes and closes the map.
    void spectrumByKeyboard() {
        start(QStringLiteral("20"));
        spot(QStringLiteral("K1ABC"), QStringLiteral("3510.0"));
        spot(QStringLiteral("OH2BH"), QStringLiteral("14025.0"));
        spot(QStringLiteral("W9XYZ"), QStringLiteral("14010.0"));
        spot(QStringLiteral("G3XYZ"), QStringLiteral("28020.0"));
        desk().openSpectrumMap();
        AllBandsMapWindow* map = desk().spectrumMap();
        QTRY_VERIFY(map != nullptr && map->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(map));
        QTRY_COMPARE(QApplication::focusWidget(), map->spotLabel(49)); // G3XYZ, 10 m
        const auto keyOnFocus = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
        keyOnFocus(Qt::Key_Up);
        QVERIFY(QApplication::focusWidget() == map->spotLabel(47) || QApplication::focusWidget() == map->spotLabel(48));
        keyOnFocus(Qt::Key_Home);
        QCOMPARE(QApplication::focusWidget(), map->spotLabel(48)); // W9XYZ, 14.010
        keyOnFocus(Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), map->spotLabel(47)); // OH2BH, 14.025
        keyOnFocus(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), map->spotLabel(46)); // K1ABC, 80 m
        QCOMPARE(map->spotLabel(46)->accessibleName(), QStringLiteral("K1ABC, 3.510 MHz, less than a minute old"));
        keyOnFocus(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), map->spotLabel(46)); // nothing above
        keyOnFocus(Qt::Key_Delete);
        QCOMPARE(desk().store().slot(46).FreqMHz, 0.0f);
        QVERIFY(map->spotLabel(48)->hasFocus() || map->spotLabel(47)->hasFocus() || map->spotLabel(49)->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        keyOnFocus(Qt::Key_Return);
        QTRY_VERIFY(desk().spectrumMap() == nullptr);
        QCOMPARE(m_rig.tuned.size(), 1);
        QCOMPARE(f->window().entry().txtCall->text().isEmpty(), false);
    }

    // Without new spots the band map renews its age colours every 360 ticks of the spot
    // reader; a spot resets the count.
    void ageColoursRenewedWithoutSpots() {
        start(QStringLiteral("20"));
        spot(QStringLiteral("OH2BH"), QStringLiteral("14025.1"));
        QTRY_VERIFY(strip().spotLabel(49)->isVisible());
        SpotSourceLink& link = desk().link();
        QCOMPARE(link.labelUpdateTimeCounter(), 0);
        QCOMPARE(textColour(strip().spotLabel(49)), QColor(0xFF, 0xFF, 0x80));
        f->clock.advanceSeconds(700);
        for (int i = 0; i < 300; ++i) {
            link.tick();
        }
        // A spot of another band, as the cluster sends it, resets the count (and redraws).
        desk().intake().ExamineTelnetBlock(QStringLiteral("DX de W3LPL:    %1  %2 %3 1234Z\r\n")
                                               .arg(QStringLiteral("7010.0").rightJustified(8),
                                                    QStringLiteral("JA1XYZ").leftJustified(12),
                                                    QStringLiteral("CQ").leftJustified(30))
                                               .toLatin1());
        QCOMPARE(link.labelUpdateTimeCounter(), 0);
        QTRY_COMPARE(textColour(strip().spotLabel(48)), QColor(0xFF, 0xFF, 0xFF));
        f->clock.advanceSeconds(1200); // grey now, when drawn
        for (int i = 0; i < 360; ++i) {
            link.tick();
        }
        QCoreApplication::processEvents();
        QCOMPARE(textColour(strip().spotLabel(48)), QColor(0xFF, 0xFF, 0xFF));
        link.tick();
        QTRY_COMPARE(textColour(strip().spotLabel(48)), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(link.labelUpdateTimeCounter(), 0);
    }

};

QTEST_MAIN(TestBandMap)
#include "tst_bandmap.moc"

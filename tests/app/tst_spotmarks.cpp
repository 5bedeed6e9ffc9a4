// Marks of spots through the main window (DX Spotting > "&Mark Dupes and Multipliers"): a
// call worked on the spot's band is greyed, a new state, province or DX entity stands on
// a colour of its own, on the band map, the spectrum map and the spot list, said by the
// keyboard path and the list; the marks follow the log and the call history, and none
// are drawn with the option off.
#include "MainWindowFixture.h"
#include "app/AssistDesk.h"
#include "app/EntryPanel.h"
#include "spots/windows/BandMapStrip.h"
#include "spots/windows/AllBandsMapWindow.h"
#include "spots/windows/SpotDesk.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
QColor textColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }
} // namespace

class TestSpotMarks : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    SpotDesk& desk() { return f->window().spots(); }
    void start() {
        f = std::make_unique<MainWindowFixture>(QByteArrayLiteral(
            "\"K1ABC\",\"579\",\"1234\",\"599\",\"MA\",\"2026/12/08\",\"14:00:00\",\"BOB\",\"20\",5,\"\"\r\n"));
        QFile history(f->workingFile(QStringLiteral("callhistory.txt")));
        QVERIFY(history.open(QIODevice::WriteOnly));
        history.write("!!Order!!,Call,Name,State\nW2ABC,Al,CT\n");
        history.close();
        f->settings().setValue(QLatin1String(AssistDesk::kSpotMarksKey), QStringLiteral("1"));
        f->startUp();
        QVERIFY(f->window().action(QStringLiteral("mnuSpotMarks"))->isChecked());
        f->window().show();
        f->window().selectBand(QStringLiteral("20"));
        desk().settings().Source = QStringLiteral("Telnet");
        desk().settings().ShowAsList = false;
        desk().PacketResize();
        QCOMPARE(desk().display(), SpotDesk::Display::BandMap);
    }
    void spot(const QString& call, const QString& kHz) {
        desk().BandMapSpots(call, kHz, QStringLiteral("de W3LPL: ") + kHz + QLatin1Char(' ') + call);
    }
    int slotOf(const QString& call) {
        for (int i = SpotStore::kSlots - 1; i >= 0; --i) {
            if (desk().store().slot(i).Call == call && desk().store().slot(i).FreqMHz > 0) {
                return i;
            }
        }
        return -1;
    }
    SpotLabel* onBandMap(const QString& call) { return desk().lblDX()->spotLabel(slotOf(call)); }
    int listRow(const QString& call) {
        for (int r = 0; r < desk().listModel().rowCount(); ++r) {
            if (desk().listModel().cellText(r, 0) == call) {
                return r;
            }
        }
        return -1;
    }
    QVariant listData(const QString& call, int role) {
        return desk().listModel().index(listRow(call), 0).data(role);
    }

private Q_SLOTS:
    void cleanup() { f.reset(); }

    void marksOnTheMapsAndTheList() {
        start();
        spot(QStringLiteral("K1ABC"), QStringLiteral("14025.0"));
        spot(QStringLiteral("F5XX"), QStringLiteral("14030.0"));
        spot(QStringLiteral("W2ABC"), QStringLiteral("14040.0"));
        spot(QStringLiteral("W3ABC"), QStringLiteral("7030.0")); // another band
        QTRY_VERIFY(onBandMap(QStringLiteral("W2ABC"))->isVisible());

        // The dupe greyed; the new entity on its own background, its age colour kept.
        QCOMPARE(onBandMap(QStringLiteral("K1ABC"))->mark(), SpotMark::Dupe);
        QCOMPARE(textColour(onBandMap(QStringLiteral("K1ABC"))), QColor::fromRgb(QRgb(kDupeSpotColour)));
        SpotLabel* france = onBandMap(QStringLiteral("F5XX"));
        QCOMPARE(france->mark(), SpotMark::NewMultiplier);
        QVERIFY(france->autoFillBackground());
        QCOMPARE(france->palette().color(QPalette::Window), QColor::fromRgb(QRgb(kMultiplierSpotBackground)));
        QCOMPARE(textColour(france), QColor(255, 255, 128));
        QCOMPARE(onBandMap(QStringLiteral("W2ABC"))->mark(), SpotMark::None); // its state is unknown
        // The keyboard path says what the marks are, after the call, frequency and age.
        QVERIFY(onBandMap(QStringLiteral("K1ABC"))->accessibleName().endsWith(QLatin1String("old, dupe")));
        QVERIFY(france->accessibleName().startsWith(QLatin1String("F5XX, 14.030 MHz, ")));
        QVERIFY(france->accessibleName().endsWith(QLatin1String(", new multiplier")));
        QVERIFY(!onBandMap(QStringLiteral("W2ABC"))->accessibleName().contains(QLatin1String("multiplier")));

        // The list says what the marks are.
        QCOMPARE(listData(QStringLiteral("K1ABC"), Qt::AccessibleTextRole).toString(), QStringLiteral("K1ABC, dupe"));
        QCOMPARE(listData(QStringLiteral("F5XX"), Qt::AccessibleTextRole).toString(),
                 QStringLiteral("F5XX, new multiplier"));
        QCOMPARE(listData(QStringLiteral("K1ABC"), Qt::DisplayRole).toString(), QStringLiteral("K1ABC"));
        QCOMPARE(listData(QStringLiteral("K1ABC"), Qt::ForegroundRole).value<QColor>(),
                 QColor::fromRgb(QRgb(kDupeSpotColour)));
        QVERIFY(!listData(QStringLiteral("W2ABC"), Qt::ForegroundRole).isValid());

        // The call history knows W2ABC's state: a new multiplier.
        f->window().action(QStringLiteral("mnuCallHistory"))->trigger();
        QCOMPARE(onBandMap(QStringLiteral("W2ABC"))->mark(), SpotMark::NewMultiplier);

        // Working France on 20 makes its spot a dupe at once, on every map.
        EntryPanel& e = f->window().entry();
        e.focusCall();
        typeKeys(e.txtCall, QStringLiteral("f5xx "));
        typeKeys(e.txtRSTR, QStringLiteral(" "));
        QTest::keyClick(e.txtCntry, Qt::Key_Space);
        typeKeys(e.txtName, QStringLiteral("jean 100w\n"));
        QCOMPARE(f->window().contactLog().count(), 2);
        QCOMPARE(onBandMap(QStringLiteral("F5XX"))->mark(), SpotMark::Dupe);
        QVERIFY(!onBandMap(QStringLiteral("F5XX"))->autoFillBackground());
        QCOMPARE(listData(QStringLiteral("F5XX"), Qt::AccessibleTextRole).toString(), QStringLiteral("F5XX, dupe"));

        // Marks off: the maps draw spots by their age alone, as without them.
        f->window().action(QStringLiteral("mnuSpotMarks"))->trigger();
        QCOMPARE(onBandMap(QStringLiteral("F5XX"))->mark(), SpotMark::None);
        QCOMPARE(textColour(onBandMap(QStringLiteral("F5XX"))), QColor(255, 255, 128));
        QVERIFY(!onBandMap(QStringLiteral("F5XX"))->accessibleName().contains(QLatin1String("dupe")));
        QVERIFY(!listData(QStringLiteral("F5XX"), Qt::ForegroundRole).isValid());
        QCOMPARE(f->settings().value(QLatin1String(AssistDesk::kSpotMarksKey)), QStringLiteral("0"));
        f->window().action(QStringLiteral("mnuSpotMarks"))->trigger();

        desk().openSpectrumMap();
        AllBandsMapWindow* map = desk().spectrumMap();
        QVERIFY(map != nullptr);
        map->BandMapLabelDisplay();
        QCOMPARE(map->spotLabel(slotOf(QStringLiteral("F5XX")))->mark(), SpotMark::Dupe);
        QVERIFY(map->spotLabel(slotOf(QStringLiteral("F5XX")))->accessibleName().endsWith(QLatin1String(", dupe")));
        QCOMPARE(map->spotLabel(slotOf(QStringLiteral("W2ABC")))->mark(), SpotMark::NewMultiplier);
        // W3ABC is on 40, where nothing is worked, and its state is unknown.
        QCOMPARE(map->spotLabel(slotOf(QStringLiteral("W3ABC")))->mark(), SpotMark::None);
        map->close();
    }
};

QTEST_MAIN(TestSpotMarks)
#include "tst_spotmarks.moc"

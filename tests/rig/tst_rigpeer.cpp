// The rig link against an independent peer: Hamlib's rigctlcom, a Kenwood TS-2000
// emulator on a pseudo-terminal, backed by rigctld and its dummy radio. Polled as
// "Kenwood" and as "Kenwood 2"; rigctl turns the radio and the band must follow.
#include "HamlibPeer.h"
#include "Peers.h"
#include "MainWindowFixture.h"
#include "app/EntryPanel.h"
#include "app/MainWindowRig.h"
#include "rig/windows/RigControlWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kPort = 4;
}

class TestRigPeer : public QObject {
    Q_OBJECT

    std::unique_ptr<HamlibPeer> peer;
    std::unique_ptr<MainWindowFixture> f;

    void startRig(const QString& rigType) {
        RigControlWindow& w = f->window().rig().window();
        for (int i = 0; i < w.List1->count(); ++i) {
            if (w.List1->item(i)->text() == rigType) {
                w.List1->setCurrentRow(i);
            }
        }
        w.findChild<QRadioButton*>(QStringLiteral("optComm4"))->click();
        w.findChild<QRadioButton*>(QStringLiteral("optPollM"))->click();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(w.polling());
    }

private Q_SLOTS:
    void init() {
        if (const QString missing = HamlibPeer::missingPrograms(true); !missing.isEmpty()) {
            SKIP_OR_FAIL_WITHOUT_PEER(missing);
        }
        peer = std::make_unique<HamlibPeer>();
        QVERIFY2(peer->startDaemon(), qPrintable(peer->why()));
        QVERIFY2(peer->startKenwoodEmulator(), qPrintable(peer->why()));
        f = std::make_unique<MainWindowFixture>();
        f->window().rig().portMap().setMappedPath(kPort, peer->deviceForProgram());
        f->startUp();
    }

    void cleanup() {
        f.reset();
        peer.reset();
    }

    void kenwoodFollowsTheRadio() {
        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("7025000")}));
        startRig(QStringLiteral("Kenwood"));
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("40"), 15000);
        QCOMPARE(f->window().rig().link().status().frequency, 7.025);
        QCOMPARE(f->window().rig().link().status().mode, QStringLiteral("PH")); // USB
        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("14025000")}));
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("20"), 15000);
        QVERIFY(peer->rigctl({QStringLiteral("M"), QStringLiteral("CW"), QStringLiteral("1")}));
        QTRY_COMPARE_WITH_TIMEOUT(f->window().rig().link().status().mode, QStringLiteral("CW"), 15000);
    }

    void kenwoodIsTunedAndTheDaemonReadsItBack() {
        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("14200000")}));
        startRig(QStringLiteral("Kenwood"));
        QTRY_COMPARE_WITH_TIMEOUT(f->window().rig().link().status().frequency, 14.2, 15000);
        // Each change goes with a mode command (MD3; in the CW segment, MD1; at 7.2 MHz);
        // rigctlcom 4.5.4 answers those as queries, so only the frequency is read back.
        f->window().rigTuning().ChangeFrequency(7.0305);
        QTRY_COMPARE_WITH_TIMEOUT(peer->rigctl({QStringLiteral("f")}).value_or(QString()), QStringLiteral("7030500"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("40"), 15000);
        f->window().rigTuning().ChangeFrequency(144.20001); // on the hertz
        QTRY_COMPARE_WITH_TIMEOUT(peer->rigctl({QStringLiteral("f")}).value_or(QString()), QStringLiteral("144200010"), 15000);
        f->window().rigTuning().ChangeFrequency(14.0255);
        QTRY_COMPARE_WITH_TIMEOUT(peer->rigctl({QStringLiteral("f")}).value_or(QString()), QStringLiteral("14025500"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("20"), 15000);
        QVERIFY(f->window().rig().link().isPolling());
        for (const PromptCall& c : f->prompts.callsOf(QStringLiteral("message"))) {
            QVERIFY2(!c.title.startsWith(QLatin1String("Error Changing")), qPrintable(c.title + c.text));
        }
    }

    void kenwood2FollowsTheRadio() {
        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("21025000")}));
        startRig(QStringLiteral("Kenwood 2"));
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("15"), 15000);
        QCOMPARE(f->window().rig().link().status().vfo, quint8(0));
        QVERIFY(peer->rigctl({QStringLiteral("F"), QStringLiteral("3550000")}));
        QTRY_COMPARE_WITH_TIMEOUT(f->window().lblBand()->text(), QStringLiteral("80"), 15000);
        QCOMPARE(f->window().rig().link().status().frequency, 3.55);
    }
};

QTEST_MAIN(TestRigPeer)
#include "tst_rigpeer.moc"

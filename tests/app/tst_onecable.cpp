// One cable to the radio, as an operator uses it: "CW.txt" chooses "Radio (CAT)" (value 8),
// the rig window polls a scripted Kenwood on a pseudo-terminal, and F1 on the main window
// and keyboard CW reach the radio's keyer as its text commands while the band follows.
#include "KeyerRig.h"
#include "MainWindowFixture.h"
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"
#include "app/EntryPanel.h"
#include "app/MainWindowRig.h"
#include "rig/windows/RigControlWindow.h"

#include <QFile>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
constexpr int kPort = 5;
constexpr int kLong = 20000;

QByteArray cwFile(const QString& f1, int keyingLine) {
    QStringList lines;
    lines << QStringLiteral("\"%1\"").arg(f1);
    for (int i = 1; i < 9; ++i) {
        lines << QStringLiteral("\"\"");
    }
    lines << QStringLiteral("\"0\"") << QStringLiteral("\"30\"") << QStringLiteral("\"\"")
          << QStringLiteral("\"\"") << QStringLiteral("\"0\"") << QString::number(keyingLine)
          << QStringLiteral("\"&H378\"") << QStringLiteral("0") << QStringLiteral("\"0\"");
    return lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
}
} // namespace

class TestOneCable : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> fixture;
    std::unique_ptr<KeyerRig> keyerRig;

private Q_SLOTS:
    void cleanup() {
        fixture.reset(); // the main window lets go of the keyer first
        keyerRig.reset();
    }

    void functionKeyAndKeyboardCwReachTheRadio() {
        fixture = std::make_unique<MainWindowFixture>();
        MainWindowFixture& f = *fixture;
        keyerRig = std::make_unique<KeyerRig>(f.prompts);
        KeyerRig& rig = *keyerRig;
        PseudoTerminal device;
        ScriptedRadio radio(device, ScriptedRadio::Protocol::Kenwood);
        radio.setFrequency(14.025);
        radio.setMode(3);
        f.window().rig().portMap().setMappedPath(kPort, device.devicePath());
        QFile file(f.workingFile(QStringLiteral("CW.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cwFile(QStringLiteral("CQ $ TEST"), 8));
        file.close();
        f.window().attachKeyer(rig.keyer, rig.map);
        f.startUp();
        QCOMPARE(rig.keyer.keyingLine(), KeyingLineChoice::RadioCat);

        RigControlWindow& w = f.window().rig().window();
        w.show();
        for (int i = 0; i < w.List1->count(); ++i) {
            if (w.List1->item(i)->text() == QLatin1String("Kenwood")) {
                w.List1->setCurrentRow(i);
            }
        }
        w.findChild<QRadioButton*>(QStringLiteral("optComm5"))->click();
        w.findChild<QRadioButton*>(QStringLiteral("optPollF"))->click();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(f.window().lblBand()->text(), QStringLiteral("20"), kLong);
        w.hide();
        QApplication::setActiveWindow(&f.window());
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        EntryPanel& e = f.window().entry();
        e.focusCall();
        f.prompts.clear();

        QTest::keyClicks(e.txtCall, QStringLiteral("k1abc"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QTRY_COMPARE_WITH_TIMEOUT(radio.keyedText(), QByteArray("CQ K1ABC TEST"), kLong);
        QCOMPARE(radio.keyerSpeed(), 30);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.keyer.isSending(), kLong);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);
        QVERIFY(f.window().keyboardCwMode());
        QTest::keyClicks(e.txtCall, QStringLiteral("tu"));
        QTRY_COMPARE_WITH_TIMEOUT(radio.keyedText(), QByteArray("CQ K1ABC TESTTU"), kLong);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);

        // The band still follows the radio.
        radio.setFrequency(7.025);
        QTRY_COMPARE_WITH_TIMEOUT(f.window().lblBand()->text(), QStringLiteral("40"), kLong);
        QVERIFY(f.prompts.callsOf(QStringLiteral("message")).isEmpty());
        f.window().rig().link().stopPolling();
    }
};

QTEST_MAIN(TestOneCable)
#include "tst_onecable.moc"

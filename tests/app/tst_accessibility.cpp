// Every window as a screen reader sees it: each control a name, each value label a
// description, and a tab order that reads the window row by row (or column by column).
#include "KeyerRig.h"
#include "KeyingDoubles.h"
#include "MainWindowFixture.h"
#include "VoiceDoubles.h"

#include "app/EntryPanel.h"
#include "app/HelpWindow.h"
#include "app/ListsPanel.h"
#include "app/MainWindowKeyer.h"
#include "keyer/WinKeyerLink.h"
#include "log/windows/EditContactDialog.h"
#include "log/windows/StationWindow.h"
#include "platform/PortOwnership.h"
#include "platform/WinKeyer.h"
#include "spots/windows/BandMapStrip.h"
#include "spots/windows/SpotDesk.h"
#include "voice/windows/VoiceKeyer.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QSet>
#include <QTest>
#include <QTreeView>

#include <algorithm>

using namespace ditlog;
using namespace ditlog::testing;

namespace {

bool namedRole(QAccessible::Role role) {
    switch (role) {
    case QAccessible::EditableText:
    case QAccessible::PushButton:
    case QAccessible::RadioButton:
    case QAccessible::CheckBox:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::Slider:
    case QAccessible::ButtonMenu:
        return true;
    default:
        return false;
    }
}

QString describe(QObject* o) {
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(QString::fromLatin1(o->metaObject()->className()), o->objectName(),
             o->parent() != nullptr ? o->parent()->objectName() : QString());
}

// Walks the accessible tree below iface; the items inside lists and tables are the
// list's own content and are not walked.
void collectProblems(QAccessibleInterface* iface, QStringList& problems) {
    if (iface == nullptr || !iface->isValid()) {
        return;
    }
    const QAccessible::Role role = iface->role();
    QObject* object = iface->object();
    auto* widget = qobject_cast<QWidget*>(object);
    const QString name = iface->text(QAccessible::Name).trimmed();
    const QString description = iface->text(QAccessible::Description).trimmed();
    const bool focusable = iface->state().focusable;
    if (widget != nullptr && (namedRole(role) || focusable) && name.isEmpty()) {
        problems << QStringLiteral("no name: ") + describe(widget);
    }
    if (auto* label = qobject_cast<QLabel*>(object)) {
        // A label whose text is a value (empty now) says what the value is.
        if (label->buddy() == nullptr && label->text().trimmed().isEmpty() &&
            label->pixmap().isNull() && description.isEmpty()) {
            problems << QStringLiteral("value label with no description: ") + describe(label);
        }
    }
    if (role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree ||
        role == QAccessible::ComboBox) {
        return; // their parts (items, a combo's own text box and list) are theirs
    }
    for (int i = 0; i < iface->childCount(); ++i) {
        collectProblems(iface->child(i), problems);
    }
}

// The window's controls reachable with Tab, in the order Tab visits them.
QList<QWidget*> tabChain(QWidget* window) {
    QList<QWidget*> chain;
    QWidget* w = window;
    for (int guard = 0; guard < 1000; ++guard) {
        w = w->nextInFocusChain();
        if (w == window) {
            break;
        }
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() &&
            w->window() == window && w->focusProxy() == nullptr) {
            if (chain.contains(w)) {
                break;
            }
            chain << w;
        }
    }
    return chain;
}

QRect placeOf(QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// Where a control stands when the window is read: a control inside a frame stands where
// its frame stands, the frame being read whole before what follows it.
struct Place {
    QRect block;
    QRect own;
};

Place readingPlace(QWidget* w) {
    QRect block = placeOf(w);
    for (QGroupBox* frame : w->window()->findChildren<QGroupBox*>()) {
        const QRect r = placeOf(frame);
        if (frame->isVisibleTo(w->window()) && r.contains(placeOf(w).center()) &&
            (block == placeOf(w) || r.width() * r.height() < block.width() * block.height())) {
            block = r;
        }
    }
    return {block, placeOf(w)};
}

// Sorted in reading order: rows top to bottom (a row holds what shares its middle
// height), left to right within a row; or column by column with the last row last.
QList<QWidget*> readingOrder(QList<QWidget*> controls, bool byColumns) {
    QHash<QWidget*, Place> at;
    for (QWidget* c : controls) {
        at.insert(c, readingPlace(c));
    }
    std::sort(controls.begin(), controls.end(), [&](QWidget* a, QWidget* b) {
        return at[a].block.center().y() < at[b].block.center().y();
    });
    QHash<QWidget*, int> row;
    int current = 0;
    int rowMiddle = controls.isEmpty() ? 0 : at[controls.first()].block.center().y();
    for (QWidget* c : controls) {
        const QRect r = at[c].block;
        if (r.center().y() - rowMiddle > r.height() / 2) {
            ++current;
            rowMiddle = r.center().y();
        }
        row.insert(c, current);
    }
    const int lastRow = current;
    const auto within = [&](QWidget* a, QWidget* b) {
        return std::pair(at[a].own.top(), at[a].own.left()) < std::pair(at[b].own.top(), at[b].own.left());
    };
    if (!byColumns) {
        std::stable_sort(controls.begin(), controls.end(), [&](QWidget* a, QWidget* b) {
            const auto ka = std::pair(row.value(a), at[a].block.left());
            const auto kb = std::pair(row.value(b), at[b].block.left());
            return ka != kb ? ka < kb : within(a, b);
        });
        return controls;
    }
    std::stable_sort(controls.begin(), controls.end(), [&](QWidget* a, QWidget* b) {
        const bool aLast = row.value(a) == lastRow;
        const bool bLast = row.value(b) == lastRow;
        if (aLast != bLast) {
            return bLast;
        }
        if (aLast) {
            return at[a].block.left() < at[b].block.left();
        }
        const auto ka = std::pair(at[a].block.left() / 40, row.value(a));
        const auto kb = std::pair(at[b].block.left() / 40, row.value(b));
        return ka != kb ? ka < kb : within(a, b);
    });
    return controls;
}

QString names(const QList<QWidget*>& controls) {
    QStringList out;
    for (QWidget* w : controls) {
        out << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                          : w->objectName());
    }
    return out.join(QStringLiteral(", "));
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

    RecordingWavePlayer phonePlayer;
    RecordingWavePlayer promptPlayer;
    RecordingSpeech speech;
    RecordingSerialPort port;
    RecordingParallelPort parallel;
    PortOwnership ownership;
    FixedAudioOutputs outputs;
    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<KeyerRig> rig;
    std::unique_ptr<QtSerialPort> winKeyerPort;
    std::unique_ptr<HostWinKeyer> winKeyer;
    std::unique_ptr<WinKeyerLink> winKeyerLink;

    // Every window the program has, each opened as the operator opens it.
    QList<QWidget*> openEveryWindow() {
        MainWindow& w = f->window();
        QList<QWidget*> windows{&w};
        windows << w.stationWindow();
        for (const char* item : {"mnuColors", "mnuVoiceSetup", "mnuVoiceNavigation",
                                 "mnuWriteSumm", "mnuDxConfigure", "mnuSpectrumMap", "mnuCwSetup",
                                 "mnuSerialPorts"}) {
            w.action(QString::fromLatin1(item))->trigger();
        }
        w.keyerWiring()->showStrings();
        w.keyerWiring()->showCodePractice();
        w.keyerWiring()->showWinKey();
        const QTreeView* view = w.lists().ListView1();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 1)).center());
        w.cmdEdit_Click();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top != &w && top->isVisible() && !windows.contains(top)) {
                windows << top;
            }
        }
        windows << new HelpWindow(f->screen, &w) << new LogoWindow(f->screen, &w);
        return windows;
    }

private Q_SLOTS:
    void init() {
        f = std::make_unique<MainWindowFixture>(QByteArray(
            "\"K1ABC\",\"579\",\"1234\",\"599\",\"CT\",\"2026/12/08\",\"14:00:00\",\"BOB\",\"20\",5,\"\"\r\n"));
        rig = std::make_unique<KeyerRig>(f->prompts);
        f->window().attachVoice({phonePlayer, promptPlayer, speech, port, parallel, ownership, outputs});
        f->window().attachKeyer(rig->keyer, rig->map);
        winKeyerPort = std::make_unique<QtSerialPort>(rig->map);
        winKeyer = std::make_unique<HostWinKeyer>(*winKeyerPort);
        winKeyerLink = std::make_unique<WinKeyerLink>(*winKeyer, rig->keyer, rig->owners, f->prompts,
                                                      rig->dir.path());
        f->window().keyerWiring()->attachWinKeyer(*winKeyerLink);
        f->startUp();
        f->window().preferences().OwnCall = QStringLiteral("W1AW");
    }
    void cleanup() {
        f.reset();
        winKeyerLink.reset();
        winKeyer.reset();
        winKeyerPort.reset();
        rig.reset();
    }

    void everyControlHasAName() {
        const QList<QWidget*> windows = openEveryWindow();
        QVERIFY(windows.size() >= 14);
        QStringList problems;
        for (QWidget* window : windows) {
            collectProblems(QAccessible::queryAccessibleInterface(window), problems);
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void tabOrderReadsTheWindow() {
        QStringList problems;
        for (QWidget* window : openEveryWindow()) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            const QList<QWidget*> chain = tabChain(window);
            if (chain.size() < 2) {
                continue;
            }
            // The chain is a ring: it starts at the top left control.
            const QList<QWidget*> rows = readingOrder(chain, false);
            const QList<QWidget*> columns = readingOrder(chain, true);
            QList<QWidget*> ring = chain;
            std::rotate(ring.begin(), ring.begin() + ring.indexOf(rows.first()), ring.end());
            QList<QWidget*> ringByColumns = chain;
            std::rotate(ringByColumns.begin(),
                        ringByColumns.begin() + ringByColumns.indexOf(columns.first()),
                        ringByColumns.end());
            if (ring != rows && ringByColumns != columns) {
                problems << window->objectName() + QStringLiteral(": Tab goes ") + names(ring) +
                                QStringLiteral("\n  rows read ") + names(rows) +
                                QStringLiteral("\n  columns read ") + names(columns);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    // The band map as a screen reader meets it: one stop of Tab where the window reads it,
    // and from there every spot label reached with the arrow keys and named by its call,
    // frequency and age.
    void bandMapSpotsReachedAndNamed() {
        MainWindow& w = f->window();
        SpotDesk& desk = w.spots();
        w.selectBand(QStringLiteral("20"));
        desk.settings().Source = QStringLiteral("Telnet");
        desk.settings().ShowAsList = false;
        desk.PacketResize();
        const QStringList calls{"OH2BH", "K1ABC", "W9XYZ", "G3XYZ", "DL1AA", "JA1XX", "VE3AB", "K5ZD"};
        const QStringList kHz{"14025.1", "14010.0", "14030.0", "14020.0", "14020.0", "7010.0", "14001.5", "14049.9"};
        for (qsizetype i = 0; i < calls.size(); ++i) {
            desk.BandMapSpots(calls[i], kHz[i], QStringLiteral("de W3LPL: ") + kHz[i] + QLatin1Char(' ') + calls[i]);
        }
        BandMapStrip* strip = desk.lblDX();
        QTRY_VERIFY(strip->spotLabel(49)->isVisible());
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));

        const QList<QWidget*> chain = tabChain(&w);
        QVERIFY(chain.contains(strip));
        QList<QWidget*> ring = chain;
        const QList<QWidget*> rows = readingOrder(chain, false);
        std::rotate(ring.begin(), ring.begin() + ring.indexOf(rows.first()), ring.end());
        QCOMPARE(names(ring), names(rows));

        QSet<QWidget*> shown;
        for (int i = 0; i < 50; ++i) {
            if (strip->spotLabel(i)->isVisible()) {
                shown.insert(strip->spotLabel(i));
            }
        }
        QCOMPARE(shown.size(), 7); // the 40 m spot is not on the 20 m map
        QWidget* before = chain.at((chain.indexOf(strip) + chain.size() - 1) % chain.size());
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QSet<QWidget*> reached;
        QWidget* at = nullptr;
        while (QApplication::focusWidget() != at) {
            at = QApplication::focusWidget();
            reached.insert(at);
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(at);
            QVERIFY(iface->state().focused);
            const QString name = iface->text(QAccessible::Name);
            QVERIFY2(name.startsWith(static_cast<QLabel*>(at)->toolTip().section(QLatin1Char(' '), 0, 0) +
                                     QStringLiteral(", ")) &&
                         name.contains(QLatin1String(" MHz, ")) && name.endsWith(QLatin1String(" old")),
                     qPrintable(name));
            QTest::keyClick(at, Qt::Key_Right);
        }
        QCOMPARE(reached, shown);
        QStringList problems;
        collectProblems(QAccessible::queryAccessibleInterface(&w), problems);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void statusChangesAreAnnounced() {
        // The status line is named by its text, so each change is a name change.
        QLabel* status = f->window().lblDialog();
        QVERIFY(status->accessibleName().isEmpty());
        status->setText(QStringLiteral("Need Name!"));
        QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name),
                 QStringLiteral("Need Name!"));
        QVERIFY(!QAccessible::queryAccessibleInterface(status)->text(QAccessible::Description).isEmpty());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"

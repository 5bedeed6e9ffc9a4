// Window scaling: the ratios, the centred and lifted window rectangle, the fonts of
// labels and buttons on a canvas, the help and logo windows, and every text of the main
// window fitting its box at the screen sizes operators use.
#include "MainWindowFixture.h"

#include "app/ClockPanel.h"
#include "app/EntryPanel.h"
#include "app/HelpWindow.h"
#include "app/ListsPanel.h"
#include "app/ScorePanel.h"
#include "log/RecentContactsModel.h"
#include "log/windows/StationWindow.h"
#include "ui/PlainTextDelegate.h"
#include "ui/WindowScaling.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTest>
#include <QTreeView>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
QSize twips(int w, int h) { return QSize(w, h) * kTwipsPerPixel; }

// Every label and button of a window whose text is wider than the room its box leaves.
QStringList clippedTexts(const QWidget* window) {
    QStringList clipped;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || label->wordWrap()) {
            continue;
        }
        const int room = label->contentsRect().width() - 2 * label->margin();
        const int width = label->fontMetrics().horizontalAdvance(label->text());
        if (width > room) {
            clipped << QStringLiteral("%1 \"%2\" %3>%4").arg(label->objectName(), label->text()).arg(width).arg(room);
        }
    }
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) {
            continue;
        }
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        const QStyle* style = button->style();
        const int room = button->width() - 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                                                style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        const int width = button->fontMetrics().horizontalAdvance(text);
        if (width > room) {
            clipped << QStringLiteral("%1 \"%2\" %3>%4").arg(button->objectName(), text).arg(width).arg(room);
        }
    }
    return clipped;
}
} // namespace

class TestWindowScaling : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ratiosFollowTheScreen() {
        const ScaleRatios design = ratiosForScreen(twips(640, 480));
        QCOMPARE(design.width, 1.0);
        QCOMPARE(design.height, 1.0);
        const ScaleRatios large = ratiosForScreen(twips(1280, 960));
        QCOMPARE(large.width, 2.0);
        QCOMPARE(large.font, 2.0);
        // Twice as wide as 4:3: fonts follow the height.
        const ScaleRatios wide = ratiosForScreen(twips(1920, 480));
        QCOMPARE(wide.width, 3.0);
        QCOMPARE(wide.font, 1.0);
    }

    void windowsCentredAndLifted() {
        // At the design size a window keeps its size, centred 170 twips above the middle.
        QCOMPARE(windowRectOnScreen(QSize(5000, 3360), twips(640, 480)),
                 QRect(2300, 1750, 5000, 3360));
        QCOMPARE(windowRectOnScreen(QSize(5000, 3360), twips(1280, 960)),
                 QRect(4600, 3670, 10000, 6720));
        // Never above the top of the work area.
        QCOMPARE(windowRectOnScreen(QSize(9600, 7200), twips(640, 480), 300).top(), 300);

        StationPreferences prefs;
        QTemporaryDir dir;
        QtSettingsStore settings(dir.filePath(QStringLiteral("s.ini")));
        SharedPreferences shared;
        FixedScreen screen(QSize(1280, 960));
        ScriptedPrompts prompts;
        StationWindow station(prefs, settings, shared, nullptr, screen, prompts);
        const QRect expected = windowRectOnScreen(QSize(5000, 3360), screen.sizeTwips());
        QCOMPARE(station.size(), expected.size() / kTwipsPerPixel);
        QCOMPARE(station.pos(), centredTopLeft(station.size() * kTwipsPerPixel, screen.sizeTwips()) / kTwipsPerPixel);
    }

    void canvasFontsAndGeometry() {
        DesignCanvas canvas(QSize(9600, 7200));
        auto* label = new QLabel(QStringLiteral("Cont"));
        auto* button = new QPushButton(QStringLiteral("&Clear"));
        canvas.place(label, 1500, 300, 1500, 300);
        canvas.place(button, 3000, 600, 1500, 450);
        canvas.show();
        // Three times as wide, as high as designed: the label font follows the smaller ratio,
        // the button the height ratio, positions each their own.
        canvas.resize(1920, 480);
        QCOMPARE(label->geometry(), QRect(300, 20, 300, 20));
        QCOMPARE(button->geometry(), QRect(600, 40, 300, 30));
        QCOMPARE(label->font().pointSizeF(), 8.25);
        QCOMPARE(button->font().pointSizeF(), 8.25);
        canvas.resize(1280, 960);
        QCOMPARE(label->font().pointSizeF(), 16.5);
        QCOMPARE(button->font().pointSizeF(), 16.5);
        // A text too wide for its box gets a smaller font, and back when it fits again.
        label->setText(QStringLiteral("A caption much too long for a box this narrow"));
        QCoreApplication::sendPostedEvents(&canvas, QEvent::LayoutRequest);
        QVERIFY(label->font().pointSizeF() < 16.5);
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        label->setText(QStringLiteral("Cont"));
        QCoreApplication::sendPostedEvents(&canvas, QEvent::LayoutRequest);
        QCOMPARE(label->font().pointSizeF(), 16.5);
    }

    void helpAndLogoScaledLikeTheOthers() {
        FixedScreen screen(QSize(1280, 960));
        HelpWindow help(screen);
        QCOMPARE(help.size(), QSize(960, 800));
        QCOMPARE(help.pos(), windowRectOnScreen(HelpWindow::kDesignTwips, screen.sizeTwips()).topLeft() / kTwipsPerPixel);
        QCOMPARE(help.font().pointSizeF(), 16.5);
        LogoWindow logo(screen);
        QCOMPARE(logo.size(), QSize(840, 440));

        // The logo gives way before the start-up questions.
        MainWindowFixture f;
        LogoWindow shown(f.screen);
        shown.show();
        f.window().setLogo(&shown);
        f.startUp();
        QVERIFY(shown.isHidden());
    }

    void everyTextFitsItsBox_data() {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("1024x768") << QSize(1024, 768);
        QTest::newRow("1280x960") << QSize(1280, 960);
        QTest::newRow("1280x1024") << QSize(1280, 1024);
        QTest::newRow("1920x1080") << QSize(1920, 1080);
        QTest::newRow("2560x1440") << QSize(2560, 1440);
        QTest::newRow("3840x2160") << QSize(3840, 2160);
    }
    void everyTextFitsItsBox() {
        QFETCH(QSize, screen);
        MainWindowFixture f(QByteArray("\"WB2ABC\",\"599\",\"12345\",\"599\",\"England\",\"2026/12/31\","
                                       "\"23:59:59\",\"BOB\",\"160\",5,\"\"\r\n"));
        f.screen.setPixels(screen);
        f.clock.setLocal(QDateTime(QDate(2026, 12, 31), QTime(22, 58, 58)));
        f.startUp();
        MainWindow& w = f.window();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The widest values each label shows.
        w.clocks().Timer2_Timer();
        w.clocks().lblOperatingTime->setText(QStringLiteral("88:58:58"));
        w.entry().Label19->setText(QStringLiteral("NA"));
        w.entry().Label22->setText(QStringLiteral("358 "));
        w.entry().Label23->setText(QStringLiteral("12,448 "));
        w.score().lblTotalPoints()->setText(QStringLiteral("60,000"));
        w.score().lblTotalScore()->setText(QStringLiteral("723,720,000"));
        w.score().lblRate60()->setText(QStringLiteral("888"));
        w.showStatus(QStringLiteral("Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode."));
        w.entry().lblDupe->setText(QStringLiteral("WB2ABC WB2ABD WB2ABE WB2ABF WB2ABG WB2ABH WB2ABI WB2ABJ "
                                                  "WB2ABK WB2ABL WB2ABM WB2ABN WB2ABO "));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QStringList clipped = clippedTexts(&w);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));

        // The recent list: every caption and the cells of the contact shown whole.
        QTreeView* view = w.lists().ListView1();
        const RecentContactsModel& model = w.lists().model();
        QCOMPARE(model.cellText(0, 7), QStringLiteral("12/31 23:59"));
        for (int column = 0; column < model.columnCount(); ++column) {
            const int room = view->header()->sectionSize(column);
            for (const QString& text : {model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                                        model.cellText(0, column)}) {
                const int width = view->fontMetrics().horizontalAdvance(text) + 8;
                QVERIFY2(width <= room, qPrintable(QStringLiteral("column %1 \"%2\" %3>%4")
                                                       .arg(column).arg(text).arg(width).arg(room)));
            }
        }
    }

    // The recent list's painter: selected rows in the highlight colours, others in the
    // text colour, and a value too long for its column elided as the standard painter
    // elides it.
    void listCellsPaintedLikeTheStandardOnes() {
        QStandardItemModel model(3, 1);
        const QString longText = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        model.setItem(0, 0, new QStandardItem(QStringLiteral("WWWWW")));
        model.setItem(1, 0, new QStandardItem(QStringLiteral("WWWWW")));
        model.setItem(2, 0, new QStandardItem(longText));
        QTreeView view;
        view.setItemDelegate(new PlainTextDelegate(&view));
        view.setRootIsDecorated(false);
        view.setHeaderHidden(true);
        view.setModel(&model);
        view.resize(90, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.selectionModel()->select(model.index(0, 0), QItemSelectionModel::Select);
        const QImage image = view.viewport()->grab().toImage();
        const auto count = [&image](const QRect& r, QColor c) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor at(image.pixel(x, y));
                    n += std::abs(at.red() - c.red()) + std::abs(at.green() - c.green()) +
                             std::abs(at.blue() - c.blue()) < 60;
                }
            }
            return n;
        };
        const QPalette& p = view.palette();
        const QPalette::ColorGroup g = view.isActiveWindow() ? QPalette::Active : QPalette::Inactive;
        const QRect selected = view.visualRect(model.index(0, 0));
        const QRect plain = view.visualRect(model.index(1, 0));
        QVERIFY(count(selected, p.color(g, QPalette::HighlightedText)) > 10);
        QVERIFY(count(selected, p.color(g, QPalette::Text)) == 0);
        QVERIFY(count(plain, p.color(g, QPalette::Text)) > 10);
        QCOMPARE(count(plain, p.color(g, QPalette::Highlight)), 0);

        // Elided: the same pixels as the text the standard elision gives, painted whole.
        const QRect cell = view.visualRect(model.index(2, 0));
        const QImage painted = view.viewport()->grab(cell).toImage();
        const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
        const QString elided = view.fontMetrics().elidedText(longText, Qt::ElideRight, cell.width() - 2 * margin);
        QVERIFY(elided != longText);
        model.item(2, 0)->setText(elided);
        QCOMPARE(view.viewport()->grab(cell).toImage(), painted);
    }
};

QTEST_MAIN(TestWindowScaling)
#include "tst_windowscaling.moc"

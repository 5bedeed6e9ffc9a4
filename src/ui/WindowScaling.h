// Window scaling: every window is laid out in a 9600 x 7200 twip design space and
// scaled to the screen; a DesignCanvas keeps its controls scaled to its current size.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QWidget>

class QAbstractItemView;

namespace ditlog {

class Screen;
class UserPrompts;

constexpr int kDesignWidthTwips = 9600;
constexpr int kDesignHeightTwips = 7200;
constexpr int kCentreLiftTwips = 170;

struct ScaleRatios {
    double width = 1;  // WidthRatio
    double height = 1; // HeightRatio
    double font = 1;   // FontRatio: the smaller of the two
};

ScaleRatios ratiosForScreen(QSize screenTwips);

// A design-space rectangle (twips) scaled by the ratios, still in twips.
QRect scaleDesignRect(const QRect& designTwips, const ScaleRatios& ratios);

// The window's scaled rectangle on the screen in twips: scaled size, centred, lifted
// 170 twips above the middle (never above the top of the work area).
QRect windowRectOnScreen(QSize designTwips, QSize screenTwips, int workAreaTop = 0);
QPoint centredTopLeft(QSize windowTwips, QSize screenTwips, int workAreaTop = 0);

// The surface that holds a window's controls at design-space positions. Whenever its
// size changes, every placed control is moved and sized by the ratio of the canvas size
// to its design size: left and width by the width ratio, top and height by the height
// ratio, label and frame fonts by the smaller ratio, the canvas font by the height
// ratio, and report-list column widths by the width ratio. Where a scaled box is too
// small for its text, the font of that label or button is made smaller until the text
// fits (refitted whenever a text changes), and a report list's font so that the widest
// value expected in each column fits it.
class DesignCanvas : public QWidget {
    Q_OBJECT
public:
    explicit DesignCanvas(QSize designTwips, QWidget* parent = nullptr);

    QSize designTwips() const { return m_designTwips; }
    // Places a control at a rectangle given in design twips; placing a control again
    // moves it.
    void place(QWidget* control, int left, int top, int width, int height);
    // Places a control that keeps its rectangle whatever the vertical factor.
    void placeFixed(QWidget* control, int left, int top, int width, int height);
    // Multiplies the tops and heights of the controls placed with place() (the main
    // window makes room for its spot strip with 0.9); 1 gives the design layout back
    // exactly.
    void setVerticalFactor(double factor);
    double verticalFactor() const { return m_verticalFactor; }
    // The greatest bottom edge, in design twips after the vertical factor, of the
    // controls placed with place(), shown or hidden.
    int greatestBottomTwips() const;
    // Column widths in design twips of a report list placed on this canvas, with the
    // widest text each column is to show whole (its caption is shown whole too).
    void setColumnWidths(QAbstractItemView* view, const QList<int>& twips,
                         const QStringList& widestTexts = {});
    // The canvas's pixel size for its design size on the given ratios.
    QSize scaledSize(const ScaleRatios& ratios) const;
    ScaleRatios currentRatios() const;
    void setDesignFontPointSize(double points) {
        m_designFontPt = points;
        applyScale();
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Placed {
        QWidget* control = nullptr;
        QRect designRect;
        double designFontPt = 0;
        bool fixed = false;
        double wantedPt = 0; // the scaled size, or a size set on the control since
        double fittedPt = 0; // the size this canvas last gave it
        // What the last fit measured: the same text in the same room in the same font
        // at the wanted size fits the same, without measuring again.
        QString fitText;
        int fitRoom = -1;
        QString fitFont;
    };
    void placeControl(QWidget* control, const QRect& rect, bool fixed);
    // Scales one control to the canvas's current size: its rectangle and, for labels,
    // frames and buttons, the point size its text should have.
    void scaleControl(Placed& p, const ScaleRatios& r);
    void applyCanvasFont(const ScaleRatios& r);
    static void fitText(Placed& p);
    QRect factoredRect(const Placed& p) const;
    struct Columns {
        QAbstractItemView* view;
        QList<int> twips;
        QStringList widest;
    };
    void applyScale();
    // The font size at which the control's text fits its box, at most `points`.
    static double fittedPointSize(const QWidget* control, double points);
    void fitTexts();
    void fitColumns(const Columns& columns, double points);

    QSize m_designTwips;
    double m_designFontPt = 8.25;
    double m_verticalFactor = 1;
    QList<Placed> m_placed;
    QList<Columns> m_columns;
};

// Scales and centres a window whose contents live on a DesignCanvas. Failures are shown
// in a "Form Resize Error" box; the window is still usable as far as it was scaled.
void ScaleWindowToScreen(QWidget* window, DesignCanvas* canvas, const Screen& screen,
                         UserPrompts& prompts);

// Sets the window to the given pixel size; the canvas rescales the controls.
void ResizeWindowContents(QWidget* window, int widthPx, int heightPx);

// Scales and centres a window laid out by Qt layouts rather than on a canvas (help text,
// logo): its design size in twips by the ratios, its font by the height ratio.
void ScaleLaidOutWindow(QWidget* window, QSize designTwips, double designFontPt,
                        const Screen& screen);

} // namespace ditlog

// Scaling arithmetic and the canvas that applies it to the controls of a window.
#include "ui/WindowScaling.h"

#include "platform/Screen.h"
#include "platform/UserPrompts.h"

#include <QAbstractButton>
#include <QEvent>
#include <QAbstractItemView>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTableView>
#include <QTreeView>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace ditlog {

namespace {
// Room a report-list cell keeps beside its text: the item's margins and the grid.
constexpr double kColumnPaddingPx = 12;
} // namespace

ScaleRatios ratiosForScreen(QSize screenTwips) {
    ScaleRatios r;
    r.width = double(screenTwips.width()) / kDesignWidthTwips;
    r.height = double(screenTwips.height()) / kDesignHeightTwips;
    r.font = std::min(r.width, r.height);
    return r;
}

QRect scaleDesignRect(const QRect& d, const ScaleRatios& r) {
    return {int(std::lround(d.x() * r.width)), int(std::lround(d.y() * r.height)),
            int(std::lround(d.width() * r.width)), int(std::lround(d.height() * r.height))};
}

QPoint centredTopLeft(QSize windowTwips, QSize screenTwips, int workAreaTop) {
    const int left = (screenTwips.width() - windowTwips.width()) / 2;
    const int top = (screenTwips.height() - windowTwips.height()) / 2 - kCentreLiftTwips;
    return {left, std::max(top, workAreaTop)};
}

QRect windowRectOnScreen(QSize designTwips, QSize screenTwips, int workAreaTop) {
    const ScaleRatios r = ratiosForScreen(screenTwips);
    const QSize size(int(std::lround(designTwips.width() * r.width)),
                     int(std::lround(designTwips.height() * r.height)));
    return {centredTopLeft(size, screenTwips, workAreaTop), size};
}

DesignCanvas::DesignCanvas(QSize designTwips, QWidget* parent)
    : QWidget(parent), m_designTwips(designTwips) {
    QFont f = font();
    f.setPointSizeF(m_designFontPt);
    setFont(f);
    resize(designTwips / kTwipsPerPixel);
}

void DesignCanvas::place(QWidget* control, int left, int top, int width, int height) {
    placeControl(control, QRect(left, top, width, height), false);
}

void DesignCanvas::placeFixed(QWidget* control, int left, int top, int width, int height) {
    placeControl(control, QRect(left, top, width, height), true);
}

void DesignCanvas::placeControl(QWidget* control, const QRect& rect, bool fixed) {
    // Only the control placed is scaled: the others keep what the canvas's size gave
    // them (placing a window's controls one by one stays linear).
    const ScaleRatios r = currentRatios();
    for (Placed& p : m_placed) {
        if (p.control == control) {
            p.designRect = rect;
            p.fixed = fixed;
            if (r.width > 0 && r.height > 0) {
                scaleControl(p, r);
                fitText(p);
            }
            return;
        }
    }
    if (control->parentWidget() != this) {
        control->setParent(this);
    }
    // A control's own font (set before placing) is its design font; others use the canvas's.
    const double fontPt = control->testAttribute(Qt::WA_SetFont) && control->font().pointSizeF() > 0
                              ? control->font().pointSizeF()
                              : m_designFontPt;
    Placed placed;
    placed.control = control;
    placed.designRect = rect;
    placed.designFontPt = fontPt;
    placed.fixed = fixed;
    m_placed.append(placed);
    if (r.width > 0 && r.height > 0) {
        applyCanvasFont(r);
        scaleControl(m_placed.last(), r);
        fitText(m_placed.last());
    }
}

QRect DesignCanvas::factoredRect(const Placed& p) const {
    if (p.fixed || m_verticalFactor == 1) {
        return p.designRect;
    }
    const QRect& d = p.designRect;
    return {d.x(), int(std::lround(d.y() * m_verticalFactor)), d.width(),
            int(std::lround(d.height() * m_verticalFactor))};
}

void DesignCanvas::setVerticalFactor(double factor) {
    if (factor > 0) {
        m_verticalFactor = factor;
        applyScale();
    }
}

int DesignCanvas::greatestBottomTwips() const {
    int bottom = 0;
    for (const Placed& p : m_placed) {
        if (!p.fixed) {
            const QRect r = factoredRect(p);
            bottom = std::max(bottom, r.y() + r.height());
        }
    }
    return bottom;
}

void DesignCanvas::setColumnWidths(QAbstractItemView* view, const QList<int>& twips,
                                   const QStringList& widestTexts) {
    m_columns.append({view, twips, widestTexts});
    applyScale();
}

QSize DesignCanvas::scaledSize(const ScaleRatios& r) const {
    return {int(std::lround(m_designTwips.width() * r.width / kTwipsPerPixel)),
            int(std::lround(m_designTwips.height() * r.height / kTwipsPerPixel))};
}

ScaleRatios DesignCanvas::currentRatios() const {
    // Pixels per design pixel; at 1.0 the canvas is at its design size.
    ScaleRatios r;
    r.width = double(width()) * kTwipsPerPixel / std::max(1, m_designTwips.width());
    r.height = double(height()) * kTwipsPerPixel / std::max(1, m_designTwips.height());
    r.font = std::min(r.width, r.height);
    return r;
}

void DesignCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyScale();
}

bool DesignCanvas::event(QEvent* event) {
    // A label or button whose text changed asks its parent, this canvas, to lay out again.
    if (event->type() == QEvent::LayoutRequest) {
        fitTexts();
    }
    return QWidget::event(event);
}

namespace {
// The control's text as drawn, and the width its box leaves for it.
std::optional<std::pair<QString, int>> textAndRoom(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->textFormat() == Qt::RichText || label->wordWrap()) {
            return std::nullopt;
        }
        const int indent = std::max(0, label->indent());
        return std::pair{label->text(), label->contentsRect().width() - 2 * label->margin() - indent};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        QString text = button->text();
        static const QRegularExpression mnemonic(QStringLiteral("&(?!&)"));
        text.remove(mnemonic);
        const QStyle* style = button->style();
        const int padding = 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                                 style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        const int indicator = qobject_cast<const QPushButton*>(control) != nullptr
                                  ? 0
                                  : style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button) + 6;
        return std::pair{text, button->width() - padding - indicator};
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) {
        return std::pair{frame->title(), frame->width() - 16};
    }
    return std::nullopt;
}
} // namespace

double DesignCanvas::fittedPointSize(const QWidget* control, double points) {
    const auto measured = textAndRoom(control);
    if (!measured || measured->first.isEmpty()) {
        return points;
    }
    const auto& [text, room] = *measured;
    QFont f = control->font();
    // Each step measures again: widths do not follow point sizes exactly.
    for (int step = 0; step < 40 && points > 1.0; ++step) {
        f.setPointSizeF(points);
        const QFontMetricsF metrics(f);
        const double width = metrics.horizontalAdvance(text);
        if (width <= room) {
            break;
        }
        points = std::max(1.0, std::min(points * 0.97, points * room / width));
    }
    return points;
}

void DesignCanvas::fitTexts() {
    for (Placed& p : m_placed) {
        fitText(p);
    }
}

void DesignCanvas::fitText(Placed& p) {
    if (p.wantedPt <= 0) {
        return; // not a control with a text of its own
    }
    const double current = p.control->font().pointSizeF();
    if (std::abs(current - p.fittedPt) > 0.01) {
        p.wantedPt = current; // set from outside: the size to keep when the text fits
    }
    // A text, room and size measured before need no new measuring (a layout request
    // comes for every label whose text changes, and each asks for all the controls).
    const auto measured = textAndRoom(p.control);
    const QString text = measured ? measured->first : QString();
    const int room = measured ? measured->second : -1;
    QFont wanted = p.control->font();
    wanted.setPointSizeF(p.wantedPt);
    const QString fontKey = wanted.key();
    double fitted = p.fittedPt;
    if (text != p.fitText || room != p.fitRoom || fontKey != p.fitFont) {
        fitted = fittedPointSize(p.control, p.wantedPt);
        p.fitText = text;
        p.fitRoom = room;
        p.fitFont = fontKey;
    }
    p.fittedPt = fitted;
    if (std::abs(current - fitted) > 0.01) {
        QFont f = p.control->font();
        f.setPointSizeF(fitted);
        p.control->setFont(f);
    }
}

void DesignCanvas::fitColumns(const Columns& c, double points) {
    QHeaderView* header = nullptr;
    if (auto* tree = qobject_cast<QTreeView*>(c.view)) {
        header = tree->header();
    } else if (auto* table = qobject_cast<QTableView*>(c.view)) {
        header = table->horizontalHeader();
    }
    if (header == nullptr) {
        return;
    }
    const ScaleRatios r = currentRatios();
    QFont f = c.view->font();
    for (int step = 0; step < 40 && points > 1.0; ++step) {
        f.setPointSizeF(points);
        const QFontMetricsF metrics(f);
        double worst = 1.0; // the largest share of its room a text takes
        for (int i = 0; i < c.twips.size(); ++i) {
            const double room = c.twips.at(i) * r.width / kTwipsPerPixel - kColumnPaddingPx;
            const QString caption =
                c.view->model() != nullptr ? c.view->model()->headerData(i, Qt::Horizontal).toString() : QString();
            for (const QString& text : {caption, i < c.widest.size() ? c.widest.at(i) : QString()}) {
                worst = std::max(worst, metrics.horizontalAdvance(text) / std::max(1.0, room));
            }
        }
        if (worst <= 1.0) {
            break;
        }
        points = std::max(1.0, std::min(points * 0.97, points / worst));
    }
    if (std::abs(c.view->font().pointSizeF() - points) > 0.01) {
        f.setPointSizeF(points);
        c.view->setFont(f);
    }
    for (int i = 0; i < c.twips.size(); ++i) {
        header->resizeSection(i, int(std::lround(c.twips.at(i) * r.width / kTwipsPerPixel)));
    }
}

void DesignCanvas::applyCanvasFont(const ScaleRatios& r) {
    const double points = std::max(1.0, m_designFontPt * r.height);
    if (std::abs(font().pointSizeF() - points) > 0.001) {
        QFont canvasFont = font();
        canvasFont.setPointSizeF(points);
        setFont(canvasFont);
    }
}

void DesignCanvas::scaleControl(Placed& p, const ScaleRatios& r) {
    const QRect px = scaleDesignRect(factoredRect(p), r);
    p.control->setGeometry(px.x() / kTwipsPerPixel, px.y() / kTwipsPerPixel,
                           std::max(1, px.width() / kTwipsPerPixel),
                           std::max(1, px.height() / kTwipsPerPixel));
    // Labels and frames by the smaller ratio, buttons by the height ratio as the window
    // font; other controls keep the font they have.
    const bool fontRatio = qobject_cast<QLabel*>(p.control) != nullptr ||
                           qobject_cast<QGroupBox*>(p.control) != nullptr;
    if (fontRatio || qobject_cast<QAbstractButton*>(p.control) != nullptr) {
        p.wantedPt = std::max(1.0, p.designFontPt * (fontRatio ? r.font : r.height));
        p.fittedPt = p.control->font().pointSizeF();
    }
}

void DesignCanvas::applyScale() {
    const ScaleRatios r = currentRatios();
    if (r.width <= 0 || r.height <= 0) {
        return;
    }
    applyCanvasFont(r);
    for (Placed& p : m_placed) {
        scaleControl(p, r);
    }
    fitTexts();
    for (const Columns& c : std::as_const(m_columns)) {
        fitColumns(c, std::max(1.0, m_designFontPt * r.height));
    }
}

void ScaleWindowToScreen(QWidget* window, DesignCanvas* canvas, const Screen& screen,
                         UserPrompts& prompts) {
    const QSize screenTwips = screen.sizeTwips();
    if (screenTwips.width() <= 0 || screenTwips.height() <= 0) {
        prompts.message(QStringLiteral("Form Resize Error"),
                        QStringLiteral("The screen size could not be read."));
        return;
    }
    const ScaleRatios r = ratiosForScreen(screenTwips);
    // The window's frame around the canvas (menu bar, margins) keeps its own size.
    const QSize extra = window->size() - canvas->size();
    const QSize canvasPx = canvas->scaledSize(r);
    const QSize windowPx(canvasPx.width() + std::max(0, extra.width()),
                         canvasPx.height() + std::max(0, extra.height()));
    const QPoint topLeft = centredTopLeft(windowPx * kTwipsPerPixel, screenTwips,
                                          screen.workAreaTwips().top());
    window->resize(windowPx);
    canvas->resize(canvasPx);
    window->move(topLeft / kTwipsPerPixel);
}

void ScaleLaidOutWindow(QWidget* window, QSize designTwips, double designFontPt,
                        const Screen& screen) {
    const QSize screenTwips = screen.sizeTwips();
    if (screenTwips.width() <= 0 || screenTwips.height() <= 0) {
        return;
    }
    const ScaleRatios r = ratiosForScreen(screenTwips);
    const QRect rect = windowRectOnScreen(designTwips, screenTwips, screen.workAreaTwips().top());
    QFont f = window->font();
    f.setPointSizeF(std::max(1.0, designFontPt * r.height));
    window->setFont(f);
    window->resize(rect.size() / kTwipsPerPixel);
    window->move(rect.topLeft() / kTwipsPerPixel);
}

void ResizeWindowContents(QWidget* window, int widthPx, int heightPx) {
    if (widthPx > 0 && heightPx > 0) {
        window->resize(widthPx, heightPx);
    }
}

} // namespace ditlog

// Scaling arithmetic and the canvas that applies it to the controls of a window.
#include "ui/WindowScaling.h"

#include "platform/Screen.h"
#include "platform/UserPrompts.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QTreeView>

#include <algorithm>
#include <cmath>

namespace ditlog {

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
    if (control->parentWidget() != this) {
        control->setParent(this);
    }
    // A control's own font (set before placing) is its design font; others use the canvas's.
    const double fontPt = control->testAttribute(Qt::WA_SetFont) && control->font().pointSizeF() > 0
                              ? control->font().pointSizeF()
                              : m_designFontPt;
    m_placed.append({control, QRect(left, top, width, height), fontPt});
    applyScale();
}

void DesignCanvas::setColumnWidths(QAbstractItemView* view, const QList<int>& twips) {
    m_columns.append({view, twips});
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

void DesignCanvas::applyScale() {
    const ScaleRatios r = currentRatios();
    if (r.width <= 0 || r.height <= 0) {
        return;
    }
    QFont canvasFont = font();
    canvasFont.setPointSizeF(std::max(1.0, m_designFontPt * r.height));
    setFont(canvasFont);
    for (const Placed& p : std::as_const(m_placed)) {
        const QRect px = scaleDesignRect(p.designRect, r);
        p.control->setGeometry(px.x() / kTwipsPerPixel, px.y() / kTwipsPerPixel,
                               std::max(1, px.width() / kTwipsPerPixel),
                               std::max(1, px.height() / kTwipsPerPixel));
        if (qobject_cast<QLabel*>(p.control) != nullptr ||
            qobject_cast<QGroupBox*>(p.control) != nullptr) {
            QFont f = p.control->font();
            f.setPointSizeF(std::max(1.0, p.designFontPt * r.font));
            p.control->setFont(f);
        }
    }
    for (const Columns& c : std::as_const(m_columns)) {
        QHeaderView* header = nullptr;
        if (auto* tree = qobject_cast<QTreeView*>(c.view)) {
            header = tree->header();
        } else if (auto* table = qobject_cast<QTableView*>(c.view)) {
            header = table->horizontalHeader();
        }
        if (header == nullptr) {
            continue;
        }
        for (int i = 0; i < c.twips.size(); ++i) {
            header->resizeSection(i, int(std::lround(c.twips.at(i) * r.width / kTwipsPerPixel)));
        }
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

void ResizeWindowContents(QWidget* window, int widthPx, int heightPx) {
    if (widthPx > 0 && heightPx > 0) {
        window->resize(widthPx, heightPx);
    }
}

} // namespace ditlog

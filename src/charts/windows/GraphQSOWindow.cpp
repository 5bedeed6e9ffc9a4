// The activity graph window.
#include "charts/windows/GraphQSOWindow.h"

#include "ui/WindowScaling.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace ditlog {

namespace {
// The frame of the graph in design twips.
constexpr int kViewLeft = 1000;
constexpr int kViewTop = 250;
constexpr int kViewWidth = 8400;
constexpr int kViewHeight = 5450;
constexpr int kPlotLeft = 1100;  // guide lines, in the window's design twips
constexpr int kPlotRight = 9300;
constexpr int kTopLine = 350;
constexpr int kAxisLine = 5300;
constexpr int kStripTop = 5400;
constexpr int kStripBottom = 5650;
constexpr int kColumnOffset = 10;

QColor fromRgb(quint32 rgb) {
    return QColor::fromRgb(QRgb(rgb));
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

// The height of a rate label's centre in design twips, like the curve's y rule.
double rateLabelTwips(int i) {
    const double height = kAxisLine - kTopLine;
    return kAxisLine - i * (height * 0.995 / 16) - 0.0025 * height;
}
} // namespace

// ---- the painted graph -------------------------------------------------------------------

RateGraphView::RateGraphView(const RateGraph& graph, QWidget* parent) : QWidget(parent), m_graph(graph) {
    setObjectName(QStringLiteral("picGraph"));
    setAccessibleName(QStringLiteral("Rate graph"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RateGraphView::setColours(const QColor& background, const QColor& lines) {
    m_background = background;
    m_lines = lines;
    update();
}

RatePlot RateGraphView::plot() const {
    const double sx = width() / double(kViewWidth);
    const double sy = height() / double(kViewHeight);
    return {(kPlotLeft - kViewLeft) * sx, (kPlotRight - kViewLeft) * sx, (kTopLine - kViewTop) * sy,
            (kAxisLine - kViewTop) * sy, kColumnOffset * sx};
}

double RateGraphView::stripTop() const {
    return (kStripTop - kViewTop) * height() / double(kViewHeight);
}

double RateGraphView::stripBottom() const {
    return (kStripBottom - kViewTop) * height() / double(kViewHeight);
}

void RateGraphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    const RatePlot p = plot();
    // Guide lines: the plot's edges, its top and axis lines, and the band strip's bounds.
    painter.setPen(QPen(m_lines, 1));
    painter.drawLine(QPointF(p.left, p.top), QPointF(p.left, stripBottom()));
    painter.drawLine(QPointF(p.right, p.top), QPointF(p.right, stripBottom()));
    painter.drawLine(QPointF(p.left, p.top), QPointF(p.right, p.top));
    painter.drawLine(QPointF(p.left, p.axis), QPointF(p.right, p.axis));
    painter.drawLine(QPointF(p.left, stripTop()), QPointF(p.right, stripTop()));
    painter.drawLine(QPointF(p.left, stripBottom()), QPointF(p.right, stripBottom()));
    painter.setClipRect(QRectF(QPointF(p.left, 0), QPointF(p.right, height())));

    // The band strip: runs of one colour filled at once.
    const auto& colours = legendColours();
    const QRectF band(0, stripTop() + 1, 0, std::max(1.0, stripBottom() - stripTop() - 1));
    int runColour = -1;
    double runStart = 0;
    for (int c = 1; c <= RateGraph::kColumns + 1; ++c) {
        int colour = -1;
        if (c <= RateGraph::kColumns &&
            (m_graph.drawn[std::size_t(c)] > 0 || m_graph.drawn[std::size_t(c - 1)] > 0)) {
            colour = m_graph.strip[std::size_t(c)];
        }
        if (colour != runColour) {
            if (runColour >= 0) {
                painter.fillRect(QRectF(runStart, band.top(), p.x(c - 1) - runStart, band.height()),
                                 fromRgb(colours[std::size_t(runColour)]));
            }
            runColour = colour;
            runStart = p.x(c - 1);
        }
    }

    // The curve, from column 0 (rate 0) to the last column.
    QPolygonF curve;
    curve.reserve(RateGraph::kColumns + 1);
    for (int c = 0; c <= RateGraph::kColumns; ++c) {
        curve.append(QPointF(p.x(c), p.y(m_graph, c == 0 ? 0.0 : m_graph.drawn[std::size_t(c)])));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 255), 1.5));
    // Stroked in short runs that share their end points: the raster engine fills the
    // outline of one long zig-zag line many times slower than the same pixels in pieces.
    constexpr qsizetype kRun = 32;
    for (qsizetype from = 0; from + 1 < curve.size(); from += kRun) {
        painter.drawPolyline(curve.constData() + from, int(std::min(kRun + 1, curve.size() - from)));
    }
}

// ---- the window --------------------------------------------------------------------------

GraphQSOWindow::GraphQSOWindow(RateGraph graph, const Screen& screen, UserPrompts& prompts,
                               QWidget* parent)
    : QDialog(parent), m_graph(std::move(graph)) {
    setObjectName(QStringLiteral("GraphQSO"));
    setWindowTitle(QStringLiteral(" Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)"));
    setAutoFillBackground(true);
    m_canvas = new DesignCanvas(QSize(kDesignWidthTwips, kDesignHeightTwips), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);
    m_view = new RateGraphView(m_graph, m_canvas);
    m_canvas->place(m_view, kViewLeft, kViewTop, kViewWidth, kViewHeight);
    buildLabels();
    writeLabels();
    applyBackground();
    resize(m_canvas->size());
    ScaleWindowToScreen(this, m_canvas, screen, prompts);
}

void GraphQSOWindow::buildLabels() {
    auto label = [this](const QString& name, Qt::Alignment align) {
        auto* l = new QLabel(m_canvas);
        l->setObjectName(name);
        l->setAlignment(align);
        return l;
    };
    for (int i = 0; i < 15; ++i) {
        const int centre = int(std::lround(kPlotLeft + i * (kPlotRight - kPlotLeft) / 14.0));
        // Room for "hh:mm:ss"; neighbours that would touch are thinned out when shown.
        lblTime[std::size_t(i)] = label(QStringLiteral("lblTime_%1").arg(i), Qt::AlignCenter);
        m_canvas->place(lblTime[std::size_t(i)], centre - 550, 5720, 1100, 240);
        lblDate[std::size_t(i)] = label(QStringLiteral("lblDate_%1").arg(i), Qt::AlignCenter);
        m_canvas->place(lblDate[std::size_t(i)], centre - 550, 5960, 1100, 240);
    }
    for (int i = 0; i <= 16; ++i) {
        lblY[std::size_t(i)] = label(QStringLiteral("lblY_%1").arg(i), Qt::AlignRight | Qt::AlignVCenter);
        m_canvas->place(lblY[std::size_t(i)], 100, int(std::lround(rateLabelTwips(i))) - 120, 850, 240);
    }
    lblBandTitle = label(QStringLiteral("lblBandTitle"), Qt::AlignRight | Qt::AlignVCenter);
    lblBandTitle->setText(QStringLiteral("Band "));
    m_canvas->place(lblBandTitle, kPlotLeft, 6480, 700, 300);
    const auto& bands = legendBands();
    for (int i = 0; i < kLegendBands; ++i) {
        QLabel* b = label(QStringLiteral("lblBnd_%1").arg(i), Qt::AlignCenter);
        b->setText(QLatin1String(bands[std::size_t(i)]));
        b->setAccessibleName(QStringLiteral("Band %1").arg(QLatin1String(bands[std::size_t(i)])));
        QFont bold = b->font();
        bold.setBold(true);
        b->setFont(bold);
        setTextColour(b, fromRgb(legendColours()[std::size_t(i)]));
        m_canvas->place(b, kPlotLeft + 750 + i * 600, 6480, 560, 300);
        lblBnd[std::size_t(i)] = b;
    }
    Command1 = new QPushButton(m_canvas);
    Command1->setObjectName(QStringLiteral("Command1"));
    m_canvas->place(Command1, 7300, 6420, 2000, 420);
    connect(Command1, &QPushButton::clicked, this, &GraphQSOWindow::Command1_Click);
}

void GraphQSOWindow::writeLabels() {
    m_timeTexts = timeAxisTexts(m_graph);
    thinTimeLabels();
    for (int i = 0; i <= 16; ++i) {
        const QString text = QString::number(m_graph.rates[std::size_t(i)], 'f', 1);
        lblY[std::size_t(i)]->setText(text);
        lblY[std::size_t(i)]->setAccessibleName(QStringLiteral("Rate ") + text);
    }
    m_view->setAccessibleDescription(
        QStringLiteral("From %1 to %2, rates from %3 to %4 contacts an hour")
            .arg(m_graph.times.front().toString(QStringLiteral("MM/dd HH:mm")),
                 m_graph.times.back().toString(QStringLiteral("MM/dd HH:mm")),
                 QString::number(m_graph.minimum, 'f', 1), QString::number(m_graph.maximum, 'f', 1)));
}

void GraphQSOWindow::thinTimeLabels() {
    // Left to right, a moment is shown when its text clears the last one shown; the last
    // moment always is, in place of its neighbour if need be.
    std::array<bool, 15> shown{};
    int lastShown = -1;
    const auto span = [this](int i) {
        const QLabel* l = lblTime[std::size_t(i)];
        const int width = l->fontMetrics().horizontalAdvance(m_timeTexts[std::size_t(i)]) + 8;
        const int centre = l->geometry().center().x();
        return std::pair(centre - width / 2, centre + width / 2);
    };
    for (int i = 0; i < 15; ++i) {
        if (m_timeTexts[std::size_t(i)].isEmpty()) {
            continue;
        }
        if (lastShown >= 0 && span(i).first < span(lastShown).second) {
            if (i < 14) {
                continue;
            }
            if (lastShown > 0) {
                shown[std::size_t(lastShown)] = false;
            }
        }
        shown[std::size_t(i)] = true;
        lastShown = i;
    }
    for (int i = 0; i < 15; ++i) {
        const QDateTime& at = m_graph.times[std::size_t(i)];
        const bool on = shown[std::size_t(i)];
        lblTime[std::size_t(i)]->setText(on ? m_timeTexts[std::size_t(i)] : QString());
        lblDate[std::size_t(i)]->setText(on ? at.toString(QStringLiteral("MM/dd")) : QString());
        lblTime[std::size_t(i)]->setAccessibleName(
            on ? QStringLiteral("Time %1 %2").arg(lblDate[std::size_t(i)]->text(), lblTime[std::size_t(i)]->text())
               : QStringLiteral("Time"));
        lblTime[std::size_t(i)]->setAccessibleDescription(QStringLiteral("A moment of the time axis"));
        lblDate[std::size_t(i)]->setAccessibleDescription(QStringLiteral("The date of the moment above"));
    }
}

void GraphQSOWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    thinTimeLabels();
}

void GraphQSOWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    thinTimeLabels(); // the labels stand where the scaled window put them
}

void GraphQSOWindow::applyBackground() {
    const QColor back = m_white ? Qt::white : Qt::black;
    const QColor fore = m_white ? Qt::black : Qt::white;
    QPalette p = palette();
    p.setColor(QPalette::Window, back);
    setPalette(p);
    m_canvas->setAutoFillBackground(true);
    m_canvas->setPalette(p);
    for (QLabel* l : lblTime) {
        setTextColour(l, fore);
    }
    for (QLabel* l : lblDate) {
        setTextColour(l, fore);
    }
    for (QLabel* l : lblY) {
        setTextColour(l, fore);
    }
    setTextColour(lblBandTitle, fore);
    Command1->setText(m_white ? QStringLiteral("White Background") : QStringLiteral("Black Background"));
    Command1->setAccessibleName(Command1->text());
    m_view->setColours(back, fore);
}

void GraphQSOWindow::Command1_Click() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_white = !m_white;
    applyBackground();
    QGuiApplication::restoreOverrideCursor();
}

} // namespace ditlog

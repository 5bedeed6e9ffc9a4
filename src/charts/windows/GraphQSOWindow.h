// The activity graph (GraphQSO): the hourly rate over the whole log, the band strip
// under it with its legend, time, date and rate labels, and a background toggle.
#pragma once

#include "charts/RateGraph.h"

#include <QDialog>
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace ditlog {

class DesignCanvas;
class Screen;
class UserPrompts;

// The painted part: guide lines, the curve and the band strip.
class RateGraphView : public QWidget {
    Q_OBJECT
public:
    RateGraphView(const RateGraph& graph, QWidget* parent);
    void setColours(const QColor& background, const QColor& lines);
    // The plot in this widget's pixels.
    RatePlot plot() const;
    double stripTop() const;
    double stripBottom() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const RateGraph& m_graph;
    QColor m_background = Qt::black;
    QColor m_lines = Qt::white;
};

class GraphQSOWindow : public QDialog {
    Q_OBJECT
public:
    GraphQSOWindow(RateGraph graph, const Screen& screen, UserPrompts& prompts, QWidget* parent);

    const RateGraph& graph() const { return m_graph; }
    RateGraphView* view() const { return m_view; }
    bool whiteBackground() const { return m_white; }

    QPushButton* Command1 = nullptr;
    std::array<QLabel*, 15> lblTime{};
    std::array<QLabel*, 15> lblDate{};
    std::array<QLabel*, 17> lblY{};
    std::array<QLabel*, kLegendBands> lblBnd{};
    QLabel* lblBandTitle = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLabels();
    void writeLabels();
    void thinTimeLabels();
    void Command1_Click();
    void applyBackground();

    RateGraph m_graph;
    DesignCanvas* m_canvas = nullptr;
    RateGraphView* m_view = nullptr;
    bool m_white = false;
    std::array<QString, 15> m_timeTexts;
};

} // namespace ditlog

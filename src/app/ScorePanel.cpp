// Showing the score, the rates and the worked multipliers on the main window, and
// turning clicks and pointer moves on the multiplier labels into signals.
#include "app/ScorePanel.h"

#include "log/ContactLog.h"
#include "log/Score.h"
#include "log/StationPreferences.h"
#include "platform/Screen.h"
#include "ui/WindowScaling.h"

#include <QColor>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

namespace ditlog {

namespace {

// Design rectangles in twips.
constexpr int kFrameLeft = 6600;
constexpr int kFrameTop = 2160;
constexpr int kFrameWidth = 2880;
constexpr int kFrameHeight = 1560;
constexpr int kScoreRowTop = 2400;
constexpr int kScoreRowStep = 210;
constexpr int kScoreRowHeight = 200;
constexpr int kCaptionLeft = 6680;
constexpr int kCaptionWidth = 1900;
constexpr int kValueWidth = 840;

constexpr int kGridLeft = 120;
constexpr int kGridTop = 4920;
constexpr int kGridWidth = 9360;
constexpr int kGridRowStep = 190;
constexpr int kGridRowHeight = 180;
constexpr int kMaxLabelsPerColumn = 9; // the tallest call area, 7, has nine

QColor storedToColour(qint32 stored) {
    const auto v = quint32(stored);
    return {int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)};
}

// A run of consecutive multiplier rows under one heading.
struct Group {
    QString heading;
    int firstRow = 0;
    int rows = 0;
    int columns() const { return (rows + kMaxLabelsPerColumn - 1) / kMaxLabelsPerColumn; }
    int perColumn() const { return (rows + columns() - 1) / columns(); }
};

QList<Group> groupsOf(const MultiplierTable& table) {
    QList<Group> groups;
    for (int row = 1; row <= MultiplierTable::kRows; ++row) {
        const QString& heading = table.row(row).group;
        if (groups.isEmpty() || groups.last().heading != heading) {
            groups.append({heading, row, 0});
        }
        ++groups.last().rows;
    }
    return groups;
}

} // namespace

ScorePanel::ScorePanel(const ContactLog& log, const StationPreferences& prefs, const Screen& screen,
                       DesignCanvas& canvas, QObject* parent)
    : QObject(parent), m_log(log), m_prefs(prefs), m_screen(screen) {
    buildScoreFrame(canvas);

    m_label15 = new QLabel(QStringLiteral("Multipliers worked:"), &canvas);
    m_label15->setObjectName(QStringLiteral("Label15"));
    canvas.place(m_label15, 120, 4680, 6000, 220);

    buildMultiplierLabels(canvas);
    Labeldisplay();
}

void ScorePanel::buildScoreFrame(DesignCanvas& canvas) {
    // The frame is placed first so that the captions and values placed after it on the
    // same canvas are drawn over it.
    m_frame = new QGroupBox(QStringLiteral("Score Statistics"), &canvas);
    m_frame->setObjectName(QStringLiteral("fraScore"));
    canvas.place(m_frame, kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight);

    const struct {
        const char* caption;
        const char* valueName;
        QLabel** value;
    } lines[] = {
        {"Total Contacts ............", "lblTotalContacts", &m_totalContacts},
        {"Total QSO Points ........", "lblTotalPoints", &m_totalPoints},
        {"Total Multipliers ...........", "lblTotalMultipliers", &m_totalMultipliers},
        {"Total Score..................", "lblTotalScore", &m_totalScore},
        {"QSOs / Hr (last 20 min)", "lblRate20", &m_rate20},
        {"QSOs / Hr (last 60 min)", "lblRate60", &m_rate60},
    };
    int top = kScoreRowTop;
    for (const auto& line : lines) {
        auto* caption = new QLabel(QLatin1String(line.caption), &canvas);
        canvas.place(caption, kCaptionLeft, top, kCaptionWidth, kScoreRowHeight);
        auto* value = new QLabel(QStringLiteral("0"), &canvas);
        value->setObjectName(QLatin1String(line.valueName));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        canvas.place(value, kCaptionLeft + kCaptionWidth, top, kValueWidth, kScoreRowHeight);
        *line.value = value;
        top += kScoreRowStep;
    }
}

void ScorePanel::buildMultiplierLabels(DesignCanvas& canvas) {
    const MultiplierTable& table = m_log.multipliers();
    const QList<Group> groups = groupsOf(table);
    int totalColumns = 0;
    for (const Group& g : groups) {
        totalColumns += g.columns();
    }
    const int columnWidth = kGridWidth / std::max(1, totalColumns);

    m_label10.reserve(MultiplierTable::kRows);
    int column = 0;
    for (const Group& g : groups) {
        auto* heading = new QLabel(g.heading, &canvas);
        heading->setObjectName(QStringLiteral("lblCallArea") + g.heading);
        canvas.place(heading, kGridLeft + column * columnWidth, kGridTop, columnWidth * g.columns(),
                     kGridRowHeight);
        for (int k = 0; k < g.rows; ++k) {
            const int row = g.firstRow + k;
            const MultiplierRow& m = table.row(row);
            auto* label = new QLabel(m.code, &canvas);
            label->setObjectName(QStringLiteral("Label10_%1").arg(row));
            label->setToolTip(m.name);
            label->setMouseTracking(true);
            label->installEventFilter(this);
            const int left = kGridLeft + (column + k / g.perColumn()) * columnWidth;
            const int top = kGridTop + (k % g.perColumn() + 1) * kGridRowStep;
            canvas.place(label, left, top, columnWidth, kGridRowHeight);
            m_label10.append(label);
            m_label10Colours.append(0);
            setLabelColour(row, m_prefs.RemainingColour);
        }
        column += g.columns();
    }
}

void ScorePanel::setLabelColour(int index, qint32 stored) {
    QLabel* label = m_label10.at(index - 1);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, storedToColour(stored));
    label->setPalette(palette);
    m_label10Colours[index - 1] = stored;
}

void ScorePanel::showWorkedCount(int worked) {
    m_label15->setText(multipliersWorkedText(worked));
}

void ScorePanel::CountMultipliers() {
    const MultiplierTable& table = m_log.multipliers();
    int worked = 0;
    for (int row = 1; row <= MultiplierTable::kRows; ++row) {
        if (table.row(row).worked) {
            setLabelColour(row, m_prefs.WorkedColour);
            ++worked;
        } else {
            setLabelColour(row, m_prefs.RemainingColour);
        }
    }
    showWorkedCount(worked);
}

void ScorePanel::MarkMultiplier(int row) {
    if (row < 1 || row > MultiplierTable::kRows) {
        return;
    }
    setLabelColour(row, m_prefs.WorkedColour);
    showWorkedCount(m_log.multipliersWorked());
}

void ScorePanel::Labeldisplay() {
    const ScoreTexts texts = scoreTexts(m_log);
    m_totalContacts->setText(texts.totalContacts);
    m_totalPoints->setText(texts.totalPoints);
    m_totalMultipliers->setText(texts.totalMultipliers);
    m_totalScore->setText(texts.totalScore);
}

void ScorePanel::TimeStats(const QDateTime& now) {
    if (const auto rates = ditlog::TimeStats(m_log, now)) {
        m_rate60->setText(QString::number(rates->rate60));
        m_rate20->setText(QString::number(rates->rate20));
    }
}

void ScorePanel::Label10_Click(int index) {
    Q_EMIT multiplierClicked(m_log.multipliers().row(index).code);
}

void ScorePanel::Label10_MouseMove(int index) {
    const double points =
        summaryFontPointSize(m_screen.sizeTwips().width(), m_prefs.FormSizePercent);
    Q_EMIT multiplierHovered(multiplierSummary(m_log, index), points);
}

bool ScorePanel::eventFilter(QObject* watched, QEvent* event) {
    const auto position = m_label10.indexOf(qobject_cast<QLabel*>(watched));
    if (position < 0) {
        return QObject::eventFilter(watched, event);
    }
    const int index = int(position) + 1;
    if (event->type() == QEvent::MouseMove) {
        Label10_MouseMove(index);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_label10.at(position)->rect().contains(mouse->position().toPoint())) {
            Label10_Click(index);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ditlog

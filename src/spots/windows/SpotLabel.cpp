// Spot labels and the axis they are placed on.
#include "spots/windows/SpotLabel.h"

#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ditlog {

SpotLabel::SpotLabel(int slot, QWidget* parent) : QLabel(parent), m_slot(slot) {
    setObjectName(QStringLiteral("lblDXSpot_%1").arg(slot));
    setAlignment(Qt::AlignCenter);
    // The map hands the focus on with the arrow keys; Tab stops at the map alone.
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_Hover);
    setAccessibleDescription(QStringLiteral(
        "Enter or right click tunes the radio; Delete or left click withdraws the spot"));
    hide();
}

void SpotLabel::showSpot(const DxSpot& spot, const QString& hoverText, const QString& spoken, quint32 rgb) {
    m_spot = spot;
    if (text() != spot.LabelText) {
        setText(spot.LabelText);
    }
    if (toolTip() != hoverText) {
        setToolTip(hoverText);
    }
    if (accessibleName() != spoken) {
        setAccessibleName(spoken);
    }
    const QColor colour = QColor::fromRgb(QRgb(rgb));
    if (palette().color(QPalette::WindowText) != colour) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, colour);
        setPalette(p);
    }
}

void SpotLabel::showMark(SpotMark mark) {
    if (mark == m_mark) {
        return;
    }
    m_mark = mark;
    const bool multiplier = mark == SpotMark::NewMultiplier;
    setAutoFillBackground(multiplier);
    if (multiplier) {
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor::fromRgb(QRgb(kMultiplierSpotBackground)));
        setPalette(p);
    }
}

void SpotLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    Q_EMIT hovered(m_slot, toolTip());
}

void SpotLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button();
    event->accept();
}

void SpotLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const Qt::MouseButton button = event->button();
    if (button != m_pressed || !rect().contains(event->position().toPoint())) {
        m_pressed = Qt::NoButton;
        return;
    }
    m_pressed = Qt::NoButton;
    Q_EMIT clicked(m_slot, button);
}

void SpotLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a click of its own (the strip behind must
    // not take it for a double click on itself).
    mousePressEvent(event);
}

void SpotLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Menu:
        Q_EMIT clicked(m_slot, Qt::RightButton);
        return;
    case Qt::Key_Delete:
        Q_EMIT clicked(m_slot, Qt::LeftButton);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            Q_EMIT stepRequested(m_slot, event->key());
            return;
        }
        break;
    default:
        break;
    }
    QLabel::keyPressEvent(event);
}

void SpotLabel::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    update();
    Q_EMIT focused(m_slot);
}

void SpotLabel::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    update();
}

bool SpotLabel::focusNextPrevChild(bool next) {
    Q_EMIT tabbed(next);
    return true;
}

void SpotLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        // The focus in the spot's own colour, a frame around its text.
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

// ---- the keyboard on a map ---------------------------------------------------------------

void passFocusBy(QWidget* map, bool next) {
    const auto takes = [map](QWidget* w) {
        return (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(w->window()) &&
               w->window() == map->window() && w != map && !map->isAncestorOf(w);
    };
    QWidget* w = map;
    for (int guard = 0; guard < 10000; ++guard) {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == map) {
            return;
        }
        if (takes(w)) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

QList<SpotLabel*> SpotFocus::shownLabels() const {
    QList<SpotLabel*> shown;
    for (SpotLabel* label : m_labels) {
        if (!label->isHidden()) {
            shown.append(label);
        }
    }
    return shown;
}

QList<SpotLabel*> SpotFocus::rowOf(int row, const QList<SpotLabel*>& shown) const {
    QList<SpotLabel*> onRow;
    for (SpotLabel* label : shown) {
        if (label->row() == row) {
            onRow.append(label);
        }
    }
    // Frequency order; the newer of two spots on one frequency first.
    std::sort(onRow.begin(), onRow.end(), [](const SpotLabel* a, const SpotLabel* b) {
        return a->spot().FreqMHz != b->spot().FreqMHz ? a->spot().FreqMHz < b->spot().FreqMHz
                                                      : a->slot() > b->slot();
    });
    return onRow;
}

SpotLabel* SpotFocus::neighbour(const SpotLabel* from, int key) const {
    const QList<SpotLabel*> shown = shownLabels();
    const QList<SpotLabel*> row = rowOf(from->row(), shown);
    const qsizetype at = row.indexOf(const_cast<SpotLabel*>(from));
    if (at < 0) {
        return nullptr;
    }
    const bool vertical = key == Qt::Key_Up || key == Qt::Key_Down;
    if (vertical && m_rows) {
        // The row above or below with spots: the spot standing nearest across.
        const int step = key == Qt::Key_Up ? -1 : 1;
        for (int r = from->row() + step; r >= 0 && r < 64; r += step) {
            const QList<SpotLabel*> other = rowOf(r, shown);
            if (other.isEmpty()) {
                continue;
            }
            const int x = from->geometry().center().x();
            return *std::min_element(other.begin(), other.end(), [x](const SpotLabel* a, const SpotLabel* b) {
                return std::abs(a->geometry().center().x() - x) < std::abs(b->geometry().center().x() - x);
            });
        }
        return nullptr;
    }
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return at > 0 ? row.at(at - 1) : nullptr;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return at + 1 < row.size() ? row.at(at + 1) : nullptr;
    case Qt::Key_Home:
        return row.first();
    case Qt::Key_End:
        return row.last();
    default:
        return nullptr;
    }
}

void SpotFocus::remember(const SpotLabel* label) {
    m_current = label->spot();
    m_currentRow = label->row();
    m_known = true;
}

SpotLabel* SpotFocus::focusTarget(const QList<PendingSpot>& shown) const {
    if (shown.isEmpty()) {
        return nullptr;
    }
    SpotLabel* nearestAbove = nullptr;
    SpotLabel* nearestBelow = nullptr;
    for (const PendingSpot& p : shown) {
        const DxSpot& s = p.label->spot();
        if (s.Call == m_current.Call && s.Time == m_current.Time && s.FreqMHz == m_current.FreqMHz) {
            return p.label;
        }
        if (!m_known || p.label->row() != m_currentRow) {
            continue;
        }
        if (s.FreqMHz >= m_current.FreqMHz) {
            if (nearestAbove == nullptr || s.FreqMHz < nearestAbove->spot().FreqMHz) {
                nearestAbove = p.label;
            }
        } else if (nearestBelow == nullptr || s.FreqMHz > nearestBelow->spot().FreqMHz) {
            nearestBelow = p.label;
        }
    }
    if (nearestAbove != nullptr) {
        return nearestAbove;
    }
    if (nearestBelow != nullptr) {
        return nearestBelow;
    }
    // Nothing on its row (or no spot yet): the newest spot shown.
    return std::max_element(shown.begin(), shown.end(), [](const PendingSpot& a, const PendingSpot& b) {
               return a.label->slot() < b.label->slot();
           })->label;
}

bool SpotFocus::keepFocus(const QList<PendingSpot>& shown, QWidget* fallback) {
    // The window's own focus: it stays on a spot while another window is active too.
    QWidget* focus = fallback->window()->focusWidget();
    const bool onLabel = std::find(m_labels.begin(), m_labels.end(), focus) != m_labels.end();
    if (!onLabel) {
        return false;
    }
    SpotLabel* target = focusTarget(shown);
    if (target == nullptr) {
        fallback->setFocus(Qt::OtherFocusReason);
    } else if (target != focus) {
        target->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

void hideAllBut(const std::array<SpotLabel*, 50>& labels, const QList<PendingSpot>& shown) {
    std::array<bool, 50> keep{};
    for (const PendingSpot& spot : shown) {
        keep[std::size_t(spot.label->slot())] = true;
    }
    for (SpotLabel* label : labels) {
        if (!keep[std::size_t(label->slot())] && !label->isHidden()) {
            label->hide();
        }
    }
}

// ---- the axis ----------------------------------------------------------------------------

int halfSpotLabelWidth(const QFont& font) {
    return (QFontMetrics(font).horizontalAdvance(QStringLiteral("WWW")) + 6) / 2;
}

SpotAxis::SpotAxis(QWidget* parent, const QString& lineName, int firstScaleLabel)
    : m_parent(parent), m_font(parent->font()) {
    m_line = new QFrame(parent);
    m_line->setObjectName(lineName);
    m_line->setAutoFillBackground(true);
    QPalette white = m_line->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_line->setPalette(white);
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(parent);
        label->setObjectName(QStringLiteral("lblFreqSpot_%1").arg(firstScaleLabel + i));
        label->setAlignment(Qt::AlignCenter);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(p);
        m_scale[std::size_t(i)] = label;
    }
    setScale(BandScale{});
}

void SpotAxis::setGeometry(int x1, int x2, int y, int gap, int spotGap, int rows) {
    m_x1 = x1;
    m_x2 = std::max(x1 + 1, x2);
    m_y = y;
    m_gap = gap;
    m_spotGap = spotGap;
    m_rows = std::max(1, rows);
    m_line->setGeometry(m_x1, m_y, m_x2 - m_x1, 1);
    placeScaleLabels();
}

void SpotAxis::setScale(const BandScale& scale) {
    m_scaleValues = scale;
    for (int i = 0; i < 5; ++i) {
        const QString text = scaleText(scale[std::size_t(i)]);
        if (m_scale[std::size_t(i)]->text() != text) {
            m_scale[std::size_t(i)]->setText(text);
            m_scale[std::size_t(i)]->setAccessibleName(QStringLiteral("Scale ") + text);
        }
    }
    placeScaleLabels();
}

void SpotAxis::setFont(const QFont& font) {
    m_font = font;
    for (QLabel* label : m_scale) {
        label->setFont(font);
    }
    placeScaleLabels();
}

void SpotAxis::placeScaleLabels() {
    const QFontMetrics fm(m_font);
    const int height = fm.height();
    for (int i = 0; i < 5; ++i) {
        QLabel* label = m_scale[std::size_t(i)];
        const int width = fm.horizontalAdvance(label->text()) + 6;
        const double centre = m_x1 + i * 0.25 * (m_x2 - m_x1);
        const int left = std::clamp(int(std::lround(centre - width / 2.0)), 0,
                                    std::max(0, m_parent->width() - width));
        label->setGeometry(left, m_y + m_gap, width, height);
    }
}

std::optional<double> SpotAxis::centreOf(double mhz) const {
    if (!onScale(mhz, s0(), s4())) {
        return std::nullopt;
    }
    return axisPosition(mhz, s0(), s4(), m_x1, m_x2);
}

void SpotAxis::placeSpots(const QList<PendingSpot>& spots) const {
    const QFontMetrics fm(m_font);
    const int height = fm.height();
    const int limit = m_parent->width();
    QList<LabelSpan> spans;
    QList<QRect> rects;
    spans.reserve(spots.size());
    for (const PendingSpot& spot : spots) {
        if (spot.label->font() != m_font) {
            spot.label->setFont(m_font);
        }
        const int width = std::min(limit, fm.horizontalAdvance(spot.label->text()) + 6);
        const int left = std::clamp(int(std::lround(spot.centre - width / 2.0)), 0,
                                    std::max(0, limit - width));
        spans.append({left, left + width});
        rects.append(QRect(left, 0, width, height));
    }
    const QList<int> rows = stackRows(spans, m_rows);
    for (qsizetype i = 0; i < spots.size(); ++i) {
        QRect r = rects[i];
        r.moveTop(m_y - m_spotGap - (rows[i] + 1) * height);
        if (spots[i].label->geometry() != r) {
            spots[i].label->setGeometry(r);
        }
        if (spots[i].label->isHidden()) {
            spots[i].label->show();
        }
    }
}

} // namespace ditlog

// The check-partial list and its model.
#include "app/CheckPartialList.h"

#include "assist/WorkedCalls.h"
#include "log/ContactLog.h"

#include <QAccessible>
#include <QFont>
#include <QKeyEvent>
#include <QLocale>

namespace ditlog {

namespace {
const QColor kWorkedColour(0, 0, 160);
const QColor kDupeColour(150, 0, 0);
} // namespace

void CheckPartialModel::show(const PartialMatches& matches, const QString& band) {
    beginResetModel();
    m_matches = matches;
    m_bandBit = quint16(1u << CallKey::bandOf(band));
    endResetModel();
}

int CheckPartialModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_matches.rows.size());
}

QVariant CheckPartialModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_matches.rows.size()) {
        return {};
    }
    const PartialRow& row = m_matches.rows.at(index.row());
    const bool worked = row.workedBands != 0;
    switch (role) {
    case Qt::DisplayRole: return worked ? row.call + QLatin1Char('*') : row.call;
    case Qt::UserRole: return row.call;
    case Qt::ForegroundRole:
        if (worked) {
            return (row.workedBands & m_bandBit) != 0 ? kDupeColour : kWorkedColour;
        }
        return {};
    case Qt::FontRole:
        if (worked) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        if (worked) {
            return QStringLiteral("%1, worked on %2%3")
                .arg(row.call, WorkedCalls::bandsText(row.workedBands),
                     (row.workedBands & m_bandBit) != 0 ? QStringLiteral(", dupe") : QString());
        }
        return row.call;
    default: return {};
    }
}

CheckPartialList::CheckPartialList(QWidget* parent) : QListView(parent), m_model(this) {
    setObjectName(QStringLiteral("lstCheckPartial"));
    setAccessibleName(QStringLiteral("Check partial"));
    setModel(&m_model);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setUniformItemSizes(false);
    setSpacing(3);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(QStringLiteral("Calls holding what is typed; * worked before. Ctrl+K reads the "
                              "first five."));
    connect(this, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        Q_EMIT callChosen(index.data(Qt::UserRole).toString());
    });
}

void CheckPartialList::showMatches(const PartialMatches& matches, const QString& band) {
    const QString before = countText();
    m_model.show(matches, band);
    const bool capped = matches.total > matches.rows.size();
    setAccessibleName(capped ? QStringLiteral("Check partial, %1").arg(countText())
                             : QStringLiteral("Check partial"));
    if (countText() != before) {
        setAccessibleDescription(countText());
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QString CheckPartialList::countText() const {
    const PartialMatches& m = m_model.matches();
    if (m.total == 0) {
        return QStringLiteral("No calls");
    }
    const QString kind = m.near ? QStringLiteral("near ") : QString();
    if (m.total > m.rows.size()) {
        return QStringLiteral("%1 of %2 %3calls")
            .arg(QLocale(QLocale::English).toString(m.rows.size()),
                 QLocale(QLocale::English).toString(m.total), kind);
    }
    return QStringLiteral("%1 %2%3").arg(m.total).arg(kind, m.total == 1 ? QStringLiteral("call")
                                                                          : QStringLiteral("calls"));
}

QString CheckPartialList::firstCallsSpoken(int count) const {
    QStringList calls;
    for (const PartialRow& row : m_model.matches().rows.mid(0, count)) {
        QStringList letters;
        for (const QChar c : row.call) {
            letters << (c == QLatin1Char('/') ? QStringLiteral("stroke") : QString(c));
        }
        calls << letters.join(QLatin1Char(' ')) + (row.workedBands != 0 ? QStringLiteral(" worked")
                                                                        : QString());
    }
    return calls.join(QStringLiteral(", "));
}

void CheckPartialList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        Q_EMIT callChosen(currentIndex().data(Qt::UserRole).toString());
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace ditlog

// Rows and cells of the spot list.
#include "spots/SpotListModel.h"

#include <QColor>

#include "log/RecordFile.h"
#include "spots/SpotText.h"

namespace ditlog {

SpotListModel::SpotListModel(QObject* parent) : QAbstractTableModel(parent) {}

QStringList SpotListModel::captions() {
    return {QStringLiteral("Call"),     QStringLiteral("Frequency"), QStringLiteral("QTH"),
            QStringLiteral("Status"),   QStringLiteral("Comments"),  QStringLiteral("Prefix"),
            QStringLiteral("Time"),     QStringLiteral("From")};
}

QList<int> SpotListModel::designWidthsTwips() { return {1040, 880, 2000, 0, 3400, 520, 600, 520}; }

SpotListRow SpotListModel::makeRow(const QString& call, float freqMHz, const QString& country,
                                   const QString& record) {
    const SpotRowColumns c = spotRowColumns(record);
    SpotListRow row;
    row.cells = {call, shortestNumber(freqMHz), country, QString(), c.comments, c.prefix, c.time,
                 c.from};
    return row;
}

void SpotListModel::addRow(SpotListRow row) {
    if (m_rows.size() >= kMaxRows) {
        const int last = int(m_rows.size()) - 1;
        beginRemoveRows({}, kMaxRows - 1, last);
        m_rows.resize(kMaxRows - 1);
        endRemoveRows();
    }
    beginInsertRows({}, 0, 0);
    m_rows.prepend(std::move(row));
    endInsertRows();
}

QString SpotListModel::cellText(int row, int column) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= SpotListRow::kColumns) {
        return {};
    }
    return m_rows.at(row).cells.at(std::size_t(column));
}

void SpotListModel::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int SpotListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SpotListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : SpotListRow::kColumns;
}

void SpotListModel::setMarker(SpotMarker marker) {
    m_marker = std::move(marker);
    refreshMarks();
}

void SpotListModel::refreshMarks() {
    if (!m_rows.isEmpty()) {
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, SpotListRow::kColumns - 1));
    }
}

SpotMark SpotListModel::markOf(int row) const {
    if (!m_marker || row < 0 || row >= m_rows.size()) {
        return SpotMark::None;
    }
    const SpotListRow& r = m_rows.at(row);
    return m_marker(r.cells[0], r.cells[1].toDouble());
}

QVariant SpotListModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::ForegroundRole) {
        switch (markOf(index.row())) {
        case SpotMark::Dupe: return QColor::fromRgb(QRgb(kDupeSpotColour));
        case SpotMark::NewMultiplier: return QColor::fromRgb(QRgb(kMultiplierListColour));
        case SpotMark::None: break;
        }
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    const QString text = cellText(index.row(), index.column());
    if (role != Qt::DisplayRole && index.column() == 0) {
        // The call says what it is: "K1ABC, dupe", "VE9XYZ, new multiplier".
        const QString words = spotMarkWords(markOf(index.row()));
        return words.isEmpty() ? text : text + QStringLiteral(", ") + words;
    }
    return text;
}

QVariant SpotListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < SpotListRow::kColumns) {
        return captions().at(section);
    }
    return {};
}

} // namespace ditlog

// The spot list (txtDX) as a table model: newest row on top, at most 200 rows, eight
// columns from the spot and its record.
#pragma once

#include "spots/SpotMark.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <array>

namespace ditlog {

struct SpotListRow {
    static constexpr int kColumns = 8;
    std::array<QString, kColumns> cells; // Call, Frequency, QTH, Status, Comments, Prefix, Time, From
};

class SpotListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 200;

    explicit SpotListModel(QObject* parent = nullptr);

    static QStringList captions();
    // Column widths on a 9600-twip-wide window; the Status column is hidden (0).
    static QList<int> designWidthsTwips();

    // A row for a spot: the call, the frequency in MHz as the list shows it, the country
    // and the columns taken from the record.
    static SpotListRow makeRow(const QString& call, float freqMHz, const QString& country,
                               const QString& record);

    // Inserts at the top; the bottom row leaves when the list already holds 200.
    void addRow(SpotListRow row);
    const SpotListRow& row(int index) const { return m_rows.at(index); }
    QString cellText(int row, int column) const;
    void clear();
    // Who decides the marks of the rows' calls; none marks nothing. refreshMarks()
    // repaints the rows after what the marks depend on changed.
    void setMarker(SpotMarker marker);
    void refreshMarks();
    SpotMark markOf(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<SpotListRow> m_rows;
    SpotMarker m_marker;
};

} // namespace ditlog

// The recent-contacts list as a table model over the contact log: the last 20, all
// records, or an explicit selection (earlier contacts of one call), newest first.
#pragma once

#include "log/ContactLog.h"

#include <QAbstractTableModel>

namespace ditlog {

class RecentContactsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 10;
    static constexpr int kLastCount = 20;

    explicit RecentContactsModel(const ContactLog& log, QObject* parent = nullptr);

    static QStringList captions();
    static QList<int> designWidthsTwips();

    // RecentList: newest at the top; all records or the last 20.
    void RecentList(bool showAll);
    // Rows in the given order (record numbers from 1).
    void showRecords(const QList<int>& recordNumbers);
    void clear() { showRecords({}); }
    // Sorts the shown rows once by a column's text, ascending.
    void sortByColumn(int column);

    int recordAtRow(int row) const { return m_rows.value(row, 0); }
    QString cellText(int row, int column) const;
    // The shown rows, oldest first, with a caption line, tab-separated, CR LF line ends.
    QString clipboardText() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString textOf(int recordNumber, int column) const;

    const ContactLog& m_log;
    QList<int> m_rows;
};

// "yyyy/mm/dd" and "hh:mm:ss" as the list shows them: "mm/dd hh:mm".
QString listDateTime(const QString& date, const QString& time);

} // namespace ditlog

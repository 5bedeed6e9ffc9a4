// Rows, cell texts and the clipboard form of the recent-contacts list.
#include "log/RecentContactsModel.h"

#include <QDate>
#include <QTime>

#include <algorithm>

namespace ditlog {

QString listDateTime(const QString& date, const QString& time) {
    const QDate d = QDate::fromString(date.trimmed(), QStringLiteral("yyyy/M/d"));
    const QString datePart = d.isValid() ? d.toString(QStringLiteral("MM/dd")) : date;
    QTime t = QTime::fromString(time.trimmed(), QStringLiteral("H:m:s"));
    if (!t.isValid()) {
        t = QTime::fromString(time.trimmed(), QStringLiteral("H:m"));
    }
    const QString timePart = t.isValid() ? t.toString(QStringLiteral("HH:mm")) : time;
    return datePart + QLatin1Char(' ') + timePart;
}

RecentContactsModel::RecentContactsModel(const ContactLog& log, QObject* parent)
    : QAbstractTableModel(parent), m_log(log) {}

QStringList RecentContactsModel::captions() {
    return {QStringLiteral("Rec#"), QStringLiteral("Call"), QStringLiteral("Rec"),
            QStringLiteral("SPC"),  QStringLiteral("Name"), QStringLiteral("Varns"),
            QStringLiteral("Snt"),  QStringLiteral("Date/Time"), QStringLiteral("Bnd"),
            QStringLiteral("Pts")};
}

QList<int> RecentContactsModel::designWidthsTwips() {
    return {550, 850, 430, 720, 790, 550, 420, 900, 430, 370};
}

void RecentContactsModel::RecentList(bool showAll) {
    const int n = m_log.count();
    const int first = (showAll || n < kLastCount) ? 1 : n - (kLastCount - 1);
    QList<int> rows;
    rows.reserve(n - first + 1);
    for (int i = n; i >= first; --i) {
        rows.append(i);
    }
    showRecords(rows);
}

void RecentContactsModel::showRecords(const QList<int>& recordNumbers) {
    beginResetModel();
    m_rows = recordNumbers;
    endResetModel();
}

void RecentContactsModel::sortByColumn(int column) {
    if (column < 0 || column >= kColumns) {
        return;
    }
    beginResetModel();
    std::stable_sort(m_rows.begin(), m_rows.end(), [this, column](int a, int b) {
        return textOf(a, column) < textOf(b, column);
    });
    endResetModel();
}

QString RecentContactsModel::textOf(int recordNumber, int column) const {
    if (recordNumber < 1 || recordNumber > m_log.count()) {
        return {};
    }
    const ContactRecord& r = m_log.record(recordNumber);
    switch (column) {
    case 0: return QString::number(recordNumber);
    case 1: return r.call;
    case 2: return r.rstReceived;
    case 3: return r.spc;
    case 4: return r.name;
    case 5: return r.exchange;
    case 6: return r.rstSent;
    case 7: return listDateTime(r.date, r.time);
    case 8: return r.band;
    case 9: return shortestNumber(r.points);
    default: return {};
    }
}

QString RecentContactsModel::cellText(int row, int column) const {
    return textOf(recordAtRow(row), column);
}

QString RecentContactsModel::clipboardText() const {
    const QString tab = QStringLiteral("\t");
    const QString lineEnd = QStringLiteral("\r\n");
    QString out = captions().join(tab) + lineEnd;
    for (int row = int(m_rows.size()) - 1; row >= 0; --row) {
        for (int column = 0; column < kColumns; ++column) {
            out += cellText(row, column);
            out += column + 1 < kColumns ? tab : lineEnd;
        }
    }
    return out;
}

int RecentContactsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecentContactsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant RecentContactsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return cellText(index.row(), index.column());
}

QVariant RecentContactsModel::headerData(int section, Qt::Orientation orientation,
                                         int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return captions().value(section);
}

} // namespace ditlog

// Filling the two lists from the contact log.
#include "app/ListsPanel.h"

#include "log/ContactLog.h"
#include "log/RecentContactsModel.h"
#include "ui/PlainTextDelegate.h"
#include "ui/WindowScaling.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTreeView>

namespace ditlog {

ListsPanel::ListsPanel(const ContactLog& log, DesignCanvas& canvas, QObject* parent)
    : QObject(parent), m_log(log), m_model(new RecentContactsModel(log, this)),
      m_entities(new QStringListModel(this)), m_listView(new QTreeView(&canvas)),
      m_list1(new QListView(&canvas)), m_heading(new QLabel(&canvas)),
      m_cmdList(new QPushButton(QStringLiteral("Last 20"), &canvas)),
      m_cmdEdit(new QPushButton(QStringLiteral("Edit Contact"), &canvas)),
      m_cmdDelete(new QPushButton(QStringLiteral("Delete Contact"), &canvas)) {
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setModel(m_model);
    m_listView->setRootIsDecorated(false);
    m_listView->setUniformRowHeights(true); // keeps "All" on a large log instant
    m_listView->setItemDelegate(new PlainTextDelegate(m_listView));
    m_listView->setAlternatingRowColors(true);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setToolTip(QStringLiteral("Click record to edit or delete."));
    m_listView->header()->setStretchLastSection(false);
    m_listView->header()->setSectionsClickable(true);
    m_listView->header()->setSortIndicatorShown(false);
    canvas.place(m_listView, 120, 2160, 6300, 2460);
    // The widest values of each column, shown whole at every window size.
    canvas.setColumnWidths(m_listView, RecentContactsModel::designWidthsTwips(),
                           {QStringLiteral("12000"), QStringLiteral("WB2ABC"), QStringLiteral("599"),
                            QStringLiteral("England"), QStringLiteral("BOB"), QStringLiteral("12345"),
                            QStringLiteral("599"), QStringLiteral("12/31 23:59"), QStringLiteral("160"),
                            QStringLiteral("5")});

    m_heading->setObjectName(QStringLiteral("lblStation_5"));
    canvas.place(m_heading, 6600, 3780, 2880, 220);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setModel(m_entities);
    m_list1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    canvas.place(m_list1, 6600, 4000, 2880, 620);

    m_cmdList->setObjectName(QStringLiteral("cmdList"));
    m_cmdList->setToolTip(
        QStringLiteral("List all or last 20 contacts (Listing all will slow the program)"));
    canvas.place(m_cmdList, 3400, 1740, 900, 330);
    m_cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    canvas.place(m_cmdEdit, 4400, 1740, 1000, 330);
    m_cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    canvas.place(m_cmdDelete, 5500, 1740, 950, 330);
    setEditButtonsVisible(false);

    connect(m_cmdList, &QPushButton::clicked, this, &ListsPanel::cmdList_Click);
    connect(m_cmdEdit, &QPushButton::clicked, this, &ListsPanel::editRequested);
    connect(m_cmdDelete, &QPushButton::clicked, this, &ListsPanel::deleteRequested);
    connect(m_listView->header(), &QHeaderView::sectionClicked, m_model,
            &RecentContactsModel::sortByColumn);
    connect(m_listView, &QTreeView::clicked, this, &ListsPanel::ListView1_Click);
    m_listView->installEventFilter(this);
    m_listView->viewport()->installEventFilter(this);
}

void ListsPanel::ListView1_Click() { setEditButtonsVisible(m_model->rowCount() > 0); }

bool ListsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_listView && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            ListView1_Click();
        }
    } else if (watched == m_listView->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // A right click edits the contact under the pointer.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && m_model->rowCount() > 0) {
            const QModelIndex at = m_listView->indexAt(mouse->position().toPoint());
            if (at.isValid()) {
                m_listView->setCurrentIndex(at);
            }
            Q_EMIT editRequested();
            return true;
        }
    }
    return false;
}

void ListsPanel::RecentList() { m_model->RecentList(m_showAll); }

void ListsPanel::ListRefresh() {
    const QStringList& entities = m_log.dxEntityList();
    m_heading->setText(QStringLiteral("DX  - %1").arg(entities.size()));
    m_entities->setStringList(entities);
}

void ListsPanel::cmdList_Click() {
    // The caption names the mode being shown.
    m_showAll = !m_showAll;
    m_cmdList->setText(m_showAll ? QStringLiteral("All") : QStringLiteral("Last 20"));
    RecentList();
    Q_EMIT callFocusRequested();
}

void ListsPanel::setEditButtonsVisible(bool visible) {
    m_cmdEdit->setVisible(visible);
    m_cmdDelete->setVisible(visible);
}

int ListsPanel::selectedRecord() const {
    const QModelIndex current = m_listView->currentIndex();
    return current.isValid() ? m_model->recordAtRow(current.row()) : 0;
}

} // namespace ditlog

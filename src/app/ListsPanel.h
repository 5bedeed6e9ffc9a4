// The recent-contacts list (ListView1) with its "Last 20"/"All" button and the edit and
// delete buttons, and the DX entity list (List1) with its heading.
#pragma once

#include <QObject>

class QLabel;
class QListView;
class QPushButton;
class QStringListModel;
class QTreeView;

namespace ditlog {

class ContactLog;
class DesignCanvas;
class RecentContactsModel;

class ListsPanel : public QObject {
    Q_OBJECT
public:
    ListsPanel(const ContactLog& log, DesignCanvas& canvas, QObject* parent = nullptr);

    void RecentList();
    void ListRefresh();
    void cmdList_Click();
    void setEditButtonsVisible(bool visible);
    // A click in the list offers editing and deleting the selected contact.
    void ListView1_Click();
    bool showsAll() const { return m_showAll; }

    QTreeView* ListView1() const { return m_listView; }
    QListView* List1() const { return m_list1; }
    QLabel* heading() const { return m_heading; }
    QPushButton* cmdList() const { return m_cmdList; }
    QPushButton* cmdEdit() const { return m_cmdEdit; }
    QPushButton* cmdDelete() const { return m_cmdDelete; }
    RecentContactsModel& model() const { return *m_model; }
    // The record number of the selected row, 0 when none.
    int selectedRecord() const;

Q_SIGNALS:
    void callFocusRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void editRequested();
    void deleteRequested();

private:
    const ContactLog& m_log;
    RecentContactsModel* m_model;
    QStringListModel* m_entities;
    QTreeView* m_listView;
    QListView* m_list1;
    QLabel* m_heading;
    QPushButton* m_cmdList;
    QPushButton* m_cmdEdit;
    QPushButton* m_cmdDelete;
    bool m_showAll = false;
};

} // namespace ditlog

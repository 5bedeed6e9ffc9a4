// Log maintenance from the main window: editing and deleting contacts from the recent
// list, archiving the log and restoring an archive. Every change to the records goes
// through the one rewrite-and-reload path.
#include "app/MainWindow.h"

#include "app/EntryPanel.h"
#include "app/ListsPanel.h"
#include "log/LogArchive.h"
#include "log/windows/EditContactDialog.h"
#include "platform/UserPrompts.h"

namespace ditlog {

void MainWindow::cmdEdit_Click() {
    const int number = m_lists->selectedRecord();
    if (number < 1 || number > m_log.count()) {
        return;
    }
    auto* edit = new EditContactDialog(m_log, number, m_prefixes, m_services.prompts,
                                       m_services.screen, this);
    connect(edit, &EditContactDialog::deleteDupeRequested, this,
            &MainWindow::cmdDelete_Click, Qt::QueuedConnection);
    connect(edit, &QDialog::finished, this, [this, edit] {
        edit->deleteLater();
        m_lists->RecentList();
        m_lists->setEditButtonsVisible(false);
        rewriteLog(); // also when nothing changed: the file always matches the list
        // The keyboard goes back to the call field, as after a deletion: the list the
        // record was picked from would swallow the next call typed.
        m_entry->focusCall();
    });
    edit->open();
}

void MainWindow::cmdDelete_Click(int number) {
    const PromptAnswer answer =
        m_services.prompts.message(QStringLiteral("Are you sure?"), QStringLiteral("Are you sure?"),
                                   PromptButtons::YesNo, PromptIcon::Question);
    m_lists->setEditButtonsVisible(false);
    if (answer == PromptAnswer::Yes && deleteRecord(m_log, number)) {
        rewriteLog();
    }
    m_entry->focusCall();
}

void MainWindow::mnuArchive_Click() {
    archiveLog(m_logFile.path(), m_folders.BackupFolder, m_prefs.OwnCall, m_services.prompts,
               m_services.clock);
    m_entry->focusCall();
}

void MainWindow::mnuRestore_Click() {
    if (restoreLog(m_log, m_logFile.path(), m_folders.BackupFolder, m_services.prompts)) {
        mnuOpen2();
    }
    m_entry->focusCall();
}

} // namespace ditlog

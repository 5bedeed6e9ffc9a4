// The main window's rate graph: "&Graph" opens it, computed afresh from the log.
#include "app/MainWindow.h"

#include "charts/RateGraph.h"
#include "charts/windows/GraphQSOWindow.h"
#include "platform/UserPrompts.h"

#include <QAction>

namespace ditlog {

void MainWindow::buildCharts() {
    QAction* graph = action(QStringLiteral("mnuGraph"));
    graph->setEnabled(true);
    connect(graph, &QAction::triggered, this, &MainWindow::mnuGraph_Click);
}

void MainWindow::mnuGraph_Click() {
    if (findChild<GraphQSOWindow*>() != nullptr) {
        return; // already open
    }
    std::optional<RateGraph> graph = DrawRateGraph(rateContacts(m_log));
    if (!graph) {
        m_services.prompts.message(
            QStringLiteral("Not Enough Contacts to Graph."),
            QStringLiteral("The graph will not display with less than 7 contacts.  The graph becomes more "
                           "meaningful as several hours of contest logging are accumulated."));
        return;
    }
    auto* window = new GraphQSOWindow(std::move(*graph), m_services.screen, m_services.prompts, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    window->open();
}

} // namespace ditlog

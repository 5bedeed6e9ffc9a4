// How a screen reader finds the main window: each control named after its heading or
// caption, each value label described (its text, the value, stays its name so that a
// change is announced), and a tab order that reads the window row by row.
#include "app/MainWindow.h"

#include "app/ClockPanel.h"
#include "app/EntryPanel.h"
#include "app/ListsPanel.h"
#include "app/ScorePanel.h"
#include "spots/windows/BandMapStrip.h"
#include "spots/windows/SpotDesk.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>

namespace ditlog {

void MainWindow::describeForScreenReaders() {
    const QList<std::tuple<QWidget*, QString, QString>> controls{
        {m_entry->txtCall, QStringLiteral("Call"), {}},
        {m_entry->txtRSTR, QStringLiteral("RS(T) Rc"), QStringLiteral("Report received")},
        {m_entry->txtCntry, QStringLiteral("SPC"), QStringLiteral("State / Province / Country")},
        {m_entry->txtName, QStringLiteral("Name"), {}},
        {m_entry->txtSec, QStringLiteral("Varns/Pwr"),
         QStringLiteral("Member number, or power followed by W")},
        {m_entry->txtRSTS, QStringLiteral("RS(T) Sn"), QStringLiteral("Report sent")},
        {m_entry->txtPostConTime, QStringLiteral("Time"), QStringLiteral("Time of a past contact")},
        {m_entry->txtPostConDate, QStringLiteral("Date"), QStringLiteral("Date of a past contact")},
        {m_lists->ListView1(), QStringLiteral("Recent contacts"),
         QStringLiteral("Click record to edit or delete.")},
        {m_lists->List1(), QStringLiteral("DX entities worked"), {}},
    };
    for (const auto& [control, name, description] : controls) {
        control->setAccessibleName(name);
        if (!description.isEmpty()) {
            control->setAccessibleDescription(description);
        }
    }
    const QList<std::pair<QLabel*, QString>> values{
        {m_entry->lblDialog, QStringLiteral("Status line")},
        {m_entry->lblDupe, QStringLiteral("Possible duplicates")},
        {m_entry->lblNew, QStringLiteral("New DX entity")},
        {m_entry->Label19, QStringLiteral("Continent")},
        {m_entry->Label22, QStringLiteral("Bearing in degrees")},
        {m_entry->Label23, QStringLiteral("Distance in miles")},
        {m_lblOwnStation, QStringLiteral("Own station")},
        {m_lblBand, QStringLiteral("Band; click to change")},
        {m_lblMode, QStringLiteral("Mode; click to change")},
        {m_lists->heading(), QStringLiteral("DX entities worked")},
        {m_clocks->lblLocalTime, QStringLiteral("Local time")},
        {m_clocks->lblAmPm, QStringLiteral("AM or PM")},
        {m_clocks->lblUtcTime, QStringLiteral("UTC time")},
        {m_clocks->lblOperatingTime, QStringLiteral("Operating time")},
        {m_score->lblTotalContacts(), QStringLiteral("Total contacts")},
        {m_score->lblTotalPoints(), QStringLiteral("Total QSO points")},
        {m_score->lblTotalMultipliers(), QStringLiteral("Total multipliers")},
        {m_score->lblTotalScore(), QStringLiteral("Total score")},
        {m_score->lblRate20(), QStringLiteral("QSOs per hour, last 20 minutes")},
        {m_score->lblRate60(), QStringLiteral("QSOs per hour, last 60 minutes")},
    };
    for (const auto& [label, description] : values) {
        label->setAccessibleDescription(description);
    }

    // After the entry row: the buttons below it, left to right, then the two lists, and at
    // the bottom the spot display (the spot list or the band map, whichever shows).
    QWidget* previous = m_entry->txtPostConDate;
    for (QWidget* next : {static_cast<QWidget*>(m_clocks->cmdLogOn), static_cast<QWidget*>(m_lists->cmdList()),
                          static_cast<QWidget*>(m_lists->cmdEdit()), static_cast<QWidget*>(m_lists->cmdDelete()),
                          static_cast<QWidget*>(m_lists->ListView1()), static_cast<QWidget*>(m_lists->List1()),
                          static_cast<QWidget*>(m_spots->txtDX()), static_cast<QWidget*>(m_spots->lblDX())}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

} // namespace ditlog

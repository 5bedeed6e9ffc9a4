// The band plan panel (frmBandPlan, "Frequency Privileges"): one licence class at a time,
// a bar per band with the class's CW and phone segments laid into it.
#pragma once

#include "rig/BandPlan.h"

#include <QDialog>

#include <optional>

class QFrame;
class QLabel;
class QPushButton;

namespace ditlog {

class DesignCanvas;
class Screen;
class UserPrompts;

class BandPlanWindow : public QDialog {
    Q_OBJECT
public:
    // Reads "BandPlan.txt" from the working folder and draws the Extra class.
    BandPlanWindow(const QString& workingFolder, const Screen& screen, UserPrompts& prompts,
                   QWidget* parent = nullptr);

    // Removes the previous drawing and draws the class ("N", "T", "P", "G", "A", "E").
    void DrawPrivileges(const QString& classCode);
    const QString& shownClass() const { return m_class; }
    bool hasBandData() const { return m_plan.has_value(); }

    QPushButton* Command1 = nullptr; // Novice
    QPushButton* Command2 = nullptr; // Technician
    QPushButton* Command3 = nullptr; // Tech +
    QPushButton* Command4 = nullptr; // General
    QPushButton* Command5 = nullptr; // Advanced
    QPushButton* Command6 = nullptr; // Extra
    QPushButton* Command7 = nullptr; // Done
    QLabel* lblTitle = nullptr;
    QLabel* lblEffective = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildHeader();
    void chooseClass(const QString& classCode);
    double fontScale() const;

    UserPrompts& m_prompts;
    const Screen& m_screen;
    std::optional<BandPlan> m_plan;
    DesignCanvas* m_canvas = nullptr;
    QFrame* m_separator = nullptr;
    QString m_class = QStringLiteral("E");
    bool m_told = false;
    bool m_redrawPending = false;
};

} // namespace ditlog

// The "Score Statistics" frame with its six values, the multipliers-worked line
// (Label15) and the 62 state and province labels (Label10) in their call-area groups.
#pragma once

#include <QList>
#include <QObject>

class QDateTime;
class QGroupBox;
class QLabel;

namespace ditlog {

class ContactLog;
class DesignCanvas;
class Screen;
struct StationPreferences;

class ScorePanel : public QObject {
    Q_OBJECT
public:
    ScorePanel(const ContactLog& log, const StationPreferences& prefs, const Screen& screen,
               DesignCanvas& canvas, QObject* parent = nullptr);

    // After a load: worked rows in WorkedColour, the others in RemainingColour.
    void CountMultipliers();
    // After a logged contact newly worked row 1..62 (0 does nothing).
    void MarkMultiplier(int row);
    void Labeldisplay();
    // Recomputes both rates for the log's clock; an unreadable record leaves them as
    // they were.
    void TimeStats(const QDateTime& now);

    void Label10_Click(int index);
    void Label10_MouseMove(int index);

    QGroupBox* scoreFrame() const { return m_frame; }
    QLabel* Label15() const { return m_label15; }
    // Rows 1 to 62.
    QLabel* Label10(int index) const { return m_label10.at(index - 1); }
    // The stored &HBBGGRR colour a multiplier label is drawn in.
    qint32 Label10Colour(int index) const { return m_label10Colours.at(index - 1); }
    QLabel* lblTotalContacts() const { return m_totalContacts; }
    QLabel* lblTotalPoints() const { return m_totalPoints; }
    QLabel* lblTotalMultipliers() const { return m_totalMultipliers; }
    QLabel* lblTotalScore() const { return m_totalScore; }
    QLabel* lblRate20() const { return m_rate20; }
    QLabel* lblRate60() const { return m_rate60; }

Q_SIGNALS:
    // A multiplier label was clicked: its code goes into the SPC field.
    void multiplierClicked(const QString& code);
    // The pointer is over a multiplier label: the text and font size for lblDupe.
    void multiplierHovered(const QString& text, double pointSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildScoreFrame(DesignCanvas& canvas);
    void buildMultiplierLabels(DesignCanvas& canvas);
    void setLabelColour(int index, qint32 stored);
    void showWorkedCount(int worked);

    const ContactLog& m_log;
    const StationPreferences& m_prefs;
    const Screen& m_screen;
    QGroupBox* m_frame = nullptr;
    QLabel* m_totalContacts = nullptr;
    QLabel* m_totalPoints = nullptr;
    QLabel* m_totalMultipliers = nullptr;
    QLabel* m_totalScore = nullptr;
    QLabel* m_rate20 = nullptr;
    QLabel* m_rate60 = nullptr;
    QLabel* m_label15 = nullptr;
    QList<QLabel*> m_label10;
    QList<qint32> m_label10Colours;
};

} // namespace ditlog

// The station window: the operator's own call, position, SPC, UTC offset and name,
// with the typing rules of its boxes and the save to the preferences and shared file.
#pragma once

#include <QDialog>
#include <QHash>

#include <array>
#include <optional>

class QLineEdit;
class QPushButton;
class QFocusEvent;
class QKeyEvent;

namespace ditlog {

class DesignCanvas;
class EntityNames;
class Screen;
class SettingsStore;
class SharedPreferences;
class UserPrompts;
struct StationPreferences;

class StationWindow : public QDialog {
    Q_OBJECT
public:
    // names may be null while no prefix table is loaded: the country box then completes
    // nothing. The window edits prefs in place when "Done" is pressed.
    StationWindow(StationPreferences& prefs, SettingsStore& settings, SharedPreferences& shared,
                  const EntityNames* names, const Screen& screen, UserPrompts& prompts,
                  QWidget* parent = nullptr);

    void setEntityNames(const EntityNames* names) { m_names = names; }

    // Fills the boxes from the preferences; an empty own call takes "UserCallSign".
    // Runs at construction and each time the window is opened again.
    void loadFromPreferences();

    QLineEdit* Text1 = nullptr;      // own call
    QLineEdit* Text2 = nullptr;      // country
    QLineEdit* Text3 = nullptr;      // longitude
    QLineEdit* Text4 = nullptr;      // latitude
    QLineEdit* Text5 = nullptr;      // own SPC
    QLineEdit* Text6 = nullptr;      // UTC offset
    QLineEdit* Text7 = nullptr;      // continent
    QLineEdit* Text8 = nullptr;      // member number
    QLineEdit* Text9 = nullptr;      // first name
    QPushButton* Command1 = nullptr; // "Done"

Q_SIGNALS:
    // The boxes were copied into the preferences; the preference file should be saved
    // and the own-station labels refreshed.
    void stationSaved();

public Q_SLOTS:
    void Command1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Fills a box, remembering the whole value in case the box must cut it.
    void showValue(QLineEdit* box, const QString& value);
    QString valueOf(const QLineEdit* box) const;
    QLineEdit* addBox(const QString& objectName, const QString& caption, int maxLength, int left,
                      int top, int boxWidth);
    bool capitalBox(const QObject* box) const;
    bool boxKeyPress(QLineEdit* box, QKeyEvent* key);
    bool Text2_KeyPress(const QString& typed);
    bool Text6_KeyPress(const QKeyEvent* key);
    // A new operator's country, position and continent come from the own call while
    // those boxes are empty (a position of 0) or still hold what the call put there.
    void fillFromCall();
    bool placeUntouched() const;
    void Text6_LostFocus(const QFocusEvent* focus);
    void writeSharedPreferences();

    StationPreferences& m_prefs;
    SettingsStore& m_settings;
    SharedPreferences& m_shared;
    const EntityNames* m_names;
    UserPrompts& m_prompts;
    DesignCanvas* m_canvas = nullptr;
    QHash<const QLineEdit*, QString> m_shownValues;
    // Country, longitude, latitude and continent: as the call filled them, and as they
    // were before, to give back when the call no longer names an entity.
    using PlaceTexts = std::array<QString, 4>;
    std::optional<PlaceTexts> m_filledFromCall;
    PlaceTexts m_beforeFill;
};

} // namespace ditlog

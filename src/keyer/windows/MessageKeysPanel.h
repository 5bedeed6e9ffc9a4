// The CW window's "Enter Sends Message" block: which function key holds the CQ, exchange,
// thank-you, my-call and his-call messages that Enter sends (F1 to F5 unless changed),
// kept in the settings store.
#pragma once

#include "assist/MessageKeys.h"

#include <QObject>

#include <array>

class QComboBox;
class QWidget;

namespace ditlog {

class DesignCanvas;
class SettingsStore;

class MessageKeysPanel : public QObject {
    Q_OBJECT
public:
    // Places the block on the canvas at its design rectangle.
    MessageKeysPanel(SettingsStore& store, DesignCanvas& canvas, QObject* parent = nullptr);

    // Shows what the store holds.
    void refresh();
    QComboBox* combo(MessageRole role) const { return m_combos[std::size_t(role)]; }
    // The block's controls in tab order, after `previous` and before `next`.
    void chainTabOrder(QWidget* previous, QWidget* next) const;

private:
    void chosen(MessageRole role, int index);

    SettingsStore& m_store;
    std::array<QComboBox*, kMessageRoles> m_combos{};
    bool m_filling = false;
};

} // namespace ditlog

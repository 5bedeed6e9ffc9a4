// The key hold: a queue of key presses typed again as real key events once released.
#include "ui/KeyHold.h"

#include <QApplication>
#include <QKeyEvent>

namespace ditlog {

void KeyHold::hold(const QString& cause) { m_causes.insert(cause); }

void KeyHold::release(const QString& cause) {
    if (!m_causes.remove(cause)) {
        return;
    }
    if (m_causes.isEmpty()) {
        replay();
        Q_EMIT released();
    }
}

void KeyHold::releaseAll() {
    if (m_causes.isEmpty() && m_keys.isEmpty()) {
        return;
    }
    m_causes.clear();
    replay();
    Q_EMIT released();
}

bool KeyHold::take(QWidget* field, const QKeyEvent& event) {
    if (m_replaying || (m_causes.isEmpty() && m_keys.isEmpty())) {
        return false;
    }
    m_keys.append({field, event.key(), event.modifiers(), event.text(), event.isAutoRepeat()});
    return true;
}

void KeyHold::replay() {
    if (m_replaying) {
        return;
    }
    m_replaying = true;
    const QPointer<KeyHold> alive(this);
    while (!m_keys.isEmpty() && m_causes.isEmpty()) {
        const HeldKey held = m_keys.takeFirst();
        // As if typed now: the key goes where the focus is now, which the keys before
        // it may have moved.
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr) {
            target = held.typedInto;
        }
        if (target == nullptr) {
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, held.key, held.modifiers, held.text, held.autoRepeat);
        QCoreApplication::sendEvent(target, &press);
        if (!alive) {
            return;
        }
    }
    m_replaying = false;
}

} // namespace ditlog

// Holds the keys typed into a set of fields while something asks the operator to wait
// (a duplicate's three seconds, a spoken word still playing) and types them afterwards,
// in order, each into the field that has the focus at that moment.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QWidget>

class QKeyEvent;

namespace ditlog {

class KeyHold : public QObject {
    Q_OBJECT
public:
    explicit KeyHold(QObject* parent = nullptr) : QObject(parent) {}

    // Each cause is a short name ("duplicate", "voice"); keys are held while any is set.
    void hold(const QString& cause);
    // Ends one cause; when none is left the held keys are typed, in order. A key typed
    // from the queue that sets a cause again stops the replay, the rest staying held.
    void release(const QString& cause);
    bool isHolding() const { return !m_causes.isEmpty(); }
    bool isHolding(const QString& cause) const { return m_causes.contains(cause); }
    int heldKeys() const { return int(m_keys.size()); }

    // For a key press reaching one of the held fields: true when it was taken into the
    // queue (the field must not see it now). Also true while the queue is not empty,
    // so that a key typed during the replay keeps its place after the held ones.
    bool take(QWidget* field, const QKeyEvent& event);
    // Drops the held keys without typing them.
    void discard() { m_keys.clear(); }
    // Ends every cause at once and types the held keys now (an Enter that must not wait).
    void releaseAll();

Q_SIGNALS:
    void released();

private:
    struct HeldKey {
        QPointer<QWidget> typedInto;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        bool autoRepeat;
    };
    void replay();

    QSet<QString> m_causes;
    QList<HeldKey> m_keys;
    bool m_replaying = false;
};

} // namespace ditlog

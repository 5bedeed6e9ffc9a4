// The message-key block of the CW window.
#include "keyer/windows/MessageKeysPanel.h"

#include "keyer/windows/FormControls.h"
#include "platform/SettingsStore.h"
#include "ui/WindowScaling.h"

#include <QComboBox>

namespace ditlog {

namespace {
// Under the messages, aligned with their fields.
constexpr int kLeft = 650;
constexpr int kTop = 5800;
constexpr int kStep = 910;
constexpr int kKeyCodes[] = {112, 113, 114, 115, 116, 117, 118, 119, 120, 124, 122}; // F1 ... F11
constexpr MessageRole kRoles[] = {MessageRole::Cq, MessageRole::Exchange, MessageRole::ThankYou,
                                  MessageRole::MyCall, MessageRole::HisCall};
} // namespace

MessageKeysPanel::MessageKeysPanel(SettingsStore& store, DesignCanvas& canvas, QObject* parent)
    : QObject(parent), m_store(store) {
    placeFrame(canvas, QStringLiteral("fraEnterSends"), QStringLiteral("Enter Sends Message"),
               {kLeft - 50, kTop, 4650, 880});
    for (const MessageRole role : kRoles) {
        const int i = int(role);
        const QString caption = messageRoleCaption(role);
        const QString name = messageRoleKey(role).mid(6); // "Cq", "Exchange" ...
        placeLabel(canvas, QStringLiteral("lblEsm%1").arg(name), caption,
                   {kLeft + 30 + i * kStep, kTop + 230, 880, 240});
        auto* combo = new QComboBox(&canvas);
        combo->setObjectName(QStringLiteral("cboEsm%1").arg(name));
        combo->setAccessibleName(caption + QStringLiteral(" key"));
        for (const int code : kKeyCodes) {
            combo->addItem(functionKeyName(code), code);
        }
        canvas.place(combo, kLeft + 30 + i * kStep, kTop + 480, 850, 330);
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, role](int index) { chosen(role, index); });
        m_combos[std::size_t(i)] = combo;
    }
    refresh();
}

void MessageKeysPanel::refresh() {
    m_filling = true;
    const MessageKeys keys = MessageKeys::load(m_store);
    for (const MessageRole role : kRoles) {
        QComboBox* c = combo(role);
        c->setCurrentIndex(c->findData(keys.code(role)));
    }
    m_filling = false;
}

void MessageKeysPanel::chosen(MessageRole role, int index) {
    if (m_filling || index < 0) {
        return;
    }
    MessageKeys keys = MessageKeys::load(m_store);
    keys.setCode(role, combo(role)->itemData(index).toInt());
    keys.save(m_store);
}

void MessageKeysPanel::chainTabOrder(QWidget* previous, QWidget* next) const {
    for (QComboBox* c : m_combos) {
        QWidget::setTabOrder(previous, c);
        previous = c;
    }
    QWidget::setTabOrder(previous, next);
}

} // namespace ditlog

// Control builders and typing filters of the keyer windows.
#include "keyer/windows/FormControls.h"

#include "log/RecordFile.h"
#include "ui/WindowScaling.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ditlog {

QLabel* placeLabel(DesignCanvas& canvas, const QString& name, const QString& text, TwipRect r) {
    auto* label = new QLabel(text, &canvas);
    label->setObjectName(name);
    label->setWordWrap(r.height > 300);
    canvas.place(label, r.left, r.top, r.width, r.height);
    return label;
}

QLineEdit* placeField(DesignCanvas& canvas, const QString& name, const QString& accessibleName,
                      TwipRect r) {
    auto* field = new QLineEdit(&canvas);
    field->setObjectName(name);
    field->setAccessibleName(accessibleName);
    canvas.place(field, r.left, r.top, r.width, r.height);
    return field;
}

QPushButton* placeButton(DesignCanvas& canvas, const QString& name, const QString& caption,
                         TwipRect r) {
    auto* button = new QPushButton(caption, &canvas);
    button->setObjectName(name);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    button->setAutoDefault(false);
    canvas.place(button, r.left, r.top, r.width, r.height);
    return button;
}

QRadioButton* placeOption(DesignCanvas& canvas, const QString& name, const QString& caption,
                          TwipRect r) {
    auto* option = new QRadioButton(caption, &canvas);
    option->setObjectName(name);
    option->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    canvas.place(option, r.left, r.top, r.width, r.height);
    option->raise();
    return option;
}

QCheckBox* placeCheck(DesignCanvas& canvas, const QString& name, const QString& caption, TwipRect r) {
    auto* check = new QCheckBox(caption, &canvas);
    check->setObjectName(name);
    check->setAccessibleName(caption);
    canvas.place(check, r.left, r.top, r.width, r.height);
    return check;
}

QGroupBox* placeFrame(DesignCanvas& canvas, const QString& name, const QString& title, TwipRect r) {
    auto* frame = new QGroupBox(title, &canvas);
    frame->setObjectName(name);
    frame->setFocusPolicy(Qt::NoFocus);
    canvas.place(frame, r.left, r.top, r.width, r.height);
    frame->lower();
    return frame;
}

bool refusedUnlessIn(const QKeyEvent* key, const QString& allowed) {
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const QString text = key->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127) {
        return false;
    }
    return !allowed.contains(text.at(0));
}

bool typeCapital(QLineEdit* field, const QKeyEvent* key) {
    const QString text = key->text();
    if (text.size() != 1 || text.at(0) < QLatin1Char('a') || text.at(0) > QLatin1Char('z') ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return false;
    }
    field->insert(text.toUpper());
    return true;
}

void cleanMessageText(QLineEdit* field) {
    const QString text = field->text();
    QString clean = stripUnstorable(text);
    for (QChar& c : clean) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
            c = c.toUpper();
        }
    }
    if (clean != text) {
        const int caret = field->cursorPosition() - int(text.size() - clean.size());
        field->setText(clean);
        field->setCursorPosition(std::max(0, caret));
    }
}

} // namespace ditlog

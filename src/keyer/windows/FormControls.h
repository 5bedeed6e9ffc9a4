// Small builders for the keyer windows: labels, fields, buttons and option buttons placed
// on a design canvas, each with its object name and the accessible name a screen reader
// announces; and the typing filters the keyer fields share.
#pragma once

#include <QString>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ditlog {

class DesignCanvas;

struct TwipRect {
    int left, top, width, height;
};

QLabel* placeLabel(DesignCanvas& canvas, const QString& name, const QString& text, TwipRect r);
// A field with the label text as its accessible name.
QLineEdit* placeField(DesignCanvas& canvas, const QString& name, const QString& accessibleName,
                      TwipRect r);
QPushButton* placeButton(DesignCanvas& canvas, const QString& name, const QString& caption,
                         TwipRect r);
QRadioButton* placeOption(DesignCanvas& canvas, const QString& name, const QString& caption,
                          TwipRect r);
QCheckBox* placeCheck(DesignCanvas& canvas, const QString& name, const QString& caption, TwipRect r);
// A frame drawn behind the controls placed over it.
QGroupBox* placeFrame(DesignCanvas& canvas, const QString& name, const QString& title, TwipRect r);

// Typing filters: true when the key is to be refused. Navigation and editing keys
// (arrows, Tab, Delete, Backspace, Ctrl combinations) always pass.
bool refusedUnlessIn(const QKeyEvent* key, const QString& allowed);
// Upper-cases a typed "a" to "z" into the field; true when it did (the key is consumed).
bool typeCapital(QLineEdit* field, const QKeyEvent* key);
// Strips what cannot be stored (double quotes, line breaks) from pasted text and
// upper-cases "a" to "z", keeping the caret in place.
void cleanMessageText(QLineEdit* field);

} // namespace ditlog

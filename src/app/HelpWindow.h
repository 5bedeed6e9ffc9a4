// The help window: the program's help text, shown modally from the "&Help" menu.
#pragma once

#include <QDialog>

namespace ditlog {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    static QString helpText();
};

// The logo window shown while the program starts.
class LogoWindow : public QWidget {
    Q_OBJECT
public:
    explicit LogoWindow(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ditlog

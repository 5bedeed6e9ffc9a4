// The help window: the program's help text, shown modally from the "&Help" menu.
#pragma once

#include <QDialog>
#include <QSize>

namespace ditlog {

class Screen;

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // Laid out in the design space and scaled to the screen like every other window.
    static constexpr QSize kDesignTwips{7200, 6000};
    explicit HelpWindow(const Screen& screen, QWidget* parent = nullptr);
    static QString helpText();
};

// The logo window shown while the program starts, until the first question.
class LogoWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kDesignTwips{6300, 3300};
    explicit LogoWindow(const Screen& screen, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ditlog

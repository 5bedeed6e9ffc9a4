// Message and input boxes, file and colour dialogs, beep and clipboard: everything that
// asks the operator something or talks back outside a window's own controls.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace ditlog {

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptIcon { None, Information, Question, Warning, Critical };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    QString title;
    QString folder;       // initial folder
    QString proposedPath; // save dialogs: proposed file (may be empty)
    QString filter;       // "Log Files (*.log) | *.log" style or Qt style
    bool confirmOverwrite = true;
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    virtual PromptAnswer message(const QString& title, const QString& text,
                                 PromptButtons buttons = PromptButtons::Ok,
                                 PromptIcon icon = PromptIcon::None) = 0;
    // The typed answer; empty when cancelled.
    virtual QString input(const QString& title, const QString& prompt,
                          const QString& defaultText = {}) = 0;
    // The chosen path; empty when cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    // Colours in the stored &HBBGGRR form; nothing when cancelled.
    virtual std::optional<quint32> chooseColour(quint32 initial) = 0;
    virtual void beep() = 0;
    virtual void setClipboardText(const QString& text) = 0;
};

// Turns a filter written as "Name (*.ext) | *.ext" into Qt's "Name (*.ext)".
QString qtFileFilter(const QString& filter);

// The real dialogs. Each stands over the window that asked (the modal window in front,
// else the active one, else the parent window set here) and gives the keyboard back to
// the control that had it.
class WidgetPrompts final : public UserPrompts {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    PromptAnswer message(const QString& title, const QString& text, PromptButtons buttons,
                         PromptIcon icon) override;
    QString input(const QString& title, const QString& prompt,
                  const QString& defaultText) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    std::optional<quint32> chooseColour(quint32 initial) override;
    void beep() override;
    void setClipboardText(const QString& text) override;

private:
    QWidget* askingWindow() const;
    QWidget* m_parent = nullptr;
};

} // namespace ditlog

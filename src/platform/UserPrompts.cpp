// Qt dialogs behind the UserPrompts interface.
#include "platform/UserPrompts.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

namespace ditlog {

QString qtFileFilter(const QString& filter) {
    // "Log Files (*.log) | *.log" -> "Log Files (*.log)"; several pairs become ";;"-joined.
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2) {
        return filter.trimmed();
    }
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts.at(i).trimmed();
        const QString pattern = parts.at(i + 1).trimmed();
        if (!name.contains(QLatin1Char('('))) {
            name += QStringLiteral(" (") + pattern + QLatin1Char(')');
        }
        out << name;
    }
    return out.join(QStringLiteral(";;"));
}

QWidget* WidgetPrompts::askingWindow() const {
    // The window that asked is the modal one in front, else the active one: the box
    // stands over it and, when closed, gives the keyboard back to it.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return m_parent;
}

namespace {
// Puts the keyboard back where it was before a box or dialog took it.
class FocusReturn {
public:
    FocusReturn() : m_focus(QApplication::focusWidget()) {}
    ~FocusReturn() {
        if (m_focus != nullptr && m_focus->isVisible()) {
            m_focus->window()->activateWindow();
            m_focus->setFocus(Qt::OtherFocusReason);
        }
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> m_focus;
};
} // namespace

PromptAnswer WidgetPrompts::message(const QString& title, const QString& text,
                                    PromptButtons buttons, PromptIcon icon) {
    const FocusReturn focusReturn;
    QMessageBox box(askingWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    case PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    default: return PromptAnswer::Ok;
    }
}

QString WidgetPrompts::input(const QString& title, const QString& prompt,
                             const QString& defaultText) {
    const FocusReturn focusReturn;
    bool ok = false;
    const QString answer =
        QInputDialog::getText(askingWindow(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

QString WidgetPrompts::openFile(const FileDialogRequest& request) {
    const FocusReturn focusReturn;
    return QFileDialog::getOpenFileName(askingWindow(), request.title, request.folder,
                                        qtFileFilter(request.filter));
}

QString WidgetPrompts::saveFile(const FileDialogRequest& request) {
    const QString start = request.proposedPath.isEmpty() ? request.folder : request.proposedPath;
    QFileDialog::Options options;
    if (!request.confirmOverwrite) {
        options |= QFileDialog::DontConfirmOverwrite;
    }
    const FocusReturn focusReturn;
    return QFileDialog::getSaveFileName(askingWindow(), request.title, start,
                                        qtFileFilter(request.filter), nullptr, options);
}

std::optional<quint32> WidgetPrompts::chooseColour(quint32 initial) {
    const QColor start(int(initial & 0xFF), int((initial >> 8) & 0xFF), int((initial >> 16) & 0xFF));
    const FocusReturn focusReturn;
    const QColor chosen = QColorDialog::getColor(start, askingWindow());
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return quint32(chosen.red()) | (quint32(chosen.green()) << 8) | (quint32(chosen.blue()) << 16);
}

void WidgetPrompts::beep() { QApplication::beep(); }

void WidgetPrompts::setClipboardText(const QString& text) {
    QApplication::clipboard()->setText(text);
}

} // namespace ditlog

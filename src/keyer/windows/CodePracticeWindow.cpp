// The code practice window.
#include "keyer/windows/CodePracticeWindow.h"

#include "keyer/CodePractice.h"
#include "keyer/CwBuffer.h"
#include "keyer/CwKeyer.h"
#include "keyer/windows/FormControls.h"
#include "ui/WindowScaling.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace ditlog {

namespace {
constexpr QSize kDesign(9600, 7000);

QPlainTextEdit* placeText(DesignCanvas& canvas, const QString& name, const QString& accessible,
                          TwipRect r) {
    auto* edit = new QPlainTextEdit(&canvas);
    edit->setObjectName(name);
    edit->setAccessibleName(accessible);
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit->setTabChangesFocus(true);
    canvas.place(edit, r.left, r.top, r.width, r.height);
    return edit;
}
} // namespace

CodePracticeWindow::CodePracticeWindow(CwKeyer& keyer, const Screen& screen, UserPrompts& prompts,
                                       QWidget* parent)
    : QWidget(parent, Qt::Window), m_keyer(keyer), m_sender(new CodePracticeSender(keyer, this)) {
    setObjectName(QStringLiteral("frmCodePractice"));
    setWindowTitle(QStringLiteral("On the Air Code Practice"));
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* canvas = new DesignCanvas(kDesign, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas);
    build(*canvas);
    connect(m_sender, &CodePracticeSender::characterSent, this, &CodePracticeWindow::showSent);
    resize(canvas->size());
    ScaleWindowToScreen(this, canvas, screen, prompts);
    Label8->setText(m_keyer.speedText());
}

CodePracticeWindow::~CodePracticeWindow() { m_keyer.clearSendBuffer(); }

void CodePracticeWindow::build(DesignCanvas& canvas) {
    placeLabel(canvas, QStringLiteral("lblNote"),
               QStringLiteral("You can transmit morse code practice using randomly generated "
                              "characters, copying and pasting text or typing text into the \"Text "
                              "to Send\" text box.  Click Send to send the characters. "),
               {150, 100, 9300, 500});
    placeLabel(canvas, QStringLiteral("lblToSend"), QStringLiteral(" Text to Send"), {150, 650, 4500, 260});
    Text1 = placeText(canvas, QStringLiteral("Text1"), QStringLiteral("Text to Send"), {150, 930, 4500, 3000});
    placeLabel(canvas, QStringLiteral("lblSent"), QStringLiteral(" Text Sent"), {4950, 650, 4500, 260});
    Text2 = placeText(canvas, QStringLiteral("Text2"), QStringLiteral("Text Sent"), {4950, 930, 4500, 3000});
    Text2->setReadOnly(true);
    Text1->installEventFilter(this);

    placeLabel(canvas, QStringLiteral("lblGroups"), QStringLiteral("Groups"), {150, 4100, 900, 300});
    Text3 = placeField(canvas, QStringLiteral("Text3"), QStringLiteral("Groups"), {1100, 4080, 700, 330});
    Text3->setMaxLength(4);
    Text3->setText(QStringLiteral("10"));
    placeLabel(canvas, QStringLiteral("lblSize"), QStringLiteral("Characters per group"), {1950, 4100, 2000, 300});
    Text4 = placeField(canvas, QStringLiteral("Text4"), QStringLiteral("Characters per group"),
                       {3950, 4080, 600, 330});
    Text4->setMaxLength(2);
    Text4->setText(QStringLiteral("5"));
    placeFrame(canvas, QStringLiteral("fraInclude"), QStringLiteral("Include:"), {4700, 3980, 2600, 500});
    Option1 = placeOption(canvas, QStringLiteral("Option1"), QStringLiteral("Letters Only"), {4800, 4160, 1400, 280});
    Option2 = placeOption(canvas, QStringLiteral("Option2"), QStringLiteral("All"), {6300, 4160, 900, 280});
    Option1->setChecked(true);
    auto* include = new QButtonGroup(this);
    include->addButton(Option1);
    include->addButton(Option2);

    cmdGenerate = placeButton(canvas, QStringLiteral("cmdGenerate"), QStringLiteral("&Generate Random Characters"),
                              {150, 4600, 3000, 400});
    cmdPaste = placeButton(canvas, QStringLiteral("cmdPaste"), QStringLiteral("&Paste from Clipboard"),
                           {3250, 4600, 2400, 400});
    cmdClearToSend = placeButton(canvas, QStringLiteral("cmdClearToSend"), QStringLiteral("&Clear"),
                                 {5750, 4600, 1100, 400});
    cmdClearSent = placeButton(canvas, QStringLiteral("cmdClearSent"), QStringLiteral("Cl&ear"),
                               {6950, 4600, 1100, 400});
    cmdSend = placeButton(canvas, QStringLiteral("cmdSend"), QStringLiteral("&Send"), {150, 5150, 1300, 400});
    cmdStop = placeButton(canvas, QStringLiteral("cmdStop"), QStringLiteral("S&top"), {1550, 5150, 1300, 400});
    cmdFaster = placeButton(canvas, QStringLiteral("cmdFaster"), QStringLiteral("&Faster"), {3250, 5150, 1200, 400});
    cmdSlower = placeButton(canvas, QStringLiteral("cmdSlower"), QStringLiteral("S&lower"), {4550, 5150, 1200, 400});
    Label8 = placeLabel(canvas, QStringLiteral("Label8"), QString(), {5900, 5200, 600, 300});
    Label8->setAccessibleName(QStringLiteral("Speed"));
    placeLabel(canvas, QStringLiteral("lblWpm"), QStringLiteral("WPM"), {6550, 5200, 700, 300});

    placeLabel(canvas, QStringLiteral("lblKeyboard"),
               QStringLiteral("Type characters here to send text from keyboard:"), {150, 5750, 5000, 300});
    Text5 = placeField(canvas, QStringLiteral("Text5"),
                       QStringLiteral("Type characters here to send text from keyboard:"),
                       {150, 6080, 9300, 360});
    Text5->installEventFilter(this);

    connect(cmdGenerate, &QPushButton::clicked, this, &CodePracticeWindow::cmdGenerate_Click);
    connect(cmdPaste, &QPushButton::clicked, this,
            [this] { Text1->setPlainText(QGuiApplication::clipboard()->text()); });
    connect(cmdClearToSend, &QPushButton::clicked, Text1, &QPlainTextEdit::clear);
    connect(cmdClearSent, &QPushButton::clicked, Text2, &QPlainTextEdit::clear);
    connect(cmdSend, &QPushButton::clicked, this, &CodePracticeWindow::cmdSend_Click);
    connect(cmdStop, &QPushButton::clicked, this, &CodePracticeWindow::cmdStop_Click);
    connect(cmdFaster, &QPushButton::clicked, this, [this] {
        m_keyer.UpDown1_UpClick();
        Label8->setText(m_keyer.speedText());
    });
    connect(cmdSlower, &QPushButton::clicked, this, [this] {
        m_keyer.UpDown1_DownClick();
        Label8->setText(m_keyer.speedText());
    });
    const QList<QWidget*> order{Text1, Text2, Text3, Text4, Option1, Option2, cmdGenerate, cmdPaste,
                                cmdClearToSend, cmdClearSent, cmdSend, cmdStop, cmdFaster,
                                cmdSlower, Text5};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order.at(i - 1), order.at(i));
    }
}

void CodePracticeWindow::cmdGenerate_Click() {
    if (!isNumericText(Text3->text())) {
        Text3->setText(QStringLiteral("10"));
    }
    if (!isNumericText(Text4->text())) {
        Text4->setText(QStringLiteral("5"));
    }
    QRandomGenerator random(quint32(QDateTime::currentMSecsSinceEpoch()));
    Text1->setPlainText(randomGroups(int(leadingNumber(Text3->text())), int(leadingNumber(Text4->text())),
                                     Option1->isChecked(), random));
}

void CodePracticeWindow::cmdSend_Click() {
    Text1->setFocus(Qt::OtherFocusReason);
    m_sender->start([this] { return Text1->toPlainText(); });
}

void CodePracticeWindow::cmdStop_Click() { m_sender->stop(); }

void CodePracticeWindow::showSent(QChar c, int position) {
    Text2->moveCursor(QTextCursor::End);
    Text2->insertPlainText(QString(c));
    Text2->moveCursor(QTextCursor::End);
    QTextCursor caret = Text1->textCursor();
    caret.setPosition(std::min(position + 1, int(Text1->toPlainText().size())));
    Text1->setTextCursor(caret);
}

void CodePracticeWindow::keyboardKey(QKeyEvent* key) {
    if (key->key() == Qt::Key_Backspace) {
        m_keyer.buffer().removeLast();
        QString sent = Text2->toPlainText();
        if (!sent.isEmpty()) {
            sent.chop(1);
            Text2->setPlainText(sent);
            Text2->moveCursor(QTextCursor::End);
        }
        return;
    }
    QString text = key->text();
    if (text.isEmpty() || text.at(0).unicode() == 127) {
        return;
    }
    if (text.at(0) >= QLatin1Char('a') && text.at(0) <= QLatin1Char('z')) {
        text = text.toUpper();
    }
    Text2->moveCursor(QTextCursor::End);
    Text2->insertPlainText(text);
    m_keyer.appendToBuffer(text);
    if (!m_keyer.isSending()) {
        m_keyer.LoopThroughCWBuffer();
    }
}

bool CodePracticeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == Text5) {
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            return false;
        }
        keyboardKey(key);
        return true; // the key itself never goes into the keyboard field
    }
    if (watched == Text1) {
        const QString t = key->text();
        if (t.size() == 1 && t.at(0) >= QLatin1Char('a') && t.at(0) <= QLatin1Char('z') &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            Text1->insertPlainText(t.toUpper());
            return true;
        }
    }
    return false;
}

void CodePracticeWindow::closeEvent(QCloseEvent* event) {
    m_sender->stop();
    m_keyer.clearSendBuffer();
    if (m_keyer.isSending()) {
        event->ignore(); // closes once the character being keyed is done
        return;
    }
    event->accept();
}

} // namespace ditlog

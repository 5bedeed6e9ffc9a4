// What the main window asks of the CW keyer: function-key messages, speed, the send
// buffer and keyboard CW. NoCwKeyer stands for a station with no keying line selected.
#pragma once

#include <QString>

namespace ditlog {

class CwKeyerControl {
public:
    virtual ~CwKeyerControl() = default;
    // False while the keying line is "None": function keys and arrows then do nothing.
    virtual bool keyingLineSelected() const = 0;
    virtual void FKeyCW(int keyCode) = 0;
    virtual void UpDown1_UpClick() = 0;
    virtual void UpDown1_DownClick() = 0;
    virtual QString speedText() const = 0;
    virtual bool isSending() const = 0;
    // Empties the send buffer (aborts sending) and stops a repeating message.
    virtual void clearSendBuffer() = 0;
    virtual void stopRepeat() = 0;
    virtual void appendToBuffer(const QString& text) = 0;
    virtual void removeLastUnsent() = 0;
    virtual void LoopThroughCWBuffer() = 0;
    // Esc with an external keyer busy: clears it and the send buffer; true when it did.
    virtual bool stopExternalKeyer() { return false; }
    // The stored message of a function key (the FKeyCW code), wildcards unreplaced.
    virtual QString messageText(int /*keyCode*/) const { return {}; }
};

class NoCwKeyer final : public CwKeyerControl {
public:
    bool keyingLineSelected() const override { return false; }
    void FKeyCW(int) override {}
    void UpDown1_UpClick() override {}
    void UpDown1_DownClick() override {}
    QString speedText() const override { return {}; }
    bool isSending() const override { return false; }
    void clearSendBuffer() override {}
    void stopRepeat() override {}
    void appendToBuffer(const QString&) override {}
    void removeLastUnsent() override {}
    void LoopThroughCWBuffer() override {}
};

} // namespace ditlog

#pragma once

#include <functional>
#include <memory>

#include <QLabel>
#include <QWidget>

#include "hotkeys/hotKey.h"

namespace qm {

// The small floating window that captures a new key combination for a hot key: a press with
// Ctrl or Super, or of a function or navigation key, becomes the hot key and ends editing; any
// other press is ignored and the window stays. Closing it ends editing without a change.
class hotKeyWindow : public QWidget {
public:
    static hotKeyWindow& sharedInstance();

    hotKeyWindow();
    void setHotkey(std::shared_ptr<hotKey> key) { mHotKey = std::move(key); }
    void setActionDescriptor(const QString& text);
    // Shows the window in front, holding the keyboard.
    void edit();
    void stopEditing();
    // Points the window at the hot key with the prompt and starts editing; `completion` runs when
    // editing ends.
    void editKeyForActionDescriptor(std::shared_ptr<hotKey> key, const QString& text,
                                    std::function<void()> completion = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* mText;
    std::shared_ptr<hotKey> mHotKey;
    std::function<void()> mCompletion;
};

} // namespace qm

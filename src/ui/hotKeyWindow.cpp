#include "ui/hotKeyWindow.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "ui/Localized.h"
#include "ui/QtKeyEvents.h"
#include "ui/ResourceImages.h"

namespace qm {

hotKeyWindow& hotKeyWindow::sharedInstance()
{
    static hotKeyWindow* window = new hotKeyWindow;
    return *window;
}

hotKeyWindow::hotKeyWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(localized("Hot key"));
    setWindowIcon(ResourceImages::applicationIcon());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    mText = new QLabel;
    mText->setWordWrap(true);
    mText->setAlignment(Qt::AlignCenter);
    auto* hint = new QLabel(localized("Press the new combination: a key with Ctrl or Super, or a function key."));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignCenter);
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    hint->setFont(small);
    layout->addWidget(mText);
    layout->addWidget(hint);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumWidth(320);
}

void hotKeyWindow::setActionDescriptor(const QString& text)
{
    mText->setText(QStringLiteral("<b>%1</b>").arg(text.toHtmlEscaped()));
}

void hotKeyWindow::edit()
{
    show();
    raise();
    activateWindow();
    grabKeyboard();
}

void hotKeyWindow::stopEditing()
{
    releaseKeyboard();
    hide();
    if (auto completion = std::exchange(mCompletion, nullptr))
        completion();
}

void hotKeyWindow::editKeyForActionDescriptor(std::shared_ptr<hotKey> key, const QString& text,
                                              std::function<void()> completion)
{
    mCompletion = std::move(completion);
    setHotkey(std::move(key));
    setActionDescriptor(text);
    edit();
}

void hotKeyWindow::keyPressEvent(QKeyEvent* event)
{
    const auto key = keyEventFromQt(*event);
    if (!key || !hotKey::acceptsCapturedEvent(*key) || !mHotKey)
        return;
    mHotKey->setHotKeyEvent(*key);
    stopEditing();
}

void hotKeyWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    stopEditing();
}

} // namespace qm

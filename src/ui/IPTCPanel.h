#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QPropertyAnimation>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include "ui/IPTCPanelTextEncodings.h"
#include "ui/IPTCRecordModel.h"
#include "ui/IPTCRecordTable.h"
#include "ui/OpenWithMenu.h"
#include "ui/PaintClock.h"
#include "ui/PathMenu.h"

namespace qm {

class Quillmark;
class UserDefaults;

// The floating window beside the layout application that shows the current image: its file's
// name and icon, its datasets, the byline and caption made from them, a choice of encoding and
// the applications that open it. Files dropped on it are handed to the controller.
class IPTCPanel : public QWidget {
public:
    // The key under which a remembered frame is kept.
    static constexpr const char* FrameKey = "IPTCPanel Frame";
    static constexpr int AnimationResizeMilliseconds = 300;

    IPTCPanel(Quillmark& controller, UserDefaults& defaults);
    ~IPTCPanel() override;

    void showIPTCPanelAction();
    void toggleIPTCPanelAction();
    void orderFront();
    void adjustWindowLevelAndBackgroundMovability();
    void adjustWindowFrameToNaturalTableHeight();
    // While a fit to the table is due or its resizing runs.
    bool isFittingFrame() const;
    // The frame that shows every row, its top edge unmoved, within the panel's height limits.
    QRect naturalFrame();
    void copySelectedIPTCRecords(bool withLabels);
    // Makes the first dropped file current; false (nothing changes) when no file was dropped.
    bool performDragOperation(const QMimeData* data);
    // Offers "Edit rules" on the byline (false) and the caption (true).
    void setEditRulesHandler(std::function<void(bool caption)> handler) { mEditRules = std::move(handler); }
    // Shows the status menu on a button of the panel (when the desktop has no tray).
    void setStatusMenu(QMenu* menu);
    void saveFrame();

    IPTCRecordTable& table() { return *mTable; }
    IPTCRecordModel& model() { return mModel; }
    QComboBox& encodingPopUp() { return *mEncodingPopUp; }
    QLabel& bylineText() { return *mBylineText; }
    QLabel& captionText() { return *mCaptionText; }
    QToolButton& fileNameButton() { return *mFileName; }
    QToolButton& openButton() { return *mOpenButton; }
    // When the table first painted the datasets of the image shown last.
    const PaintClock& paintClock() const { return *mPaintClock; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeButtonBar();
    QWidget* makeTable();
    void setUpTimers();
    QWidget* makeTextsBox();
    QToolButton* makeReloadButton();
    void observeController();
    void showCurrentImagePath();
    void showOpenButton();
    void showRecords();
    void showTexts();
    void reloadEncodingPopUp();
    void selectPanelTextEncoding();
    void chooseEncoding(int index);
    void placeWindow();
    void placeAtTopRight();
    void placeOnceTheFrameIsKnown();
    void fitWindowFrameToNaturalTableHeight();

    Quillmark& mController;
    UserDefaults& mDefaults;
    IPTCRecordModel mModel;
    IPTCRecordTable* mTable;
    PaintClock* mPaintClock;
    QWidget* mButtonBar;
    QWidget* mTextsBox;
    QLabel* mFileIcon;
    QToolButton* mFileName;
    QToolButton* mOpenButton;
    QToolButton* mMenuButton = nullptr;
    QComboBox* mEncodingPopUp;
    QLabel* mBylineText;
    QLabel* mCaptionText;
    PathMenu* mPathMenu;
    OpenWithMenu* mOpenWithMenu;
    QPropertyAnimation mResizeAnimation;
    QTimer mFitTimer;
    std::unique_ptr<IPTCPanelTextEncodings> mEncodings;
    std::function<void(bool caption)> mEditRules;
    bool mTopRightAwaitsFrame = false;
    static constexpr int FrameWaitTicks = 40;
    QTimer mFrameWait;
    int mFrameWaitTicks = 0;
    std::vector<std::uint64_t> mControllerObservers;
    std::vector<std::uint64_t> mDefaultsObservers;
};

} // namespace qm

#include "ui/IPTCPanel.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLayout>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include "app/Quillmark.h"
#include "foundation/UserDefaults.h"
#include "platform/Pasteboard.h"
#include "platform/Workspace.h"
#include "ui/IPTCPanelButtonBar.h"
#include "ui/Localized.h"
#include "ui/ResourceImages.h"

namespace qm {

namespace {

constexpr int MinimumPanelHeight = 160;
constexpr int DefaultPanelWidth = 420;
constexpr int DefaultPanelHeight = 480;
constexpr int FileIconSize = 16;

QString qtText(const std::optional<std::string>& text)
{
    return text ? QString::fromStdString(*text) : QString();
}

std::optional<QString> firstDroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return std::nullopt;
}

QLabel* wrappingLabel()
{
    auto* label = new QLabel;
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    label->setSizePolicy(policy);
    return label;
}

} // namespace

IPTCPanel::IPTCPanel(Quillmark& controller, UserDefaults& defaults)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint),
      mController(controller), mDefaults(defaults), mResizeAnimation(this, "size")
{
    setWindowTitle(localized("Metadata"));
    setWindowIcon(ResourceImages::applicationIcon());
    setAcceptDrops(true);
    setMinimumSize(260, MinimumPanelHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mButtonBar = makeButtonBar();
    mTextsBox = makeTextsBox();
    layout->addWidget(mButtonBar);
    layout->addWidget(makeTable(), 1);
    layout->addWidget(mTextsBox);
    mEncodings = std::make_unique<IPTCPanelTextEncodings>(mDefaults, [this] { reloadEncodingPopUp(); });
    reloadEncodingPopUp();
    observeController();
    showCurrentImagePath();
    showRecords();
    showTexts();
    adjustWindowLevelAndBackgroundMovability();
    setUpTimers();
    placeWindow();
}

QWidget* IPTCPanel::makeTable()
{
    mTable = new IPTCRecordTable;
    mTable->setModel(&mModel);
    mPaintClock = new PaintClock(mTable->viewport());
    mTable->setColumnWidth(IPTCRecordModel::IPTCCodeColumn, 120);
    mModel.setDragContext([this] {
        return DatasetDragData::Context{mController.currentImage().currentImagePath(),
                                        mController.dragAndDropParagraphStyle()};
    });
    mTable->setDividerMovedHandler([this] {
        if (mDefaults.boolForKey("resizePanelToFit"))
            adjustWindowFrameToNaturalTableHeight();
    });
    mTable->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copy = new QAction(localized("Copy"), mTable);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, [this] { copySelectedIPTCRecords(false); });
    auto* copyWithLabels = new QAction(localized("Copy with labels"), mTable);
    copyWithLabels->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(copyWithLabels, &QAction::triggered, this, [this] { copySelectedIPTCRecords(true); });
    mTable->addActions({copy, copyWithLabels});
    return mTable;
}

void IPTCPanel::setUpTimers()
{
    connect(&mResizeAnimation, &QPropertyAnimation::finished, this,
            [this] { mTable->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded); });
    mFrameWait.setInterval(50);
    connect(&mFrameWait, &QTimer::timeout, this, [this] { placeOnceTheFrameIsKnown(); });
    mFitTimer.setSingleShot(true);
    mFitTimer.setInterval(0);
    connect(&mFitTimer, &QTimer::timeout, this, [this] { fitWindowFrameToNaturalTableHeight(); });
}

IPTCPanel::~IPTCPanel()
{
    for (const auto id : mControllerObservers)
        mController.currentImage().removeObserver(id);
    for (const auto id : mDefaultsObservers)
        mDefaults.removeObserver(id);
}

QWidget* IPTCPanel::makeButtonBar()
{
    auto* bar = new IPTCPanelButtonBar;
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 3, 6, 4);
    mFileIcon = new QLabel;
    mFileIcon->setFixedSize(FileIconSize, FileIconSize);
    mFileName = new QToolButton;
    mFileName->setAutoRaise(true);
    mFileName->setToolTip(localized("Show the file in the file manager; right-click for its folders"));
    mPathMenu = new PathMenu(this);
    mFileName->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mFileName, &QToolButton::clicked, this, [this] {
        if (const auto& path = mController.currentImage().currentImagePath())
            Workspace::current()->revealFile(*path);
    });
    connect(mFileName, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { mPathMenu->popup(mFileName->mapToGlobal(at)); });
    connect(mPathMenu, &QMenu::aboutToShow, this,
            [this] { mPathMenu->setupFromPath(qtText(mController.currentImage().currentImagePath())); });
    mEncodingPopUp = new QComboBox;
    mEncodingPopUp->setToolTip(localized("Text encoding of the shown datasets"));
    mEncodingPopUp->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    mEncodingPopUp->setMinimumContentsLength(20);
    connect(mEncodingPopUp, &QComboBox::activated, this, [this](int index) { chooseEncoding(index); });
    mOpenButton = new QToolButton;
    mOpenButton->setAutoRaise(true);
    mOpenButton->setIcon(QIcon::fromTheme("document-open", style()->standardIcon(QStyle::SP_DialogOpenButton)));
    mOpenWithMenu = new OpenWithMenu(mDefaults, this);
    mOpenButton->setMenu(mOpenWithMenu);
    mOpenButton->setPopupMode(QToolButton::DelayedPopup);
    connect(mOpenButton, &QToolButton::clicked, this, [this] { mController.opencurrentImagePath(); });
    connect(mOpenWithMenu, &QMenu::aboutToShow, this,
            [this] { mOpenWithMenu->setupFromPath(qtText(mController.currentImage().currentImagePath())); });
    layout->addWidget(mFileIcon);
    layout->addWidget(mFileName, 1, Qt::AlignLeft);
    layout->addWidget(mEncodingPopUp);
    layout->addWidget(makeReloadButton());
    layout->addWidget(mOpenButton);
    return bar;
}

// Drops the cached metadata of the current picture and reads the file again (F5 or Ctrl+R while the
// panel has the keyboard).
QToolButton* IPTCPanel::makeReloadButton()
{
    auto* reload = new QAction(QIcon::fromTheme("view-refresh", style()->standardIcon(QStyle::SP_BrowserReload)),
                               localized("Reload metadata"), this);
    reload->setToolTip(localized("Reads the picture again: its metadata may have changed on disk (F5)"));
    reload->setShortcuts({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)});
    reload->setShortcutContext(Qt::WindowShortcut);
    connect(reload, &QAction::triggered, this, [this] { mController.currentImage().clearCacheAndUpdateCurrentFilePath(); });
    addAction(reload);
    auto* button = new QToolButton;
    button->setAutoRaise(true);
    button->setDefaultAction(reload);
    return button;
}

QWidget* IPTCPanel::makeTextsBox()
{
    auto* box = new QWidget;
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setColumnStretch(1, 1);
    mBylineText = wrappingLabel();
    mCaptionText = wrappingLabel();
    int row = 0;
    for (const auto& [title, text] : {std::pair{"Byline:", mBylineText}, std::pair{"Caption:", mCaptionText}}) {
        layout->addWidget(new QLabel(localized(title)), row, 0, Qt::AlignTop);
        layout->addWidget(text, row++, 1);
        auto* editRules = new QAction(localized("Edit rules…"), text);
        connect(editRules, &QAction::triggered, this, [this, caption = text == mCaptionText] {
            if (mEditRules)
                mEditRules(caption);
        });
        text->addAction(editRules);
        text->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    return box;
}

void IPTCPanel::observeController()
{
    auto& image = mController.currentImage();
    mControllerObservers.push_back(image.addObserver("", [this](const std::string& key, KeyValueObservable::Change change) {
        if (change != KeyValueObservable::Change::Did)
            return;
        if (key == "currentImagePath" || key == "currentImageFileExists")
            showCurrentImagePath();
        else if (key == "filteredIPTCRecords")
            showRecords();
        else if (key == "currentBylineText" || key == "currentCaptionText")
            showTexts();
        else if (key == "openButtonApplicationPath" || key == "openButtonToolTip")
            showOpenButton();
    }));
    mDefaultsObservers.push_back(mDefaults.addObserver("panelTextEncoding", [this](const std::string&, const auto&) {
        selectPanelTextEncoding();
    }));
    for (const char* key : {"panelUtilityWindowLevel", "moveableByBackgroundClick", "iptcActivate"})
        mDefaultsObservers.push_back(mDefaults.addObserver(key, [this](const std::string&, const auto&) {
            adjustWindowLevelAndBackgroundMovability();
        }));
}

void IPTCPanel::showCurrentImagePath()
{
    const auto& image = mController.currentImage();
    const QString path = qtText(image.currentImagePath());
    mFileName->setText(path.isEmpty() ? localized("No image") : QFileInfo(path).fileName());
    mFileName->setEnabled(!path.isEmpty());
    const QIcon icon = path.isEmpty()                 ? QIcon()
                       : image.currentImageFileExists() ? ResourceImages::iconForFile(path)
                                                        : ResourceImages::missingFile();
    mFileIcon->setPixmap(icon.pixmap(FileIconSize, FileIconSize));
    setWindowTitle(path.isEmpty() ? localized("Metadata") : QFileInfo(path).fileName());
}

void IPTCPanel::showOpenButton()
{
    const auto& image = mController.currentImage();
    if (const auto& application = image.openButtonApplicationPath())
        mOpenButton->setIcon(ResourceImages::iconForApplication(QString::fromStdString(*application)));
    QString toolTip = qtText(image.openButtonToolTip());
    mOpenButton->setToolTip(toolTip.replace(QChar('\r'), QChar('\n')));
}

void IPTCPanel::showRecords()
{
    const auto& image = mController.currentImage();
    mModel.setRecords(image.filteredIPTCRecords().value_or(IPTCRecordArray{}));
    mPaintClock->await(qtText(image.currentImagePath()));
}

void IPTCPanel::showTexts()
{
    const auto& image = mController.currentImage();
    mBylineText->setText(qtText(image.currentBylineText()));
    mCaptionText->setText(qtText(image.currentCaptionText()));
}

void IPTCPanel::reloadEncodingPopUp()
{
    mEncodingPopUp->clear();
    for (const auto& encoding : mEncodings->arrangedObjects())
        mEncodingPopUp->addItem(QString::fromStdString(encoding.name()), QVariant::fromValue(encoding.rawEncoding()));
    selectPanelTextEncoding();
}

// The stored encoding is shown even when the offered list lacks it.
void IPTCPanel::selectPanelTextEncoding()
{
    const auto encoding = static_cast<StringEncoding>(mDefaults.integerForKey("panelTextEncoding"));
    int index = mEncodingPopUp->findData(QVariant::fromValue(encoding));
    if (index < 0 && textEncoding::getTextEncodingByNumber(encoding)) {
        mEncodingPopUp->insertItem(0, QString::fromStdString(textEncoding(encoding).name()), QVariant::fromValue(encoding));
        index = 0;
    }
    mEncodingPopUp->setCurrentIndex(index);
}

void IPTCPanel::chooseEncoding(int index)
{
    const QVariant encoding = mEncodingPopUp->itemData(index);
    if (!encoding.isValid())
        return;
    mDefaults.setObject("panelTextEncoding", PlistValue(static_cast<std::int64_t>(encoding.value<StringEncoding>())));
    mController.currentImage().updateDisplayedIPTCDataWithCustomPanelEncoding();
}

void IPTCPanel::showIPTCPanelAction()
{
    show();
    raise();
    if (mDefaults.boolForKey("iptcActivate"))
        activateWindow();
}

void IPTCPanel::toggleIPTCPanelAction()
{
    if (isVisible())
        hide();
    else
        showIPTCPanelAction();
}

void IPTCPanel::orderFront()
{
    show();
    raise();
}

// Both window levels of the settings keep the panel above other applications' windows.
void IPTCPanel::adjustWindowLevelAndBackgroundMovability()
{
    setAttribute(Qt::WA_ShowWithoutActivating, !mDefaults.boolForKey("iptcActivate"));
}

void IPTCPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && mDefaults.boolForKey("moveableByBackgroundClick") && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(event);
}

// The button bar and the texts at their preferred heights, and every row of the table.
QRect IPTCPanel::naturalFrame()
{
    const int texts = mTextsBox->heightForWidth(width());
    const int others = mButtonBar->sizeHint().height() + (texts >= 0 ? texts : mTextsBox->sizeHint().height());
    const int wanted = others + mTable->heightOfTable() + 2 * mTable->frameWidth();
    const QScreen* screen = this->screen();
    const int maximum = std::min(maximumHeight(), screen ? screen->availableGeometry().height() : maximumHeight());
    const int height = std::clamp(wanted, minimumHeight(), std::max(minimumHeight(), maximum));
    return QRect(geometry().topLeft(), QSize(width(), height));
}

// Once the texts just published are laid out.
void IPTCPanel::adjustWindowFrameToNaturalTableHeight()
{
    mFitTimer.start();
}

bool IPTCPanel::isFittingFrame() const
{
    return mFitTimer.isActive() || mResizeAnimation.state() == QAbstractAnimation::Running;
}

// Only the size changes, so the window manager keeps the top edge where it is.
void IPTCPanel::fitWindowFrameToNaturalTableHeight()
{
    mTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QSize target = naturalFrame().size();
    if (!isVisible() || target == size()) {
        resize(target);
        mTable->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        return;
    }
    mResizeAnimation.stop();
    mResizeAnimation.setDuration(AnimationResizeMilliseconds);
    mResizeAnimation.setStartValue(size());
    mResizeAnimation.setEndValue(target);
    mResizeAnimation.start();
}

void IPTCPanel::copySelectedIPTCRecords(bool withLabels)
{
    QList<int> rows;
    for (const QModelIndex& index : mTable->selectionModel()->selectedRows())
        rows.append(index.row());
    Pasteboard::current()->setString(mModel.textOfRows(rows, withLabels).toStdString());
}

void IPTCPanel::setStatusMenu(QMenu* menu)
{
    if (!mMenuButton) {
        mMenuButton = new QToolButton;
        mMenuButton->setAutoRaise(true);
        mMenuButton->setIcon(ResourceImages::applicationIcon());
        mMenuButton->setPopupMode(QToolButton::InstantPopup);
        mMenuButton->setToolTip(localized("Quillmark menu"));
        static_cast<QHBoxLayout*>(mOpenButton->parentWidget()->layout())->addWidget(mMenuButton);
    }
    mMenuButton->setMenu(menu);
}

void IPTCPanel::dragEnterEvent(QDragEnterEvent* event)
{
    if (firstDroppedFile(event->mimeData()))
        event->acceptProposedAction();
}

void IPTCPanel::dragMoveEvent(QDragMoveEvent* event)
{
    if (firstDroppedFile(event->mimeData()))
        event->acceptProposedAction();
}

void IPTCPanel::dropEvent(QDropEvent* event)
{
    if (performDragOperation(event->mimeData()))
        event->acceptProposedAction();
}

bool IPTCPanel::performDragOperation(const QMimeData* data)
{
    const auto file = firstDroppedFile(data);
    if (!file)
        return false;
    mController.currentImage().updateFromFilePath(file->toStdString());
    return true;
}

void IPTCPanel::hideEvent(QHideEvent* event)
{
    saveFrame();
    QWidget::hideEvent(event);
}

void IPTCPanel::saveFrame()
{
    if (!mDefaults.boolForKey("rememberPanelPosition"))
        return;
    const QRect frame = geometry();
    mDefaults.setObject(FrameKey, PlistValue(QStringLiteral("%1 %2 %3 %4")
                                                 .arg(frame.x())
                                                 .arg(frame.y())
                                                 .arg(frame.width())
                                                 .arg(frame.height())
                                                 .toStdString()));
}

// The remembered frame, or the top-right corner of the main screen's free area.
void IPTCPanel::placeWindow()
{
    resize(DefaultPanelWidth, DefaultPanelHeight);
    if (mDefaults.boolForKey("rememberPanelPosition")) {
        const QStringList parts = qtText(mDefaults.stringForKey(FrameKey)).split(QChar(' '));
        if (parts.size() == 4) {
            setGeometry(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
            return;
        }
    }
    placeAtTopRight();
    mTopRightAwaitsFrame = true;
}

// The window frame's top-right corner at the area's, once the frame's size is known.
void IPTCPanel::placeAtTopRight()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    // A window's position is its frame's, once the frame is known.
    move(area.x() + area.width() - (frame.left() + width() + frame.right()), area.y());
}

// The window manager tells the frame's size after it has shown the window.
void IPTCPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (mTopRightAwaitsFrame)
        mFrameWait.start();
}

void IPTCPanel::placeOnceTheFrameIsKnown()
{
    if (windowHandle() && !windowHandle()->frameMargins().isNull()) {
        mTopRightAwaitsFrame = false;
        placeAtTopRight();
    }
    if (!mTopRightAwaitsFrame || ++mFrameWaitTicks >= FrameWaitTicks)
        mFrameWait.stop();
}

} // namespace qm

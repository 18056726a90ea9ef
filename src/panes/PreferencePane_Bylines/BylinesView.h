#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include <QWidget>

#include "app/ArrayController.h"
#include "textgen/PublicationStore.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;

namespace qm {

class ListBox;
class Quillmark;
class TextBlockEditor;
class UserDefaults;
class iptcTextConcatEditorController;

// The "Text extraction" pane's content: the publications, the selected publication's bylines and
// captions (without those named "-") and every field of the chosen text block. It edits the
// controller's own publications and stores the list after every edit, so the program follows at
// once; a change of the list made elsewhere shows here at once.
class BylinesView : public QWidget {
    Q_OBJECT

public:
    enum Kind : std::size_t { Byline = 0, Caption = 1 };

    explicit BylinesView(Quillmark& controller);
    ~BylinesView() override;

    // The note shown, in the pane's extra height, while the publications come from a settings file.
    void showSettingsFileNote(bool shown);

    // Opens the rule editor, or the hot-key capture, for the chosen text block.
    void showTextConcatEditorAction();
    void editHotkey();
    // The publications file, as "Import…" and "Export…" read and write it after their dialogs: an
    // empty answer when it was read, else why it was refused.
    Q_INVOKABLE QString importPublicationsFromFile(const QString& path, bool append);
    Q_INVOKABLE bool exportPublicationsToFile(const QString& path);

    // The text block the fields show.
    textBlockSpec::Pointer editedSpec() const;

private:
    struct Bylines;
    struct Captions;

    QWidget* makePublicationsColumn();
    QWidget* makePublicationFields();
    QWidget* makeTextBlockColumn();
    QWidget* makeFileButtons();
    template <typename List>
    ListBox* makeTextBlockList(const QString& title);
    QMenu* makePasteboardMenu(Kind kind);

    quillmarkPublication::Pointer selectedPublication() const;
    template <typename List>
    ArrayController<std::shared_ptr<typename List::Spec>> textBlockController() const;
    template <typename List, typename Change>
    void changeTextBlocks(Change change);
    template <typename Change>
    void changePublications(Change change);
    void selectTextBlock(Kind kind, std::optional<std::size_t> index);
    void renameTextBlock(Kind kind, std::size_t index, const QString& name);
    void copyTextBlock(Kind kind);
    void pasteProperties(Kind kind, unsigned mask);
    void chooseDefault(Kind kind, int index);
    void runImportDialog();
    void runExportDialog();

    // Stores the controller's list after an edit of its objects.
    void store();
    void showAll();
    void showPublications();
    void showPublicationFields();
    void showTextBlocks();
    void showTextBlockLists();
    void showEditedSpec(bool reshowFields);
    void followChangesMadeElsewhere();
    iptcTextConcatEditorController& ruleEditor();

    Quillmark& mController;
    UserDefaults& mDefaults;
    std::vector<std::uint64_t> mControllerObservers;
    std::vector<std::uint64_t> mDefaultsObservers;
    bool mStoring = false;
    std::array<std::optional<std::size_t>, 2> mTextBlockSelection;
    Kind mEditedKind = Byline;
    std::unique_ptr<iptcTextConcatEditorController> mRuleEditor;

    ListBox* mPublicationList = nullptr;
    std::array<ListBox*, 2> mTextBlockLists{};
    std::array<QComboBox*, 2> mDefaultBoxes{};
    QCheckBox* mUseDragAndDropStyle = nullptr;
    QLineEdit* mDragAndDropStyle = nullptr;
    QGroupBox* mTextBlockBox = nullptr;
    TextBlockEditor* mTextBlockEditor = nullptr;
    QLabel* mSettingsFileNote = nullptr;
};

} // namespace qm

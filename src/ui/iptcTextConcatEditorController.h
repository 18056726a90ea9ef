#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QEventLoop>
#include <QTableView>
#include <QWidget>

#include "textgen/textBlockSpec.h"
#include "ui/RuleTableModel.h"
#include "ui/TextBlockPlace.h"

namespace qm {

class Quillmark;

// The rule editor: a window with the rules of one text block in a table, and buttons to add,
// remove and move rules, to show the help page and to close. Edits go into the text block at
// once and are stored at once; "Done" also makes the current image's byline and caption again.
// When the controller's publications are read again (a revert, another program's change), the
// editor shows the same text block of the new publications, or closes when it is gone.
class iptcTextConcatEditorController : public QWidget {
public:
    // The first editor made becomes the shared one, until it goes.
    explicit iptcTextConcatEditorController(Quillmark& controller);
    ~iptcTextConcatEditorController() override;
    // The shared editor; null while there is none.
    static iptcTextConcatEditorController* sharedInstance();

    // Shows the text block's rules in the window, brought to the front.
    void runNonmodalEditor(textBlockSpec::Pointer spec);
    // Runs the window until it is closed; the response code (0).
    int runModalEditor(textBlockSpec::Pointer spec);
    void closeEditorAction();
    void commitAndCloseEditorAction();
    void displayHelpAction();
    // Told when the window closes, before the texts are made again (so that the rules can be stored).
    void setEditingEndedHandler(std::function<void()> ended) { mEditingEnded = std::move(ended); }
    // Told after each edit of the rules, so that they are stored at once.
    void setRulesChangedHandler(std::function<void()> changed) { mModel.setChangedHandler(std::move(changed)); }
    // Puts the text of a cell being edited into its rule (at quit, the editor still open).
    void commitPendingEdit();

    const textBlockSpec::Pointer& editedSpec() const { return mModel.editedSpec(); }
    void setEditedSpec(textBlockSpec::Pointer spec);
    RuleTableModel& model() { return mModel; }
    QTableView& table() { return *mTable; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* makeButtons();
    int selectedRow() const;
    void selectRow(int row);
    void endModalRun();
    void followPublications();

    Quillmark& mController;
    RuleTableModel mModel;
    QTableView* mTable;
    QEventLoop* mModalRun = nullptr;
    std::function<void()> mEditingEnded;
    std::uint64_t mPublicationsObserver = 0;
    std::optional<TextBlockPlace> mPlaceBeforeReload;
};

} // namespace qm

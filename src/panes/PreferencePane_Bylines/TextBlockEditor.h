#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QTabWidget>

#include "SearchReplaceModel.h"
#include "textgen/textBlockSpec.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace qm {

// Every field of one text block, on three tabs: "Text" (where the text comes from and how it is
// finished), "Frame" (the text frame in the layout) and "Other" (hot key and menus). Each edit goes
// into the text block at once and is reported.
class TextBlockEditor : public QTabWidget {
public:
    struct Actions {
        std::function<void()> edited;
        std::function<void()> showTextConcatEditor;
        std::function<void()> editHotkey;
    };

    explicit TextBlockEditor(Actions actions);

    // Shows the text block (none: empty and disabled). The editor does not keep it alive.
    void setSpec(const textBlockSpec::Pointer& spec);
    textBlockSpec::Pointer spec() const { return mSpec.lock(); }
    // Shows the text block's values again, after a change made elsewhere.
    void showSpec();

private:
    using Show = std::function<void(const textBlockSpec&)>;
    using Edit = std::function<bool(textBlockSpec&)>;

    QWidget* makeTextTab();
    QWidget* makeSourceFields(QFormLayout& form);
    QWidget* makeSearchReplace();
    QWidget* makeFrameTab();
    QWidget* makeOtherTab();

    // Shows a value in the widget, without the widget reporting it as an edit.
    void addShow(QObject* widget, Show show);
    // Runs the edit on the text block and reports it when it changed something.
    void edit(const Edit& change);
    void updateEnabled(const textBlockSpec& spec);

    QLineEdit* textField(std::function<std::string(const textBlockSpec&)> get,
                         std::function<void(textBlockSpec&, std::string)> set);
    QLineEdit* optionalTextField(std::function<std::optional<std::string>(const textBlockSpec&)> get,
                                 std::function<void(textBlockSpec&, std::optional<std::string>)> set);
    QCheckBox* checkBox(const char* title, std::function<bool(const textBlockSpec&)> get,
                        std::function<void(textBlockSpec&, bool)> set);
    QComboBox* choiceBox(std::vector<std::pair<QString, std::int64_t>> choices,
                         std::function<std::int64_t(const textBlockSpec&)> get,
                         std::function<void(textBlockSpec&, std::int64_t)> set);
    QComboBox* layoutCodeBox(const std::string& field, std::function<std::int64_t(const textBlockSpec&)> get,
                             std::function<void(textBlockSpec&, std::int64_t)> set);
    QDoubleSpinBox* distanceBox(std::function<float(const textBlockSpec&)> get,
                                std::function<void(textBlockSpec&, float)> set);
    QComboBox* fieldBox();
    QPlainTextEdit* scriptField();

    Actions mActions;
    std::weak_ptr<textBlockSpec> mSpec;
    std::vector<Show> mShows;
    SearchReplaceModel mSearchReplaceModel;
    QComboBox* mFieldBox = nullptr;
    QPushButton* mRulesButton = nullptr;
    QPlainTextEdit* mScriptField = nullptr;
    QTableView* mSearchReplaceTable = nullptr;
    QWidget* mSearchReplaceButtons = nullptr;
    QPushButton* mHotKeyButton = nullptr;
};

} // namespace qm

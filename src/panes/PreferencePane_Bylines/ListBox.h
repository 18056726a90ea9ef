#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include <QGroupBox>
#include <QStringList>

class QHBoxLayout;
class QListWidget;
class QToolButton;

namespace qm {

// A titled list of names with the buttons that add, remove, move up, move down and duplicate its
// selected entry; names are edited in place. The list shows what it is given and reports the
// user's actions.
class ListBox : public QGroupBox {
public:
    struct Actions {
        std::function<void(std::optional<std::size_t>)> select;
        std::function<void(std::size_t, const QString&)> rename;
        std::function<void()> add;
        std::function<void()> remove;
        std::function<void()> moveUp;
        std::function<void()> moveDown;
        std::function<void()> duplicate;
    };

    ListBox(const QString& title, Actions actions);

    // Shows the names with the entry at the index selected, without reporting a selection.
    void setItems(const QStringList& names, std::optional<std::size_t> selection);
    std::optional<std::size_t> selection() const;
    QListWidget& list() { return *mList; }
    // The row of buttons, for a pane's own buttons after the standard ones.
    QHBoxLayout& buttons() { return *mButtons; }
    QToolButton& button(const char* name);

private:
    QToolButton* addButton(const char* name, const QString& toolTip, std::function<void()> action);
    void updateButtons();

    Actions mActions;
    QListWidget* mList;
    QHBoxLayout* mButtons;
};

} // namespace qm

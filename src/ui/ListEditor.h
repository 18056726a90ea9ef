#pragma once

#include <cstddef>
#include <optional>

#include <QStringList>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>

namespace qm {

// A list shown as a table, with buttons under it that add an item, remove the selected one and
// move it up or down. What the buttons do is the subclass's.
class ListEditor : public QWidget {
public:
    explicit ListEditor(const QStringList& columnTitles, QWidget* parent = nullptr);

    QTableWidget& table() { return *mTable; }
    std::optional<std::size_t> selectedRow() const;
    void selectRow(std::optional<std::size_t> row);

protected:
    virtual void addAction() = 0;
    virtual void removeAction(std::size_t row) = 0;
    virtual void moveUpAction(std::size_t row) = 0;
    virtual void moveDownAction(std::size_t row) = 0;
    // Enables the buttons for the selection.
    void updateButtons();

private:
    QToolButton* makeButton(const char* name, const QString& toolTip);
    void withSelectedRow(void (ListEditor::*action)(std::size_t));

    QTableWidget* mTable;
    QToolButton* mAdd;
    QToolButton* mRemove;
    QToolButton* mUp;
    QToolButton* mDown;
};

} // namespace qm

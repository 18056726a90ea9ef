#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QComboBox>
#include <QSignalBlocker>
#include <QVariant>

#include "app/ArrayControllerExtension.h"
#include "app/Quillmark.h"
#include "foundation/UserDefaults.h"
#include "ui/ListEditor.h"

namespace qm {

// A list kept in a user default, edited in a table: every edit is stored at once, and a change
// of the default made elsewhere shows at once. A column shows a text (editable when it can be
// set) or a pop-up of choices.
template <typename T>
class StoredListEditor : public ListEditor {
public:
    struct Column {
        QString title;
        std::function<QString(const T&)> text;
        std::function<void(T&, const QString&)> setText;
        std::vector<std::pair<QString, QVariant>> choices;
        std::function<QVariant(const T&)> choice;
        std::function<void(T&, const QVariant&)> setChoice;
    };
    struct Storage {
        std::function<std::vector<T>(const UserDefaults&)> load;
        std::function<void(UserDefaults&, const std::vector<T>&)> store;
    };

    StoredListEditor(std::vector<Column> columns, Storage storage, UserDefaults& defaults, const std::string& key,
                     std::function<T()> newObject, QWidget* parent = nullptr)
        : ListEditor(titles(columns), parent), mColumns(std::move(columns)), mStorage(std::move(storage)),
          mDefaults(defaults)
    {
        mController.newObject = std::move(newObject);
        mObserver = mDefaults.addObserver(key, [this](const std::string&, const auto&) {
            if (!mStoring)
                reload();
        });
        connect(&table(), &QTableWidget::cellChanged, this, [this](int row, int column) { cellEdited(row, column); });
        reload();
    }
    ~StoredListEditor() override { mDefaults.removeObserver(mObserver); }

    const std::vector<T>& arrangedObjects() const { return mController.arrangedObjects; }
    // Appends the object and selects it.
    void addObject(T object)
    {
        mController.arrangedObjects.push_back(std::move(object));
        mController.selectionIndex = mController.arrangedObjects.size() - 1;
        storeAndShow();
    }
    // What the add button does instead of inserting a new object after the selection.
    void setAddHandler(std::function<void()> handler) { mAddHandler = std::move(handler); }

protected:
    void addAction() override
    {
        if (mAddHandler)
            return mAddHandler();
        mController.selectionIndex = selectedRow();
        Quillmark::insertAndSelectObjectInArrayController(mController);
        storeAndShow();
    }
    void removeAction(std::size_t row) override
    {
        mController.selectionIndex = row;
        ArrayControllerExtension::removeSelectedItem(mController);
        storeAndShow();
    }
    void moveUpAction(std::size_t row) override
    {
        mController.selectionIndex = row;
        ArrayControllerExtension::moveSelectedItemUpAction(mController);
        storeAndShow();
    }
    void moveDownAction(std::size_t row) override
    {
        mController.selectionIndex = row;
        ArrayControllerExtension::moveSelectedItemDownAction(mController);
        storeAndShow();
    }

private:
    static QStringList titles(const std::vector<Column>& columns)
    {
        QStringList result;
        for (const auto& column : columns)
            result.append(column.title);
        return result;
    }

    void reload()
    {
        mController.arrangedObjects = mStorage.load(mDefaults);
        const auto selected = selectedRow();
        mController.selectionIndex =
            selected && *selected < mController.arrangedObjects.size() ? selected : std::nullopt;
        showObjects();
    }

    void storeAndShow()
    {
        store();
        showObjects();
    }

    void store()
    {
        mStoring = true;
        mStorage.store(mDefaults, mController.arrangedObjects);
        mStoring = false;
    }

    void showObjects()
    {
        const QSignalBlocker blocker(table());
        table().clearContents();
        table().setRowCount(static_cast<int>(mController.arrangedObjects.size()));
        for (int row = 0; row < table().rowCount(); ++row)
            for (int column = 0; column < static_cast<int>(mColumns.size()); ++column)
                showCell(row, column);
        selectRow(mController.selectionIndex);
    }

    void showCell(int row, int column)
    {
        const Column& description = mColumns[static_cast<std::size_t>(column)];
        const T& object = mController.arrangedObjects[static_cast<std::size_t>(row)];
        if (description.choices.empty()) {
            auto* item = new QTableWidgetItem(description.text(object));
            if (!description.setText)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            table().setItem(row, column, item);
            return;
        }
        auto* popUp = new QComboBox;
        for (const auto& [title, value] : description.choices)
            popUp->addItem(title, value);
        popUp->setCurrentIndex(popUp->findData(description.choice(object)));
        connect(popUp, &QComboBox::activated, this, [this, popUp, row, column](int index) {
            T edited = mController.arrangedObjects[static_cast<std::size_t>(row)];
            mColumns[static_cast<std::size_t>(column)].setChoice(edited, popUp->itemData(index));
            replaceObject(row, std::move(edited));
        });
        table().setCellWidget(row, column, popUp);
    }

    void cellEdited(int row, int column)
    {
        const Column& description = mColumns[static_cast<std::size_t>(column)];
        const QTableWidgetItem* item = table().item(row, column);
        if (!description.setText || !item)
            return;
        T edited = mController.arrangedObjects[static_cast<std::size_t>(row)];
        description.setText(edited, item->text());
        replaceObject(row, std::move(edited));
    }

    void replaceObject(int row, T object)
    {
        mController.arrangedObjects[static_cast<std::size_t>(row)] = std::move(object);
        store();
    }

    std::vector<Column> mColumns;
    Storage mStorage;
    UserDefaults& mDefaults;
    ArrayController<T> mController;
    std::function<void()> mAddHandler;
    UserDefaults::ObserverId mObserver = 0;
    bool mStoring = false;
};

} // namespace qm

#pragma once

#include <functional>
#include <memory>

#include <QAbstractTableModel>

#include "textgen/textBlockSpec.h"

namespace qm {

// The search/replace pairs of a text block as a table: "search", "replace" and "matchCase", each
// edit made in the text block at once.
class SearchReplaceModel : public QAbstractTableModel {
public:
    enum Column { SearchColumn, ReplaceColumn, MatchCaseColumn, ColumnCount };

    explicit SearchReplaceModel(std::function<void()> edited);

    void setSpec(const textBlockSpec::Pointer& spec);

    // A new pair ("New search key", "New replace text") after the row, or at the end for none;
    // its row.
    int insertPairAfter(int row);
    void removePair(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    PlistArray pairs() const;
    void setPairs(PlistArray pairs);

    std::weak_ptr<textBlockSpec> mSpec;
    std::function<void()> mEdited;
};

} // namespace qm

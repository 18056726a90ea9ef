#include "SearchReplaceModel.h"

#include "ui/Localized.h"

namespace qm {

namespace {

const char* const Keys[] = {"search", "replace", "matchCase"};

QString textOf(const PlistValue& pair, const char* key)
{
    const PlistValue* value = pair.find(key);
    return value && value->string() ? QString::fromStdString(*value->string()) : QString();
}

bool matchCaseOf(const PlistValue& pair)
{
    const PlistValue* value = pair.find("matchCase");
    return value && value->asBoolean().value_or(false);
}

} // namespace

SearchReplaceModel::SearchReplaceModel(std::function<void()> edited) : mEdited(std::move(edited)) {}

void SearchReplaceModel::setSpec(const textBlockSpec::Pointer& spec)
{
    beginResetModel();
    mSpec = spec;
    endResetModel();
}

PlistArray SearchReplaceModel::pairs() const
{
    const auto spec = mSpec.lock();
    return spec ? spec->searchReplaceSpecs().value_or(PlistArray{}) : PlistArray{};
}

void SearchReplaceModel::setPairs(PlistArray pairs)
{
    if (const auto spec = mSpec.lock()) {
        spec->setSearchReplaceSpecs(std::move(pairs));
        mEdited();
    }
}

int SearchReplaceModel::insertPairAfter(int row)
{
    if (mSpec.expired())
        return -1;
    PlistArray all = pairs();
    const int at = row >= 0 && row < static_cast<int>(all.size()) ? row + 1 : static_cast<int>(all.size());
    PlistDictionary pair{{"search", localized("New search key").toStdString()},
                         {"replace", localized("New replace text").toStdString()}};
    beginInsertRows({}, at, at);
    all.insert(all.begin() + at, PlistValue(std::move(pair)));
    setPairs(std::move(all));
    endInsertRows();
    return at;
}

void SearchReplaceModel::removePair(int row)
{
    PlistArray all = pairs();
    if (row < 0 || row >= static_cast<int>(all.size()))
        return;
    beginRemoveRows({}, row, row);
    all.erase(all.begin() + row);
    setPairs(std::move(all));
    endRemoveRows();
}

int SearchReplaceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(pairs().size());
}

int SearchReplaceModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchReplaceModel::data(const QModelIndex& index, int role) const
{
    const PlistArray all = pairs();
    if (!index.isValid() || index.row() >= static_cast<int>(all.size()))
        return {};
    const PlistValue& pair = all[static_cast<std::size_t>(index.row())];
    if (index.column() == MatchCaseColumn)
        return role == Qt::CheckStateRole ? QVariant(matchCaseOf(pair) ? Qt::Checked : Qt::Unchecked) : QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return textOf(pair, Keys[index.column()]);
    return {};
}

bool SearchReplaceModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    PlistArray all = pairs();
    if (!index.isValid() || index.row() >= static_cast<int>(all.size()))
        return false;
    PlistDictionary* pair = all[static_cast<std::size_t>(index.row())].dictionary();
    if (!pair)
        return false;
    if (index.column() == MatchCaseColumn && role == Qt::CheckStateRole)
        pair->insert_or_assign("matchCase", PlistValue(value.toInt() == Qt::Checked));
    else if (index.column() != MatchCaseColumn && role == Qt::EditRole)
        pair->insert_or_assign(Keys[index.column()], PlistValue(value.toString().toStdString()));
    else
        return false;
    setPairs(std::move(all));
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags SearchReplaceModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == MatchCaseColumn ? flags | Qt::ItemIsUserCheckable : flags | Qt::ItemIsEditable;
}

QVariant SearchReplaceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[] = {"Search for", "Replace with", "Match case"};
    return section >= 0 && section < ColumnCount ? localized(titles[section]) : QVariant();
}

} // namespace qm

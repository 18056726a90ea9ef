#include "ui/IPTCRecordModel.h"

#include <algorithm>

#include <QMimeData>

#include "foundation/ValueTransformer.h"
#include "ui/IPTCFieldNameTransformer.h"

namespace qm {

namespace {

QString labelOf(const cIPTCRecord& record)
{
    const auto transformer = ValueTransformer::valueTransformerForName(IPTCFieldNameTransformer::Name);
    const std::any label = transformer ? transformer->transformedValue(record.IPTCcode()) : std::any();
    if (const auto* text = std::any_cast<std::string>(&label))
        return QString::fromStdString(*text);
    return QString::fromStdString(record.name().value_or(""));
}

QString shownValue(const cIPTCRecord& record)
{
    QString value = QString::fromStdString(record.dataAsFormattedString());
    return value.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
}

} // namespace

void IPTCRecordModel::setRecords(const IPTCRecordArray& records)
{
    beginResetModel();
    mRecords = records;
    mLabels.clear();
    for (const auto& record : mRecords)
        mLabels.append(labelOf(*record));
    endResetModel();
}

QString IPTCRecordModel::textOfRows(QList<int> rows, bool withLabels) const
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList lines;
    for (const int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        const cIPTCRecord& record = *mRecords[static_cast<std::size_t>(row)];
        const QString value = QString::fromStdString(record.dataAsFormattedString());
        lines.append(withLabels ? QString::fromStdString(record.name().value_or("")) + '\t' + value : value);
    }
    return lines.join(QChar('\r'));
}

int IPTCRecordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(mRecords.size());
}

int IPTCRecordModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant IPTCRecordModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const cIPTCRecord& record = *mRecords[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return index.column() == IPTCCodeColumn ? mLabels[index.row()] : shownValue(record);
    if (role == Qt::ToolTipRole)
        return index.column() == IPTCCodeColumn ? mLabels[index.row()] : shownValue(record);
    return {};
}

Qt::ItemFlags IPTCRecordModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled : Qt::NoItemFlags;
}

QStringList IPTCRecordModel::mimeTypes() const
{
    return {QStringLiteral("text/plain"), QString::fromLatin1(DatasetDragData::MimeType)};
}

QMimeData* IPTCRecordModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    for (const QModelIndex& index : indexes)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    IPTCRecordArray dragged;
    for (const int row : rows)
        if (row >= 0 && row < rowCount())
            dragged.push_back(mRecords[static_cast<std::size_t>(row)]);
    return DatasetDragData::mimeData(textOfRows(rows, false), dragged,
                                     mDragContext ? mDragContext() : DatasetDragData::Context{});
}

} // namespace qm

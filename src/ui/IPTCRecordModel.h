#pragma once

#include <functional>

#include <QAbstractTableModel>
#include <QStringList>

#include "ui/DatasetDragData.h"

#include "metadata/cIPTCRecord.h"

namespace qm {

// The datasets of the panel's table: the label (through IPTCFieldNameTransformer) in the
// "iptcCode" column and the formatted value in the "iptcContent" column. Rows drag out as text.
class IPTCRecordModel : public QAbstractTableModel {
public:
    enum Column { IPTCCodeColumn, IPTCContentColumn };

    void setRecords(const IPTCRecordArray& records);
    const IPTCRecordArray& records() const { return mRecords; }

    // The rows' values one a line, joined with "\r" and in ascending row order; with labels, each
    // line is the dataset's name, a tab and the value.
    QString textOfRows(QList<int> rows, bool withLabels) const;
    // Where dragged rows come from and the style they ask for, asked for at each drag.
    void setDragContext(std::function<DatasetDragData::Context()> context) { mDragContext = std::move(context); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    IPTCRecordArray mRecords;
    QStringList mLabels;
    std::function<DatasetDragData::Context()> mDragContext;
};

} // namespace qm

#include "ui/PanelReport.h"

#include <algorithm>

#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/AlertPresenter.h"

#include "ui/IPTCPanel.h"

namespace qm {

namespace {

QString codeOf(const cIPTCCode& code)
{
    return QStringLiteral("%1:%2").arg(code.recordType().value_or(-1)).arg(code.dataSetCode().value_or(-1));
}

// Where a cell shows on the screen: [x, y, width, height] in global coordinates.
QJsonArray screenRect(const QTableView& table, const QModelIndex& index)
{
    const QRect cell = table.visualRect(index);
    const QPoint topLeft = table.viewport()->mapToGlobal(cell.topLeft());
    return QJsonArray{topLeft.x(), topLeft.y(), cell.width(), cell.height()};
}

QJsonArray datasetRows(const IPTCRecordModel& model, const QTableView& table)
{
    QJsonArray rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex value = model.index(row, IPTCRecordModel::IPTCContentColumn);
        rows.append(QJsonObject{
            {"code", codeOf(model.records()[static_cast<std::size_t>(row)]->IPTCcode())},
            {"label", model.index(row, IPTCRecordModel::IPTCCodeColumn).data().toString()},
            {"value", value.data().toString()},
            {"screen", screenRect(table, value)},
        });
    }
    return rows;
}

QJsonArray selectedRows(IPTCPanel& panel)
{
    QList<int> rows;
    for (const QModelIndex& index : panel.table().selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QJsonArray array;
    for (const int row : rows)
        array.append(row);
    return array;
}

// The alert that is up, as a person sees it; null when none is.
QJsonValue alertReport()
{
    const auto alert = AlertPresenter::current()->shownAlert();
    if (!alert)
        return QJsonValue();
    return QJsonObject{{"title", QString::fromStdString(alert->windowTitle)},
                       {"message", QString::fromStdString(alert->messageText)},
                       {"informative", QString::fromStdString(alert->informativeText)}};
}

QJsonValue paintedReport(const PaintClock& clock)
{
    const auto& painted = clock.lastPainted();
    if (!painted)
        return QJsonValue();
    return QJsonObject{{"path", painted->what}, {"monotonicSeconds", painted->monotonicSeconds}};
}

} // namespace

QByteArray panelReport(IPTCPanel& panel, const std::optional<std::string>& currentImagePath)
{
    const QComboBox& encoding = panel.encodingPopUp();
    const QJsonObject report{
        {"visible", panel.isVisible()},
        {"title", panel.windowTitle()},
        {"path", currentImagePath ? QJsonValue(QString::fromStdString(*currentImagePath)) : QJsonValue()},
        {"encoding", encoding.currentData().isValid() ? QJsonValue(encoding.currentData().toLongLong()) : QJsonValue()},
        {"encodingName", encoding.currentText()},
        {"datasets", datasetRows(panel.model(), panel.table())},
        {"selectedRows", selectedRows(panel)},
        {"byline", panel.bylineText().text()},
        {"caption", panel.captionText().text()},
        {"alert", alertReport()},
        {"painted", paintedReport(panel.paintClock())},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Compact);
}

} // namespace qm

#include "ui/DatasetDragData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>

namespace qm {

namespace {

QJsonValue optionalText(const std::optional<std::string>& text)
{
    return text ? QJsonValue(QString::fromStdString(*text)) : QJsonValue();
}

QJsonArray datasets(const IPTCRecordArray& records)
{
    QJsonArray list;
    for (const auto& record : records) {
        const cIPTCCode code = record->IPTCcode();
        list.append(QJsonObject{
            {"code", QStringLiteral("%1:%2").arg(code.recordType().value_or(-1)).arg(code.dataSetCode().value_or(-1))},
            {"name", optionalText(record->name())},
            {"value", QString::fromStdString(record->dataAsFormattedString())},
        });
    }
    return list;
}

} // namespace

QMimeData* DatasetDragData::mimeData(const QString& text, const IPTCRecordArray& records, const Context& context)
{
    auto* data = new QMimeData;
    data->setText(text);
    const QJsonObject object{
        {"text", text},
        {"datasets", datasets(records)},
        {"image", optionalText(context.imagePath)},
        {"paragraphStyle", optionalText(context.paragraphStyle)},
        {"useParagraphStyle", context.paragraphStyle.has_value()},
    };
    data->setData(QString::fromLatin1(MimeType), QJsonDocument(object).toJson(QJsonDocument::Compact));
    return data;
}

} // namespace qm

#include "ui/QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qm {

void QtPasteboard::setString(const std::string& text)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::optional<std::string> QtPasteboard::string()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return std::nullopt;
    return data->text().toStdString();
}

void QtPasteboard::setData(const std::string& type, const Data& data)
{
    auto* contents = new QMimeData;
    contents->setData(QString::fromStdString(type),
                      QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size())));
    QGuiApplication::clipboard()->setMimeData(contents);
}

std::optional<Pasteboard::Data> QtPasteboard::dataForType(const std::string& type)
{
    if (!hasType(type))
        return std::nullopt;
    const QByteArray bytes = QGuiApplication::clipboard()->mimeData()->data(QString::fromStdString(type));
    return Data(bytes.begin(), bytes.end());
}

bool QtPasteboard::hasType(const std::string& type)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromStdString(type));
}

} // namespace qm

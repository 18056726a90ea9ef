#include "ui/DesktopWorkspace.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace qm {

namespace {

bool openLocal(const std::filesystem::path& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path.string())));
}

} // namespace

bool DesktopWorkspace::openFile(const std::filesystem::path& file)
{
    return openLocal(file);
}

std::optional<std::string> DesktopWorkspace::iconName(const std::filesystem::path& application)
{
    return application.filename().string();
}

bool DesktopWorkspace::openFileWithApplication(const std::filesystem::path& file, const std::filesystem::path& application)
{
    return QProcess::startDetached(QString::fromStdString(application.string()), {QString::fromStdString(file.string())});
}

bool DesktopWorkspace::revealFile(const std::filesystem::path& file)
{
    std::error_code error;
    return openLocal(std::filesystem::is_directory(file, error) ? file : file.parent_path());
}

std::optional<std::string> DesktopWorkspace::displayName(const std::filesystem::path& application)
{
    std::string name = application.filename().string();
    if (!name.empty())
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

} // namespace qm

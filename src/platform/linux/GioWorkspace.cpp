#include "platform/linux/GioWorkspace.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "foundation/Log.h"
#include "platform/linux/GioObjects.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

// The program file a desktop entry runs; none when it is not installed.
std::optional<fs::path> programFile(GAppInfo* application)
{
    const char* executable = g_app_info_get_executable(application);
    if (!executable || !*executable)
        return std::nullopt;
    GOwnedString found(g_find_program_in_path(executable));
    return found ? std::optional<fs::path>(found.get()) : std::nullopt;
}

// The first desktop entry whose program is the file.
GObjectPointer<GAppInfo> applicationWithProgram(const fs::path& program)
{
    GObjectList all(g_app_info_get_all());
    for (GList* item = all.get(); item; item = item->next) {
        auto* application = G_APP_INFO(item->data);
        if (programFile(application) == program)
            return GObjectPointer<GAppInfo>(G_APP_INFO(g_object_ref(application)));
    }
    return nullptr;
}

bool declaresType(GAppInfo* application, const std::string& contentType)
{
    const char** types = g_app_info_get_supported_types(application);
    for (; types && *types; ++types)
        if (g_content_type_equals(*types, contentType.c_str()))
            return true;
    return false;
}

void addProgram(std::vector<fs::path>& programs, GAppInfo* application)
{
    const auto program = programFile(application);
    if (program && std::find(programs.begin(), programs.end(), *program) == programs.end())
        programs.push_back(*program);
}

bool launchDefault(const fs::path& target)
{
    GObjectPointer<GFile> file(g_file_new_for_path(target.c_str()));
    GOwnedString uri(g_file_get_uri(file.get()));
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.get(), nullptr, &error))
        return true;
    GErrorPointer owned(error);
    Log::message("Cannot open " + target.string() + ": " + error->message);
    return false;
}

bool showInFileManager(const fs::path& target)
{
    GError* error = nullptr;
    GObjectPointer<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    if (!bus) {
        g_clear_error(&error);
        return false;
    }
    GObjectPointer<GFile> file(g_file_new_for_path(target.c_str()));
    GOwnedString uri(g_file_get_uri(file.get()));
    const gchar* uris[] = {uri.get(), nullptr};
    constexpr int timeoutMilliseconds = 5000;
    GVariant* reply = g_dbus_connection_call_sync(
        bus.get(), "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
        "ShowItems", g_variant_new("(^ass)", uris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, timeoutMilliseconds, nullptr,
        &error);
    if (!reply) {
        g_clear_error(&error);
        return false;
    }
    g_variant_unref(reply);
    return true;
}

std::string mimeTypeOf(const char* contentType)
{
    GOwnedString mimeType(g_content_type_get_mime_type(contentType));
    return mimeType ? mimeType.get() : "application/octet-stream";
}

std::string contentTypeOfName(const std::string& name)
{
    GOwnedString guessed(g_content_type_guess(name.c_str(), nullptr, 0, nullptr));
    return mimeTypeOf(guessed.get());
}

bool holdsMimeDatabase(const fs::path& folder)
{
    std::error_code error;
    return fs::exists(folder / "mime" / "mime.cache", error) || fs::exists(folder / "mime" / "globs2", error);
}

bool namesAMimeDatabase(const std::string& folders)
{
    std::istringstream list(folders);
    for (std::string folder; std::getline(list, folder, ':');)
        if (!folder.empty() && holdsMimeDatabase(folder))
            return true;
    return false;
}

void reachMimeDatabase()
{
    const char* folders = std::getenv("XDG_DATA_DIRS");
    if (!folders || !*folders || namesAMimeDatabase(folders))
        return; // unset, GIO looks in the system's folders
    const char* home = std::getenv("XDG_DATA_HOME");
    if (home && *home && holdsMimeDatabase(home))
        return;
    ::setenv("XDG_DATA_DIRS", (std::string(folders) + ":/usr/local/share:/usr/share").c_str(), 1);
}

} // namespace

GioWorkspace::GioWorkspace()
{
    reachMimeDatabase();
}

std::optional<fs::path> GioWorkspace::applicationForFile(const fs::path& file)
{
    const auto applications = applicationsForFile(file);
    return applications.empty() ? std::nullopt : std::optional(applications.front());
}

std::optional<fs::path> GioWorkspace::applicationForExtension(const std::string& extension)
{
    const auto applications = applicationsForExtension(extension);
    return applications.empty() ? std::nullopt : std::optional(applications.front());
}

std::vector<fs::path> GioWorkspace::applicationsForFile(const fs::path& file)
{
    return applicationsForContentType(contentTypeOfFile(file));
}

std::vector<fs::path> GioWorkspace::applicationsForExtension(const std::string& extension)
{
    return applicationsForContentType(contentTypeOfExtension(extension));
}

// GIO's registrations come from the mimeinfo.cache files that desktop-file-utils keeps; where
// that package is missing, the MIME types the desktop entries declare still count.
std::vector<fs::path> GioWorkspace::applicationsForContentType(const std::string& contentType)
{
    std::vector<fs::path> programs;
    if (GObjectPointer<GAppInfo> preferred{g_app_info_get_default_for_type(contentType.c_str(), FALSE)})
        addProgram(programs, preferred.get());
    GObjectList registered(g_app_info_get_all_for_type(contentType.c_str()));
    for (GList* item = registered.get(); item; item = item->next)
        addProgram(programs, G_APP_INFO(item->data));
    GObjectList all(g_app_info_get_all());
    for (GList* item = all.get(); item; item = item->next)
        if (declaresType(G_APP_INFO(item->data), contentType))
            addProgram(programs, G_APP_INFO(item->data));
    return programs;
}

std::string GioWorkspace::contentTypeOfFile(const fs::path& file)
{
    GObjectPointer<GFile> gioFile(g_file_new_for_path(file.c_str()));
    GObjectPointer<GFileInfo> info(g_file_query_info(gioFile.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                     G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    const char* type = info ? g_file_info_get_content_type(info.get()) : nullptr;
    if (type)
        return mimeTypeOf(type);
    return contentTypeOfName(file.filename().string());
}

std::string GioWorkspace::contentTypeOfExtension(const std::string& extension)
{
    return contentTypeOfName("document." + extension);
}

bool GioWorkspace::openFile(const fs::path& file)
{
    return launchDefault(file);
}

bool GioWorkspace::openFile(const fs::path& file, const fs::path& application)
{
    GObjectPointer<GAppInfo> info = applicationWithProgram(application);
    GError* error = nullptr;
    if (!info) {
        GOwnedString commandLine(g_shell_quote(application.c_str()));
        info.reset(g_app_info_create_from_commandline(commandLine.get(), nullptr, G_APP_INFO_CREATE_NONE, &error));
    }
    GObjectPointer<GFile> gioFile(g_file_new_for_path(file.c_str()));
    GList files{gioFile.get(), nullptr, nullptr};
    if (info && g_app_info_launch(info.get(), &files, nullptr, &error))
        return true;
    GErrorPointer owned(error);
    Log::message("Cannot open " + file.string() + " with " + application.string() + (error ? std::string(": ") + error->message : ""));
    return false;
}

bool GioWorkspace::revealFile(const fs::path& file)
{
    return showInFileManager(file) || launchDefault(file.parent_path());
}

std::optional<std::string> GioWorkspace::displayName(const fs::path& application)
{
    const auto info = applicationWithProgram(application);
    return info ? std::optional<std::string>(g_app_info_get_display_name(info.get())) : std::nullopt;
}

std::optional<std::string> GioWorkspace::iconName(const fs::path& application)
{
    const auto info = applicationWithProgram(application);
    GIcon* icon = info ? g_app_info_get_icon(info.get()) : nullptr;
    if (!icon || !G_IS_THEMED_ICON(icon))
        return std::nullopt;
    const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
    return names && names[0] ? std::optional<std::string>(names[0]) : std::nullopt;
}

} // namespace qm

#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace qm::test {

// Desktop applications of a test's own under `data` (what XDG_DATA_HOME names): each a program
// in `data` that writes the path it was given to "<program>.opened", and its desktop entry.
class DesktopEntries {
public:
    explicit DesktopEntries(std::filesystem::path data) : mData(std::move(data))
    {
        std::filesystem::create_directories(mData / "applications");
    }

    std::filesystem::path program(const std::string& name) const { return mData / name; }

    // A program without a desktop entry.
    void addProgram(const std::string& name) const
    {
        std::filesystem::create_directories(program(name).parent_path());
        std::ofstream(program(name)) << "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.opened\"\n";
        std::filesystem::permissions(program(name), std::filesystem::perms::owner_all);
    }

    void add(const std::string& name, const std::string& title, const std::string& mimeTypes) const
    {
        addProgram(name);
        std::ofstream(mData / "applications" / (name + ".desktop"))
            << "[Desktop Entry]\nType=Application\nName=" << title << "\nExec=" << program(name).string()
            << " %f\nIcon=" << name << "-icon\nMimeType=" << mimeTypes << "\n";
    }

    // A data folder (for XDG_DATA_DIRS) that holds the system's MIME database and no desktop
    // entries, so that no application installed on the machine counts.
    static std::filesystem::path mimeDatabaseOnly(const std::filesystem::path& data)
    {
        std::filesystem::create_directories(data);
        std::error_code error;
        if (!std::filesystem::exists(data / "mime", error))
            std::filesystem::create_directory_symlink("/usr/share/mime", data / "mime", error);
        return data;
    }

    // mimeapps.list in `config` (what XDG_CONFIG_HOME names): "image/jpeg=name.desktop" lines.
    static void setDefaults(const std::filesystem::path& config, const std::string& lines)
    {
        std::filesystem::create_directories(config);
        std::ofstream(config / "mimeapps.list") << "[Default Applications]\n" << lines;
    }

private:
    std::filesystem::path mData;
};

} // namespace qm::test

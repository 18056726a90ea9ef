#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/ByteFixtures.h"
#include "support/DesktopEntries.h"

// Running the built quillmark-cli from tests.
namespace qm::test::cli {

namespace fs = std::filesystem;
using qm::test::Bytes;
using qm::test::dataset;
using qm::test::operator+;
using qm::test::text;

struct Result {
    int status;
    std::string out;
    std::string err;
};

inline std::string quoted(const std::string& argument)
{
    std::string q = "'";
    for (char c : argument)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the tool in English with a settings file of this fixture's own, and desktop folders of its
// own: no desktop entry or default application installed on the machine counts.
class QuillmarkCliFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        mFolder = fs::temp_directory_path() /
                  ("quillmark-cli-test-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(mFolder);
        fs::create_directories(mFolder);
        const fs::path xdg = mFolder / "xdg";
        DesktopEntries::mimeDatabaseOnly(xdg / "data");
        mDesktop = "XDG_DATA_DIRS=" + quoted((xdg / "data").string()) + " XDG_DATA_HOME=" +
                   quoted((xdg / "home").string()) + " XDG_CONFIG_HOME=" + quoted((xdg / "config").string()) +
                   " XDG_CONFIG_DIRS=" + quoted((xdg / "config").string()) + " ";
    }
    void TearDown() override { fs::remove_all(mFolder); }

    // `environment`: assignments (NAME=VALUE ...) for the tool's environment.
    Result run(const std::vector<std::string>& arguments, const std::string& environment = "")
    {
        std::string command = mDesktop + mEnvironment + "LC_ALL=en_US.UTF-8 QUILLMARK_LOG= QUILLMARK_DEFAULTS=" +
                              quoted((mFolder / "defaults.plist").string()) + " " + environment + " " +
                              quoted(QUILLMARK_CLI);
        for (const auto& argument : arguments)
            command += " " + quoted(argument);
        command += " >" + quoted((mFolder / "out").string()) + " 2>" + quoted((mFolder / "err").string());
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(mFolder / "out"), slurp(mFolder / "err")};
    }

    std::string block(const std::string& name, const Bytes& bytes)
    {
        const fs::path path = mFolder / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::string textFile(const std::string& name, const std::string& text) { return block(name, Bytes(text.begin(), text.end())); }

    fs::path mFolder;
    // "NAME=VALUE " settings put before every run; they win over the desktop folders.
    std::string mEnvironment;
    std::string mDesktop;
};

} // namespace qm::test::cli

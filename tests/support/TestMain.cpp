#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// Every test program keeps its settings in a file of its own, never the user's, and reads the
// build tree's bundle: the resources of the source tree and the plug-ins built.
int main(int argc, char** argv)
{
    const auto folder = std::filesystem::temp_directory_path() /
                        ("quillmark-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ::setenv("QUILLMARK_DEFAULTS", (folder / "defaults.plist").c_str(), 1);
    ::setenv("QUILLMARK_RESOURCES", QUILLMARK_BUNDLE_DIR, 1);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(folder);
    return result;
}

#pragma once

#include <gtest/gtest.h>

#include <filesystem>

// Sample files that other programs wrote, kept beside the checkout rather than in it; a clone of
// its own lacks them, and the tests that read them are then skipped.
namespace qm::test {

inline std::filesystem::path sampleFilesFolder()
{
    return std::filesystem::path(QUILLMARK_CORPUS_DIR).lexically_normal();
}

inline std::filesystem::path sampleFile(const char* name)
{
    return sampleFilesFolder() / name;
}

} // namespace qm::test

// Skips the running test when the sample files folder is absent.
#define SKIP_WITHOUT_SAMPLE_FILES()                                                                      \
    if (std::filesystem::is_directory(qm::test::sampleFilesFolder())) {                                  \
    } else                                                                                               \
        GTEST_SKIP() << "sample files folder " << qm::test::sampleFilesFolder().string() << " is absent"

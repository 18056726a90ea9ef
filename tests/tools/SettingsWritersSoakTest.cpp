// Many writers of one settings file at once: the program's own settings object, quillmark-cli
// processes writing keys, and publication imports. Afterwards every writer's keys are there.
#include "CliTestSupport.h"

#include "foundation/PropertyList.h"
#include "foundation/UserDefaults.h"

#include <sys/stat.h>
#include <thread>

namespace qm::test::cli {
namespace {

using QuillmarkCliSettingsWriters = QuillmarkCliFixture;

constexpr int CliWriters = 20;
constexpr int ProgramWrites = 20;

// A shell script that starts every writer at once and records each one's exit status.
std::string parallelWriters(const fs::path& folder, const std::string& cli, const std::string& importFile)
{
    std::string script = "cd " + quoted(folder.string()) + " && export QUILLMARK_DEFAULTS=" +
                         quoted((folder / "defaults.plist").string()) + "; ";
    for (int i = 1; i <= CliWriters; ++i)
        script += "(" + quoted(cli) + " defaults write key" + std::to_string(i) + " -string v" + std::to_string(i) +
                  "; echo $? > status.key" + std::to_string(i) + ") & ";
    for (int i = 1; i <= 3; ++i)
        script += "(" + quoted(cli) + " publications import " + quoted(importFile) + "; echo $? > status.import" +
                  std::to_string(i) + ") & ";
    script += "(" + quoted(cli) + " defaults encoding-spec add Z 30; echo $? > status.spec) & wait";
    return script;
}

TEST_F(QuillmarkCliSettingsWriters, EveryConcurrentWriterKeepsItsKeys)
{
    const fs::path file = mFolder / "defaults.plist";
    const std::string imported = textFile("imported.json", R"({"publications": [{"name": "Imported"}]})");
    const fs::path killedSave = mFolder / ".defaults.plist.a1B2c3"; // left by a save that was killed
    textFile(killedSave.filename().string(), "partial");
    UserDefaults program(file);
    std::thread programWriter([&] {
        for (int i = 1; i <= ProgramWrites; ++i) {
            EXPECT_TRUE(program.setObject("program" + std::to_string(i), i));
            program.reloadFromDisk();
        }
    });
    const int shell = std::system(("sh -c " + quoted(parallelWriters(mFolder, QUILLMARK_CLI, imported))).c_str());
    programWriter.join();
    ASSERT_EQ(shell, 0);

    for (const auto& entry : fs::directory_iterator(mFolder))
        if (entry.path().filename().string().rfind("status.", 0) == 0)
            EXPECT_EQ(slurp(entry.path()), "0\n") << entry.path().filename();
    const auto stored = PropertyList::readFile(file);
    ASSERT_TRUE(stored && stored->dictionary());
    const PlistDictionary& values = *stored->dictionary();
    for (int i = 1; i <= CliWriters; ++i) {
        const auto found = values.find("key" + std::to_string(i));
        EXPECT_TRUE(found != values.end() && found->second == PlistValue("v" + std::to_string(i))) << "key" << i;
    }
    for (int i = 1; i <= ProgramWrites; ++i)
        EXPECT_TRUE(values.contains("program" + std::to_string(i))) << i;
    EXPECT_TRUE(values.contains("alternateEncodingSpecs"));
    EXPECT_NE(run({"publications", "list"}).out.find("Imported"), std::string::npos);
    EXPECT_FALSE(fs::exists(killedSave));

    program.reloadFromDisk();
    EXPECT_EQ(program.persistentDomain(), values) << "the program takes in every other writer's keys";
}

TEST_F(QuillmarkCliSettingsWriters, ADamagedOrReadOnlyFileIsToldWithoutVerbose)
{
    const fs::path file = mFolder / "defaults.plist";
    textFile("defaults.plist", "<?xml version=\"1.0\"?><plist><dict><key>trunc");
    for (int time = 0; time < 2; ++time) {
        const Result listed = run({"publications", "list"});
        EXPECT_EQ(listed.status, 0);
        EXPECT_NE(listed.err.find("cannot be read"), std::string::npos) << listed.err;
        EXPECT_NE(listed.err.find(file.string() + ".corrupt"), std::string::npos) << listed.err;
    }

    ASSERT_EQ(run({"defaults", "write", "kept", "-bool", "true"}).status, 0);
    const std::string before = slurp(file);
    ::chmod(file.c_str(), 0444);
    const Result refused = run({"defaults", "write", "changed", "-int", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("read-only"), std::string::npos) << refused.err;
    EXPECT_EQ(slurp(file), before);
}

} // namespace
} // namespace qm::test::cli

#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "BridgeTestSupport.h"
#include "FakeLayoutApplication.h"
#include "bridge/LayoutConnection.h"
#include "foundation/Bundle.h"
#include "platform/fake/FakeAlertPresenter.h"
#include "platform/fake/FakeModifierKeys.h"
#include "platform/fake/FakeProcessList.h"
#include "platform/fake/FakeWorkspace.h"

namespace qm::test {

// A bundle with the layout script folder, a runtime folder for the sockets, and fakes for every
// platform interface the connection uses.
class LayoutConnectionFixture : public ::testing::Test {
protected:
    static constexpr int ScribusPid = 4242;

    LayoutConnectionFixture()
    {
        std::filesystem::create_directories(mFolder.path() / "bundle" / "layout" / "scribus");
        std::filesystem::create_directories(mFolder.path() / "runtime");
    }

    void SetUp() override
    {
        MainThread::adoptCurrentThread();
        ProcessList::install(mProcesses);
        Workspace::install(mWorkspace);
        ModifierKeys::install(mModifierKeys);
        AlertPresenter::install(mAlerts);
    }

    void TearDown() override
    {
        ProcessList::install(nullptr);
        Workspace::install(nullptr);
        ModifierKeys::install(nullptr);
        AlertPresenter::install(nullptr);
    }

    Bundle bundle() const { return Bundle(mFolder.path() / "bundle"); }

    // A running Scribus whose layout script answers on its socket.
    FakeLayoutApplication& startScribus(int pid = ScribusPid, const std::string& program = "/usr/bin/scribus")
    {
        mProcesses->setProcesses({{pid, program}});
        mRunningApplications[pid].reset();
        mRunningApplications[pid] = std::make_unique<FakeLayoutApplication>(LayoutScriptClient::socketPathForProcess(pid));
        return *mRunningApplications[pid];
    }

    TemporaryFolder mFolder{"connection"};
    ScopedEnvironment mRuntime{"XDG_RUNTIME_DIR", (mFolder.path() / "runtime").string()};
    ScopedEnvironment mNoSocket{"QUILLMARK_LAYOUT_SOCKET", std::nullopt};
    std::shared_ptr<FakeProcessList> mProcesses = std::make_shared<FakeProcessList>();
    std::shared_ptr<FakeWorkspace> mWorkspace = std::make_shared<FakeWorkspace>();
    std::shared_ptr<FakeModifierKeys> mModifierKeys = std::make_shared<FakeModifierKeys>();
    std::shared_ptr<FakeAlertPresenter> mAlerts = std::make_shared<FakeAlertPresenter>();
    std::map<int, std::unique_ptr<FakeLayoutApplication>> mRunningApplications;
};

} // namespace qm::test

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include <QFileInfo>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "WidgetFixture.h"
#include "ui/SingleInstance.h"

namespace qm::test {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { widgetApplication(); }

    // A later start's hand-over, run beside the event loop of the running program.
    bool handOver(const std::optional<QString>& file)
    {
        return answered([file] { return SingleInstance::handOver(file); });
    }

    bool answered(std::function<bool()> request)
    {
        auto result = std::async(std::launch::async, std::move(request));
        processEventsUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return result.get();
    }

    TemporaryFolder mFolder{"single-instance"};
    ScopedEnvironment mRuntime{"XDG_RUNTIME_DIR", mFolder.path().string()};
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsFileToTheRunningProgram)
{
    EXPECT_FALSE(handOver(std::nullopt)) << "nothing runs yet";
    std::vector<std::optional<QString>> requests;
    {
        SingleInstance running;
        ASSERT_TRUE(running.listen([&](const std::optional<QString>& file) { requests.push_back(file); }));
        EXPECT_TRUE(handOver(QString("/pictures/a b.jpg")));
        EXPECT_TRUE(handOver(std::nullopt));
        int preferenceRequests = 0;
        running.setPreferencesHandler([&] { ++preferenceRequests; });
        EXPECT_TRUE(answered([] { return SingleInstance::handOverPreferences(); }));
        EXPECT_EQ(preferenceRequests, 1);
    }
    EXPECT_EQ(requests, (std::vector<std::optional<QString>>{QString("/pictures/a b.jpg"), std::nullopt}));
    EXPECT_FALSE(handOver(std::nullopt)) << "the program has ended";
    SingleInstance next;
    EXPECT_TRUE(next.listen([](const std::optional<QString>&) {})) << "a socket left behind is taken over";
}

TEST_F(SingleInstanceTest, ALaterStartAskingWhatIsShownGetsTheReportAndHandsNothingOver)
{
    const auto askShown = [this] {
        auto result = std::async(std::launch::async, [] { return SingleInstance::askShown(); });
        processEventsUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return result.get();
    };
    EXPECT_EQ(askShown(), std::nullopt) << "nothing runs yet";
    int requests = 0;
    SingleInstance running;
    ASSERT_TRUE(running.listen([&](const std::optional<QString>&) { ++requests; }));
    EXPECT_EQ(askShown(), QByteArray("{}")) << "no reporter set";
    const QByteArray longReport = "{\"caption\":\"" + QByteArray(100000, 'x') + "\"}";
    running.setShownReporter([&] { return longReport; });
    EXPECT_EQ(askShown(), longReport);
    EXPECT_EQ(requests, 0);
}

// A socket connected to the program that gives up reading or writing after five seconds.
int clientSocket()
{
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const timeval limit{5, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_un address{AF_UNIX, {}};
    SingleInstance::socketPath().toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
    ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return socket;
}

// Connections to the program made beside its event loop.
struct RawClients {
    std::vector<int> sockets;

    explicit RawClients(int count)
    {
        for (int index = 0; index < count; ++index)
            sockets.push_back(clientSocket());
    }
    ~RawClients()
    {
        for (int socket : sockets)
            ::close(socket);
    }
    // What the last connection is answered to the bytes it writes, read until it reaches the
    // expected length (0: until the program closes it); "<closed>" ends a closed one.
    std::string exchange(const std::string& bytes, std::size_t expected) const
    {
        ::send(sockets.back(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        std::string answer;
        char chunk[4096];
        while (answer.size() < expected || expected == 0) {
            const ssize_t count = ::recv(sockets.back(), chunk, sizeof chunk, 0);
            if (count <= 0)
                return answer + (count == 0 || errno == ECONNRESET ? "<closed>" : "<silent>");
            answer.append(chunk, std::size_t(count));
        }
        return answer;
    }
    bool isClosed(std::size_t index) const
    {
        char byte;
        return ::recv(sockets[index], &byte, 1, MSG_DONTWAIT) == 0 || errno == ECONNRESET;
    }
};

// Uses up this process's file descriptors while it lives, so that the program's next accept fails.
struct DescriptorsUsedUp {
    rlimit saved{};
    std::vector<int> fillers;
    DescriptorsUsedUp()
    {
        ::getrlimit(RLIMIT_NOFILE, &saved);
        rlimit lower = saved;
        lower.rlim_cur = 512;
        ::setrlimit(RLIMIT_NOFILE, &lower);
        for (int descriptor; (descriptor = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            fillers.push_back(descriptor);
    }
    ~DescriptorsUsedUp()
    {
        std::for_each(fillers.begin(), fillers.end(), ::close);
        ::setrlimit(RLIMIT_NOFILE, &saved);
    }
};

// Careless and hostile clients of the program's socket: every request of a write is answered, a
// line past the bound or a connection beyond the limit is closed, and afterwards the program still
// takes a later start's file and stays the one instance.
TEST_F(SingleInstanceTest, HostileClientsLeaveTheSocketAnsweringAndTheProgramAlone)
{
    struct Case {
        const char* name;
        std::function<std::string()> client; // run beside the event loop
        std::string answer;
        std::vector<std::optional<QString>> requests;
    };
    const std::string longPath = "/" + std::string(60000, 'x');
    const Case cases[] = {
        {"several requests in one write", [] { return RawClients(1).exchange("show\nopen\t/a:b.jpg\nshown\n", 9); },
         "ok\nok\n{}\n", {std::nullopt, QString("/a:b.jpg")}},
        {"unknown lines do nothing", [] { return RawClients(1).exchange("open\trelative.jpg\nrm -rf\n\n", 44); },
         "error unknown request\nerror unknown request\n", {}},
        {"a long path within the bound", [&] { return RawClients(1).exchange("open\t" + longPath + "\n", 3); }, "ok\n",
         {QString::fromStdString(longPath)}},
        {"a line past 64 KiB closes its connection",
         [] { return RawClients(1).exchange(std::string(300 * 1024, 'x') + "\nshow\n", 0); }, "<closed>", {}},
        {"connections beyond 64 close the oldest idle ones",
         [] {
             RawClients clients(100);
             std::string answer = clients.exchange("show\n", 3);
             for (std::size_t index : {0, 35, 36, 99})
                 answer += std::to_string(index) + (clients.isClosed(index) ? " closed " : " open ");
             return answer;
         },
         "ok\n0 closed 35 closed 36 open 99 open ", {std::nullopt}},
        {"a second start is refused the lock",
         [] {
             InstanceLock second(SingleInstance::lockPath().toStdString());
             return std::string(second.acquire() == InstanceLock::State::HeldByAnother ? "refused" : "taken");
         },
         "refused", {}},
        {"a failed accept: the program listens again",
         [] {
             {
                 DescriptorsUsedUp noneLeft;
                 ::close(noneLeft.fillers.back()); // room for the client's socket, none for the program's accept
                 noneLeft.fillers.pop_back();
                 const int socket = clientSocket();
                 std::this_thread::sleep_for(std::chrono::milliseconds(300));
                 ::close(socket);
             }
             std::this_thread::sleep_for(std::chrono::milliseconds(1200));
             return RawClients(1).exchange("show\n", 3);
         },
         "ok\n", {std::nullopt}},
    };
    std::vector<std::optional<QString>> requests;
    SingleInstance running;
    ASSERT_TRUE(running.listen([&](const std::optional<QString>& file) { requests.push_back(file); }));
    for (const auto& testCase : cases) {
        requests.clear();
        auto answer = std::async(std::launch::async, testCase.client);
        processEventsUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        EXPECT_EQ(answer.get(), testCase.answer) << testCase.name;
        EXPECT_EQ(requests, testCase.requests) << testCase.name;
        EXPECT_TRUE(handOver(QString("/after.jpg"))) << testCase.name;
        EXPECT_TRUE(QFileInfo::exists(SingleInstance::socketPath())) << testCase.name;
    }
}

} // namespace
} // namespace qm::test

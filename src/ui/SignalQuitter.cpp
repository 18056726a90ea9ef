#include "ui/SignalQuitter.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>

namespace qm {

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void writeSignalToPipe(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

constexpr int QuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

SignalQuitter::SignalQuitter()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    mNotifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(mNotifier.get(), &QSocketNotifier::activated, [] {
        char byte;
        [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = writeSignalToPipe;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : QuitSignals)
        ::sigaction(signal, &action, nullptr);
}

SignalQuitter::~SignalQuitter()
{
    for (const int signal : QuitSignals)
        ::signal(signal, SIG_DFL);
    mNotifier.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
}

} // namespace qm

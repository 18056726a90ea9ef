#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "read/Readers.h"

extern char** environ;

namespace qm::bench {

namespace {

// Runs a program with its standard output in a pipe (standard error discarded) and returns
// what it printed; throws when it cannot be started or exits with a status above the highest
// accepted one.
std::string outputOf(const std::vector<std::string>& arguments, int highestAcceptedStatus)
{
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[1 << 16];
    while (spawned == 0) {
        const ssize_t count = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (count > 0)
            output.append(buffer, static_cast<std::size_t>(count));
        else if (count == 0 || errno != EINTR)
            break;
    }
    ::close(pipeEnds[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(child, &status, 0) < 0 || !WIFEXITED(status) ||
        WEXITSTATUS(status) > highestAcceptedStatus)
        throw std::runtime_error(arguments[0] + " failed");
    return output;
}

std::size_t countOf(std::string_view text, std::string_view word)
{
    std::size_t count = 0;
    for (auto at = text.find(word); at != std::string_view::npos; at = text.find(word, at + word.size()))
        ++count;
    return count;
}

// exiftool prints one JSON object per file, each starting with its SourceFile; with -G the
// keys of the datasets start with "IPTC: and the packet is "XMP:XMP"; a file it could not read
// has "ExifTool:Error".
Tally tallyOf(std::string_view json)
{
    constexpr std::string_view fileKey = "\"SourceFile\"";
    Tally tally;
    for (auto at = json.find(fileKey); at != std::string_view::npos;) {
        const auto next = json.find(fileKey, at + fileKey.size());
        const auto object = json.substr(at, next == std::string_view::npos ? json.size() - at : next - at);
        ++tally.files;
        tally.withIPTC += countOf(object, "\"IPTC:") > 0;
        tally.withXMP += countOf(object, "\"XMP:XMP\"") > 0;
        tally.unreadable += countOf(object, "\"ExifTool:Error\"") > 0;
        at = next;
    }
    return tally;
}

} // namespace

std::vector<std::string> exiftoolArguments() { return {"exiftool", "-fast", "-G", "-iptc:all", "-xmp", "-Error", "-j", "-r"}; }

Tally readWithExiftool(const std::vector<std::string>& targets)
{
    auto arguments = exiftoolArguments();
    arguments.insert(arguments.end(), targets.begin(), targets.end());
    // exiftool exits with 1 when some file could not be read; it has still read the others.
    return tallyOf(outputOf(arguments, 1));
}

} // namespace qm::bench

// quillmark-cli: the program's reading, decoding and settings, without a display.
#include <array>
#include <cstring>
#include <iostream>

#include "Commands.h"
#include "app/ApplicationDefaults.h"
#include "foundation/UserDefaults.h"

using namespace qm::cli;

namespace {

constexpr std::array commands{
    Command{"records", "print the IPTC datasets of an IIM block",
            "usage: quillmark-cli records --iim FILE [--encoding N | --guess] [--repair] [--json]\n"
            "  Reads FILE as a raw IIM dataset block and prints one line per dataset:\n"
            "  R:D<TAB>NAME<TAB>VALUE. --encoding N decodes every dataset in encoding N\n"
            "  (see `quillmark-cli encodings`); --guess guesses the encoding from the\n"
            "  settings; --repair then repairs doubly encoded UTF-8 when detectUTF8Corruption\n"
            "  is on. --json prints an array of objects ({\"encoding\", \"records\"} with --guess).\n",
            runRecords},
    Command{"codes", "list the known IPTC datasets",
            "usage: quillmark-cli codes [--json]\n  Prints every known dataset as R:D<TAB>NAME, ordered by code.\n",
            runCodes},
    Command{"encodings", "list the available text encodings",
            "usage: quillmark-cli encodings [--json]\n  Prints every available encoding as NUMBER<TAB>NAME.\n",
            runEncodings},
    Command{"defaults", "read and change the settings",
            "usage: quillmark-cli defaults read [KEY]\n"
            "       quillmark-cli defaults write KEY (-string S | -int N | -float X | -bool true|false | -data HEX)\n"
            "       quillmark-cli defaults delete KEY\n"
            "       quillmark-cli defaults export FILE.plist\n"
            "       quillmark-cli defaults encoding-spec add SEARCH ENCODING | list | remove INDEX\n"
            "  Settings as the program sees them, registered values included.\n"
            "  read takes --json. encoding-spec edits alternateEncodingSpecs: text holding any\n"
            "  character of SEARCH is taken to be in ENCODING (a number or a name).\n"
            "  The settings file is $QUILLMARK_DEFAULTS when set.\n",
            runDefaults},
};

void printUsage(std::ostream& out)
{
    out << "usage: quillmark-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const auto& command : commands)
        out << "  " << command.name << std::string(12 - std::strlen(command.name), ' ') << command.summary << '\n';
    out << "\nRun `quillmark-cli COMMAND --help` for the arguments of a command.\n";
}

const Command* findCommand(const std::string& name)
{
    for (const auto& command : commands)
        if (name == command.name)
            return &command;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        printUsage(std::cerr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(std::cout);
        return 0;
    }
    const Command* command = findCommand(name);
    if (!command) {
        std::cerr << "quillmark-cli: unknown command " << name << '\n';
        printUsage(std::cerr);
        return 2;
    }
    CommandLine arguments(std::vector<std::string>(argv + 2, argv + argc));
    if (arguments.takeFlag("--help") || arguments.takeFlag("-h")) {
        std::cout << command->usage;
        return 0;
    }
    try {
        auto& defaults = qm::UserDefaults::standard();
        qm::ApplicationDefaults::registerDefaults(defaults);
        return command->run(arguments, defaults);
    } catch (const UsageError& error) {
        std::cerr << "quillmark-cli " << name << ": " << error.what() << '\n' << command->usage;
        return 2;
    } catch (const InputError& error) {
        std::cerr << "quillmark-cli " << name << ": " << error.what() << '\n';
        return 1;
    }
}

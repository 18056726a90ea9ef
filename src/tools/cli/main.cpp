// quillmark-cli: the program's reading, decoding and settings, without a display.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

#include <QString>
#include <QtGlobal>

#include "Commands.h"
#include "app/ApplicationDefaults.h"
#include "foundation/Log.h"
#include "foundation/MainThread.h"
#include "foundation/UserDefaults.h"
#include "platform/StandardErrorAlertPresenter.h"
#include "platform/linux/GioWorkspace.h"
#include "platform/linux/QtExiv2ImageLibrary.h"

using namespace qm::cli;

namespace {

constexpr std::array commands{
    Command{"records", "print the IPTC datasets of an image file or IIM block",
            "usage: quillmark-cli records FILE [--encoding N | --guess] [--xmp] [--repair] [--json]\n"
            "       quillmark-cli records --iim FILE [--encoding N | --guess] [--repair] [--json]\n"
            "  Reads the IPTC datasets of an image FILE (--xmp: those converted from its XMP\n"
            "  packet), or FILE as a raw IIM dataset block, and prints one line per dataset:\n"
            "  R:D<TAB>NAME<TAB>VALUE. --encoding N decodes every dataset in encoding N\n"
            "  (see `quillmark-cli encodings`); --guess guesses the encoding from the\n"
            "  settings; --repair then repairs doubly encoded UTF-8 when detectUTF8Corruption\n"
            "  is on. --json prints an array of objects ({\"encoding\", \"records\"} with --guess).\n",
            runRecords},
    Command{"show", "what the panel shows for image files",
            "usage: quillmark-cli show FILE... [--encoding N] [--byline NAME] [--caption NAME] [--json]\n"
            "  Makes each FILE current in turn, as the panel would, and prints the chosen\n"
            "  encoding, then the shown datasets: R:D<TAB>LABEL<TAB>VALUE. The settings decide\n"
            "  (preferXMP, consolidateRepeatables, filterIPTCRecords, customIPTCFilter,\n"
            "  detectUTF8Corruption, captionMode...); --encoding N decodes in encoding N instead\n"
            "  of the guess. Then the byline and caption of the current publication:\n"
            "  byline<TAB>TEXT and caption<TAB>TEXT, `-` alone when there is none; its default\n"
            "  ones, or those named by --byline and --caption. Alerts of text generation (fields\n"
            "  the text needs are missing) go to standard error. With several files each starts\n"
            "  with a file<TAB>PATH line. --json adds \"byline\" and \"caption\" (null when none).\n",
            runShow},
    Command{"text", "the byline and caption of an image file",
            "usage: quillmark-cli text FILE [--publication NAME|INDEX] [--byline NAME] [--caption NAME] [--json]\n"
            "  Prints byline<TAB>TEXT and caption<TAB>TEXT for FILE, TEXT escaped as `records`\n"
            "  escapes it and `-` alone when there is no text. The current publication\n"
            "  (currentPublicationIndex) unless --publication names one (by name first, else by\n"
            "  its index from 0); its default byline and caption unless --byline or --caption\n"
            "  names one (exact name; text blocks named \"-\" are not offered). --json prints\n"
            "  {\"byline\":...,\"caption\":...} with null for an absent text. Alerts of text\n"
            "  generation go to standard error.\n",
            runText},
    Command{"publications", "list, export and import the publications",
            "usage: quillmark-cli publications list [--json]\n"
            "       quillmark-cli publications export FILE.json|-\n"
            "       quillmark-cli publications import FILE.json|- [--append]\n"
            "  list prints each publication (publication<TAB>INDEX<TAB>NAME, <TAB>current on the\n"
            "  current one) followed by its bylines and captions (byline<TAB>NAME, caption<TAB>NAME,\n"
            "  <TAB>default on the defaults). export writes the list as JSON (- for standard\n"
            "  output); import replaces the list with the file's publications, or adds them\n"
            "  at the end with --append. A file that does not fit is refused as a whole, with\n"
            "  the element named (publications[0].bylines[1].textConcatSpecs[2].condition: ...),\n"
            "  and the stored publications stay as they were.\n",
            runPublications},
    Command{"settings", "import and export a publication settings file",
            "usage: quillmark-cli settings import FILE.plist\n"
            "       quillmark-cli settings export FILE.plist\n"
            "  import takes the publications and the text decoding settings a settings file\n"
            "  holds (publications, defaultTextEncoding, respectUTF8Marker,\n"
            "  useAlternateEncodingSpecs, alternateEncodingSpecs, detectUTF8Corruption,\n"
            "  corruptUTF8Triggers, corruptUTF8From, corruptUTF8To) and leaves the rest; a missing\n"
            "  file is told on standard error unless alertMissingPublicationSettingsFile is off.\n"
            "  export writes every setting as an XML property list.\n",
            runSettings},
    Command{"layout", "the running layout application's document and selection",
            "usage: quillmark-cli layout status [--json]\n"
            "       quillmark-cli layout selected\n"
            "       quillmark-cli layout codes [--json]\n"
            "       quillmark-cli layout install-scribus [--remove]\n"
            "  status prints the addressed instance, whether it runs, its front document, whether\n"
            "  something usable is selected, the selected picture's image path, and whether the\n"
            "  styles and swatch of the current publication's default byline and caption exist:\n"
            "  byline<TAB>paragraph-style<TAB>NAME<TAB>true|false (\"-\" when none is named).\n"
            "  selected prints the selected picture's image path. Exit status 1 when the layout\n"
            "  application is not running, does not answer, or (selected) shows no image.\n"
            "  codes prints what the integer codes of a text block's position, textAngle,\n"
            "  verticalJustification, horizontalJustification and textWrap mean:\n"
            "  FIELD<TAB>CODE<TAB>KEY<TAB>TITLE.\n"
            "  install-scribus sets Scribus's Scripter start-up script to the layout script, so\n"
            "  that every Scribus you start answers the program; --remove undoes it. The other\n"
            "  preferences stay; the file is copied to prefs150.xml.quillmark-backup first. Quit\n"
            "  Scribus before: it writes its preferences back when it quits.\n"
            "  $QUILLMARK_LAYOUT_SOCKET names the layout script's socket to use instead.\n",
            runLayout},
    Command{"frame", "make a byline or caption frame in the layout application",
            "usage: quillmark-cli frame byline|caption|both [--publication NAME|INDEX] [--byline NAME]\n"
            "                           [--caption NAME] [--option]\n"
            "  Makes the selected picture's image current, checks the layout document and places\n"
            "  the text as a frame beside the picture, as the program's menu command does. Problems\n"
            "  are told as the program's alert on standard error (while alertMissingStyles is on);\n"
            "  exit status 1 when one stops the frame. --option acts as if the Option (Alt) key\n"
            "  were held: a picture without image goes on, with the dummy text when\n"
            "  optionKeyOverridesEmptyFrame is on.\n"
            "usage: quillmark-cli frame page [--page N] [--dry-run]\n"
            "  Makes the current publication's default byline and caption beside every picture\n"
            "  of the current page (or page N, counted from 1), top to bottom and left to right,\n"
            "  leaving out frames a picture has from earlier runs. Prints made (or make, with\n"
            "  --dry-run, which makes nothing) FILE ROLE TEXT, skip FILE: REASONS for each picture\n"
            "  left out for missing fields, and a summary line; exit status 1 when a picture was\n"
            "  skipped or nothing could be made.\n",
            runFrame},
    Command{"follow", "print each image the layout application's selection makes current",
            "usage: quillmark-cli follow\n"
            "  Runs the program without a display and prints PATH<TAB>ENCODING<TAB>BYLINE<TAB>CAPTION\n"
            "  each time the selection in the layout application makes another image current,\n"
            "  until interrupted.\n",
            runFollow},
    Command{"menu", "the status item's menus as data",
            "usage: quillmark-cli menu status|publication|byline|caption [--json]\n"
            "  Prints the menu as the status item would show it now, one item a line:\n"
            "  TITLE<TAB>ACTION<TAB>HOT KEY<TAB>FLAGS (checked, disabled), `-` for a separator.\n"
            "  The byline and caption menus list the current publication's text blocks that are\n"
            "  displayed, the default marked \"(default)\", with the hot key that makes each.\n",
            runMenu},
    Command{"report", "the pictures a Scribus document prints, with their credits",
            "usage: quillmark-cli report DOC.sla [--pages A-B] [--json | --csv]\n"
            "  Reads the Scribus document DOC.sla (no Scribus needed) and prints one line per picture\n"
            "  placed on its pages, by page: page (as the document numbers it), position (from 1),\n"
            "  master (the master page of a picture placed by one), frame, image (relative paths\n"
            "  taken from the document's folder), status (found, missing, unreadable), then the\n"
            "  picture's byline (2:80), credit (2:110), source (2:115), copyright (2:116),\n"
            "  transmission (2:103) and object (2:05), decoded as the panel decodes them, and the\n"
            "  text of the current publication's default byline. A picture on a master page is\n"
            "  listed on every page that uses that master page. Tab-separated with a header line, `-`\n"
            "  for nothing; --csv prints CSV for spreadsheets (RFC 4180, UTF-8, CR LF), --json an\n"
            "  array of objects (null for nothing). --pages A-B, A- or A keeps the pages at those\n"
            "  positions, as Scribus's print range counts them. Exit status 1 when DOC.sla cannot be\n"
            "  read or is not a Scribus document.\n",
            runReport},
    Command{"set", "change datasets and write the file",
            "usage: quillmark-cli set FILE [--out OUT] [R:D=TEXT...] [--encoding N] [--xmp] [--via-image-library]\n"
            "  Sets each dataset R:D to TEXT (the file's datasets first take the encoding guessed\n"
            "  with the settings, and new text is stored in it; a dataset the file lacks is added)\n"
            "  and writes the file, in place unless --out. --encoding stores every text in encoding N\n"
            "  (see `quillmark-cli encodings`) instead, and drops a UTF-8 marker (1:90) unless N is UTF-8.\n"
            "  --xmp also updates each dataset's XMP\n"
            "  property; --via-image-library writes through the image library instead of the\n"
            "  file's own writer. With no R:D=TEXT the file is written unchanged.\n",
            runSet},
    Command{"dump-segments", "write each segment of a JPEG to a file",
            "usage: quillmark-cli dump-segments FILE PREFIX [--custom] [--app-only]\n"
            "  Writes PREFIX_SEG#NN_MARKER.bin per segment; --custom writes them as a rewrite would,\n"
            "  --app-only only the application segments (FFE0 to FFFF).\n",
            runDumpSegments},
    Command{"info", "describe what an image file holds",
            "usage: quillmark-cli info FILE [--json]\n"
            "  The file's type (told from its content), its parser, whether it could be read,\n"
            "  how many IPTC datasets and whether an XMP packet it holds, and its structure.\n",
            runInfo},
    Command{"xmp", "print the XMP packet of an image file",
            "usage: quillmark-cli xmp FILE\n  Prints the packet exactly as found; exit status 1 with \"no XMP\" when there is none.\n",
            runXmp},
    Command{"xmp-records", "print the datasets converted from an XMP packet",
            "usage: quillmark-cli xmp-records [FILE|-] [--json]\n"
            "  Reads an XMP packet from FILE or standard input and prints the IPTC datasets\n"
            "  converted from it, as `records` prints them.\n",
            runXmpRecords},
    Command{"xmp-update", "write one dataset's value into an XMP packet",
            "usage: quillmark-cli xmp-update FILE R:D TEXT [--encoding N]\n"
            "  Prints the packet of FILE with the property of dataset R:D set to TEXT (held in\n"
            "  encoding N, UTF-8 by default). A packet without that property comes back unchanged.\n",
            runXmpUpdate},
    Command{"thumbnail", "make a preview of an image file",
            "usage: quillmark-cli thumbnail FILE OUT.png [--size WxH] [--mode 0|1|2]\n"
            "  Writes a PNG preview: 70x50 by default; mode 0 fits the size, 1 its height, 2 its width.\n",
            runThumbnail},
    Command{"codes", "list the known IPTC datasets",
            "usage: quillmark-cli codes [--json]\n  Prints every known dataset as R:D<TAB>NAME, ordered by code.\n",
            runCodes},
    Command{"encodings", "list the available text encodings",
            "usage: quillmark-cli encodings [--json]\n  Prints every available encoding as NUMBER<TAB>NAME.\n",
            runEncodings},
    Command{"hotkeys", "try a global hot key",
            "usage: quillmark-cli hotkeys test KEY\n"
            "  Registers KEY as a global hot key and prints pressed<TAB>KEY each time it fires,\n"
            "  until interrupted. KEY is modifiers (ctrl, alt, super, shift) and a key (a letter,\n"
            "  digit or name such as F5 or Return) joined by +, e.g. ctrl+alt+B, or written as the\n"
            "  menus write it, e.g. ⌃⌥B. Exit status 1 when the key cannot be registered (another\n"
            "  program holds it, or there is no X display).\n",
            runHotKeys},
    Command{"front", "the application in front",
            "usage: quillmark-cli front [--watch] [--json]\n"
            "  Prints the application of the active window: NAME<TAB>PID<TAB>EXECUTABLE. --watch prints\n"
            "  one such line each time another application comes to the front, until interrupted.\n"
            "  --json prints one object per line. Exit status 1 without an X display.\n",
            runFront},
    Command{"apps", "the applications that open a file",
            "usage: quillmark-cli apps FILE [--json]\n"
            "  Prints the applications that open FILE, the default one first:\n"
            "  NAME<TAB>PROGRAM<TAB>ICON (`-` when it has no icon). --json prints an array of objects.\n",
            runApps},
    Command{"defaults", "read and change the settings",
            "usage: quillmark-cli defaults read [KEY]\n"
            "       quillmark-cli defaults write KEY (-string S | -int N | -float X | -bool true|false | -data HEX |\n"
            "                                         -hotkey KEY)\n"
            "       quillmark-cli defaults delete KEY\n"
            "       quillmark-cli defaults export FILE.plist\n"
            "       quillmark-cli defaults encoding-spec add SEARCH ENCODING | list | remove INDEX\n"
            "       quillmark-cli defaults filter add R:D [LABEL] | list | remove INDEX | clear\n"
            "  Settings as the program sees them, registered values included.\n"
            "  read takes --json. -hotkey stores a key combination as the program keeps its hot\n"
            "  keys (hotKeys_MakeBylineAndCaption -hotkey ctrl+alt+B). encoding-spec edits\n"
            "  alternateEncodingSpecs: text holding any character of SEARCH is taken to be in\n"
            "  ENCODING (a number or a name). filter edits\n"
            "  customIPTCFilter, the datasets the panel shows while filterIPTCRecords is on.\n"
            "  The settings file is $QUILLMARK_DEFAULTS when set.\n",
            runDefaults},
};

void printUsage(std::ostream& out)
{
    out << "usage: quillmark-cli [--verbose] COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const auto& command : commands)
        out << "  " << command.name << std::string(16 - std::min<std::size_t>(std::strlen(command.name), 15), ' ') << command.summary << '\n';
    out << "\nRun `quillmark-cli COMMAND --help` for the arguments of a command.\n"
           "--verbose (anywhere among the arguments), or QUILLMARK_LOG=1 in the environment, writes\n"
           "the log lines of reading and decoding to standard error; without it they are left out.\n";
}

// Log lines, Qt's messages among them, are written only when asked for; otherwise discarded.
void chooseLogging(bool verbose)
{
    const char* environment = std::getenv("QUILLMARK_LOG");
    if (verbose || (environment && std::string_view(environment) == "1")) {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
            qm::Log::message(message.toStdString());
        });
        return;
    }
    qm::Log::setSink([](const std::string&) {});
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

// Damage to the settings file and saves that fail are told whether or not --verbose is given.
void tellSettingsFileProblems(qm::UserDefaults& defaults)
{
    if (defaults.fileWasUnreadable()) {
        std::cerr << "quillmark-cli: the settings file " << defaults.filePath().string()
                  << " cannot be read; the default settings are used until the settings are saved again";
        if (const auto& copy = defaults.keptUnreadableCopy())
            std::cerr << ". Its contents are kept in " << copy->string();
        std::cerr << '\n';
    }
    defaults.setSaveFailureHandler([](qm::SettingsFile::Failure, const std::string& description) {
        std::cerr << "quillmark-cli: " << description << '\n';
    });
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
    qm::MainThread::adoptCurrentThread();
    CommandLine everything(std::vector<std::string>(argv + 1, argv + argc));
    chooseLogging(everything.takeFlag("--verbose"));
    const std::vector<std::string>& words = everything.remaining();
    if (words.empty()) {
        printUsage(std::cerr);
        return 2;
    }
    const std::string name = words.front();
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(std::cout);
        return 0;
    }
    if (name == "--version") {
        std::cout << "quillmark-cli " << QUILLMARK_VERSION << '\n';
        return 0;
    }
    const Command* command = findCommand(name);
    if (!command) {
        std::cerr << "quillmark-cli: unknown command " << name << '\n';
        printUsage(std::cerr);
        return 2;
    }
    CommandLine arguments(std::vector<std::string>(words.begin() + 1, words.end()));
    if (arguments.takeFlag("--help") || arguments.takeFlag("-h")) {
        std::cout << command->usage;
        return 0;
    }
    try {
        qm::ImageLibrary::install(std::make_shared<qm::QtExiv2ImageLibrary>());
        qm::AlertPresenter::install(std::make_shared<qm::StandardErrorAlertPresenter>());
        qm::Workspace::install(std::make_shared<qm::GioWorkspace>());
        auto& defaults = qm::UserDefaults::standard();
        tellSettingsFileProblems(defaults);
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

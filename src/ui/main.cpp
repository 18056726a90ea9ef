// quillmark: the desktop program, beside the layout application.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include "bridge/LayoutConnection.h"
#include "bridge/RuntimeFolder.h"
#include "foundation/UserDefaults.h"
#include "platform/AlertPresenter.h"
#include "platform/Pasteboard.h"
#include "platform/Workspace.h"
#include "applications/applicationInstancePathTransformer.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/linux/QtExiv2ImageLibrary.h"
#include "ui/IPTCPanel.h"
#include "ui/Localized.h"
#include "ui/ProgramWindows.h"
#include "ui/QtAlertPresenter.h"
#include "ui/QtMainThread.h"
#include "ui/QtPasteboard.h"
#include "ui/ResourceImages.h"
#include "ui/SettingsFileAlerts.h"
#include "ui/SettingsFileWatcher.h"
#include "ui/SignalQuitter.h"
#include "ui/SingleInstance.h"
#include "ui/ValueTransformers.h"

namespace {

struct Arguments {
    std::optional<QString> file;
    bool preferences = false;
};

Arguments arguments(const QCoreApplication& application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(qm::localized("Shows the press metadata of images and places bylines and captions "
                                                   "in the layout application."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption preferences("preferences", qm::localized("Opens the preferences window."));
    parser.addOption(preferences);
    parser.addOption({"shown", qm::localized("Print what the running program's panel shows, as JSON.")});
    parser.addPositionalArgument("FILE", qm::localized("An image file to show."), "[FILE]");
    parser.process(application);
    const QStringList files = parser.positionalArguments();
    return {files.isEmpty() ? std::nullopt : std::optional(QFileInfo(files.front()).absoluteFilePath()),
            parser.isSet(preferences)};
}

void installPlatform()
{
    qm::installQtMainThread();
    qm::ImageLibrary::install(std::make_shared<qm::QtExiv2ImageLibrary>());
    qm::AlertPresenter::install(std::make_shared<qm::QtAlertPresenter>());
    qm::Pasteboard::install(std::make_shared<qm::QtPasteboard>());
    qm::LinuxDesktop::install();
}

// --help and --version answer on the terminal, also where there is no display.
bool asksOnlyForText(int argc, char** argv)
{
    for (int index = 1; index < argc; ++index)
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[index], option) == 0)
                return true;
    return false;
}

// `--shown` asks the running program what its panel shows; it needs no display of its own.
bool asksForShown(int argc, char** argv)
{
    for (int index = 1; index < argc; ++index)
        if (std::strcmp(argv[index], "--shown") == 0)
            return true;
    return false;
}

int printShown(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::optional<QByteArray> report = qm::SingleInstance::askShown();
    if (!report && qm::RuntimeFolder::path() == qm::RuntimeFolder::Refused)
        return 1; // RuntimeFolder said why
    if (!report) {
        std::fprintf(stderr, "quillmark: no running program answers on %s\n",
                     qUtf8Printable(qm::SingleInstance::socketPath()));
        return 1;
    }
    std::printf("%s\n", report->constData());
    return 0;
}

// Hands the request to the program that holds the instance lock: the status to exit with, or
// nothing when that program ended meanwhile (this start may become the program).
std::optional<int> handOver(const std::optional<QString>& file, bool preferences)
{
    constexpr int handOverTimeoutMilliseconds = 5000;
    if (preferences ? qm::SingleInstance::handOverPreferences(handOverTimeoutMilliseconds)
                    : qm::SingleInstance::handOver(file, handOverTimeoutMilliseconds))
        return 0;
    if (!qm::SingleInstance::isRunning())
        return std::nullopt;
    std::fprintf(stderr, "quillmark: Quillmark is running but does not answer on %s; nothing was handed over to it\n",
                 qUtf8Printable(qm::SingleInstance::socketPath()));
    return 1;
}

// A start beside the running program only hands its request over: it does so before it opens the
// display and loads the interface, which would take longer than the hand-over itself.
std::optional<int> handOverBeforeOpeningTheDisplay(int& argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (!qm::SingleInstance::isRunning())
        return std::nullopt;
    const auto [file, preferences] = arguments(application);
    return handOver(file, preferences);
}

// Makes this process the user's one program, or hands the request to the program that runs.
// Nothing when this process is the program; else the status to exit with.
std::optional<int> becomeTheProgramOrHandOver(qm::SingleInstance& instance, const std::optional<QString>& file,
                                              bool preferences)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (instance.claim()) {
        case qm::InstanceLock::State::Held:
            return std::nullopt;
        case qm::InstanceLock::State::Unavailable:
            if (qm::RuntimeFolder::path() == qm::RuntimeFolder::Refused)
                std::fprintf(stderr, "quillmark: not starting without a private folder for its socket\n");
            else
                std::fprintf(stderr, "quillmark: cannot take the lock %s, so cannot tell whether Quillmark runs; not "
                                     "starting\n",
                             qUtf8Printable(qm::SingleInstance::lockPath()));
            return 1;
        case qm::InstanceLock::State::HeldByAnother:
            if (const auto status = handOver(file, preferences))
                return status;
            break; // it ended meanwhile: this start can be the program
        }
    }
    return 1;
}

bool hasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (asksForShown(argc, argv) && !asksOnlyForText(argc, argv))
        return printShown(argc, argv);
    if (asksOnlyForText(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!hasDisplay()) {
        std::fprintf(stderr, "quillmark: there is no display to show windows on (DISPLAY and WAYLAND_DISPLAY are "
                             "not set); quillmark-cli works without one\n");
        return 1;
    }
    if (!asksOnlyForText(argc, argv))
        if (const auto status = handOverBeforeOpeningTheDisplay(argc, argv))
            return *status;
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quillmark");
    QApplication::setApplicationVersion(QUILLMARK_VERSION);
    QApplication::setDesktopFileName("quillmark");
    QApplication::setQuitOnLastWindowClosed(false);
    const auto [file, preferences] = arguments(application);
    qm::SingleInstance instance;
    if (const auto status = becomeTheProgramOrHandOver(instance, file, preferences))
        return *status;

    installPlatform();
    QApplication::setWindowIcon(qm::ResourceImages::applicationIcon());
    auto& defaults = qm::UserDefaults::standard();
    qm::SettingsFileAlerts settingsAlerts(defaults);
    qm::registerValueTransformers(defaults);
    qm::registerApplicationInstancePathTransformers();
    auto connection = std::make_shared<qm::LayoutConnection>();
    qm::Quillmark controller(defaults, connection);
    // The program's panel is its window: shown at start unless the user chose otherwise.
    defaults.registerDefaults({{"showIptcPanelOnStartup", qm::PlistValue(true)}});
    qm::ProgramWindows windows(controller, defaults);
    controller.setWindowHooks(windows.windowHooks());
    controller.runLayoutCallsOnWorker();
    controller.awakeFromNib();
    qm::SettingsFileWatcher settingsWatcher(defaults);
    QTimer::singleShot(0, [&settingsAlerts] { settingsAlerts.tellDamageFoundAtStart(); });

    if (!instance.listen([&windows](const std::optional<QString>& request) { windows.takeRequest(request); }))
        std::fprintf(stderr, "quillmark: later starts cannot hand their files to this program\n");
    instance.setPreferencesHandler([&windows] { windows.showPreferences(); });
    instance.setShownReporter([&windows] { return windows.shownReport(); });
    if (file)
        windows.takeRequest(file);
    if (preferences)
        windows.showPreferences();
    qm::SignalQuitter quitter;
    bool shutDown = false;
    const auto shutDownOnce = [&] {
        if (std::exchange(shutDown, true))
            return;
        windows.applicationWillQuit();
        controller.applicationWillQuit();
    };
    QObject::connect(&application, &QGuiApplication::commitDataRequest, shutDownOnce);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, shutDownOnce);
    const int status = application.exec();
    qm::endQtMainThread();
    return status;
}

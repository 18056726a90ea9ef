// road_steps: the work between a selection event and the painted panel, each step timed alone on
// one picture (median of many runs), so that work that does not belong on that road shows up.
// usage: road_steps IMAGE [RUNS]; without QUILLMARK_DEFAULTS it keeps its settings in a
// temporary file, never the user's.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QPixmap>
#include <unistd.h>

#include "app/ApplicationDefaults.h"
#include "app/IPTCDisplay.h"
#include "app/Quillmark.h"
#include "bridge/LayoutConnection.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParserCache.h"
#include "platform/Workspace.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/linux/QtExiv2ImageLibrary.h"
#include "ui/IPTCPanel.h"

namespace {

using namespace qm;

double medianMicroseconds(int runs, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto started = std::chrono::steady_clock::now();
        step();
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

void print(const char* step, double microseconds)
{
    std::printf("  %-58s %9.1f us\n", step, microseconds);
}

void useTemporarySettings()
{
    if (std::getenv("QUILLMARK_DEFAULTS"))
        return;
    const auto file = std::filesystem::temp_directory_path() / ("road-steps-" + std::to_string(::getpid()) + ".plist");
    ::setenv("QUILLMARK_DEFAULTS", file.c_str(), 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: road_steps IMAGE [RUNS]\n");
        return 2;
    }
    const std::string path = std::filesystem::absolute(argv[1]).string();
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    useTemporarySettings();
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    ImageLibrary::install(std::make_shared<QtExiv2ImageLibrary>());
    LinuxDesktop::install();
    auto& defaults = UserDefaults::standard();
    ApplicationDefaults::registerDefaults(defaults);
    Quillmark controller(defaults, std::make_shared<LayoutConnection>());
    IPTCPanel panel(controller, defaults);
    panel.show();
    QApplication::processEvents();
    std::shared_ptr<QMMetadataParser> parser;

    std::printf("The steps from a selection event to the painted panel, %s, median of %d runs\n", path.c_str(), runs);
    print("stat and access of the file", medianMicroseconds(runs, [&] {
              std::error_code error;
              (void)(std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), R_OK) == 0);
          }));
    print("parse (parser cache emptied first)", medianMicroseconds(runs, [&] {
              QMMetadataParserCache::flushParserForPath(path);
              parser = QMMetadataParserCache::MetadataParserForPath(path, true);
          }));
    print("parser cache look-up (hit, with its change check)",
          medianMicroseconds(runs, [&] { parser = QMMetadataParserCache::CachedMetadataParserForPath(path); }));
    print("decode the datasets for the panel",
          medianMicroseconds(runs, [&] { (void)IPTCDisplay::updateDisplayedIPTCData(parser, defaults, true); }));
    print("application that opens the file (open button)",
          medianMicroseconds(runs, [&] { (void)Workspace::current()->applicationForFile(path); }));
    controller.currentImage().updateFromFilePath(path);
    print("painting the panel (into an image)", medianMicroseconds(runs, [&] { (void)panel.grab(); }));
    print("a cached picture made current, shown and painted", medianMicroseconds(runs, [&] {
              controller.currentImage().updateFromFilePath(path);
              (void)panel.grab();
          }));
    return parser ? 0 : 1;
}

// `info`, `xmp` and `thumbnail`: what the parser of an image file finds.
#include <iostream>

#include <QImage>

#include "Commands.h"
#include "ImageFiles.h"
#include "Output.h"

namespace qm::cli {

namespace {

std::string onlyFile(CommandLine& arguments, std::size_t count = 1)
{
    const auto positionals = arguments.positionals();
    if (positionals.size() < count)
        throw UsageError("missing FILE");
    if (positionals.size() > count)
        throw UsageError("unexpected argument " + positionals[count]);
    return positionals.front();
}

PlistDictionary infoOf(QMMetadataParser& parser)
{
    const auto records = parser.IPTCRecords();
    PlistDictionary info{
        {"file", PlistValue(parser.path().string())},
        {"fileType", PlistValue(parser.fileType())},
        {"fileTypeName", PlistValue(fileTypeName(parser.fileType()))},
        {"parser", PlistValue(parser.className())},
        {"parsed", PlistValue(parser.parsed())},
        {"parseable", PlistValue(parser.parseable())},
        {"iptcRecords", PlistValue(records ? static_cast<std::int64_t>(records->size()) : 0)},
        {"xmp", PlistValue(parser.XMP().has_value())},
    };
    if (auto structure = parser.structureSummary(); !structure.isNull())
        info.emplace("structure", std::move(structure));
    return info;
}

void printInfo(const PlistDictionary& info)
{
    for (const char* key : {"file", "fileType", "fileTypeName", "parser", "parsed", "parseable", "iptcRecords", "xmp",
                            "structure"})
        if (const auto found = info.find(key); found != info.end())
            std::cout << key << '\t' << escapeField(plainValue(found->second)) << '\n';
}

std::pair<int, int> sizeArgument(const std::string& text)
{
    const auto x = text.find('x');
    if (x == std::string::npos)
        throw InputError("bad size (WIDTHxHEIGHT): " + text);
    const auto width = parseUnsigned(text.substr(0, x), "width");
    const auto height = parseUnsigned(text.substr(x + 1), "height");
    if (width == 0 || height == 0 || width > 10000 || height > 10000)
        throw InputError("bad size (1 to 10000 pixels each way): " + text);
    return {static_cast<int>(width), static_cast<int>(height)};
}

bool writePNG(const Bitmap& bitmap, const std::string& path)
{
    const QImage image(bitmap.pixels.data(), bitmap.width, bitmap.height, bitmap.width * 4, QImage::Format_RGBA8888);
    return image.save(QString::fromStdString(path), "PNG");
}

} // namespace

int runInfo(CommandLine& arguments, UserDefaults&)
{
    const bool json = arguments.takeFlag("--json");
    auto parser = openParsedImage(onlyFile(arguments));
    const PlistDictionary info = infoOf(*parser);
    if (json)
        std::cout << jsonValue(PlistValue(info)) << '\n';
    else
        printInfo(info);
    return 0;
}

int runXmp(CommandLine& arguments, UserDefaults&)
{
    const std::string file = onlyFile(arguments);
    auto packet = openParsedImage(file)->XMP();
    if (!packet)
        throw InputError(file + ": no XMP");
    std::cout << *packet;
    return 0;
}

int runThumbnail(CommandLine& arguments, UserDefaults&)
{
    const auto size = arguments.takeValue("--size");
    const auto mode = arguments.takeValue("--mode");
    const auto positionals = arguments.positionals();
    if (positionals.size() != 2)
        throw UsageError("give FILE and OUT.png");
    const auto [width, height] = size ? sizeArgument(*size) : std::pair(70, 50);
    const auto resizeMode = mode ? parseUnsigned(*mode, "mode") : 0;
    if (resizeMode > 2)
        throw InputError("bad mode (0 fit, 1 height, 2 width): " + *mode);
    auto parser = openParsedImage(positionals[0]);
    const bool standard = !size && !mode;
    auto thumbnail = standard ? parser->thumbnail()
                              : parser->thumbnailWithSize(width, height, static_cast<int>(resizeMode));
    if (!thumbnail)
        throw InputError(positionals[0] + ": no thumbnail can be made");
    if (!writePNG(*thumbnail, positionals[1]))
        throw InputError("cannot write " + positionals[1]);
    return 0;
}

} // namespace qm::cli

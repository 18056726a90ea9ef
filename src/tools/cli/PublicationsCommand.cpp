// `publications`: the stored publication list, listed, and exported to or imported from JSON.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

#include "Commands.h"
#include "ImageFiles.h"
#include "Output.h"
#include "app/BylineAndCaption.h"
#include "foundation/UserDefaults.h"
#include "textgen/PublicationStore.h"
#include "textgen/PublicationsJSON.h"

namespace qm::cli {

namespace {

using Publications = PublicationStore::Publications;

std::string onlyFile(const std::vector<std::string>& positionals)
{
    if (positionals.size() < 2)
        throw UsageError("missing FILE");
    if (positionals.size() > 2)
        throw UsageError("unexpected argument " + positionals[2]);
    return positionals[1];
}

// The offered text blocks of one kind, each with whether it is the publication's default.
template <typename Spec>
std::vector<std::pair<std::string, bool>> offered(const std::vector<std::shared_ptr<Spec>>& specs,
                                                  const textBlockSpec::Pointer& defaultSpec)
{
    std::vector<std::pair<std::string, bool>> names;
    for (const auto& spec : specs)
        if (spec && BylineAndCaption::isOffered(*spec))
            names.emplace_back(spec->name(), spec == defaultSpec);
    return names;
}

void printListText(const Publications& publications, const quillmarkPublication::Pointer& current)
{
    for (std::size_t index = 0; index < publications.size(); ++index) {
        const auto& publication = *publications[index];
        std::cout << "publication\t" << index << '\t' << escapeField(publication.name())
                  << (publications[index] == current ? "\tcurrent" : "") << '\n';
        for (const auto& [name, isDefault] : offered(publication.bylines(), publication.defaultBylineSpec()))
            std::cout << "byline\t" << escapeField(name) << (isDefault ? "\tdefault" : "") << '\n';
        for (const auto& [name, isDefault] : offered(publication.captions(), publication.defaultCaptionSpec()))
            std::cout << "caption\t" << escapeField(name) << (isDefault ? "\tdefault" : "") << '\n';
    }
}

std::string namesJson(const std::vector<std::pair<std::string, bool>>& names)
{
    std::string json = "[";
    for (const auto& [name, isDefault] : names)
        json += std::string(json.size() > 1 ? "," : "") + "{\"name\":" + jsonString(name) +
                ",\"default\":" + (isDefault ? "true" : "false") + "}";
    return json + "]";
}

void printListJson(const Publications& publications, const quillmarkPublication::Pointer& current)
{
    std::cout << '[';
    for (std::size_t index = 0; index < publications.size(); ++index) {
        const auto& publication = *publications[index];
        std::cout << (index ? ",\n " : "") << "{\"index\":" << index << ",\"name\":" << jsonString(publication.name())
                  << ",\"current\":" << (publications[index] == current ? "true" : "false")
                  << ",\"bylines\":" << namesJson(offered(publication.bylines(), publication.defaultBylineSpec()))
                  << ",\"captions\":" << namesJson(offered(publication.captions(), publication.defaultCaptionSpec()))
                  << '}';
    }
    std::cout << "]\n";
}

int list(const std::vector<std::string>& positionals, bool json, const UserDefaults& defaults)
{
    if (positionals.size() > 1)
        throw UsageError("unexpected argument " + positionals[1]);
    const Publications publications = PublicationStore::publications(defaults);
    const auto current = PublicationStore::currentPublication(publications, defaults);
    if (json)
        printListJson(publications, current);
    else
        printListText(publications, current);
    return 0;
}

// Written beside the target and renamed over it, so that a reader never sees half a file.
void writeFileAtomically(const std::string& path, const std::string& contents)
{
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file || !file.write(contents.data(), static_cast<std::streamsize>(contents.size())).flush()) {
            const std::string reason = std::strerror(errno);
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw InputError("cannot write " + path + ": " + reason);
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw InputError("cannot write " + path + ": " + error.message());
    }
}

int exportList(const std::vector<std::string>& positionals, const UserDefaults& defaults)
{
    const std::string file = onlyFile(positionals);
    const std::string json = PublicationsJSON::exportPublications(PublicationStore::publications(defaults));
    if (file == "-")
        std::cout << json;
    else
        writeFileAtomically(file, json);
    return 0;
}

// The stored list is read before the file when the file's publications join it, so that a text
// block of the file whose identifier the list already uses is the one that gets a fresh identifier.
int importList(const std::vector<std::string>& positionals, bool append, UserDefaults& defaults)
{
    const std::string file = onlyFile(positionals);
    const std::string json = readInputFile(file);
    Publications publications = append ? PublicationStore::publications(defaults) : Publications{};
    auto imported = PublicationsJSON::importPublications(json);
    if (!imported)
        throw InputError(file + ": " + imported.error + "; nothing was imported");
    publications.insert(publications.end(), imported.publications->begin(), imported.publications->end());
    if (!PublicationStore::setPublications(publications, defaults))
        throw InputError("cannot save the settings to " + defaults.filePath().string());
    return 0;
}

} // namespace

int runPublications(CommandLine& arguments, UserDefaults& defaults)
{
    const bool json = arguments.takeFlag("--json");
    const bool append = arguments.takeFlag("--append");
    const auto positionals = arguments.positionals();
    if (positionals.empty())
        throw UsageError("missing action (list, export or import)");
    const std::string& action = positionals.front();
    if (json && action != "list")
        throw UsageError("--json goes with list");
    if (append && action != "import")
        throw UsageError("--append goes with import");
    if (action == "list")
        return list(positionals, json, defaults);
    if (action == "export")
        return exportList(positionals, defaults);
    if (action == "import")
        return importList(positionals, append, defaults);
    throw UsageError("unknown action " + action);
}

} // namespace qm::cli

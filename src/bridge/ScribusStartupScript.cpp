#include "bridge/ScribusStartupScript.h"

#include <cstdlib>
#include <stdexcept>

#include <tinyxml.h>

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr const char* ScripterContext = "scriptplugin";
constexpr const char* ExtensionScriptsKey = "extensionscripts";
constexpr const char* StartupScriptKey = "startupscript";

TiXmlElement* child(TiXmlNode& parent, const char* element, const char* attribute, const char* value)
{
    for (auto* node = parent.FirstChildElement(element); node; node = node->NextSiblingElement(element))
        if (const char* found = node->Attribute(attribute); found && std::string(found) == value)
            return node;
    return nullptr;
}

TiXmlElement& childOrNew(TiXmlNode& parent, const char* element, const char* attribute, const char* value)
{
    if (auto* found = child(parent, element, attribute, value))
        return *found;
    TiXmlElement made(element);
    made.SetAttribute(attribute, value);
    return *parent.InsertEndChild(made)->ToElement();
}

// The preferences file, or a new one when Scribus has not written one yet.
TiXmlDocument load(const fs::path& path)
{
    TiXmlDocument document;
    if (!fs::exists(path)) {
        document.InsertEndChild(TiXmlDeclaration("1.0", "UTF-8", ""));
        document.InsertEndChild(TiXmlElement("preferences"));
        return document;
    }
    if (!document.LoadFile(path.c_str(), TIXML_ENCODING_UTF8) || !document.RootElement() ||
        std::string(document.RootElement()->Value()) != "preferences")
        throw std::runtime_error(path.string() + " is not a Scribus preferences file: " + document.ErrorDesc());
    return document;
}

TiXmlElement& scripterContext(TiXmlDocument& document)
{
    auto& plugins = childOrNew(*document.RootElement(), "level", "name", "plugin");
    return childOrNew(plugins, "context", "name", ScripterContext);
}

std::string value(TiXmlDocument& document, const char* key)
{
    auto& context = scripterContext(document);
    const auto* attribute = child(context, "attribute", "key", key);
    const char* text = attribute ? attribute->Attribute("value") : nullptr;
    return text ? text : "";
}

void setValue(TiXmlDocument& document, const char* key, const std::string& text)
{
    childOrNew(scripterContext(document), "attribute", "key", key).SetAttribute("value", text);
}

std::string startupScriptOf(TiXmlDocument& document)
{
    return value(document, ExtensionScriptsKey) == "1" ? value(document, StartupScriptKey) : "";
}

} // namespace

fs::path ScribusStartupScript::bundledScript(const Bundle& bundle)
{
    return fs::absolute(bundle.resourcePath() / "layout" / "scribus" / "quillmark_layout.py");
}

fs::path ScribusStartupScript::preferencesPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const fs::path folder = config && *config ? fs::path(config) : fs::path(home ? home : "") / ".config";
    return folder / "scribus" / "prefs150.xml";
}

ScribusStartupScript::ScribusStartupScript(fs::path preferences) : mPreferences(std::move(preferences)) {}

fs::path ScribusStartupScript::backupPath() const
{
    return fs::path(mPreferences.string() + ".quillmark-backup");
}

std::string ScribusStartupScript::startupScript() const
{
    auto document = load(mPreferences);
    return startupScriptOf(document);
}

ScribusStartupScript::Change ScribusStartupScript::install(const fs::path& script) const
{
    auto document = load(mPreferences);
    const auto before = startupScriptOf(document);
    Change change{false, before, before, std::nullopt};
    if (before == script.string())
        return change;
    fs::create_directories(mPreferences.parent_path());
    if (fs::exists(mPreferences)) {
        fs::copy_file(mPreferences, backupPath(), fs::copy_options::overwrite_existing);
        change.backup = backupPath();
    }
    setValue(document, ExtensionScriptsKey, "1");
    setValue(document, StartupScriptKey, script.string());
    if (!document.SaveFile(mPreferences.c_str()))
        throw std::runtime_error("cannot write " + mPreferences.string());
    change.changed = true;
    change.scriptAfter = script.string();
    return change;
}

ScribusStartupScript::Change ScribusStartupScript::remove(const fs::path& script) const
{
    auto document = load(mPreferences);
    const auto before = startupScriptOf(document);
    Change change{false, before, before, std::nullopt};
    if (before != script.string())
        return change;
    std::string restored;
    if (fs::exists(backupPath())) {
        auto backup = load(backupPath());
        if (const auto saved = startupScriptOf(backup); saved != script.string())
            restored = saved;
    }
    setValue(document, ExtensionScriptsKey, restored.empty() ? "0" : "1");
    setValue(document, StartupScriptKey, restored);
    if (!document.SaveFile(mPreferences.c_str()))
        throw std::runtime_error("cannot write " + mPreferences.string());
    change.changed = true;
    change.scriptAfter = restored;
    return change;
}

} // namespace qm

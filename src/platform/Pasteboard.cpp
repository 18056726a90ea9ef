#include "platform/Pasteboard.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

class ProcessPasteboard : public Pasteboard {
public:
    void setString(const std::string& text) override
    {
        mTyped.reset();
        mText = text;
    }
    std::optional<std::string> string() override { return mText; }
    void setData(const std::string& type, const Data& data) override
    {
        mText.reset();
        mTyped = {type, data};
    }
    std::optional<Data> dataForType(const std::string& type) override
    {
        return hasType(type) ? std::optional(mTyped->second) : std::nullopt;
    }
    bool hasType(const std::string& type) override { return mTyped && mTyped->first == type; }

private:
    std::optional<std::string> mText;
    std::optional<std::pair<std::string, Data>> mTyped;
};
} // namespace

std::shared_ptr<Pasteboard> Pasteboard::current()
{
    return installedImplementation<Pasteboard, ProcessPasteboard>().current();
}

void Pasteboard::install(std::shared_ptr<Pasteboard> pasteboard)
{
    installedImplementation<Pasteboard, ProcessPasteboard>().install(std::move(pasteboard));
}

} // namespace qm

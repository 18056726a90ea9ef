#include "platform/Pasteboard.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

class ProcessPasteboard : public Pasteboard {
public:
    void setString(const std::string& text) override { mText = text; }
    std::optional<std::string> string() override { return mText; }

private:
    std::optional<std::string> mText;
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

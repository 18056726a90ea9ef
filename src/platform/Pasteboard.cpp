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

InstalledImplementation<Pasteboard, ProcessPasteboard>& installedPasteboard()
{
    static InstalledImplementation<Pasteboard, ProcessPasteboard> instance;
    return instance;
}

} // namespace

std::shared_ptr<Pasteboard> Pasteboard::current()
{
    return installedPasteboard().current();
}

void Pasteboard::install(std::shared_ptr<Pasteboard> pasteboard)
{
    installedPasteboard().install(std::move(pasteboard));
}

} // namespace qm

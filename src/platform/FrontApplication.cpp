#include "platform/FrontApplication.h"

#include <filesystem>

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

class UnknownFrontApplication : public FrontApplication {
public:
    std::optional<RunningApplication> frontApplication() override { return std::nullopt; }
    void setSwitchHandler(SwitchHandler) override {}
    void activate(int) override {}
};

InstalledImplementation<FrontApplication, UnknownFrontApplication>& installed()
{
    static InstalledImplementation<FrontApplication, UnknownFrontApplication> instance;
    return instance;
}

} // namespace

std::string RunningApplication::name() const
{
    return std::filesystem::path(executablePath).filename().string();
}

std::shared_ptr<FrontApplication> FrontApplication::current()
{
    return installed().current();
}

void FrontApplication::install(std::shared_ptr<FrontApplication> frontApplication)
{
    installed().install(std::move(frontApplication));
}

} // namespace qm

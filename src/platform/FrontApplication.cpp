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
} // namespace

std::string RunningApplication::name() const
{
    return std::filesystem::path(executablePath).filename().string();
}

std::shared_ptr<FrontApplication> FrontApplication::current()
{
    return installedImplementation<FrontApplication, UnknownFrontApplication>().current();
}

void FrontApplication::install(std::shared_ptr<FrontApplication> frontApplication)
{
    installedImplementation<FrontApplication, UnknownFrontApplication>().install(std::move(frontApplication));
}

} // namespace qm

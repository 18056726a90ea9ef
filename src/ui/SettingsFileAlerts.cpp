#include "ui/SettingsFileAlerts.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "errors/errorHandler.h"
#include "foundation/UserDefaults.h"

namespace qm {

namespace {

constexpr int UnreadableAtStartCode = -30;

} // namespace

int SettingsFileAlerts::errorCodeFor(SettingsFile::Failure failure)
{
    switch (failure) {
    case SettingsFile::Failure::ReadOnly:
        return -31;
    case SettingsFile::Failure::Locked:
        return -32;
    case SettingsFile::Failure::None:
    case SettingsFile::Failure::Unwritable:
        break;
    }
    return -33;
}

// Saves may fail on any thread and in the middle of other work: the alert waits for the event loop.
SettingsFileAlerts::SettingsFileAlerts(UserDefaults& defaults)
    : mDefaults(defaults), mTold(std::make_shared<std::set<SettingsFile::Failure>>())
{
    const std::string path = defaults.filePath().string();
    defaults.setSaveFailureHandler([told = mTold, path](SettingsFile::Failure failure, const std::string&) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [told, path, failure] {
                if (!told->insert(failure).second)
                    return;
                errorHandler::sharedInstance().displayErrorMessageWithErrorCode(errorCodeFor(failure), std::nullopt,
                                                                                path);
            },
            Qt::QueuedConnection);
    });
}

SettingsFileAlerts::~SettingsFileAlerts()
{
    mDefaults.setSaveFailureHandler(nullptr);
}

void SettingsFileAlerts::tellDamageFoundAtStart() const
{
    if (!mDefaults.fileWasUnreadable())
        return;
    const auto& copy = mDefaults.keptUnreadableCopy();
    errorHandler::sharedInstance().displayErrorMessageWithErrorCode(
        UnreadableAtStartCode, std::nullopt, copy ? copy->string() : mDefaults.filePath().string());
}

} // namespace qm

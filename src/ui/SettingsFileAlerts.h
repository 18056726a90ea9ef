#pragma once

#include <memory>
#include <set>

#include "foundation/SettingsFile.h"

namespace qm {

class UserDefaults;

// Tells the user of trouble with the settings file: an alert at start when it could not be read
// (naming the kept copy), and one alert for each cause of failed saves, however many saves fail.
class SettingsFileAlerts {
public:
    explicit SettingsFileAlerts(UserDefaults& defaults);
    ~SettingsFileAlerts();
    SettingsFileAlerts(const SettingsFileAlerts&) = delete;
    SettingsFileAlerts& operator=(const SettingsFileAlerts&) = delete;

    // On the main thread, once the program runs.
    void tellDamageFoundAtStart() const;

    // The error code of the alert for a failed save.
    static int errorCodeFor(SettingsFile::Failure failure);

private:
    UserDefaults& mDefaults;
    std::shared_ptr<std::set<SettingsFile::Failure>> mTold; // main thread only
};

} // namespace qm

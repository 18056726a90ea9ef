#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace qm {

class UserDefaults;

// Takes in what other programs save to the settings file. It watches the file and its folder
// (a save renames a new file into place, which ends a watch on the old one) and reloads the
// settings shortly after a change, so observers of the changed keys hear of it.
class SettingsFileWatcher : public QObject {
    Q_OBJECT
public:
    explicit SettingsFileWatcher(UserDefaults& defaults, QObject* parent = nullptr);

private:
    void watch();
    void reload();

    UserDefaults& mDefaults;
    QFileSystemWatcher mWatcher;
    QTimer mReloadSoon;
};

} // namespace qm

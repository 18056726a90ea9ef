#include "ui/SettingsFileWatcher.h"

#include <QDir>
#include <QFileInfo>

#include "foundation/UserDefaults.h"

namespace qm {

namespace {

// Saves come as bursts of events (temporary file, rename); one reload follows the burst.
constexpr int ReloadDelayMilliseconds = 150;

} // namespace

SettingsFileWatcher::SettingsFileWatcher(UserDefaults& defaults, QObject* parent) : QObject(parent), mDefaults(defaults)
{
    mReloadSoon.setSingleShot(true);
    mReloadSoon.setInterval(ReloadDelayMilliseconds);
    connect(&mReloadSoon, &QTimer::timeout, this, [this] { reload(); });
    connect(&mWatcher, &QFileSystemWatcher::fileChanged, this, [this] { mReloadSoon.start(); });
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, this, [this] { mReloadSoon.start(); });
    watch();
}

// The folder is made if it is missing, so a settings file made later is noticed too.
void SettingsFileWatcher::watch()
{
    const QFileInfo file(QString::fromStdString(mDefaults.filePath().string()));
    QDir().mkpath(file.absolutePath());
    if (!mWatcher.directories().contains(file.absolutePath()))
        mWatcher.addPath(file.absolutePath());
    if (file.exists() && !mWatcher.files().contains(file.absoluteFilePath()))
        mWatcher.addPath(file.absoluteFilePath());
}

void SettingsFileWatcher::reload()
{
    watch();
    mDefaults.reloadFromDisk();
}

} // namespace qm

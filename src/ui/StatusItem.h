#pragma once

#include <QSystemTrayIcon>

namespace qm {

class StatusMenu;

// The program's icon in the desktop's system tray, opening the status menu on either click.
class StatusItem {
public:
    explicit StatusItem(StatusMenu& menu);

    static bool trayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

private:
    void popUpBesideIcon(StatusMenu& menu);

    QSystemTrayIcon mIcon;
};

} // namespace qm

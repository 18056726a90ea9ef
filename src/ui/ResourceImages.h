#pragma once

#include <QIcon>
#include <QString>

namespace qm {

// Images of the bundle and of the desktop's icon theme, sized for menus.
class ResourceImages {
public:
    // The bundle's "menuIcon": the status item's and the windows' icon.
    static QIcon applicationIcon();
    // The bundle's "missingFile": items of paths that no longer exist.
    static QIcon missingFile();
    // The file manager's icon of the item at the path.
    static QIcon iconForFile(const QString& path);
    // An application's icon, by its program file; a generic one when it has none.
    static QIcon iconForApplication(const QString& application);
    // The side of a square that fits a line of menu text.
    static int menuIconSize();
};

} // namespace qm

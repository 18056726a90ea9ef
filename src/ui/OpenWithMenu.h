#pragma once

#include <QMenu>

namespace qm {

class UserDefaults;

// The applications that can open the current file: the user's own list ("openWithApps"), the
// desktop's applications for the file's type, or both, as "openWithMode" says (0: the desktop's,
// 1: the user's, 2: the user's, then the desktop's).
class OpenWithMenu : public QMenu {
public:
    OpenWithMenu(const UserDefaults& defaults, QWidget* parent = nullptr);
    // Rebuilds the items for the file; an empty path means no current file.
    void setupFromPath(const QString& path);

private:
    void addApplication(const QString& application, const QString& file);

    const UserDefaults& mDefaults;
};

} // namespace qm

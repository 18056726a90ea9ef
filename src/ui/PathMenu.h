#pragma once

#include <QMenu>

namespace qm {

// The current file's path as a menu: the file first, then each folder up to the root's first,
// each showing its item in the file manager; below them, fixed items that copy the path or the
// file name. Folders that no longer exist stay, disabled, with the missing-file image.
class PathMenu : public QMenu {
public:
    // The number of fixed items at the menu's end.
    static constexpr int FixedItemCount = 3;

    explicit PathMenu(QWidget* parent = nullptr);
    // Replaces the path's items; the fixed items stay.
    void setupFromPath(const QString& path);
    // Puts the full path (or only the file name) on the clipboard; nothing without a path.
    static void copyPath(const QString& path, bool fullPath);

private:
    QString mPath;
};

} // namespace qm

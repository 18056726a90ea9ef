#include "ui/PathMenu.h"

#include <QFileInfo>

#include "platform/Pasteboard.h"
#include "platform/Workspace.h"
#include "textgen/pathToDisplayNameTransformer.h"
#include "ui/Localized.h"
#include "ui/ResourceImages.h"

namespace qm {

PathMenu::PathMenu(QWidget* parent) : QMenu(parent)
{
    addSeparator();
    addAction(localized("Copy path"), this, [this] { copyPath(mPath, true); });
    addAction(localized("Copy file name"), this, [this] { copyPath(mPath, false); });
}

void PathMenu::setupFromPath(const QString& path)
{
    mPath = path;
    while (actions().size() > FixedItemCount)
        delete actions().front();
    QAction* above = actions().front();
    QString partial;
    for (const QString& component : path.split(QChar('/'), Qt::SkipEmptyParts)) {
        partial += QChar('/') + component;
        const bool exists = QFileInfo::exists(partial);
        const QString title =
            exists ? QString::fromStdString(pathToDisplayNameTransformer::displayName(partial.toStdString())) : component;
        auto* item = new QAction(exists ? ResourceImages::iconForFile(partial) : ResourceImages::missingFile(), title, this);
        item->setEnabled(exists);
        connect(item, &QAction::triggered, this, [partial] { Workspace::current()->revealFile(partial.toStdString()); });
        insertAction(above, item);
        above = item;
    }
}

void PathMenu::copyPath(const QString& path, bool fullPath)
{
    if (path.isEmpty())
        return;
    Pasteboard::current()->setString((fullPath ? path : QFileInfo(path).fileName()).toStdString());
}

} // namespace qm

#include "ui/OpenWithMenu.h"

#include <QFileInfo>
#include <QSet>

#include "foundation/UserDefaults.h"
#include "platform/Workspace.h"
#include "ui/Localized.h"
#include "ui/ResourceImages.h"

namespace qm {

namespace {

QStringList usersApplications(const UserDefaults& defaults)
{
    QStringList applications;
    for (const auto& item : defaults.arrayForKey("openWithApps").value_or(PlistArray{}))
        if (const auto* path = item.string(); path && !applications.contains(QString::fromStdString(*path)))
            applications.append(QString::fromStdString(*path));
    return applications;
}

} // namespace

OpenWithMenu::OpenWithMenu(const UserDefaults& defaults, QWidget* parent) : QMenu(parent), mDefaults(defaults) {}

void OpenWithMenu::setupFromPath(const QString& path)
{
    clear();
    const auto mode = mDefaults.integerForKey("openWithMode");
    QSet<QString> added;
    if (mode == 1 || mode == 2) {
        const QStringList applications = usersApplications(mDefaults);
        for (const QString& application : applications) {
            addApplication(application, path);
            added.insert(application);
        }
        if (applications.isEmpty())
            addAction(localized("No open with apps"))->setEnabled(false);
    }
    if (path.isEmpty() || mode == 1)
        return;
    const auto applications = Workspace::current()->applicationsForFile(path.toStdString());
    if (applications.empty())
        return;
    if (!actions().isEmpty())
        addSeparator();
    for (const auto& application : applications)
        if (const QString name = QString::fromStdString(application.string()); !added.contains(name))
            addApplication(name, path);
}

void OpenWithMenu::addApplication(const QString& application, const QString& file)
{
    const auto name = Workspace::current()->displayName(application.toStdString());
    QAction* item = addAction(ResourceImages::iconForApplication(application),
                              name ? QString::fromStdString(*name) : QFileInfo(application).fileName());
    item->setEnabled(!file.isEmpty());
    connect(item, &QAction::triggered, this, [application, file] {
        Workspace::current()->openFile(file.toStdString(), application.toStdString());
    });
}

} // namespace qm

#include "ui/ResourceImages.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QMenu>
#include <QStyle>

#include "foundation/Bundle.h"
#include "platform/Workspace.h"

namespace qm {

namespace {

QIcon bundleImage(const char* name)
{
    const auto path = Bundle::main().pathForResource(name, "png");
    return path ? QIcon(QString::fromStdString(path->string())) : QIcon();
}

} // namespace

QIcon ResourceImages::applicationIcon()
{
    return bundleImage("menuIcon");
}

QIcon ResourceImages::missingFile()
{
    return bundleImage("missingFile");
}

// Made once a kind of file: the style makes a new icon, with new pixmaps, at every request, and
// keeps each, so asking once a picture would make the program grow with every picture shown.
QIcon ResourceImages::iconForFile(const QString& path)
{
    static auto* icons = new QHash<QString, QIcon>; // never freed: icons must not outlive the application
    const QFileInfo file(path);
    const QString kind = file.isDir() ? QStringLiteral("/") : file.suffix().toLower();
    auto found = icons->find(kind);
    if (found == icons->end())
        found = icons->insert(kind, QFileIconProvider().icon(file));
    return *found;
}

QIcon ResourceImages::iconForApplication(const QString& application)
{
    static auto* icons = new QHash<QString, QIcon>; // never freed, as above
    if (auto found = icons->find(application); found != icons->end())
        return *found;
    const auto name = Workspace::current()->iconName(application.toStdString());
    const QIcon fallback = QApplication::style()->standardIcon(QStyle::SP_DesktopIcon);
    const QIcon icon = name ? QIcon::fromTheme(QString::fromStdString(*name), fallback) : fallback;
    if (icons->size() < 256)
        icons->insert(application, icon);
    return icon;
}

int ResourceImages::menuIconSize()
{
    return QFontMetrics(QMenu().font()).height();
}

} // namespace qm

#include "ui/ResourceImages.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontMetrics>
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

QIcon ResourceImages::iconForFile(const QString& path)
{
    return QFileIconProvider().icon(QFileInfo(path));
}

QIcon ResourceImages::iconForApplication(const QString& application)
{
    const auto name = Workspace::current()->iconName(application.toStdString());
    const QIcon fallback = QApplication::style()->standardIcon(QStyle::SP_DesktopIcon);
    return name ? QIcon::fromTheme(QString::fromStdString(*name), fallback) : fallback;
}

int ResourceImages::menuIconSize()
{
    return QFontMetrics(QMenu().font()).height();
}

} // namespace qm

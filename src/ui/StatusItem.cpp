#include "ui/StatusItem.h"

#include <QCursor>
#include <QGuiApplication>

#include "ui/ResourceImages.h"
#include "ui/StatusMenu.h"

namespace qm {

StatusItem::StatusItem(StatusMenu& menu)
{
    mIcon.setIcon(ResourceImages::applicationIcon());
    mIcon.setToolTip(QGuiApplication::applicationDisplayName());
    mIcon.setContextMenu(&menu);
    QObject::connect(&mIcon, &QSystemTrayIcon::activated, &menu, [&menu](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            menu.popup(QCursor::pos());
    });
    mIcon.show();
}

} // namespace qm

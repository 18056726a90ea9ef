#include "ui/StatusItem.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "ui/ResourceImages.h"
#include "ui/StatusMenu.h"

namespace qm {

StatusItem::StatusItem(StatusMenu& menu)
{
    mIcon.setIcon(ResourceImages::applicationIcon());
    mIcon.setToolTip(QGuiApplication::applicationDisplayName());
    mIcon.setContextMenu(&menu);
    QObject::connect(&mIcon, &QSystemTrayIcon::activated, &menu, [this, &menu](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            popUpBesideIcon(menu);
    });
    mIcon.show();
}

// Above the icon in a tray at the bottom of the screen, below it otherwise, so that the button's
// release never lands on an item.
void StatusItem::popUpBesideIcon(StatusMenu& menu)
{
    const QRect icon = mIcon.geometry();
    if (!icon.isValid()) {
        menu.popup(QCursor::pos());
        return;
    }
    menu.rebuild();
    const QScreen* screen = QGuiApplication::screenAt(icon.center());
    const bool atBottom = screen && icon.center().y() > screen->geometry().center().y();
    menu.popup(atBottom ? icon.topLeft() - QPoint(0, menu.sizeHint().height()) : icon.bottomLeft() + QPoint(0, 1));
}

} // namespace qm

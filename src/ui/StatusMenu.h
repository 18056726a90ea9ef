#pragma once

#include <functional>

#include <QMenu>

#include "app/MenuItem.h"

namespace qm {

class Quillmark;

// The status item's menu, built afresh from the controller's menus as data each time it (or
// one of its submenus) opens. Items of the template run the program's window commands.
class StatusMenu : public QMenu {
public:
    // What the template items do: show or hide the panel, preferences, about, quit.
    using TemplateAction = std::function<void(int templateTag)>;
    // Whether the program has the window a template item opens.
    using TemplateAvailable = std::function<bool(int templateTag)>;

    StatusMenu(Quillmark& controller, TemplateAction templateAction, TemplateAvailable templateAvailable,
               QWidget* parent = nullptr);

    // Builds the menu from the controller's menus as data now (it is built again as it opens).
    void rebuild();
    // Fills a menu with items as data; submenus are filled as they open.
    void fill(QMenu& menu, const Menu& items);
    // The text of an item: its title, then its hot key after a tab.
    static QString itemText(const MenuItem& item);

private:
    void run(const MenuItem& item);
    Menu submenuItems(MenuItem::Submenu submenu) const;

    Quillmark& mController;
    TemplateAction mTemplateAction;
    TemplateAvailable mTemplateAvailable;
};

} // namespace qm

#include "ui/StatusMenu.h"

#include "app/Quillmark.h"

namespace qm {

StatusMenu::StatusMenu(Quillmark& controller, TemplateAction templateAction, TemplateAvailable templateAvailable,
                       QWidget* parent)
    : QMenu(parent), mController(controller), mTemplateAction(std::move(templateAction)),
      mTemplateAvailable(std::move(templateAvailable))
{
    connect(this, &QMenu::aboutToShow, this, [this] { rebuild(); });
}

void StatusMenu::rebuild()
{
    fill(*this, mController.statusMenus().mainMenu());
}

QString StatusMenu::itemText(const MenuItem& item)
{
    QString text = QString::fromStdString(item.title);
    text.replace(QChar('&'), QStringLiteral("&&"));
    if (!item.hotKeyTitle.empty())
        text += QChar('\t') + QString::fromStdString(item.hotKeyTitle);
    return text;
}

void StatusMenu::fill(QMenu& menu, const Menu& items)
{
    menu.clear();
    for (const MenuItem& item : items) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        if (item.submenu != MenuItem::Submenu::None) {
            QMenu* submenu = menu.addMenu(itemText(item));
            connect(submenu, &QMenu::aboutToShow, submenu,
                    [this, submenu, kind = item.submenu] { fill(*submenu, submenuItems(kind)); });
            continue;
        }
        QAction* action = menu.addAction(itemText(item));
        const bool available = item.action != MenuItem::Action::Template || !mTemplateAvailable ||
                               mTemplateAvailable(item.templateTag);
        action->setEnabled(item.enabled() && available);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        connect(action, &QAction::triggered, this, [this, item] { run(item); });
    }
}

Menu StatusMenu::submenuItems(MenuItem::Submenu submenu) const
{
    const StatusMenus menus = mController.statusMenus();
    switch (submenu) {
    case MenuItem::Submenu::Publication: return menus.publicationMenu();
    case MenuItem::Submenu::Byline: return menus.bylineMenu();
    case MenuItem::Submenu::Caption: return menus.captionMenu();
    default: return {};
    }
}

void StatusMenu::run(const MenuItem& item)
{
    switch (item.action) {
    case MenuItem::Action::Template:
        if (mTemplateAction)
            mTemplateAction(item.templateTag);
        break;
    case MenuItem::Action::SwitchPublication: mController.switchPublication(item.publication); break;
    case MenuItem::Action::MakeTextFrame:
        if (item.textBlock)
            mController.makeTextFrameForTextBlockSpecID(item.textBlock->uniqueIDString());
        break;
    case MenuItem::Action::MakeDefaultBylineAndCaption: mController.makeDefaultBylineAndCaptionAction(item.publication); break;
    case MenuItem::Action::MakePageFrames: mController.makePageFrames(); break;
    case MenuItem::Action::CreditsReport: mController.creditsReportAction(); break;
    case MenuItem::Action::None: break;
    }
}

} // namespace qm

#include <gtest/gtest.h>

#include "WidgetFixture.h"
#include "ui/StatusMenu.h"

namespace qm::test {
namespace {

class StatusMenuTest : public WidgetFixture {
protected:
    // The menu as a person sees it: one line per item, "-" for a separator, with its state.
    static QStringList shown(QMenu& menu)
    {
        QStringList lines;
        for (const QAction* action : menu.actions())
            lines.append(action->isSeparator() ? QStringLiteral("-")
                                               : action->text() + (action->isEnabled() ? "" : " [disabled]") +
                                                     (action->isChecked() ? " [checked]" : "") +
                                                     (action->menu() ? " >" : ""));
        return lines;
    }

    static QStringList expected(const Menu& items)
    {
        QStringList lines;
        for (const MenuItem& item : items)
            lines.append(item.separator ? QStringLiteral("-")
                                        : StatusMenu::itemText(item) + (item.enabled() ? "" : " [disabled]") +
                                              (item.checked ? " [checked]" : "") +
                                              (item.submenu != MenuItem::Submenu::None ? " >" : ""));
        return lines;
    }

    QMenu* submenu(QMenu& menu, int index)
    {
        QMenu* sub = menu.actions().at(index)->menu();
        emit sub->aboutToShow();
        return sub;
    }
};

TEST_F(StatusMenuTest, EachOpeningShowsTheMenusAsDataOfThatMoment)
{
    StatusMenu menu(*mController, nullptr, nullptr);
    emit menu.aboutToShow();
    const StatusMenus before = mController->statusMenus();
    EXPECT_EQ(shown(menu), expected(before.mainMenu()));
    EXPECT_EQ(shown(*submenu(menu, 2)), expected(before.publicationMenu()));
    EXPECT_EQ(shown(*submenu(menu, 3)), expected(before.bylineMenu()));
    EXPECT_EQ(shown(*submenu(menu, 4)), expected(before.captionMenu()));

    auto weekly = publication();
    weekly->setName("Weekly");
    PublicationStore::setPublications({publication(), weekly}, mDefaults);
    mController->switchPublication(mController->publications().at(1));
    emit menu.aboutToShow();
    const Menu publications = mController->statusMenus().publicationMenu();
    ASSERT_EQ(publications.size(), 2u);
    EXPECT_TRUE(publications[1].checked);
    EXPECT_EQ(shown(*submenu(menu, 2)), expected(publications));
}

TEST_F(StatusMenuTest, ChoosingAnItemRunsItsCommand)
{
    std::vector<int> templateTags;
    StatusMenu menu(*mController, [&](int tag) { templateTags.push_back(tag); }, nullptr);
    emit menu.aboutToShow();
    menu.actions().at(0)->trigger();
    menu.actions().at(10)->trigger();
    EXPECT_EQ(templateTags, (std::vector<int>{MenuItem::TogglePanelTag, MenuItem::QuitTag}));

    // Without a running layout application the command stops with its alert.
    mDefaults.setObject("alertMissingStyles", PlistValue(true));
    submenu(menu, 3)->actions().at(0)->trigger();
    ASSERT_EQ(mAlerts->alerts().size(), 1u);
    EXPECT_EQ(mAlerts->alerts()[0].alert.messageText, "The text can't be created.");
}

} // namespace
} // namespace qm::test

#include <gtest/gtest.h>

#include "WidgetFixture.h"
#include <QFileDialog>

#include "ui/SaveFileDialog.h"
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
    menu.actions().at(11)->trigger();
    EXPECT_EQ(templateTags, (std::vector<int>{MenuItem::TogglePanelTag, MenuItem::QuitTag}));

    // Without a running layout application the command stops with its alert.
    mDefaults.setObject("alertMissingStyles", PlistValue(true));
    submenu(menu, 3)->actions().at(0)->trigger();
    ASSERT_EQ(mAlerts->alerts().size(), 1u);
    EXPECT_EQ(mAlerts->alerts()[0].alert.messageText, "The text can't be created.");
}

// "Credits report…" asks where to save in a window that does not wait, offering a name beside the
// document, and writes the report there; without a saved document in front an alert tells why not.
TEST_F(StatusMenuTest, CreditsReportIsSavedWhereTheUserChoosesOrAnAlertTellsWhyNot)
{
    const std::string photo = writePhoto("photo.jpg", dataset(2, 80, "Jane Doe") + dataset(2, 110, "Harbour Press"));
    const auto slaPath = [&](const char* name) { return (mFolder.path() / name).string(); };
    std::ofstream(slaPath("Monday.sla")) << "<SCRIBUSUTF8NEW><DOCUMENT><PAGE NUM=\"0\" MNAM=\"Normal\"/><PAGEOBJECT "
                                            "PTYPE=\"2\" OwnPage=\"0\" ANNAME=\"Pic\" PFILE=\"photo.jpg\"/></DOCUMENT></SCRIBUSUTF8NEW>";
    std::ofstream(slaPath("Broken.sla")) << "<SCRIBUSUTF8NEW><DOCUMENT><PAGE NUM=\"0\"</SCRIBUSUTF8NEW>";
    mController->setWindowHooks({.chooseSaveFile = &SaveFileDialog::ask});
    const struct {
        std::optional<std::string> document; // none: Scribus not running; "-": no document open
        const char* alert;                   // the one alert's message; none when the report is written
    } cases[] = {
        {std::nullopt, "Scribus isn't running."},
        {"-", "No Scribus documents are open."},
        {"Document-1", "The document in front in Scribus has never been saved."},
        {slaPath("Broken.sla"), "The credits report could not be made."},
        {slaPath("Monday.sla"), nullptr},
    };
    for (const auto& c : cases) {
        const std::string label = c.document.value_or("not running");
        mRunningApplications.clear();
        mProcesses->setProcesses({});
        mAlerts = std::make_shared<FakeAlertPresenter>();
        AlertPresenter::install(mAlerts);
        if (c.document)
            startScribus().setDocument(*c.document == "-" ? std::nullopt
                                                          : std::optional(FakeLayoutApplication::Document{.name = *c.document}));
        StatusMenu menu(*mController, nullptr, nullptr);
        emit menu.aboutToShow();
        ASSERT_EQ(menu.actions().at(7)->text(), "Credits report…");
        menu.actions().at(7)->trigger();
        QFileDialog* dialog = nullptr;
        const auto asked = [&] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->objectName() == "SaveCreditsReport" && window->isVisible())
                    dialog = qobject_cast<QFileDialog*>(window);
            return dialog || !mAlerts->alerts().empty();
        };
        ASSERT_TRUE(processEventsUntil(asked)) << label;
        const auto chosen = mFolder.path() / (std::filesystem::path(label).stem().string() + ".csv");
        if (dialog) {
            EXPECT_FALSE(dialog->isModal()) << label;
            EXPECT_EQ(dialog->selectedFiles().value(0).toStdString(),
                      (mFolder.path() / (std::filesystem::path(label).stem().string() + " credits.csv")).string());
            dialog->selectFile(QString::fromStdString(chosen.string()));
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        }
        processEventsUntil([&] { return std::filesystem::exists(chosen) || !mAlerts->alerts().empty(); });
        ASSERT_EQ(mAlerts->alerts().size(), c.alert ? 1u : 0u)
            << label << ": " << (mAlerts->alerts().empty() ? "" : mAlerts->alerts()[0].alert.messageText);
        if (c.alert)
            EXPECT_EQ(mAlerts->alerts()[0].alert.messageText, c.alert) << label;
        std::ifstream written(chosen);
        const std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text.find("\r\n1,1,,Pic," + photo + ",found,Jane Doe,Harbour Press,,,,,Jane Doe\r\n"),
                  c.alert ? std::string::npos : text.find("\r\n")) << label << ": " << text;
    }
}

} // namespace
} // namespace qm::test

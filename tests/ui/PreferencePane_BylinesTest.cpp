#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <nlohmann/json.hpp>

#include "PaneFixture.h"
#include "platform/Pasteboard.h"
#include "ui/RuleTableModel.h"
#include "ui/hotKeyWindow.h"
#include "ui/iptcTextConcatEditorController.h"

namespace qm::test {
namespace {

class PreferencePane_BylinesTest : public PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        Pasteboard::install(nullptr);
        openPane("PreferencePane_Bylines");
    }

    template <typename Widget>
    Widget& child(const char* name, QObject* in = nullptr)
    {
        auto* found = (in ? in : mView)->findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    QListWidget& list(const char* name) { return *child<QGroupBox>(name).findChild<QListWidget*>(); }
    void click(const char* list, const char* button) { child<QToolButton>(button, &child<QGroupBox>(list)).click(); }
    void enter(const char* field, const std::string& text)
    {
        auto& edit = child<QLineEdit>(field);
        edit.setText(QString::fromStdString(text));
        emit edit.editingFinished();
    }
    void choose(const char* box, const QVariant& value)
    {
        auto& combo = child<QComboBox>(box);
        const int index = combo.findData(value);
        ASSERT_GE(index, 0) << box;
        combo.setCurrentIndex(index);
        emit combo.activated(index);
    }
    static QStringList names(const QListWidget& list)
    {
        QStringList names;
        for (int row = 0; row < list.count(); ++row)
            names.append(list.item(row)->text());
        return names;
    }
    quillmarkPublication::Pointer storedPublication(std::size_t index)
    {
        return PublicationStore::publications(mDefaults).at(index);
    }

    // What "Import…" and "Export…" do with the file chosen in their dialogs.
    QString importFile(const QString& file, bool append)
    {
        QString error;
        EXPECT_TRUE(QMetaObject::invokeMethod(mView, "importPublicationsFromFile", Q_RETURN_ARG(QString, error),
                                              Q_ARG(QString, file), Q_ARG(bool, append)));
        return error;
    }

};

TEST_F(PreferencePane_BylinesTest, IsTheTextExtractionPaneTallerWhileSettingsComeFromAFile)
{
    EXPECT_EQ(mPane->paneName(), "Text extraction");
    EXPECT_EQ(mPane->paneToolTip(), "Settings for publications, bylines and captions.");
    EXPECT_FALSE(mPane->allowsHorizontalResizing());
    EXPECT_FALSE(mPane->allowsVerticalResizing());
    const int width = mView->width();
    struct Case {
        bool fromFile;
        int height;
    } cases[] = {{false, 748}, {true, 805}, {false, 748}};
    for (const auto& test : cases) {
        mDefaults.setObject("usePublicationSettingsInFile", PlistValue(test.fromFile));
        mDefaults.setObject("publicationSettingsFilePath", PlistValue("/srv/desk/settings.plist"));
        ASSERT_EQ(mPane->paneView(), mView);
        EXPECT_EQ(mView->height(), test.height) << test.fromFile;
        EXPECT_EQ(mView->width(), width) << test.fromFile;
        const auto& note = child<QLabel>("settingsFileNote");
        EXPECT_EQ(note.isVisibleTo(mView), test.fromFile);
        EXPECT_TRUE(note.text().contains("/srv/desk/settings.plist"));
    }
}

TEST_F(PreferencePane_BylinesTest, EditingABylinesRulesChangesTheBylineThePanelShows)
{
    showImage(writePhoto("harbour.jpg", dataset(2, 80, "Jane Doe") + dataset(2, 120, "Harbour at dawn")));
    ASSERT_EQ(mController->currentImage().currentBylineText(), "Jane Doe");
    ASSERT_EQ(list("bylines").currentRow(), 0);
    choose("textSource", qlonglong(textBlockSpec::textSourceRules));
    child<QPushButton>("editRules").click();

    auto* editor = iptcTextConcatEditorController::sharedInstance();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->editedSpec(), mController->shownByline());
    RuleTableModel& rules = editor->model();
    rules.insertRuleAfter(-1);
    rules.setData(rules.index(0, RuleTableModel::ExtractedFieldColumn), RuleTableModel::codeValue(cIPTCCode(2, 120)),
                  Qt::EditRole);
    rules.setData(rules.index(0, RuleTableModel::PrefixColumn), "From the caption: ", Qt::EditRole);
    editor->commitAndCloseEditorAction();
    EXPECT_EQ(mController->currentImage().currentBylineText(), "From the caption: Harbour at dawn");
    EXPECT_EQ(storedPublication(0)->bylines()[0]->textSource(), textBlockSpec::textSourceRules);

    enter("suffix", " (rules)");
    EXPECT_EQ(mController->currentImage().currentBylineText(), "From the caption: Harbour at dawn (rules)")
        << "a later edit reaches the shown byline too";
}

TEST_F(PreferencePane_BylinesTest, APublicationMadeHereExportsWithTheValuesEntered)
{
    click("publications", "add");
    ASSERT_EQ(list("publications").count(), 2);
    EXPECT_EQ(list("publications").currentRow(), 1);
    EXPECT_EQ(mController->selectedPublicationIndex(), 1u);
    auto* item = list("publications").item(1);
    item->setText("Weekend");
    click("bylines", "add");
    ASSERT_EQ(names(list("bylines")), (QStringList{"New byline", "New byline 1"}));
    enter("name", "Credit");
    enter("prefix", "Photo: ");
    choose("textGenerationIPTCField", RuleTableModel::codeValue(cIPTCCode(2, 80)));
    choose("position", qlonglong(3));
    choose("textWrap", qlonglong(1));
    child<QCheckBox>("fitFrameToContent").setChecked(true);
    auto& defaultByline = child<QComboBox>("defaultByline");
    defaultByline.setCurrentIndex(1);
    emit defaultByline.activated(1);

    const std::string command = std::string("QUILLMARK_DEFAULTS='") + mDefaults.filePath().string() + "' '" +
                                QUILLMARK_CLI + "' publications export -";
    std::FILE* cli = ::popen(command.c_str(), "r");
    ASSERT_NE(cli, nullptr);
    std::string json;
    char buffer[4096];
    while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, cli))
        json.append(buffer, read);
    ASSERT_EQ(::pclose(cli), 0) << json;
    const auto exported = nlohmann::json::parse(json)["publications"];
    ASSERT_EQ(exported.size(), 2u);
    const auto& weekend = exported[1];
    EXPECT_EQ(weekend["name"], "Weekend");
    ASSERT_EQ(weekend["bylines"].size(), 2u);
    const auto& credit = weekend["bylines"][1];
    EXPECT_EQ(credit["name"], "Credit");
    EXPECT_EQ(credit["prefix"], "Photo: ");
    EXPECT_EQ(credit["textGenerationIPTCField"], "2:80");
    EXPECT_EQ(credit["position"], 3);
    EXPECT_EQ(credit["textWrap"], 1);
    EXPECT_EQ(credit["fitFrameToContent"], true);
    EXPECT_EQ(weekend["defaultBylineID"], credit["uniqueIDString"]);
}

TEST_F(PreferencePane_BylinesTest, ListsHideSeparatorsThatStayInThePublication)
{
    auto daily = mController->publications()[0];
    auto separator = textBlockSpec_Byline::create();
    separator->setName("-");
    auto second = textBlockSpec_Byline::create();
    second->setName("Agency");
    daily->setBylines({daily->bylines()[0], separator, second});
    mController->setPublications(mController->publications());
    ASSERT_EQ(names(list("bylines")), (QStringList{"Photographer", "Agency"})) << "a change made elsewhere shows";

    list("bylines").setCurrentRow(0);
    click("bylines", "moveDown");
    EXPECT_EQ(names(list("bylines")), (QStringList{"Agency", "Photographer"}));
    EXPECT_EQ(list("bylines").currentRow(), 1);
    const auto stored = storedPublication(0);
    std::vector<std::string> storedNames;
    for (const auto& byline : stored->bylines())
        storedNames.push_back(byline->name());
    EXPECT_EQ(storedNames, (std::vector<std::string>{"Agency", "-", "Photographer"}));

    click("bylines", "duplicate");
    EXPECT_EQ(names(list("bylines")), (QStringList{"Agency", "Photographer", "Photographer copy"}));
    EXPECT_EQ(list("bylines").currentRow(), 2);
}

TEST_F(PreferencePane_BylinesTest, PasteMenuItemsNeedACopiedTextBlock)
{
    QMenu* menu = child<QPushButton>("pasteboard", &child<QGroupBox>("captions")).menu();
    ASSERT_NE(menu, nullptr);
    const auto pasteEnabled = [menu] {
        emit menu->aboutToShow();
        return menu->actions().last()->isEnabled();
    };
    EXPECT_FALSE(pasteEnabled());
    child<QPushButton>("pasteboard", &child<QGroupBox>("bylines")).menu()->actions().first()->trigger();
    EXPECT_TRUE(pasteEnabled());
    menu->actions()[3]->trigger(); // the text frame properties
    EXPECT_EQ(storedPublication(0)->captions()[0]->paragraphStyleName(), "Byline");
    EXPECT_EQ(storedPublication(0)->captions()[0]->textGenerationIPTCField(), cIPTCCode(2, 120));
}

TEST_F(PreferencePane_BylinesTest, ACapturedHotKeyIsStoredWithItsByline)
{
    child<QPushButton>("editHotkey").click();
    auto& window = hotKeyWindow::sharedInstance();
    ASSERT_TRUE(window.isVisible());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(storedPublication(0)->bylines()[0]->theHotKey()->menuItemString(), "\u21E7\u2303B");
    EXPECT_EQ(child<QPushButton>("editHotkey").text(), QString::fromUtf8("\u21E7\u2303B"));
}

TEST_F(PreferencePane_BylinesTest, ExportedPublicationsImportAfterTheCurrentOnesOrInstead)
{
    const QString file = QString::fromStdString((mFolder.path() / "publications.json").string());
    bool written = false;
    ASSERT_TRUE(QMetaObject::invokeMethod(mView, "exportPublicationsToFile", Q_RETURN_ARG(bool, written), Q_ARG(QString, file)));
    ASSERT_TRUE(written);

    EXPECT_EQ(importFile(file, true), QString());
    EXPECT_EQ(names(list("publications")), (QStringList{"Daily", "Daily"}));
    EXPECT_EQ(list("publications").currentRow(), 1) << "the first imported one is selected";
    const auto& publications = mController->publications();
    ASSERT_EQ(publications.size(), 2u);
    EXPECT_EQ(publications[1]->bylines()[0]->paragraphStyleName(), "Byline");
    EXPECT_FALSE(publications[1]->bylines()[0]->sameUniqueID(*publications[0]->bylines()[0]));
    EXPECT_EQ(PublicationStore::publications(mDefaults).size(), 2u);

    EXPECT_EQ(importFile(file, false), QString());
    EXPECT_EQ(names(list("publications")), (QStringList{"Daily"}));

    std::ofstream(mFolder.path() / "broken.json") << "{\"publications\": [{\"name\": 7}]}";
    const QString refused = importFile(QString::fromStdString((mFolder.path() / "broken.json").string()), true);
    EXPECT_TRUE(refused.startsWith("publications[0].name")) << refused.toStdString();
    EXPECT_EQ(mController->publications().size(), 1u) << "a refused file changes nothing";
}
} // namespace
} // namespace qm::test

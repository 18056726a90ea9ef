#include <QWindow>

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLayout>
#include <QMimeData>
#include <QUrl>

#include "WidgetFixture.h"
#include "app/CustomIPTCFilter.h"
#include "platform/Pasteboard.h"
#include "ui/IPTCPanel.h"
#include "ui/PanelReport.h"
#include "ui/QtPasteboard.h"

namespace qm::test {
namespace {

class IPTCPanelTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        Pasteboard::install(std::make_shared<QtPasteboard>());
        mPanel = std::make_unique<IPTCPanel>(*mController, mDefaults);
    }
    void TearDown() override
    {
        mPanel.reset();
        Pasteboard::install(nullptr);
        WidgetFixture::TearDown();
    }

    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < mPanel->model().rowCount(); ++row)
            texts.append(mPanel->model().index(row, column).data().toString());
        return texts;
    }

    void selectRows(const std::vector<int>& rows)
    {
        auto* selection = mPanel->table().selectionModel();
        selection->clearSelection();
        for (const int row : rows)
            selection->select(mPanel->model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    const Bytes mDatasets = dataset(2, 80, "Jane Doe") + dataset(2, 120, "Harbour at dawn\rFerries wait") +
                            dataset(2, 90, "Lund");
    std::unique_ptr<IPTCPanel> mPanel;
};

TEST_F(IPTCPanelTest, ShowsWhatTheControllerPublishesAndFollowsItsChanges)
{
    showImage(writePhoto("harbour.jpg", mDatasets));
    const auto& image = mController->currentImage();
    EXPECT_EQ(mPanel->fileNameButton().text(), "harbour.jpg");
    EXPECT_EQ(column(0), (QStringList{"By-line", "Caption/Abstract", "City"}));
    EXPECT_EQ(column(1), (QStringList{"Jane Doe", "Harbour at dawn\nFerries wait", "Lund"}));
    EXPECT_EQ(mPanel->bylineText().text().toStdString(), image.currentBylineText().value_or("<none>"));
    EXPECT_EQ(mPanel->captionText().text().toStdString(), image.currentCaptionText().value_or("<none>"));
    EXPECT_EQ(mPanel->encodingPopUp().currentData().toLongLong(), mDefaults.integerForKey("panelTextEncoding"));

    mDefaults.setObject("customIPTCFilter", PlistValue(*CustomIPTCFilter::archive({{cIPTCCode(2, 90), "Place"},
                                                                                    {cIPTCCode(2, 80), std::nullopt}})));
    mDefaults.setObject("filterIPTCRecords", PlistValue(true));
    EXPECT_EQ(column(0), (QStringList{"Place", "By-line"}));
    EXPECT_EQ(column(1), (QStringList{"Lund", "Jane Doe"}));

    showImage(writePhoto("other.jpg", dataset(2, 80, "John Roe")));
    EXPECT_EQ(mPanel->fileNameButton().text(), "other.jpg");
    EXPECT_EQ(column(1), (QStringList{"John Roe"}));
    EXPECT_EQ(mPanel->bylineText().text(), "John Roe");
}

TEST_F(IPTCPanelTest, TheReportTellsWhatThePanelShows)
{
    const std::string path = writePhoto("harbour.jpg", mDatasets);
    showImage(path);
    selectRows({2, 0});
    const QJsonObject report = QJsonDocument::fromJson(panelReport(*mPanel, path)).object();
    EXPECT_EQ(report["path"].toString().toStdString(), path);
    EXPECT_EQ(report["title"].toString(), "harbour.jpg");
    EXPECT_FALSE(report["visible"].toBool());
    EXPECT_EQ(report["encoding"].toInteger(), mDefaults.integerForKey("panelTextEncoding"));
    EXPECT_EQ(report["encodingName"].toString(), mPanel->encodingPopUp().currentText());
    const QJsonArray rows = report["datasets"].toArray();
    ASSERT_EQ(rows.size(), 3);
    QJsonObject caption = rows[1].toObject();
    EXPECT_EQ(caption.take("screen").toArray().size(), 4) << "where the row shows: x, y, width, height";
    EXPECT_EQ(caption, (QJsonObject{{"code", "2:120"}, {"label", "Caption/Abstract"},
                                    {"value", "Harbour at dawn\nFerries wait"}}));
    EXPECT_EQ(report["selectedRows"].toArray(), (QJsonArray{0, 2}));
    EXPECT_EQ(report["byline"].toString(), mPanel->bylineText().text());
    EXPECT_EQ(report["caption"].toString(), mPanel->captionText().text());
    EXPECT_FALSE(report["byline"].toString().isEmpty());

    const QByteArray nothing = panelReport(*mPanel, std::nullopt);
    EXPECT_FALSE(nothing.contains('\n'));
    EXPECT_TRUE(QJsonDocument::fromJson(nothing).object()["path"].isNull());
}

TEST_F(IPTCPanelTest, ChoosingAnEncodingStoresItAndDecodesAgain)
{
    showImage(writePhoto("city.jpg", dataset(2, 90, "Malm\xf6")));
    const int latin1 = mPanel->encodingPopUp().findData(QVariant::fromValue(StringEncoding(Encoding::ISOLatin1)));
    ASSERT_GE(latin1, 0);
    mPanel->encodingPopUp().setCurrentIndex(latin1);
    emit mPanel->encodingPopUp().activated(latin1);
    EXPECT_EQ(mDefaults.integerForKey("panelTextEncoding"), Encoding::ISOLatin1);
    EXPECT_EQ(column(1), (QStringList{"Malmö"}));
}

TEST_F(IPTCPanelTest, ADropMakesTheFirstDroppedFileCurrent)
{
    const std::string first = writePhoto("first.jpg", mDatasets);
    const std::string second = writePhoto("second.jpg", mDatasets);
    struct Case {
        const char* name;
        QList<QUrl> urls;
        std::optional<std::string> current;
    } cases[] = {
        {"two files", {QUrl::fromLocalFile(QString::fromStdString(first)), QUrl::fromLocalFile(QString::fromStdString(second))}, first},
        {"a web address before a file", {QUrl("https://example.org/a.jpg"), QUrl::fromLocalFile(QString::fromStdString(second))}, second},
        {"no files", {}, std::nullopt},
    };
    for (const auto& test : cases) {
        mController->currentImage().updateFromFilePath(std::nullopt);
        QMimeData data;
        data.setUrls(test.urls);
        if (test.urls.isEmpty())
            data.setText("only text");
        EXPECT_EQ(mPanel->performDragOperation(&data), test.current.has_value()) << test.name;
        EXPECT_EQ(mController->currentImage().currentImagePath(), test.current) << test.name;
    }
}

TEST_F(IPTCPanelTest, CopyPutsTheSelectedDatasetsOnTheClipboardAsText)
{
    showImage(writePhoto("harbour.jpg", mDatasets));
    struct Case {
        std::vector<int> rows;
        bool withLabels;
        const char* text;
    } cases[] = {
        {{2, 0}, false, "Jane Doe\rLund"},
        {{0, 1}, true, "By-line\tJane Doe\rCaption/Abstract\tHarbour at dawn\rFerries wait"},
        {{}, false, ""},
    };
    for (const auto& test : cases) {
        QGuiApplication::clipboard()->setText("before");
        selectRows(test.rows);
        mPanel->copySelectedIPTCRecords(test.withLabels);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(test.text)) << test.text;
    }
}

TEST_F(IPTCPanelTest, DraggedRowsAreTheirValuesInRowOrder)
{
    showImage(writePhoto("harbour.jpg", mDatasets));
    const auto& model = mPanel->model();
    std::unique_ptr<QMimeData> data(model.mimeData({model.index(2, 1), model.index(0, 0), model.index(0, 1)}));
    EXPECT_EQ(data->text(), QString::fromUtf8("Jane Doe\rLund"));
}

// The layout script knows the panel's drags by their own type, whose JSON names the datasets, the
// image and the drag-and-drop paragraph style when the publication uses one.
TEST_F(IPTCPanelTest, DraggedRowsCarryTheirDatasetsTheImageAndTheDropStyleAsJSON)
{
    const std::string path = writePhoto("harbour.jpg", mDatasets);
    showImage(path);
    const auto publication = mController->currentPublication();
    publication->setDragAndDropParagraphStyle("Caption");
    for (const bool use : {true, false}) {
        publication->setUseDragAndDropParagraphStyle(use);
        std::unique_ptr<QMimeData> data(mPanel->model().mimeData({mPanel->model().index(2, 1), mPanel->model().index(0, 1)}));
        const QJsonObject object = QJsonDocument::fromJson(data->data(DatasetDragData::MimeType)).object();
        EXPECT_EQ(data->text(), QString::fromUtf8("Jane Doe\rLund")) << use;
        EXPECT_EQ(object["text"].toString(), data->text()) << use;
        EXPECT_EQ(object["image"].toString().toStdString(), path) << use;
        EXPECT_EQ(object["paragraphStyle"], use ? QJsonValue("Caption") : QJsonValue()) << use;
        EXPECT_EQ(object["useParagraphStyle"].toBool(), use) << use;
        EXPECT_EQ(object["datasets"].toArray()[1].toObject()["code"].toString(), "2:90") << use;
    }
}

TEST_F(IPTCPanelTest, FittingShowsEveryRowWithTheTopEdgeUnmovedUpToTheMaximumHeight)
{
    mPanel->show();
    // The first showing puts the panel at the top right once its frame is known.
    ASSERT_TRUE(processEventsUntil([&] {
        return !mPanel->windowHandle()->frameMargins().isNull() && mPanel->frameGeometry().top() == 0;
    }));
    struct Case {
        const char* name;
        int words;
        bool atMaximum;
    } cases[] = {{"a short caption", 2, false}, {"a caption longer than fits", 800, true}};
    for (const auto& test : cases) {
        std::string caption;
        for (int i = 0; i < test.words; ++i)
            caption += "word ";
        const Bytes datasets = dataset(2, 80, "Jane Doe") + dataset(2, 120, caption);
        mPanel->setMaximumHeight(600);
        mPanel->setGeometry(100, 50, 400, 300);
        showImage(writePhoto(std::string(test.name) + ".jpg", datasets));
        ASSERT_TRUE(processEventsUntil([&] { return !mPanel->isFittingFrame(); }));
        mPanel->setGeometry(100, 50, 400, 300);
        mPanel->setGeometry(mPanel->naturalFrame());
        mPanel->layout()->activate();
        EXPECT_EQ(mPanel->geometry().top(), 50) << test.name;
        EXPECT_EQ(mPanel->height() == 600, test.atMaximum) << test.name;
        const int shown = mPanel->table().height() - 2 * mPanel->table().frameWidth();
        EXPECT_EQ(shown >= mPanel->table().heightOfTable(), !test.atMaximum) << test.name;
    }
}

} // namespace
} // namespace qm::test

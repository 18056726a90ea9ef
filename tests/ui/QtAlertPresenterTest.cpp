#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

#include "WidgetFixture.h"
#include "ui/QtAlertPresenter.h"

namespace qm::test {
namespace {

class QtAlertPresenterTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        AlertPresenter::install(std::make_shared<QtAlertPresenter>());
    }

    // Answers the next alert as a person would once it is shown; what it showed is kept.
    void answerNextAlert(bool tickSuppression, int button = 0)
    {
        QTimer::singleShot(0, [this, tickSuppression, button] {
            ASSERT_TRUE(processEventsUntil([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }));
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            mShownTitle = box->windowTitle();
            mShownInformativeText = box->informativeText();
            if (box->checkBox())
                box->checkBox()->setChecked(tickSuppression);
            box->buttons().at(button)->click();
        });
    }

    QString mShownTitle;
    QString mShownInformativeText;
};

TEST_F(QtAlertPresenterTest, TheTickedSuppressionBoxStoresFalse)
{
    mDefaults.setObject("alertMissingStyles", PlistValue(true));
    const auto byline = mController->currentPublication()->bylines().front()->uniqueIDString();
    for (const bool tick : {false, true}) {
        answerNextAlert(tick);
        EXPECT_FALSE(mController->makeTextFrameForTextBlockSpecID(byline));
        EXPECT_EQ(mShownTitle, "Quillmark error");
        EXPECT_EQ(mDefaults.boolForKey("alertMissingStyles"), !tick) << "ticked: " << tick;
    }
}

TEST_F(QtAlertPresenterTest, RunsTheAlertWithItsButtonsAndShowsTheInformativeTextLiterally)
{
    Alert alert{"Title", "Message", "50% of <b>bold</b>\rnext line", {"Keep", "Discard"}, true};
    answerNextAlert(true, 1);
    const AlertResponse response = AlertPresenter::current()->runModal(alert);
    EXPECT_EQ(response.buttonIndex, 1);
    EXPECT_TRUE(response.suppressionChecked);
    EXPECT_EQ(mShownTitle, "Title");
    QTextDocument shown;
    shown.setHtml(mShownInformativeText);
    EXPECT_EQ(shown.toPlainText(), "50% of <b>bold</b>\nnext line");
}

} // namespace
} // namespace qm::test

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

// The alert shown without waiting: modal to nothing, so the panel stays usable while it is up.
QList<QMessageBox*> shownBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            boxes.append(box);
    return boxes;
}

TEST_F(QtAlertPresenterTest, TheTickedSuppressionBoxStoresFalse)
{
    mDefaults.setObject("alertMissingStyles", PlistValue(true));
    const auto byline = mController->currentPublication()->bylines().front()->uniqueIDString();
    for (const bool tick : {false, true}) {
        EXPECT_FALSE(mController->makeTextFrameForTextBlockSpecID(byline));
        ASSERT_TRUE(processEventsUntil([] { return shownBoxes().size() == 1; }));
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        QMessageBox* box = shownBoxes().front();
        EXPECT_EQ(box->windowTitle(), "Quillmark error");
        box->checkBox()->setChecked(tick);
        box->buttons().at(0)->click();
        ASSERT_TRUE(processEventsUntil([] { return shownBoxes().isEmpty(); }));
        EXPECT_EQ(mDefaults.boolForKey("alertMissingStyles"), !tick) << "ticked: " << tick;
    }
}

// Alerts that come faster than anyone answers them replace each other (an equal one is brought
// forward), so one is up at the end and none waits in a loop of its own.
TEST_F(QtAlertPresenterTest, AlertsNeverPileUp)
{
    auto presenter = AlertPresenter::current();
    int answered = 0;
    for (int index = 0; index < 60; ++index) {
        // Two buttons: a box that can be closed only by a button still gives way.
        const std::vector<std::string> buttons{"Set Up", "OK"};
        presenter->show(Alert{"Title", "Message " + std::to_string(index / 2 % 7), "", buttons, false},
                        [&answered](const AlertResponse& response) {
                            answered += response.buttonIndex == AlertResponse::NoButton ? 1 : 100;
                        });
    }
    QApplication::processEvents();
    ASSERT_EQ(shownBoxes().size(), 1);
    EXPECT_EQ(presenter->shownAlert()->messageText, "Message 1");
    EXPECT_EQ(answered, 29); // each replaced by another text goes with no button; equal ones were brought forward
    shownBoxes().front()->buttons().at(0)->click();
    ASSERT_TRUE(processEventsUntil([] { return shownBoxes().isEmpty(); }));
    EXPECT_FALSE(presenter->shownAlert());

    // An answer that shows the next alert (as Set Up Scribus… does) is taken once.
    int followUps = 0;
    presenter->show(Alert{"Title", "First", "", {"OK", "Next"}, false}, [&](const AlertResponse&) {
        ++followUps;
        presenter->show(Alert{"Title", "Second", "", {}, false}, {});
    });
    shownBoxes().front()->buttons().at(1)->click();
    QApplication::processEvents();
    EXPECT_EQ(followUps, 1);
    ASSERT_EQ(shownBoxes().size(), 1);
    EXPECT_EQ(presenter->shownAlert()->messageText, "Second");
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

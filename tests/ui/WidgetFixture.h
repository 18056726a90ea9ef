#pragma once

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include <QApplication>

#include "app/Quillmark.h"
#include "bridge/LayoutConnectionFixture.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParserCache.h"
#include "support/DailyPublication.h"
#include "support/PhotoshopBytes.h"
#include "textgen/PublicationStore.h"
#include "textgen/textBlockSpec_Byline.h"
#include "textgen/textBlockSpec_Caption.h"
#include "ui/ValueTransformers.h"

namespace qm::test {

// The Qt application of the widget tests, on the offscreen platform unless another is asked for.
// It lives until the process ends, never destroyed among the other static objects.
inline QApplication& widgetApplication()
{
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

// Runs Qt's events and the main thread's tasks until the condition holds; the limit only keeps a
// broken test from hanging.
inline bool processEventsUntil(const std::function<bool()>& condition)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition() && std::chrono::steady_clock::now() < limit) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        MainThread::waitForTasks(std::chrono::milliseconds(10));
    }
    return condition();
}

// A controller over a fake layout application, with settings of the test's own and a
// publication whose byline is the photographer and whose caption is the caption dataset.
class WidgetFixture : public LayoutConnectionFixture {
protected:
    void SetUp() override
    {
        widgetApplication();
        LayoutConnectionFixture::SetUp();
        registerValueTransformers(mDefaults);
        PublicationStore::setPublications({publication()}, mDefaults);
        mController = std::make_unique<Quillmark>(mDefaults, std::make_shared<LayoutConnection>(bundle()));
        mController->awakeFromNib();
    }
    void TearDown() override
    {
        mController.reset();
        QMMetadataParserCache::flush();
        LayoutConnectionFixture::TearDown();
    }

    static quillmarkPublication::Pointer publication() { return dailyPublication(); }

    // A JPEG holding the datasets, written into the test's folder.
    std::string writePhoto(const std::string& name, const Bytes& iim)
    {
        const auto path = mFolder.path() / name;
        const Bytes photo = jpegWithIIM(iim);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(photo.data()), photo.size());
        return path.string();
    }

    void showImage(const std::string& path)
    {
        mController->currentImage().updateFromFilePath(path);
        ASSERT_TRUE(processEventsUntil([&] { return !mController->currentImage().parsingImageAsynchronously(); }));
    }

    UserDefaults mDefaults{mFolder.path() / "defaults.plist"};
    std::unique_ptr<Quillmark> mController;
};

} // namespace qm::test

// Principal classes for the preference window's tests: well-made panes, one that allows growing in
// height only, one whose view cannot be made, and a class of another protocol.
#include <QLabel>

#include "ui/SS_PreferencePaneProtocol.h"

namespace qm {

namespace {

class TestPane : public SS_PreferencePaneProtocol {
public:
    TestPane(std::string name, QSize size, bool growsInHeight = false)
        : mName(std::move(name)), mSize(size), mGrowsInHeight(growsInHeight)
    {
    }
    ~TestPane() override { delete mView; }

    QWidget* paneView() override
    {
        if (!mView && mSize.isValid()) {
            mView = new QLabel(QString::fromStdString(mName));
            mView->resize(mSize);
        }
        return mView;
    }
    std::string paneName() const override { return mName; }
    QIcon paneIcon() const override { return {}; }
    std::optional<std::string> paneToolTip() const override { return "About " + mName; }
    bool allowsHorizontalResizing() const override { return false; }
    bool allowsVerticalResizing() const override { return mGrowsInHeight; }

private:
    std::string mName;
    QSize mSize;
    bool mGrowsInHeight;
    QWidget* mView = nullptr;
};

template <typename Make, bool OfAnotherProtocol = false>
const SS_PreferencePaneClass* principalClass()
{
    static const SS_PreferencePaneClass record{
        OfAnotherProtocol ? "SomeOtherProtocol" : SS_PreferencePaneClass::ProtocolName,
        SS_PreferencePaneClass::ProtocolVersion,
        [](const std::filesystem::path&) { return std::vector<SS_PreferencePaneProtocol*>{Make{}()}; },
        [](SS_PreferencePaneProtocol* pane) { delete pane; },
    };
    return &record;
}

struct MakeAlpha {
    SS_PreferencePaneProtocol* operator()() const { return new TestPane("Alpha", {300, 120}); }
};
struct MakeBeta {
    SS_PreferencePaneProtocol* operator()() const { return new TestPane("Beta", {420, 260}); }
};
struct MakeTall {
    SS_PreferencePaneProtocol* operator()() const { return new TestPane("Tall", {200, 150}, true); }
};
struct MakeViewless {
    SS_PreferencePaneProtocol* operator()() const { return new TestPane("Viewless", QSize()); }
};

} // namespace

} // namespace qm

extern "C" __attribute__((visibility("default"))) const qm::SS_PreferencePaneClass* TestPaneAlpha()
{
    return qm::principalClass<qm::MakeAlpha>();
}
extern "C" __attribute__((visibility("default"))) const qm::SS_PreferencePaneClass* TestPaneBeta()
{
    return qm::principalClass<qm::MakeBeta>();
}
extern "C" __attribute__((visibility("default"))) const qm::SS_PreferencePaneClass* TestPaneTall()
{
    return qm::principalClass<qm::MakeTall>();
}
extern "C" __attribute__((visibility("default"))) const qm::SS_PreferencePaneClass* TestPaneViewless()
{
    return qm::principalClass<qm::MakeViewless>();
}
extern "C" __attribute__((visibility("default"))) const qm::SS_PreferencePaneClass* TestPaneOtherProtocol()
{
    return qm::principalClass<qm::MakeAlpha, true>();
}

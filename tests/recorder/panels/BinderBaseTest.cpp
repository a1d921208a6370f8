#include "ModeDisplayVornRM.h"
#include "ScopeUnderTest.h"
#include "SweepControlsVornRM.h"
#include "TimeBaseControlsVornRM.h"
#include "VerticalShiftsVornRM.h"
#include "WrapperComponentVornRM.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Code = TScopeNotifyCode;

// A binder that logs what reaches it; it refreshes on codes 1 and 2 like
// most panels.
class LoggingBinder : public TWrapperComponentVornRM {
public:
    LoggingBinder(std::string name, int group, std::vector<std::string>& log)
        : TWrapperComponentVornRM(group, {Code::snStart, Code::snSettingsChanged}), name_(std::move(name)), log_(log) {}

    void send(Code code) { Broadcast(code); }

protected:
    void ScopeNotify(Code code) override {
        log_.push_back(name_ + ":" + std::to_string(static_cast<int>(code)));
        TWrapperComponentVornRM::ScopeNotify(code);
    }
    void UpdateFromScope() override { log_.push_back(name_ + ":refresh"); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class BinderBase : public ::testing::Test {
protected:
    TVirtualScopeVornRM scope;
    std::vector<std::string> log;
    LoggingBinder a{"a", 3, log}, b{"b", 7, log}, c{"c", 9, log};
};

using Log = std::vector<std::string>;

TEST_F(BinderBase, LinkOrderIsDeliveryOrderAndShutdownGoesBackwardsLeavingTheBus) {
    c.SetVirtualScope(&scope);
    a.SetVirtualScope(&scope);
    b.SetVirtualScope(&scope);
    EXPECT_EQ(scope.Listeners().ListenerCount(), 3);

    scope.Startup();
    EXPECT_EQ(log, (Log{"c:6", "a:6", "b:6", "c:1", "c:refresh", "a:1", "a:refresh", "b:1", "b:refresh"}));

    log.clear();
    scope.Notify(Code::snLevelsSetBack, 255);  // a code these binders ignore
    EXPECT_EQ(log, (Log{"c:4", "a:4", "b:4"}));

    log.clear();
    scope.Shutdown();
    EXPECT_EQ(log, (Log{"c:2", "c:refresh", "a:2", "a:refresh", "b:2", "b:refresh", "b:3", "a:3", "c:3"}));
    EXPECT_EQ(scope.Listeners().ListenerCount(), 0);
    EXPECT_EQ(a.VirtualScope(), nullptr);
    EXPECT_EQ(c.VirtualScope(), nullptr);

    // Unlinked, a binder's broadcast goes nowhere and nothing reaches it.
    log.clear();
    a.send(Code::snSettingsChanged);
    scope.Notify(Code::snSettingsChanged, 255);
    EXPECT_TRUE(log.empty());
}

TEST_F(BinderBase, ADestroyedBinderLeavesTheBusAndTheOthersKeepTheirOrder) {
    a.SetVirtualScope(&scope);
    auto middle = std::make_unique<LoggingBinder>("m", 5, log);
    middle->SetVirtualScope(&scope);
    c.SetVirtualScope(&scope);
    middle.reset();
    EXPECT_EQ(scope.Listeners().ListenerCount(), 2);

    scope.Startup();
    log.clear();
    scope.Notify(Code::snSettingsChanged, 255);
    EXPECT_EQ(log, (Log{"a:2", "a:refresh", "c:2", "c:refresh"}));
}

TEST_F(BinderBase, RelinkingNeverDuplicatesAndMovesTheEntryToTheOtherScope) {
    a.SetVirtualScope(&scope);
    a.SetVirtualScope(&scope);
    EXPECT_EQ(scope.Listeners().ListenerCount(), 1);
    scope.Startup();
    log.clear();
    scope.Notify(Code::snSettingsChanged, 255);
    EXPECT_EQ(log, (Log{"a:2", "a:refresh"}));

    TVirtualScopeVornRM other;
    a.SetVirtualScope(&other);
    EXPECT_EQ(scope.Listeners().ListenerCount(), 0);
    EXPECT_TRUE(other.Listeners().IsRegistered(&a));
    EXPECT_EQ(a.VirtualScope(), &other);

    a.SetVirtualScope(nullptr);
    EXPECT_EQ(other.Listeners().ListenerCount(), 0);
    EXPECT_EQ(a.VirtualScope(), nullptr);
}

TEST_F(BinderBase, ABindersOwnBroadcastCarriesItsGroupAndRefreshesItToo) {
    a.SetVirtualScope(&scope);
    b.SetVirtualScope(&scope);
    std::vector<int> groups;
    struct Listener {} listener;
    scope.RegisterListener(99, &listener, [&](Code code, int& group) {
        if (code == Code::snSettingsChanged)
            groups.push_back(group);
    });
    scope.Startup();
    log.clear();

    b.send(Code::snSettingsChanged);
    EXPECT_EQ(log, (Log{"a:2", "a:refresh", "b:2", "b:refresh"}));
    EXPECT_EQ(groups, (std::vector<int>{7}));
    scope.UnregisterListener(&listener);
}

TEST(BinderGroups, TheDisplayAndVerticalPanelsSendWithTheGroupsOfTheirTable) {
    widgetTestApp();
    EXPECT_EQ(TModeDisplayVornRM().ControlGroup(), 11);
    EXPECT_EQ(TSweepControlsVornRM().ControlGroup(), 12);
    EXPECT_EQ(TTimeBaseControlsVornRM().ControlGroup(), 14);
    EXPECT_EQ(TVerticalShiftsVornRM().ControlGroup(), 4);
}

} // namespace

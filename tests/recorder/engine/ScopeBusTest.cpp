#include "VirtualScopeVornRM.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Code = TScopeNotifyCode;

// A listener that logs what it receives and, like every component of the
// recorder, leaves the bus on the shutdown code.
struct LoggingListener {
    TVirtualScopeVornRM& scope;
    std::string name;
    std::vector<std::string>& log;
    bool leavesOnShutdown = true;

    void attach(int group = 1) {
        scope.RegisterListener(group, this, [this](Code code, int& senderGroup) {
            log.push_back(name + ":" + std::to_string(static_cast<int>(code)) + "/" +
                          std::to_string(senderGroup));
            if (code == Code::snShutdown && leavesOnShutdown)
                scope.UnregisterListener(this);
        });
    }
};

class ScopeBusTest : public ::testing::Test {
protected:
    TVirtualScopeVornRM scope;
    std::vector<std::string> log;
    LoggingListener a{scope, "a", log};
    LoggingListener b{scope, "b", log};
    LoggingListener c{scope, "c", log};
};

TEST_F(ScopeBusTest, StartupDeliversLoadThenStartInRegistrationOrderAndInitialises) {
    a.attach();
    b.attach();
    c.attach();
    scope.Notify(Code::snSettingsChanged, 4);  // before Startup: nobody hears it
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(scope.ApplicationInitialized());

    scope.Startup();
    EXPECT_EQ(log, (std::vector<std::string>{"a:6/255", "b:6/255", "c:6/255", "a:1/255", "b:1/255",
                                             "c:1/255"}));
    EXPECT_TRUE(scope.ApplicationInitialized());

    log.clear();
    scope.Notify(Code::snSettingsChanged, 7);
    EXPECT_EQ(log, (std::vector<std::string>{"a:2/7", "b:2/7", "c:2/7"}));
}

TEST_F(ScopeBusTest, BroadcastBeforeStartupIsDroppedAndTheNextOneDelivered) {
    a.attach();
    scope.Notify(Code::snSettingsChanged, 4);
    EXPECT_TRUE(log.empty());
    scope.Notify(Code::snMainWindowResized, 13);
    EXPECT_EQ(log, (std::vector<std::string>{"a:5/13"}));
}

TEST_F(ScopeBusTest, ShutdownReachesListenersLastFirstAndEmptiesTheList) {
    a.attach();
    b.attach();
    c.attach();
    scope.Startup();
    log.clear();

    scope.Shutdown();
    // Code 2 in order, then code 3 from the last to the first, each once.
    EXPECT_EQ(log, (std::vector<std::string>{"a:2/255", "b:2/255", "c:2/255", "c:3/255", "b:3/255",
                                             "a:3/255"}));
    EXPECT_EQ(scope.Listeners().ListenerCount(), 0);
}

TEST_F(ScopeBusTest, ShutdownWithoutListenersCallsNothing) {
    scope.Startup();
    scope.Notify(Code::snShutdown, 255);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(scope.Listeners().ListenerCount(), 0);
}

TEST_F(ScopeBusTest, ListenerThatStaysOnShutdownIsCalledOnceAndRemoved) {
    a.attach();
    b.leavesOnShutdown = false;
    b.attach();
    scope.Startup();
    log.clear();
    scope.Notify(Code::snShutdown, 255);
    EXPECT_EQ(log, (std::vector<std::string>{"b:3/255", "a:3/255"}));
    EXPECT_EQ(scope.Listeners().ListenerCount(), 0);
}

TEST_F(ScopeBusTest, NestedBroadcastsFirstDroppedSecondDeliveredAtOnce) {
    std::vector<std::string> order;
    bool nested = false;
    scope.RegisterListener(1, &a, [&](Code code, int&) {
        order.push_back("first:" + std::to_string(static_cast<int>(code)));
        if (code == Code::snSettingsChanged && !nested) {
            nested = true;
            scope.Notify(Code::snRefreshFilePanel, 1);   // reaches nobody, re-enables delivery
            scope.Notify(Code::snLevelsSetBack, 1);      // delivered inside this delivery
        }
    });
    scope.RegisterListener(2, &b, [&](Code code, int&) {
        order.push_back("second:" + std::to_string(static_cast<int>(code)));
    });
    scope.Startup();
    order.clear();

    scope.Notify(Code::snSettingsChanged, 255);
    EXPECT_EQ(order, (std::vector<std::string>{"first:2", "first:4", "second:4", "second:2"}));

    // Delivery is on again afterwards.
    order.clear();
    scope.Notify(Code::snMainWindowResized, 13);
    EXPECT_EQ(order, (std::vector<std::string>{"first:5", "second:5"}));
}

TEST_F(ScopeBusTest, UnregisterRemovesOnlyTheNamedOwnerKeepingOrder) {
    a.attach();
    b.attach();
    c.attach();
    int stranger = 0;
    scope.UnregisterListener(&stranger);
    EXPECT_EQ(scope.Listeners().ListenerCount(), 3);

    scope.UnregisterListener(&b);
    EXPECT_FALSE(scope.Listeners().IsRegistered(&b));
    scope.Startup();
    EXPECT_EQ(log, (std::vector<std::string>{"a:6/255", "c:6/255", "a:1/255", "c:1/255"}));
}

TEST_F(ScopeBusTest, ListenerRegisteredDuringBroadcastWaitsForTheNextOne) {
    scope.RegisterListener(1, &a, [&](Code, int&) {
        if (!scope.Listeners().IsRegistered(&b))
            b.attach();
    });
    scope.Startup();  // code 6 registers b; code 1 reaches it
    EXPECT_EQ(log, (std::vector<std::string>{"b:1/255"}));
}

} // namespace

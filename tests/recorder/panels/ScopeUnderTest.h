#pragma once

#include "VirtualScopeVornRM.h"
#include "WidgetTestApp.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <utility>
#include <vector>

// A started scope model with a listener that records every broadcast it
// hears (code and sender group), for the panel binder tests.
class ScopeUnderTest {
public:
    ScopeUnderTest() {
        widgetTestApp();
        scope.RegisterListener(99, this, [this](TScopeNotifyCode code, int& group) {
            heard.emplace_back(code, group);
            if (code == TScopeNotifyCode::snShutdown)
                scope.UnregisterListener(this);
        });
        scope.Startup();
        heard.clear();
    }
    ~ScopeUnderTest() { scope.UnregisterListener(this); }

    // The broadcasts heard since the last call.
    std::vector<std::pair<TScopeNotifyCode, int>> takeHeard() { return std::exchange(heard, {}); }

    // A panel's change as the other panels and menus send it.
    void settingsChanged(int group = 13) { scope.Notify(TScopeNotifyCode::snSettingsChanged, group); }

    TVirtualScopeVornRM scope;
    std::vector<std::pair<TScopeNotifyCode, int>> heard;
};

using Heard = std::vector<std::pair<TScopeNotifyCode, int>>;

inline Heard settingsChangedBy(int group, int times = 1) {
    return Heard(static_cast<size_t>(times), {TScopeNotifyCode::snSettingsChanged, group});
}

// Replaces the edit's text by typing `text`, then presses `key` (Enter by default).
inline void typeInto(QLineEdit& edit, const QString& text, Qt::Key key = Qt::Key_Return) {
    edit.clear();
    QTest::keyClicks(&edit, text);
    QTest::keyClick(&edit, key);
}

inline QColor textColor(const QLineEdit& edit) { return edit.palette().color(QPalette::Active, QPalette::Text); }

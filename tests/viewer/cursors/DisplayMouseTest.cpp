// The main display's mouse: panning, dragging cursors and crosses, hints and
// the pop-up menus, with synthetic mouse events on a display showing a
// generated recording.
#include "CursorDialog.h"
#include "DataSource.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "MessageBoxes.h"
#include "PreviewScreenMouse.h"
#include "PreviewScreenPelkRM.h"
#include "SampleRecording.h"
#include "WidgetTestApp.h"
#include "ui_CursorDialog.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <map>
#include <mutex>

namespace rm::viewer {
namespace {

class Broadcasts : public IEngineListener {
public:
    void EngineNotify(int code, int) override
    {
        std::lock_guard lock(m_);
        ++count_[code];
    }
    int of(int code)
    {
        std::lock_guard lock(m_);
        return count_[code];
    }
    void clear()
    {
        std::lock_guard lock(m_);
        count_.clear();
    }

private:
    std::mutex m_;
    std::map<int, int> count_;
};

class DisplayMouseTest : public WidgetTest {
protected:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 255;

    DisplayMouseTest()
    {
        writeSampleRecording(path, 3'000'000);
        engine.SetUiPoster([](std::function<void()> call) {
            QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
        });
        display.resize(kWidth, kHeight);
        display.SetDataModule(&source);
        display.SetPreviewEngine(&engine);
        engine.RegisterListener(kGroupAll, &broadcasts);
        display.show();
        engine.Startup();
        engine.MainScreenWidth = kWidth;
        engine.MainScreenHeight = kHeight;
        engine.SetActualPointsCount(kWidth);
        display.ResizeBitmap();
    }
    ~DisplayMouseTest() override
    {
        engine.UnregisterListener(kGroupAll, &broadcasts);
        engine.Shutdown();
    }

    void open()
    {
        engine.SetOpenFileName(path);
        engine.FileTargeted = true;
        engine.Notify(enOpenDataFile, kGroupOpenPanel);
        engine.Notify(enFileTargeted, kGroupOpenPanel);
        engine.Notify(enPrepareIndex, kGroupOpenPanel);
        settle();
    }
    // Waits for the normal view after the `views`-th (the next one by default).
    void settle(int views = -1)
    {
        QElapsedTimer timer;
        timer.start();
        const int wanted = (views < 0 ? broadcasts.of(enNormalViewReady) : views) + 1;
        while (timer.elapsed() < 30000 && broadcasts.of(enNormalViewReady) < wanted)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::processEvents();
        ASSERT_GE(broadcasts.of(enNormalViewReady), wanted);
        broadcasts.clear();
    }
    void zoom(uint32_t samplesPerPoint)
    {
        engine.SetSamplesPerPoint(samplesPerPoint);
        engine.Notify(enZoomChanged, kGroupZoomPanel);
        settle();
    }
    void send(QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButton pressed = type == QEvent::MouseMove ? Qt::NoButton : button;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(x, y), display.mapToGlobal(QPointF(x, y)), pressed, held, Qt::NoModifier);
        QApplication::sendEvent(&display, &event);
    }
    void drag(int fromX, int fromY, int toX, int toY)
    {
        send(QEvent::MouseButtonPress, fromX, fromY);
        send(QEvent::MouseMove, toX, toY);
        send(QEvent::MouseButtonRelease, toX, toY);
    }
    // The menu item chosen at a right click at x.
    void choose(int x, QAction* item)
    {
        send(QEvent::MouseButtonPress, x, 100, Qt::RightButton);
        for (QMenu* menu : display.findChildren<QMenu*>())
            menu->hide();
        mouse.PopupItemClick(item);
    }
    int addAt(int x, QAction* item = nullptr)
    {
        choose(x, item ? item : mouse.GeneralPopup().AddWaveformCursor);
        return cursors().CursorObjectsCount() - 1;
    }
    TCursorObjectTable& cursors() { return source.Cursors(); }

    QTemporaryDir dir;
    const std::string path = dir.filePath("run.rmd").toStdString();
    ScriptedMessages messages;
    TPreviewEnginePelkRM engine;
    TMainBufferComponentVornPrv mainBuffer{engine};
    TLargeFileWrapper file;
    TIndexFileWrapperVornRMPrv index{engine};
    TDataSourcePelkRMPrv source{engine, mainBuffer, file, index};
    Broadcasts broadcasts;
    TPreviewScreenPelkRM display;
    TPreviewScreenMouse mouse{display, engine, source};
};

TEST_F(DisplayMouseTest, NothingHappensBeforeAFileIsOpen)
{
    const int64_t before = engine.ScreenPosition();
    drag(400, 100, 300, 100);
    send(QEvent::MouseButtonPress, 400, 100, Qt::RightButton);
    EXPECT_EQ(engine.ScreenPosition(), before);
    EXPECT_EQ(broadcasts.of(enScreenMoved), 0);
    for (QMenu* menu : display.findChildren<QMenu*>())
        EXPECT_FALSE(menu->isVisible());
}

TEST_F(DisplayMouseTest, ACursorNearTheClickWinsOverACrossAndOnlyWithinFivePoints)
{
    open();
    engine.VoltageCursorsActive = true;
    display.SetCross1(QPoint(304, 100));
    addAt(300);
    const int64_t placed = cursors().Cursor(0).SamplePosition;
    drag(304, 100, 350, 100);  // 4 points away: the cursor moves, not the cross
    EXPECT_EQ(cursors().Cursor(0).SamplePosition, display.SampleAtX(350));
    EXPECT_EQ(display.Cross1(), QPoint(304, 100));
    EXPECT_EQ(broadcasts.of(enCursorDragged), 1);

    cursors().Cursor(0).SamplePosition = placed;
    display.SetCross1(QPoint(305, 100));
    drag(305, 100, 310, 120);  // 5 points away: the cross
    EXPECT_EQ(cursors().Cursor(0).SamplePosition, placed);
    EXPECT_EQ(display.Cross1(), QPoint(310, 120));
    EXPECT_EQ(engine.AbsoluteScreenCursor, display.SampleAtX(310));
    EXPECT_EQ(broadcasts.of(enVoltageCursorMoved), 1);
}

TEST_F(DisplayMouseTest, ADraggedCursorStaysWhenDroppedOnTheLeftEdge)
{
    open();
    addAt(300);
    drag(300, 100, 0, 100);
    EXPECT_EQ(cursors().Cursor(0).ScreenX, 300);
}

TEST_F(DisplayMouseTest, PanningMovesTheScreenAndKeepsTheCrossesOnTheirPixels)
{
    open();
    zoom(4);
    drag(400, 100, 300, 100);  // left by 100 pixels: 400 samples on
    const int64_t start = engine.ScreenPosition();
    EXPECT_EQ(start, 400);
    drag(400, 100, 410, 100);  // right by 10 pixels: 40 samples earlier
    EXPECT_EQ(engine.ScreenPosition(), start - 40);
    EXPECT_EQ(broadcasts.of(enScreenMoved), 2);

    // Far past the file start: the screen stops at the file's first sample,
    // and the picture and the samples under the crosses go there with it.
    broadcasts.clear();
    drag(10, 100, 790, 100);
    EXPECT_EQ(engine.ScreenBeginning(), 0);
    EXPECT_EQ(broadcasts.of(enScreenMoved), 1);
    settle(0);
    {
        std::lock_guard lock(source.ViewLock(TViewKind::Normal));
        EXPECT_EQ(source.View(TViewKind::Normal).StartSample, 0);
    }
    EXPECT_EQ(engine.AbsoluteScreenCursor, 4 * display.Cross1().x());

    // Towards the end of the buffer and back: the samples under the crosses
    // are those of their pixels.
    for (int i = 0; i < 300; ++i)
        drag(790, 100, 10, 100);
    for (int i = 0; i < 2; ++i)
        drag(10, 100, 700, 100);
    EXPECT_EQ(engine.AbsoluteScreenCursor, engine.ScreenBeginning() + 4 * display.Cross1().x());
    EXPECT_EQ(engine.RelativeScreenCursor, engine.ScreenBeginning() + 4 * display.Cross2().x());
}

// A "Time relations" window that notes the first cursor's name at each refresh.
class TimesWindow : public ICursorTimesWindow {
public:
    explicit TimesWindow(const TCursorObjectTable& cursors, std::vector<std::string>& firstNames)
        : cursors_(cursors), firstNames_(firstNames) {}
    void Show() override {}
    void RefreshTimes() override { firstNames_.push_back(cursors_.Cursor(0).CursorName); }

private:
    const TCursorObjectTable& cursors_;
    std::vector<std::string>& firstNames_;
};

TEST_F(DisplayMouseTest, DeleteAllKeepsTheOriginWithItsNameColourAndTime)
{
    open();
    std::vector<std::string> shownFirst;
    cursors().SetCursorTimesWindowFactory([&] { return std::make_unique<TimesWindow>(cursors(), shownFirst); });
    cursors().ShowCursorTimes();
    addAt(100);
    addAt(200, mouse.GeneralPopup().SetTimeOrigin);
    addAt(300);
    addAt(400);
    TGeneralCursorObject& origin = cursors().Cursor(1);
    origin.CursorName = "Start";
    origin.CursorColor = 0x123456;
    engine.TimeOriginUserValue = 2500;
    broadcasts.clear();
    choose(600, mouse.GeneralPopup().DeleteAllCursors);
    ASSERT_EQ(cursors().CursorObjectsCount(), 1);
    EXPECT_EQ(cursors().Cursor(0).CursorType, ctTimeSynchro);
    EXPECT_EQ(cursors().Cursor(0).CursorName, "Start");
    EXPECT_EQ(cursors().Cursor(0).CursorColor, 0x123456u);
    EXPECT_EQ(engine.TimeOriginUserValue, 2500);
    EXPECT_EQ(broadcasts.of(enCursorsChanged), 1);
    EXPECT_EQ(shownFirst.back(), "Start");  // the open times window shows the name kept

    choose(600, mouse.GeneralPopup().DeleteTimeOrigin);
    EXPECT_EQ(cursors().CursorObjectsCount(), 0);
    broadcasts.clear();
    choose(600, mouse.GeneralPopup().DeleteTimeOrigin);
    EXPECT_EQ(broadcasts.of(enCursorsChanged), 0) << "no origin, nothing sent";
}

TEST_F(DisplayMouseTest, TheEleventhCursorIsRefusedAndTheBringMenuShowsFreeSlots)
{
    open();
    for (int i = 0; i < 3; ++i)
        addAt(50 + 60 * i);
    send(QEvent::MouseButtonPress, 700, 100, Qt::RightButton);
    mouse.PopupItemClick(mouse.GeneralPopup().BringCursor);
    QApplication::processEvents();
    EXPECT_TRUE(mouse.BringCursorPopup().PopupMenu().isVisible());
    EXPECT_EQ(mouse.BringCursorPopup().Cursor[1]->text(), "C2");
    EXPECT_TRUE(mouse.BringCursorPopup().Cursor[1]->isEnabled());
    EXPECT_EQ(mouse.BringCursorPopup().Cursor[5]->text(), "-");
    EXPECT_FALSE(mouse.BringCursorPopup().Cursor[5]->isEnabled());
    mouse.PopupItemClick(mouse.BringCursorPopup().Cursor[1]);
    EXPECT_EQ(cursors().Cursor(1).ScreenX, 700);
    EXPECT_EQ(cursors().Cursor(1).SamplePosition, display.SampleAtX(700));
    mouse.BringCursorPopup().PopupMenu().hide();

    for (int i = 3; i < 10; ++i)
        addAt(50 + 60 * i);
    ASSERT_EQ(cursors().CursorObjectsCount(), 10);
    broadcasts.clear();
    choose(790, mouse.GeneralPopup().AddWaveformCursor);
    EXPECT_EQ(cursors().CursorObjectsCount(), 10);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Maximum cursors count reached"});
    EXPECT_EQ(broadcasts.of(enCursorsChanged), 0);
}

TEST_F(DisplayMouseTest, EditingTakesNameColourAndTheOriginsTimeAndNothingWithoutACursor)
{
    open();
    addAt(300, mouse.GeneralPopup().SetTimeOrigin);
    mouse.SetDialogRunner([](TCursorDialog& dialog) {
        dialog.Form().CursorNameEdit->setText("Zero");
        TGeneralCursorObject edited = dialog.CursorObject();
        edited.CursorName = "Zero";
        edited.CursorColor = 0x0000FF;
        dialog.SetCursorObject(edited);
        dialog.Form().UserTimeEdit->setTimeValue(1000);
        return true;
    });
    broadcasts.clear();
    choose(300, mouse.CursorPopup().ChangeCursor);
    EXPECT_EQ(cursors().Cursor(0).CursorName, "Zero");
    EXPECT_EQ(cursors().Cursor(0).CursorColor, 0x0000FFu);
    EXPECT_EQ(engine.TimeOriginUserValue, 1000);
    EXPECT_TRUE(engine.IsTimeOriginSet);
    EXPECT_EQ(broadcasts.of(enCursorsChanged), 1);

    bool asked = false;
    mouse.SetDialogRunner([&](TCursorDialog&) { return asked = true; });
    broadcasts.clear();
    choose(700, mouse.CursorPopup().ChangeCursor);
    EXPECT_FALSE(asked);
    EXPECT_EQ(broadcasts.of(enCursorsChanged), 0);
}

TEST_F(DisplayMouseTest, HintsNameTheCursorAndItsTimes)
{
    open();
    engine.VoltageCursorsActive = false;
    addAt(200);
    send(QEvent::MouseMove, 200, 100);
    const std::string name = cursors().Cursor(0).CursorName;
    ASSERT_EQ(mouse.HintText().substr(0, name.size() + 5), name + "\r\nt: ");

    // A span over the recording's overrun mark is marked "!".
    engine.VoltageCursorsActive = true;
    display.SetCross1(QPoint(5, 5));
    zoom(0x20000);
    engine.AbsoluteScreenCursor = 0;  // cross 1 before the overrun, the cursor after it
    cursors().Cursor(0).SamplePosition = engine.FileRealSamplesCount - 1;
    cursors().Cursor(0).ScreenX = static_cast<int>((engine.FileRealSamplesCount - 1 - engine.ScreenBeginning()) /
                                                   engine.SamplesPerPoint());
    send(QEvent::MouseMove, cursors().Cursor(0).ScreenX, 100);
    const std::string hint = mouse.HintText();
    EXPECT_NE(hint.find("\r\ndt: "), std::string::npos) << hint;
    EXPECT_EQ(hint.back(), '!') << hint;
    // Set to ignore overruns, the same span is exact.
    engine.IgnoreOverrun = true;
    send(QEvent::MouseMove, cursors().Cursor(0).ScreenX, 100);
    EXPECT_EQ(mouse.HintText().find('!'), std::string::npos) << mouse.HintText();
    EXPECT_NE(mouse.HintText().find("\r\ndt: "), std::string::npos) << mouse.HintText();

    send(QEvent::MouseMove, 780, 200);
    EXPECT_EQ(mouse.HintText(), "");
}

} // namespace
} // namespace rm::viewer

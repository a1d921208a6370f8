// The viewer's side of printing, against a fake print-manager library that
// records every request and calls the viewer back as the real one does.
#include "PrintBridge.h"

#include "MessageBoxes.h"
#include "SharedLibrary.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rm::viewer;

namespace {

QGuiApplication& app()
{
    static int argc = 1;
    static char name[] = "viewer_print_tests";
    static char* argv[] = {name, nullptr};
    static auto* application = new QGuiApplication(argc, argv);
    return *application;
}

struct Sent {
    int32_t request;
    int32_t objectId;
    intptr_t value;
    std::string text;
    bool operator==(const Sent&) const = default;
};

void PrintTo(const Sent& s, std::ostream* out)
{
    *out << '{' << s.request << ',' << s.objectId << ',' << s.value << ",\"" << s.text << "\"}";
}

class FakeSource : public IPrintSource {
public:
    std::string CursorInfoText() const override { return cursorInfo; }
    void PaintForPrint(QPainter& painter, int width, int height) override
    {
        painted = QSize(width, height);
        painter.fillRect(0, 0, width, height, Qt::white);
        painter.fillRect(0, height / 2, width, 1, Qt::black);
    }
    QSize PictureSize() const override { return screen; }
    std::string cursorInfo = "A = 1.5V 1A = 2V 2A = 3V\r\nB = N/A 1B = N/A 2B = N/A";
    QSize painted;
    QSize screen{300, 200};
};

// The fake library, held open by the test so its record outlives the
// bridge's unload.
class FakeLibrary {
public:
    FakeLibrary() { EXPECT_TRUE(library_.openModule("FakePrintDll.dll")) << library_.lastError(); }

    std::vector<Sent> requests() const
    {
        auto count = reinterpret_cast<int (*)()>(library_.symbol("FakePrintRequestCount"));
        auto at = reinterpret_cast<void (*)(int, int32_t*, int32_t*, intptr_t*, const char**)>(
            library_.symbol("FakePrintRequest"));
        std::vector<Sent> sent;
        for (int i = 0; i < count(); ++i) {
            Sent s{};
            const char* text = nullptr;
            at(i, &s.request, &s.objectId, &s.value, &text);
            s.text = text;
            sent.push_back(s);
        }
        return sent;
    }
    std::string text(int id) const
    {
        return reinterpret_cast<const char* (*)(int)>(library_.symbol("FakePrintText"))(id);
    }
    int32_t length(int id) const { return reinterpret_cast<int32_t (*)(int)>(library_.symbol("FakePrintLength"))(id); }
    void setCapacity(int capacity) const
    {
        reinterpret_cast<void (*)(int)>(library_.symbol("FakePrintSetCapacity"))(capacity);
    }
    void setFailure(const char* text) const
    {
        reinterpret_cast<void (*)(const char*)>(library_.symbol("FakePrintSetFailure"))(text);
    }
    void setPainter(QPainter* painter, int width, int height) const
    {
        reinterpret_cast<void (*)(void*, int32_t, int32_t)>(library_.symbol("FakePrintSetPainter"))(painter, width,
                                                                                                    height);
    }

private:
    rm::SharedLibrary library_;
};

// One print's requests, as the viewer sends them, with the fake's page of
// 290 x 203 mm answered inside the default-layout callback.
std::vector<Sent> onePrint()
{
    std::vector<Sent> s = {{18, 0, 0, ""}, {19, 0, 0, "PelkView.lay"}, {16, 0, 0, "Pelk_VIEW"}, {1, 0, 0, ""}};
    const char* names[] = {"Main screen", "Cursor info", "Date and time", "Free text 1", "Free text 2"};
    const int kinds[] = {0, 1, 1, 2, 2};
    const int flags[] = {1, 1, 1, 0, 0};
    for (int id = 1; id <= 5; ++id) {
        s.push_back({2, id, 0, ""});
        s.push_back({3, id, 0, names[id - 1]});
        s.push_back({4, id, kinds[id - 1], ""});
        s.push_back({9, id, 0, ""});
        s.push_back({10, id, 0, ""});
        s.push_back({11, id, 10000, ""});
        s.push_back({12, id, 5000, ""});
        s.push_back({15, id, flags[id - 1], ""});
    }
    s.push_back({14, 0, 0, ""});
    for (int code : {5, 7, 6, 8})
        s.push_back({code, 0, 0, ""});
    const int w = 290, h = 203;
    const int rects[5][4] = {{20, 20, w - 20, h - 100}, {20, h - 100, 70, h - 50}, {70, h - 100, 120, h - 50},
                             {120, h - 100, 170, h - 50}, {170, h - 100, 220, h - 50}};
    for (int id = 1; id <= 5; ++id) {
        const auto& r = rects[id - 1];
        s.push_back({9, id, r[0], ""});
        s.push_back({10, id, r[1], ""});
        s.push_back({11, id, r[2] - r[0], ""});
        s.push_back({12, id, r[3] - r[1], ""});
    }
    s.push_back({13, 0, 0, ""});
    s.push_back({17, 0, 0, ""});
    s.push_back({17, 0, 0, ""});
    return s;
}

class PrintBridgeTest : public ::testing::Test {
protected:
    PrintBridgeTest() { app(); }
    rm::ScriptedMessages messages;
    FakeSource source;
};

TEST_F(PrintBridgeTest, OnePrintSendsTheRequestSequenceAndTwoPrintsSendItTwice)
{
    FakeLibrary fake;
    TPrintBridge bridge(source, "FakePrintDll.dll");
    ASSERT_TRUE(bridge.Print());
    const auto once = onePrint();
    EXPECT_EQ(fake.requests(), once);

    ASSERT_TRUE(bridge.Print());
    auto twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(fake.requests(), twice);
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(PrintBridgeTest, TextsOfTheObjects)
{
    FakeLibrary fake;
    TPrintBridge bridge(source, "FakePrintDll.dll");
    ASSERT_TRUE(bridge.Print());
    for (int id : {1, 4, 5}) {
        EXPECT_EQ(fake.length(id), 0) << id;
        EXPECT_EQ(fake.text(id), "") << id;
    }
    EXPECT_EQ(fake.text(2), source.cursorInfo);
    EXPECT_EQ(fake.length(2), static_cast<int32_t>(source.cursorInfo.size()));
    const std::string date = fake.text(3);
    EXPECT_EQ(fake.length(3), 22);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Date: \\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d\\r\\n$"))
                    .match(QString::fromStdString(date))
                    .hasMatch())
        << date;
}

TEST_F(PrintBridgeTest, ASmallBufferGetsATruncatedTerminatedText)
{
    FakeLibrary fake;
    fake.setCapacity(5);
    TPrintBridge bridge(source, "FakePrintDll.dll");
    ASSERT_TRUE(bridge.Print());
    EXPECT_EQ(fake.text(2), "A = ");
    EXPECT_EQ(fake.text(3), "Date");
    fake.setCapacity(0);
}

TEST_F(PrintBridgeTest, ThePictureKeepsTheScreensProportionsCentredInTheLibrarysPainter)
{
    FakeLibrary fake;
    QImage page(300, 200, QImage::Format_RGB32);
    TPrintBridge bridge(source, "FakePrintDll.dll");
    for (const QSize screen : {QSize(300, 200), QSize(100, 100)}) {
        page.fill(Qt::red);
        QPainter painter(&page);
        fake.setPainter(&painter, 300, 200);
        source.screen = screen;
        ASSERT_TRUE(bridge.Print());
        painter.end();
        fake.setPainter(nullptr, 0, 0);
        if (screen == QSize(300, 200)) {
            EXPECT_EQ(source.painted, QSize(300, 200));
            EXPECT_EQ(page.pixel(5, 5), QColor(Qt::white).rgb());
            EXPECT_EQ(page.pixel(5, 100), QColor(Qt::black).rgb());
        } else {
            // A square screen: a square picture in the middle of the region.
            EXPECT_EQ(source.painted, QSize(200, 200));
            EXPECT_EQ(page.pixel(49, 5), QColor(Qt::red).rgb());
            EXPECT_EQ(page.pixel(50, 5), QColor(Qt::white).rgb());
            EXPECT_EQ(page.pixel(249, 5), QColor(Qt::white).rgb());
            EXPECT_EQ(page.pixel(250, 5), QColor(Qt::red).rgb());
        }
    }
}

TEST_F(PrintBridgeTest, AFailedPrintShowsTheLibrarysMessageOnceAndReportsFailure)
{
    FakeLibrary fake;
    fake.setFailure("The page could not be written to \"/tmp/x.pdf\": Is a directory");
    TPrintBridge bridge(source, "FakePrintDll.dll");
    EXPECT_FALSE(bridge.Print());
    fake.setFailure("");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "The page could not be written to \"/tmp/x.pdf\": Is a directory");
    EXPECT_EQ(messages.shown()[0].icon, rm::MsgIcon::Warning);
}

TEST_F(PrintBridgeTest, AMissingLibraryOrOneWithoutTheExportGivesOnlyTheWarning)
{
    for (const char* name : {"NoSuchPrintDll.dll", "NoExportPrintDll.dll"}) {
        messages.clear();
        TPrintBridge bridge(source, name);
        EXPECT_FALSE(bridge.Print()) << name;
        ASSERT_EQ(messages.shown().size(), 1u) << name;
        EXPECT_EQ(messages.shown()[0].text, "Print manager library is missing");
        EXPECT_EQ(messages.shown()[0].buttons, rm::MsgButtons::Ok);
        EXPECT_TRUE(source.painted.isEmpty());
    }
}

} // namespace

// The print-manager library as the viewer meets it: loaded from the program
// folder, driven through its export, calling back a test callback.
#include "PrintDialogSeam.h"
#include "PrintManagerApi.h"
#include "SharedLibrary.h"
#include "printmgr/PrintManagerStrings.h"

#include <QGuiApplication>
#include <QProcess>
#include <QThread>
#include <QPageLayout>
#include <QPageSize>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

using namespace printmgr;

namespace {

QGuiApplication& app()
{
    static int argc = 1;
    static char name[] = "printmgr_tests";
    static char* argv[] = {name, nullptr};
    static auto* application = new QGuiApplication(argc, argv);
    return *application;
}

struct Call {
    int32_t request;
    int32_t objectId;
    bool operator==(const Call&) const = default;
};

// What the test callback saw, and what it answers.
struct Recorder {
    std::vector<Call> calls;
    std::vector<Call> reentered;  // requests sent back from inside callback 3
    std::vector<std::string> messages;
    QSize pictureSize;
    bool painterActive = false;
    std::string texts[6] = {"", "", "A = 1V 1A = 2V 2A = 3V\r\nB = N/A 1B = N/A 2B = N/A",
                            "Date: 09.12.26 10:30\r\n", "", ""};
    ApplicationRequestFunction library = nullptr;
    double widthDivisor = 0;
    int32_t widthCount = 0;
};
Recorder* recorder = nullptr;

intptr_t testCallback(int32_t request, int32_t objectId, intptr_t value, void* data)
{
    Recorder& r = *recorder;
    r.calls.push_back({request, objectId});
    switch (request) {
    case TextLength:
        *static_cast<int32_t*>(data) = static_cast<int32_t>(r.texts[objectId].size());
        break;
    case TextCopy: {
        const std::string& text = r.texts[objectId];
        const size_t n = std::min(text.size(), static_cast<size_t>(value) - 1);
        std::copy_n(text.data(), n, static_cast<char*>(data));
        static_cast<char*>(data)[n] = '\0';
        break;
    }
    case DefaultLayout: {
        auto send = [&](int32_t code, int32_t id, intptr_t v, void* d) {
            r.reentered.push_back({code, id});
            r.library(code, id, v, d);
        };
        int32_t n = 0;
        double d = 1;
        send(PageWidthDivisor, 0, 0, &d);
        send(PageWidthCount, 0, 0, &n);
        r.widthDivisor = d;
        r.widthCount = n;
        const int w = static_cast<int>(std::nearbyint(n * 10 / d));
        n = 0;
        d = 1;
        send(PageHeightDivisor, 0, 0, &d);
        send(PageHeightCount, 0, 0, &n);
        const int h = static_cast<int>(std::nearbyint(n * 10 / d));
        const int rects[5][4] = {{20, 20, w - 20, h - 100}, {20, h - 100, 70, h - 50}, {70, h - 100, 120, h - 50},
                                 {120, h - 100, 170, h - 50}, {170, h - 100, 220, h - 50}};
        for (int id = 1; id <= 5; ++id) {
            const auto& q = rects[id - 1];
            send(ObjectLeft, id, q[0], nullptr);
            send(ObjectTop, id, q[1], nullptr);
            send(ObjectWidth, id, q[2] - q[0], nullptr);
            send(ObjectHeight, id, q[3] - q[1], nullptr);
        }
        break;
    }
    case UserMessage:
        r.messages.emplace_back(static_cast<const char*>(data));
        break;
    case DrawPicture: {
        auto* region = static_cast<PrintRegion*>(data);
        auto* painter = static_cast<QPainter*>(region->painter);
        r.pictureSize = QSize(region->width, region->height);
        r.painterActive = painter && painter->isActive();
        if (r.painterActive)
            painter->fillRect(0, 0, region->width, region->height, Qt::black);
        break;
    }
    default:
        break;
    }
    return 0;
}


// A CUPS server of the test's own, in a folder of its own, with one queue,
// "Refuser", that rejects every job (cupsreject); the library reaches it
// through CUPS_SERVER. `problem` says why it could not be started.
class PrivateCupsServer {
public:
    explicit PrivateCupsServer(const std::filesystem::path& folder) : folder_(folder)
    {
        const std::string root = folder.string();
        std::filesystem::create_directories(folder / "spool");
        std::ofstream(folder / "cupsd.conf") << "Listen " << socket() << "\nBrowsing No\nDefaultAuthType None\n"
                                             << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                             << "<Policy default>\n  <Limit All>\n    Order allow,deny\n"
                                             << "    Allow all\n  </Limit>\n</Policy>\n";
        std::ofstream(folder / "cups-files.conf")
            << "FileDevice Yes\nServerRoot " << root << "\nRequestRoot " << root << "/spool\nTempDir " << root
            << "/spool\nCacheDir " << root << "\nStateDir " << root << "\nErrorLog " << root
            << "/error_log\nAccessLog " << root << "/access_log\nPageLog " << root << "/page_log\n";
        daemon_.start(QStringLiteral("/usr/sbin/cupsd"), {QStringLiteral("-f"), QStringLiteral("-c"), path("cupsd.conf"),
                                                QStringLiteral("-s"), path("cups-files.conf")});
        if (!daemon_.waitForStarted()) {
            problem = "cupsd does not start";
            return;
        }
        for (int wait = 0; wait < 200 && !std::filesystem::exists(socket()); ++wait)
            QThread::msleep(50);
        const QString server = QString::fromStdString(socket());
        if (QProcess::execute(QStringLiteral("/usr/sbin/lpadmin"), {QStringLiteral("-h"), server, QStringLiteral("-p"),
                                                          QStringLiteral("Refuser"), QStringLiteral("-v"),
                                                          QStringLiteral("file:///dev/null"), QStringLiteral("-m"),
                                                          QStringLiteral("raw"), QStringLiteral("-E")}) != 0 ||
            QProcess::execute(QStringLiteral("/usr/sbin/cupsreject"), {QStringLiteral("-h"), server, QStringLiteral("Refuser")}) != 0)
            problem = "the queue cannot be set up (lpadmin, cupsreject)";
        setenv("CUPS_SERVER", socket().c_str(), 1);
        cupsSetServer(nullptr);
    }
    ~PrivateCupsServer()
    {
        unsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
        daemon_.terminate();
        daemon_.waitForFinished();
    }

    std::string problem;

private:
    std::string socket() const { return (folder_ / "cups.sock").string(); }
    QString path(const char* name) const { return QString::fromStdString((folder_ / name).string()); }

    std::filesystem::path folder_;
    QProcess daemon_;
};

class PrintLibraryTest : public ::testing::Test {
protected:
    PrintLibraryTest()
    {
        app();
        original_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "printmgr-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        std::filesystem::current_path(folder_);
        recorder = &recorder_;
        dialog_.emplace();
    }
    ~PrintLibraryTest() override
    {
        recorder = nullptr;
        std::filesystem::current_path(original_);
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    // One print as the viewer runs it: load, describe, print, unload.
    void printOnce()
    {
        rm::SharedLibrary library;
        ASSERT_TRUE(library.open((original_ / "libprintdll.so").string())) << library.lastError();
        auto request = reinterpret_cast<ApplicationRequestFunction>(library.symbol(kExportName));
        ASSERT_NE(request, nullptr);
        recorder_.library = request;
        request(BeginPrint, 0, 0, nullptr);
        request(LayoutFileName, 0, 0, const_cast<char*>("PelkView.lay"));
        request(LayoutKey, 0, 0, const_cast<char*>("Pelk_VIEW"));
        request(RegisterCallback, 0, 0, reinterpret_cast<void*>(&testCallback));
        const char* names[] = {"Main screen", "Cursor info", "Date and time", "Free text 1", "Free text 2"};
        const int kinds[] = {0, 1, 1, 2, 2};
        const int flags[] = {1, 1, 1, 0, 0};
        for (int id = 1; id <= 5; ++id) {
            request(DefineObject, id, 0, nullptr);
            request(ObjectName, id, 0, const_cast<char*>(names[id - 1]));
            request(ObjectKind, id, kinds[id - 1], nullptr);
            request(ObjectLeft, id, 0, nullptr);
            request(ObjectTop, id, 0, nullptr);
            request(ObjectWidth, id, 10000, nullptr);
            request(ObjectHeight, id, 5000, nullptr);
            request(ObjectFlag, id, flags[id - 1], nullptr);
        }
        uint8_t printed = 0;
        request(Print, 0, 0, &printed);
        request(AfterPrint, 0, 0, nullptr);
        request(EndPrint, 0, 0, nullptr);
        request(EndPrint, 0, 0, nullptr);
        library.close();
        printed_ = printed;
    }

    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // The print dialog prints into `file` ("" = the file it proposes).
    void accept(const QString& file = {}) { dialog_->queueAnswer(rm::ScriptedPrintDialog::Answer{file, 300}); }
    void acceptPage(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation)
    {
        rm::ScriptedPrintDialog::Answer answer;
        answer.paper = paper;
        answer.orientation = orientation;
        dialog_->queueAnswer(answer);
    }

    static void write(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::vector<Call> textCalls(int objectId) const
    {
        std::vector<Call> calls;
        for (const auto& c : recorder_.calls)
            if (c.objectId == objectId && (c.request == TextLength || c.request == TextCopy))
                calls.push_back(c);
        return calls;
    }

    Recorder recorder_;
    std::optional<rm::ScriptedPrintDialog> dialog_;
    uint8_t printed_ = 0;
    std::filesystem::path original_;
    std::filesystem::path folder_;
};

TEST_F(PrintLibraryTest, FirstPrintAsksForTheDefaultLayoutThenDrawsAndStoresIt)
{
    accept();
    printOnce();
    EXPECT_EQ(printed_, 1);
    EXPECT_EQ(dialog_->proposals(), std::vector<QString>{QString::fromStdString((folder_ / "PelkView.pdf").string())});
    EXPECT_TRUE(recorder_.messages.empty());

    const std::vector<Call> expected = {{DefaultLayout, 0}, {DrawPicture, 1}, {TextLength, 2},
                                        {TextCopy, 2},      {TextLength, 3},  {TextCopy, 3}};
    EXPECT_EQ(recorder_.calls, expected);
    // The page answers come from the page itself: A4 landscape is 297 x 210 mm.
    ASSERT_EQ(recorder_.reentered.size(), 24u);
    EXPECT_EQ(std::nearbyint(recorder_.widthCount * 10 / recorder_.widthDivisor), 297);
    // The picture object is (20, 20)-(277, 110) mm at 300 dots per inch.
    EXPECT_TRUE(recorder_.painterActive);
    EXPECT_NEAR(recorder_.pictureSize.width(), 257 * 300 / 25.4, 1.0);
    EXPECT_NEAR(recorder_.pictureSize.height(), 90 * 300 / 25.4, 1.0);

    const std::string pdf = read("PelkView.pdf");
    ASSERT_GT(pdf.size(), 4u);
    EXPECT_EQ(pdf.substr(0, 4), "%PDF");
    const std::string layout = read("PelkView.lay");
    EXPECT_EQ(layout.substr(0, 13), "[Pelk_VIEW]\r\n");
    EXPECT_NE(layout.find("object=1 1 20 20 257 90\r\n"), std::string::npos);
}

TEST_F(PrintLibraryTest, LaterPrintsUseTheStoredLayoutAndItsSwitches)
{
    for (int print = 0; print < 3; ++print)
        accept();
    printOnce();
    recorder_.calls.clear();
    printOnce();
    EXPECT_EQ(recorder_.calls.front(), (Call{DrawPicture, 1})) << "no default layout asked again";
    EXPECT_EQ(textCalls(3).size(), 2u);

    // A hand-edited layout that switches the date off.
    std::string layout = read("PelkView.lay");
    const auto at = layout.find("object=3 1");
    ASSERT_NE(at, std::string::npos);
    layout[at + 9] = '0';
    std::ofstream("PelkView.lay", std::ios::binary) << layout;
    recorder_.calls.clear();
    printOnce();
    EXPECT_TRUE(textCalls(3).empty());
    EXPECT_EQ(textCalls(2).size(), 2u);
    EXPECT_NE(read("PelkView.lay").find("object=3 0"), std::string::npos) << "the switch is kept";
}

TEST_F(PrintLibraryTest, ACancelledDialogPrintsAndWritesNothing)
{
    dialog_->queueAnswer(std::nullopt);
    printOnce();
    EXPECT_EQ(printed_, 0);
    EXPECT_EQ(dialog_->proposals().size(), 1u);
    EXPECT_TRUE(recorder_.calls.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(PrintLibraryTest, WithoutAQApplicationTheDialogIsNotShownAndThatIsToldOnce)
{
    dialog_.reset();
    printOnce();
    EXPECT_EQ(printed_, 0);
    EXPECT_EQ(recorder_.messages, std::vector<std::string>{PrintManagerStrings::NoPrintDialog});
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(PrintLibraryTest, AnOutputThatCannotBeWrittenIsToldOnceAndKeepsWhatWasThere)
{
    std::filesystem::create_directory("folder.pdf");
    write("old.pdf", "old");
    std::filesystem::permissions("old.pdf", std::filesystem::perms::owner_read);
    for (const char* file : {"folder.pdf", "old.pdf", "no/such/folder.pdf", "PelkView.lay"}) {
        recorder_.messages.clear();
        accept(QString::fromUtf8(file));
        printOnce();
        EXPECT_EQ(printed_, 0) << file;
        ASSERT_EQ(recorder_.messages.size(), 1u) << file;
        EXPECT_NE(recorder_.messages[0].find((folder_ / file).string()), std::string::npos) << recorder_.messages[0];
    }
    EXPECT_TRUE(std::filesystem::is_directory("folder.pdf"));
    EXPECT_EQ(read("old.pdf"), "old");
    EXPECT_FALSE(std::filesystem::exists("PelkView.lay")) << "a failed print stores no layout";
}

// The toolkit's dialog opens the file it proposes to check it: a pipe would
// block it for good, so such a name is refused before the dialog shows.
TEST_F(PrintLibraryTest, AProposedOutputThatIsNoRegularFileOrTheLayoutItselfIsRefusedBeforeTheDialog)
{
    ASSERT_EQ(mkfifo("PelkView.pdf", 0644), 0);
    accept();
    printOnce();
    EXPECT_EQ(printed_, 0);
    EXPECT_TRUE(dialog_->proposals().empty());
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_NE(recorder_.messages[0].find((folder_ / "PelkView.pdf").string()), std::string::npos);
    EXPECT_NE(recorder_.messages[0].find(PrintManagerStrings::NotRegularFile), std::string::npos);

    // A loop of links named as the output, and the layout naming itself.
    std::filesystem::create_symlink("loop.pdf", "loop.pdf");
    for (const std::string& named : {std::string("loop.pdf"), std::string("PelkView.lay")}) {
        write("PelkView.lay", "[Pelk_VIEW]\r\noutput=" + named + "\r\n");
        recorder_.messages.clear();
        printOnce();
        EXPECT_EQ(printed_, 0) << named;
        EXPECT_TRUE(dialog_->proposals().empty()) << named;
        ASSERT_EQ(recorder_.messages.size(), 1u) << named;
        EXPECT_NE(recorder_.messages[0].find((folder_ / named).string()), std::string::npos) << recorder_.messages[0];
        EXPECT_EQ(read("PelkView.lay"), "[Pelk_VIEW]\r\noutput=" + named + "\r\n");
    }
    EXPECT_TRUE(std::filesystem::is_symlink("loop.pdf"));
}

TEST_F(PrintLibraryTest, LinesNotUnderstoodAreToldAndTheRestOfTheFileStillPlacesItsObjects)
{
    // Objects 2 and 3 are placed a kilometre off and beyond any number;
    // object 4's second line repeats it.
    const std::string layout = "; my notes\r\n[Other_KEY]\r\noutput=other.pdf\r\nobject=7 1 1 2 3 4\r\n"
                               "[Pelk_VIEW]\r\nobject=1 1 100 30 150 50\r\nobject=2 1 1000000 0 50 50\r\n"
                               "object=3 1 0 0 99999999999 50\r\nobject=4 0 1 1 1 1\r\nobject=4 1 1 1 1 1\r\n"
                               "bogus line\r\n";
    write("PelkView.lay", layout);
    accept();
    printOnce();
    EXPECT_EQ(printed_, 1);
    EXPECT_EQ(std::count(recorder_.calls.begin(), recorder_.calls.end(), Call{DefaultLayout, 0}), 1)
        << "the default places objects 2, 3 and 5";
    EXPECT_EQ(textCalls(2).size(), 2u);
    EXPECT_NEAR(recorder_.pictureSize.width(), 150 * 300 / 25.4, 1.0);
    EXPECT_NEAR(recorder_.pictureSize.height(), 50 * 300 / 25.4, 1.0);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    for (const char* line : {"object=2 1 1000000 0 50 50", "object=3 1 0 0 99999999999 50", "object=4 1 1 1 1 1",
                             "bogus line"})
        EXPECT_NE(recorder_.messages[0].find(line), std::string::npos) << line;
    EXPECT_EQ(read("PelkView.lay"), layout) << "a file not understood whole is never rewritten";
}

TEST_F(PrintLibraryTest, ALayoutThatIsNoRegularFileIsToldAndLeftAlone)
{
    std::filesystem::create_directory("PelkView.lay");
    accept();
    printOnce();
    EXPECT_EQ(printed_, 1) << "printed with the default layout";
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_NE(recorder_.messages[0].find(PrintManagerStrings::NotRegularFile), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory("PelkView.lay"));
}

TEST_F(PrintLibraryTest, AWholeLayoutLackingObjectsIsCompletedOnlyWhenTheUserMayWriteIt)
{
    const std::string layout = "; my notes\r\n[Pelk_VIEW]\r\noutput=named.pdf\r\nobject=1 1 20 20 100 50\r\n"
                               "[Other_KEY]\r\nobject=7 1 1 2 3 4\r\n";
    write("PelkView.lay", layout);
    std::filesystem::permissions("PelkView.lay", std::filesystem::perms::owner_read);
    accept();
    printOnce();
    EXPECT_EQ(printed_, 1);
    EXPECT_EQ(read("PelkView.lay"), layout) << "a read-only layout is never rewritten";
    EXPECT_NEAR(recorder_.pictureSize.width(), 100 * 300 / 25.4, 1.0);

    std::filesystem::permissions("PelkView.lay", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    accept();
    printOnce();
    const std::string completed = read("PelkView.lay");
    const std::string before = "; my notes\r\n[Pelk_VIEW]\r\noutput=named.pdf\r\nobject=1 1 20 20 100 50\r\n";
    const std::string after = "[Other_KEY]\r\nobject=7 1 1 2 3 4\r\n";
    ASSERT_GT(completed.size(), layout.size());
    EXPECT_EQ(completed.substr(0, before.size() + 14), before + "object=2 1 20 ") << completed;
    EXPECT_NE(completed.find("object=5 1 170 "), std::string::npos);
    EXPECT_EQ(completed.substr(completed.size() - after.size()), after);
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(PrintLibraryTest, ALayoutNamesItsOwnOutputFile)
{
    accept();
    printOnce();
    std::string layout = read("PelkView.lay");
    layout.insert(layout.find("\r\n") + 2, "output=named.pdf\r\n");
    std::ofstream("PelkView.lay", std::ios::binary) << layout;
    accept();
    printOnce();
    ASSERT_EQ(dialog_->proposals().size(), 2u);
    EXPECT_EQ(dialog_->proposals()[1], QString::fromStdString((folder_ / "named.pdf").string()));
    EXPECT_EQ(read("named.pdf").substr(0, 4), "%PDF");
}

TEST_F(PrintLibraryTest, RepeatedLoadPrintUnloadCyclesInOneProcess)
{
    for (int cycle = 0; cycle < 3; ++cycle) {
        accept();
        recorder_.calls.clear();
        printOnce();
        EXPECT_EQ(printed_, 1) << "cycle " << cycle;
        EXPECT_EQ(textCalls(2).size(), 2u);
    }
}

TEST_F(PrintLibraryTest, ASectionLineIsReadAsMeantAndNeverAddedTwice)
{
    // A blank after the section line, a byte-order mark before it, lines
    // ended by CR alone, another case: each still places the picture.
    for (const std::string& layout :
         {std::string("[Pelk_VIEW] \r\nobject=1 1 20 20 100 50\r\n"),
          std::string("\xEF\xBB\xBF[Pelk_VIEW]\r\nobject=1 1 20 20 100 50\r\n"),
          std::string("[Pelk_VIEW]\robject=1 1 20 20 100 50\r"), std::string(" [pelk_view]\nobject=1 1 20 20 100 50")}) {
        write("PelkView.lay", layout);
        recorder_.messages.clear();
        accept();
        printOnce();
        EXPECT_TRUE(recorder_.messages.empty()) << layout;
        EXPECT_NEAR(recorder_.pictureSize.width(), 100 * 300 / 25.4, 1.0) << layout;
        const std::string after = read("PelkView.lay");
        EXPECT_EQ(after.find("VIEW]", after.find("VIEW]") + 1), std::string::npos) << after;
        EXPECT_EQ(after.find("iew]", after.find("iew]") + 1), std::string::npos) << after;
        EXPECT_NE(after.find("object=5 1 170"), std::string::npos) << after;
    }

    // What still does not parse is told, and the file is left as it is.
    const std::string broken = "[Pelk_VIEW\r\nobject=1 1 20 20 100 50\r\n";
    write("PelkView.lay", broken);
    recorder_.messages.clear();
    accept();
    printOnce();
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_NE(recorder_.messages[0].find("[Pelk_VIEW\nobject=1 1 20 20 100 50"), std::string::npos)
        << recorder_.messages[0];
    EXPECT_EQ(read("PelkView.lay"), broken);
}

TEST_F(PrintLibraryTest, TheMessageOfLinesNotUnderstoodShowsTenEscapedAndCountsTheRest)
{
    std::string layout = std::string("[Pelk_VIEW]\r\nbad\x01line") + '\0' + "after the NUL\r\n";
    for (int line = 0; line < 4999; ++line)
        layout += "bad line " + std::to_string(line) + "\r\n";
    write("PelkView.lay", layout);
    accept();
    printOnce();
    EXPECT_EQ(printed_, 1);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    const std::string& message = recorder_.messages[0];
    EXPECT_NE(message.find("bad\\x01line\\x00after the NUL\n"), std::string::npos) << message;
    EXPECT_NE(message.find("bad line 8\nand 4990 more"), std::string::npos) << message;
    EXPECT_EQ(message.find("bad line 9"), std::string::npos) << message;
}

// Each page gets the default layout made for it, and a layout stored on
// another page is fitted to the one chosen; every line written reads back.
TEST_F(PrintLibraryTest, SmallPagesAndBothOrientationsGetALayoutThatFitsAndReadsBack)
{
    for (const auto orientation : {QPageLayout::Landscape, QPageLayout::Portrait}) {
        std::filesystem::remove("PelkView.lay");
        for (int print = 0; print < 2; ++print) {
            recorder_.messages.clear();
            recorder_.pictureSize = {};
            acceptPage(QPageSize::A6, orientation);
            printOnce();
            EXPECT_EQ(printed_, 1);
            EXPECT_TRUE(recorder_.messages.empty()) << recorder_.messages.front();
            EXPECT_GT(recorder_.pictureSize.height(), 20 * 300 / 25.4) << orientation;
        }
    }

    // Stored on A4 portrait, printed on A4 landscape: shrunk, said once.
    std::filesystem::remove("PelkView.lay");
    acceptPage(QPageSize::A4, QPageLayout::Portrait);
    printOnce();
    const std::string portrait = read("PelkView.lay");
    EXPECT_NE(portrait.find("object=2 1 20 197 50 50\r\n"), std::string::npos) << portrait;
    recorder_.messages.clear();
    acceptPage(QPageSize::A4, QPageLayout::Landscape);
    printOnce();
    EXPECT_EQ(printed_, 1);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_NE(recorder_.messages[0].find("297 x 210 mm"), std::string::npos) << recorder_.messages[0];
    // (20, 20, 190, 197) times 210 / 247, the bottom of the texts.
    EXPECT_NEAR(recorder_.pictureSize.height(), 150 * 300 / 25.4, 1.0);
    EXPECT_EQ(read("PelkView.lay"), portrait) << "the user's layout is kept";
}

// The page goes whole or not at all: a disk that fills up while the PDF is
// written keeps the old file, and the reason is told.
TEST_F(PrintLibraryTest, AFullDiskKeepsTheOldPdfAndSaysWhy)
{
    std::filesystem::create_directory("full");
    if (::mount("tmpfs", "full", "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no small tmpfs can be mounted here: " << std::strerror(errno);
    struct Unmount {
        ~Unmount() { ::umount2("full", MNT_DETACH); }
    } unmount;
    write("full/PelkView.pdf", "old");
    {
        std::ofstream filler("full/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }
    accept(QStringLiteral("full/PelkView.pdf"));
    printOnce();
    EXPECT_EQ(printed_, 0);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_NE(recorder_.messages[0].find((folder_ / "full/PelkView.pdf").string()), std::string::npos);
    EXPECT_NE(recorder_.messages[0].find("No space left on device"), std::string::npos) << recorder_.messages[0];
    EXPECT_EQ(read("full/PelkView.pdf"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("full"), {}), 2) << "nothing left beside it";
}

TEST_F(PrintLibraryTest, AWriteCutShortKeepsTheOldPdfAndSaysWhy)
{
    write("PelkView.pdf", "old");
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{1024, before.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    accept();
    printOnce();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(printed_, 0);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_NE(recorder_.messages[0].find(std::strerror(EFBIG)), std::string::npos) << recorder_.messages[0];
    EXPECT_EQ(read("PelkView.pdf"), "old");
}

TEST_F(PrintLibraryTest, APrinterThatRejectsTheJobIsToldByNameAndThePrintFails)
{
    if (!std::filesystem::exists("/usr/sbin/cupsd"))
        GTEST_SKIP() << "cupsd is not installed (Debian's cups-daemon): no queue to reject the job";
    PrivateCupsServer server(folder_ / "cups");
    if (!server.problem.empty())
        GTEST_SKIP() << server.problem;
    rm::ScriptedPrintDialog::Answer onPrinter;
    onPrinter.printer = QStringLiteral("Refuser");
    dialog_->queueAnswer(onPrinter);
    printOnce();
    EXPECT_EQ(printed_, 0);
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_NE(recorder_.messages[0].find("\"Refuser\""), std::string::npos) << recorder_.messages[0];
    EXPECT_NE(recorder_.messages[0].find("not accepting jobs"), std::string::npos) << recorder_.messages[0];
    EXPECT_FALSE(std::filesystem::exists("PelkView.lay")) << "a failed print stores no layout";
}

} // namespace

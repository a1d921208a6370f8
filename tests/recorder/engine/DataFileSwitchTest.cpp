#include "MessageBoxes.h"
#include "TempFolder.h"
#include "VirtualScopeVornRM.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

// The ThreadSanitizer build runs this file too, under its own suite name.
#ifdef RM_TSAN_BUILD
#define DATA_FILE_SWITCH DataFileSwitchTsan
#else
#define DATA_FILE_SWITCH DataFileSwitch
#endif

namespace {

constexpr size_t kBlockWords = 64;
constexpr size_t kProbeBlockWords = 4;

// What the processing thread appends at once: a probe block, so that every
// file begins as a recording does, then samples of the number n.
std::array<uint16_t, kBlockWords> blockOf(uint16_t n) {
    std::array<uint16_t, kBlockWords> block{};
    block.fill(n);
    std::copy_n(std::array<uint16_t, kProbeBlockWords>{0, 4, 4, 1}.begin(), kProbeBlockWords, block.begin());
    return block;
}

// The number of the block at word b.
uint16_t numberAt(const std::vector<uint16_t>& words, size_t b) { return words[b + kProbeBlockWords]; }

// Every file must hold whole blocks of one number each, numbers rising.
void expectWholeRisingBlocks(const std::string& path) {
    const auto words = TempFolder::readWords(path);
    ASSERT_EQ(std::filesystem::file_size(path) % (2 * kBlockWords), 0u) << path;
    int previous = -1;
    for (size_t b = 0; b < words.size(); b += kBlockWords) {
        const auto expected = blockOf(numberAt(words, b));
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), words.begin() + static_cast<std::ptrdiff_t>(b)))
            << path << " block at word " << b;
        ASSERT_GT(static_cast<int>(numberAt(words, b)), previous) << path;
        previous = numberAt(words, b);
    }
}

// The processing thread appends while the user-interface thread renames,
// clears and switches saving: no append may reach a closed or replaced file,
// none may be torn, and the size counter must match the open file.
TEST(DATA_FILE_SWITCH, AppendsNeverOverlapReplacingTheStream) {
    rm::ScriptedMessages messages;
    TempFolder folder;
    const std::array<std::string, 2> names = {folder.file("one.rmd"), folder.file("two.rmd")};
    TVirtualScopeVornRM scope;
    scope.Startup();
    scope.SetFileName(names[0]);
    scope.SetSavingActivated(true);

    std::atomic<bool> stop{false};
    std::atomic<int> appends{0};
    std::atomic<bool> finished{false};
    std::thread processing([&] {
        for (uint16_t n = 0x100; !stop && n < 0xFF00; ++n) {
            const auto block = blockOf(n);
            scope.AppendToFile(block.data(), block.size());
            ++appends;
        }
        finished = true;
    });
    for (int i = 0; i < 300; ++i) {
        switch (i % 4) {
        case 0: scope.SetFileName(names[(i / 4) % 2]); break;
        case 1: scope.ClearFile(); break;
        case 2: scope.SetSavingActivated(false); break;
        case 3: scope.SetSavingActivated(true); break;
        }
        for (const int seen = appends; appends < seen + 3 && !finished;)
            std::this_thread::yield();
    }
    stop = true;
    processing.join();

    EXPECT_TRUE(messages.texts().empty());
    for (const auto& name : names)
        expectWholeRisingBlocks(name);
    EXPECT_EQ(scope.FileSize(), static_cast<int64_t>(std::filesystem::file_size(scope.GetFileName())));
    scope.Shutdown();
}

// Setting the name again and again, as the settings load and the file panel
// do, and switching to another file between measurements: every block the
// processing thread appends lands in exactly one of the files, whole.
TEST(DATA_FILE_SWITCH, RenamingWhileAppendingLosesAndDuplicatesNothing) {
    rm::ScriptedMessages messages;
    TempFolder folder;
    const std::array<std::string, 2> names = {folder.file("one.rmd"), folder.file("two.rmd")};
    TVirtualScopeVornRM scope;
    scope.Startup();
    scope.SetFileName(names[0]);
    scope.SetSavingActivated(true);

    std::atomic<bool> stop{false};
    std::atomic<int> appends{0};
    std::thread processing([&] {
        for (uint16_t n = 0x100; !stop && n < 0xFF00; ++n) {
            const auto block = blockOf(n);
            scope.AppendToFile(block.data(), block.size());
            ++appends;
        }
    });
    int current = 0;
    for (int i = 0; i < 2000; ++i) {
        if (i % 250 == 249)
            current = 1 - current;
        scope.SetFileName(names[current]);
        if (i % 8 == 0)
            for (const int seen = appends; appends == seen && appends < 0xFE00;)
                std::this_thread::yield();
    }
    stop = true;
    processing.join();

    EXPECT_TRUE(messages.texts().empty());
    std::vector<uint16_t> numbers;
    for (const auto& name : names) {
        expectWholeRisingBlocks(name);
        const auto words = TempFolder::readWords(name);
        for (size_t b = 0; b < words.size(); b += kBlockWords)
            numbers.push_back(numberAt(words, b));
    }
    std::sort(numbers.begin(), numbers.end());
    ASSERT_EQ(numbers.size(), static_cast<size_t>(appends.load()));
    for (size_t i = 0; i < numbers.size(); ++i)
        ASSERT_EQ(numbers[i], 0x100 + i) << "block " << i;
    EXPECT_EQ(scope.FileSize(), static_cast<int64_t>(std::filesystem::file_size(names[current])));
    scope.Shutdown();
}

// Names change while the processing thread writes measurements and the
// measurement switch flips at random (as a stop by the device or a defined
// length does, apart from the stream): every measurement lands whole in one
// file, from its start block to its stop block, and every word exactly once.
TEST(DATA_FILE_SWITCH, MeasurementsStayWholeWhileNamesChange) {
    rm::ScriptedMessages messages;
    TempFolder folder;
    const std::array<std::string, 3> names = {folder.file("one.rmd"), folder.file("two.rmd"),
                                              folder.file("three.rmd")};
    TVirtualScopeVornRM scope;
    scope.Startup();
    scope.SetFileName(names[0]);
    scope.SetSavingActivated(true);

    // Measurement m: its start block, m % 3 samples, m % 5 samples, its stop
    // block and a setting block; after an odd m the next start block comes in
    // the same run of words.
    constexpr int kMeasurements = 400;
    const auto sample = [](int m) { return static_cast<uint16_t>(0x1000 + m); };
    std::atomic<int> appends{0};
    std::thread processing([&] {
        std::vector<uint16_t> words;
        for (int m = 1; m <= kMeasurements; ++m) {
            words.clear();
            if (m % 2)
                words.insert(words.end(), {0, 4, 1, 1});
            words.insert(words.end(), m % 3, sample(m));
            scope.AppendToFile(words.data(), words.size());
            words.assign(m % 5, sample(m));
            words.insert(words.end(), {0, 4, 1, 0, 0, 4, 4, 1});
            if (m % 2 && m < kMeasurements)
                words.insert(words.end(), {0, 4, 1, 1});
            scope.AppendToFile(words.data(), words.size());
            ++appends;
        }
    });
    for (int i = 0; appends < kMeasurements; ++i) {
        scope.SetMeasurementStarted(i % 3 == 0);
        scope.SetFileName(names[i % names.size()]);
        std::this_thread::yield();
    }
    processing.join();
    scope.SetSavingActivated(false);

    EXPECT_TRUE(messages.texts().empty());
    size_t totalWords = 0;
    std::vector<int> samplesOf(kMeasurements + 1, 0);
    for (const auto& name : names) {
        const auto words = TempFolder::readWords(name);
        totalWords += words.size();
        bool inside = false;
        uint16_t measurement = 0;  // the sample of the measurement being read, once seen
        for (size_t i = 0; i < words.size();) {
            if (words[i] != 0) {
                ASSERT_TRUE(inside) << name << ": a sample outside a measurement at word " << i;
                ASSERT_TRUE(measurement == 0 || words[i] == measurement) << name << " word " << i;
                measurement = words[i++];
                ++samplesOf[measurement - 0x1000];
                continue;
            }
            ASSERT_LE(i + 4, words.size()) << name;
            if (words[i + 2] == 1) {
                ASSERT_NE(inside, words[i + 3] == 1) << name << ": start and stop out of pairs at word " << i;
                inside = words[i + 3] == 1;
                measurement = 0;
            }
            i += 4;
        }
        ASSERT_FALSE(inside) << name << " ends inside a measurement";
    }
    // Every start, sample, stop and setting block, each once.
    size_t expectedWords = 0;
    for (int m = 1; m <= kMeasurements; ++m) {
        EXPECT_EQ(samplesOf[m], m % 3 + m % 5) << "measurement " << m;
        expectedWords += 12 + m % 3 + m % 5;
    }
    EXPECT_EQ(totalWords, expectedWords);
}

} // namespace

#pragma once

#include "IndexBuilder.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "PreviewEngine.h"
#include "ProgressDisplay.h"
#include "RollModeStream.h"
#include "ViewerTestFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace rm::viewer::test {

// The words of a stream written as a data file, opened and indexed, with a
// started engine and the main buffer that reads it.
class IndexedTestFile {
public:
    explicit IndexedTestFile(RollModeStream& stream) : samples(stream.SampleWords()) {
        engine.Startup();
        writeWords(name, stream.Words());
        EXPECT_EQ(file.OpenFile(name), kOpenOk);
        TIndexContent content;
        ProgressGauge gauge(nullptr);
        EXPECT_TRUE(BuildIndex(file, content, gauge, [] { return false; }));
        index.SaveIndex(dir.file("a.ind"), content, file);
        engine.FileRealSamplesCount = index.TotalSamples();
        words = buffer.Memory();
    }
    ~IndexedTestFile() { engine.Shutdown(); }

    TempDir dir;
    const std::string name = dir.file("a.rmd");
    TPreviewEnginePelkRM engine;
    TMainBufferComponentVornPrv buffer{engine};
    TLargeFileWrapper file;
    TIndexFileWrapperVornRMPrv index{engine};
    const std::vector<uint16_t> samples;
    std::shared_ptr<uint16_t[]> words;
};

} // namespace rm::viewer::test

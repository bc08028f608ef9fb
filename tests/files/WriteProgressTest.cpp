// The writers tell how far a picture has come, row band by row band, to whatever shows the
// progress; without a progress indication the steps go nowhere.
#include "support/WriterFixtures.h"
#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"
#include "platform/Busy.h"

namespace {

using namespace writer_test;

class RecordingProgress : public platform::BusyService {
public:
    RecordingProgress() { platform::SetBusyService(this); }
    ~RecordingProgress() override { platform::SetBusyService(nullptr); }
    void BeginBusy() override {}
    void EndBusy() override {}
    void BeginProgress(const std::string& text) override { texts.push_back(text); }
    void StepProgress(long long done, long long total) override { steps.push_back({done, total}); }
    void EndProgress() override { ++ended; }
    std::vector<std::string> texts;
    std::vector<std::pair<long long, long long>> steps;
    int ended = 0;
};

void ExpectSteadyToTheEnd(const std::vector<std::pair<long long, long long>>& steps, long long total,
                          const char* what) {
    ASSERT_FALSE(steps.empty()) << what;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].second, total) << what;
        if (i > 0) EXPECT_GE(steps[i].first, steps[i - 1].first) << what;
    }
    EXPECT_GE(steps.back().first, total - 1) << what;
}

TEST(WriteProgress, EveryWriterStepsThroughItsRows) {
    ScratchFolder folder;
    const std::unique_ptr<PixelBuffer> picture = Pattern(40, 600);
    RecordingProgress progress;
    const struct {
        const char* name;
        int (*write)(const PixelBuffer*, const std::string&);
    } writers[] = {{"a.bmp", WriteBmp}, {"a.png", WritePng}, {"a.jpg", WriteJpeg}};
    for (const auto& writer : writers) {
        progress.steps.clear();
        {
            const platform::ProgressIndication indication(std::string("Saving ") + writer.name);
            ASSERT_EQ(writer.write(picture.get(), folder / writer.name), 1) << writer.name;
        }
        ExpectSteadyToTheEnd(progress.steps, 600, writer.name);
    }
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"Saving a.bmp", "Saving a.png", "Saving a.jpg"}));
    EXPECT_EQ(progress.ended, 3);
    // Outside an indication nobody hears of the rows; a nested one shows only the outer.
    progress.steps.clear();
    ASSERT_EQ(WritePng(picture.get(), folder / "b.png"), 1);
    EXPECT_TRUE(progress.steps.empty());
    {
        const platform::ProgressIndication outer("outer");
        const platform::ProgressIndication inner("inner");
    }
    EXPECT_EQ(progress.texts.back(), "outer");
    EXPECT_EQ(progress.ended, 4);
}

}  // namespace

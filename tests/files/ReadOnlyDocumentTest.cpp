// The writers only read the document: with its pixel pages made read-only, any write into
// them (such as exchanging the colour bytes in place) would end the test program.
#include <sys/mman.h>
#include <unistd.h>

#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"
#include "files/WebpWriter.h"
#include "support/WriterFixtures.h"

using namespace writer_test;

namespace {

// Makes the whole pages inside the buffer read-only while alive.
class ReadOnlyPages {
public:
    explicit ReadOnlyPages(PixelBuffer& image) {
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        const auto begin = reinterpret_cast<std::uintptr_t>(image.Bits());
        const std::uintptr_t first = (begin + page - 1) / page * page;
        const std::uintptr_t last = (begin + image.ByteSize()) / page * page;
        if (last > first) {
            start_ = reinterpret_cast<void*>(first);
            length_ = last - first;
            protected_ = mprotect(start_, length_, PROT_READ) == 0;
        }
    }
    ~ReadOnlyPages() {
        if (protected_) mprotect(start_, length_, PROT_READ | PROT_WRITE);
    }
    bool Protected() const { return protected_; }
    std::size_t Bytes() const { return length_; }

private:
    void* start_ = nullptr;
    std::size_t length_ = 0;
    bool protected_ = false;
};

using Writer = int (*)(const PixelBuffer*, const std::string&);

void WriteFromReadOnlyPixels(Writer write, const std::string& ending) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Noise(300, 200);  // far larger than the limit below in every form
    const std::vector<std::uint8_t> before = BytesOf(*image);
    {
        ReadOnlyPages pages(*image);
        ASSERT_TRUE(pages.Protected());
        // Most of the picture: a writer that touched every pixel would touch these pages.
        ASSERT_GT(pages.Bytes(), image->ByteSize() * 9 / 10);
        EXPECT_EQ(write(image.get(), folder / ("ok" + ending)), 1);
        {
            FileSizeLimit limit(4096);
            EXPECT_EQ(write(image.get(), folder / ("cut" + ending)), 0);
        }
        EXPECT_EQ(write(image.get(), "/dev/full"), 0);
    }
    EXPECT_EQ(BytesOf(*image), before);
    EXPECT_EQ(boxes.shown.size(), 2u);
}

}  // namespace

TEST(Writers, ReadTheDocumentWithoutWritingToItWhetherTheyFinishOrFail) {
    WriteFromReadOnlyPixels(WriteJpeg, ".jpg");
    WriteFromReadOnlyPixels(WritePng, ".png");
    WriteFromReadOnlyPixels(WriteBmp, ".bmp");
    WriteFromReadOnlyPixels([](const PixelBuffer* image, const std::string& path) {
        return WriteWebp(image, path, true, nullptr);
    }, ".webp");
}

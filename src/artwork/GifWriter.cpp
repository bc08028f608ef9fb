#include "GifWriter.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr int kLargestCode = 4095;
constexpr int kLargestCodeSize = 12;

// Codes go out least significant bit first, packed into sub-blocks of up to 255 bytes.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(int code, int size) {
        bits_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += size;
        while (count_ >= 8) {
            Byte(static_cast<std::uint8_t>(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    void Finish() {
        if (count_ > 0) Byte(static_cast<std::uint8_t>(bits_ & 0xFF));
        FlushBlock();
        out_.push_back(0);
    }

private:
    void Byte(std::uint8_t b) {
        block_.push_back(b);
        if (block_.size() == 255) FlushBlock();
    }
    void FlushBlock() {
        if (block_.empty()) return;
        out_.push_back(static_cast<std::uint8_t>(block_.size()));
        out_.insert(out_.end(), block_.begin(), block_.end());
        block_.clear();
    }
    std::vector<std::uint8_t>& out_;
    std::vector<std::uint8_t> block_;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

// LZW as GIF wants it: a clear code first, code sizes growing as the table fills (no
// early change), and a fresh table once code 4095 has been given out.
void Compress(const std::vector<std::uint8_t>& indices, int minimumCodeSize, std::vector<std::uint8_t>& out) {
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    out.push_back(static_cast<std::uint8_t>(minimumCodeSize));
    CodeWriter writer(out);
    // Entry (prefix code, next index) -> code, as one flat table: 4096 prefixes x 256 indices.
    std::vector<std::int16_t> table(static_cast<std::size_t>(kLargestCode + 1) * 256, -1);
    int next = end + 1;
    int codeSize = minimumCodeSize + 1;
    writer.Put(clear, codeSize);
    int prefix = indices.empty() ? -1 : indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const int k = indices[i];
        std::int16_t& entry = table[static_cast<std::size_t>(prefix) * 256 + k];
        if (entry >= 0) {
            prefix = entry;
            continue;
        }
        writer.Put(prefix, codeSize);
        entry = static_cast<std::int16_t>(next++);
        if (next > (1 << codeSize) && codeSize < kLargestCodeSize) ++codeSize;
        if (next > kLargestCode) {
            writer.Put(clear, codeSize);
            std::fill(table.begin(), table.end(), -1);
            next = end + 1;
            codeSize = minimumCodeSize + 1;
        }
        prefix = k;
    }
    if (prefix >= 0) writer.Put(prefix, codeSize);
    writer.Put(end, codeSize);
    writer.Finish();
}

void PutWord(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

bool WriteGif(const PixelBuffer& image, const std::string& path) {
    const int width = image.Width();
    const int height = image.Height();
    if (image.BitsPerPixel() != 24 || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return false;

    // The colour table in order of first appearance, top row first.
    std::map<std::uint32_t, int> slots;
    std::vector<std::uint32_t> colours;
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = image.Row(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x];
            auto [slot, added] = slots.emplace(rgb, static_cast<int>(colours.size()));
            if (added) {
                if (colours.size() == 256) return false;
                colours.push_back(rgb);
            }
            indices.push_back(static_cast<std::uint8_t>(slot->second));
        }
    }
    int tableBits = 1;
    while ((1 << tableBits) < static_cast<int>(colours.size())) ++tableBits;

    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(out, width);
    PutWord(out, height);
    out.push_back(static_cast<std::uint8_t>(0x80 | ((tableBits - 1) << 4) | (tableBits - 1)));
    out.push_back(0);  // background colour index
    out.push_back(0);  // square pixels
    for (int i = 0; i < (1 << tableBits); ++i) {
        const std::uint32_t rgb = i < static_cast<int>(colours.size()) ? colours[i] : 0;
        out.push_back(static_cast<std::uint8_t>(rgb >> 16));
        out.push_back(static_cast<std::uint8_t>(rgb >> 8));
        out.push_back(static_cast<std::uint8_t>(rgb));
    }
    out.push_back(0x2C);
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, width);
    PutWord(out, height);
    out.push_back(0);  // no local table, not interlaced
    Compress(indices, tableBits < 2 ? 2 : tableBits, out);
    out.push_back(0x3B);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

// What the writer tests share: pictures with known bytes, a scratch folder, a recorder for
// the message boxes, and a file size limit that makes writes fail half-way.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "image/PixelBuffer.h"
#include "support/Messages.h"

namespace writer_test {

// A picture whose pixel (x, y) from the top is blue 3x + 7y, green 11x + y + 40, red
// 5x + 13y + 90 (each & 0xFF); the row padding holds 0xAB so that copies of it show.
inline std::unique_ptr<PixelBuffer> Pattern(int width, int height) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> image = CreatePixelBuffer(width, height, 24, header, nullptr);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image->Row(y);
        for (int i = 0; i < image->Stride(); ++i) row[i] = 0xAB;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(3 * x + 7 * y);
            row[3 * x + 1] = static_cast<std::uint8_t>(11 * x + y + 40);
            row[3 * x + 2] = static_cast<std::uint8_t>(5 * x + 13 * y + 90);
        }
    }
    return image;
}

// A smooth picture, for lossy files: blue 4x, green 5y, red 128 + 2x - y.
inline std::unique_ptr<PixelBuffer> Smooth(int width, int height) {
    auto image = Pattern(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = image->Row(y) + 3 * x;
            pixel[0] = static_cast<std::uint8_t>(std::min(255, 4 * x));
            pixel[1] = static_cast<std::uint8_t>(std::min(255, 5 * y));
            pixel[2] = static_cast<std::uint8_t>(std::clamp(128 + 2 * x - y, 0, 255));
        }
    }
    return image;
}

// Bytes from a fixed pseudo-random sequence: pictures that do not compress.
inline std::unique_ptr<PixelBuffer> Noise(int width, int height) {
    auto image = Pattern(width, height);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < image->ByteSize(); ++i) {
        state = state * 1103515245u + 12345u;
        image->Bits()[i] = static_cast<std::uint8_t>(state >> 16);
    }
    return image;
}

inline std::unique_ptr<PixelBuffer> Plain(int width, int height, std::uint8_t blue, std::uint8_t green,
                                          std::uint8_t red) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> image = CreatePixelBuffer(width, height, 24, header, nullptr);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image->Row(y);
        for (int i = 0; i < image->Stride(); ++i) row[i] = 0;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = blue;
            row[3 * x + 1] = green;
            row[3 * x + 2] = red;
        }
    }
    return image;
}

inline std::vector<std::uint8_t> BytesOf(const PixelBuffer& image) {
    return std::vector<std::uint8_t>(image.Bits(), image.Bits() + image.ByteSize());
}

inline std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// A fresh folder, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pw-writer-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
        return names;
    }

private:
    std::string path_;
};

// While alive, no file may grow past limit bytes: writes beyond fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit lower = saved_;
        lower.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    sighandler_t oldHandler_ = SIG_DFL;
};

}  // namespace writer_test

#include "files/BmpWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "files/PixelOrder.h"
#include "files/SafeWrite.h"
#include "platform/Busy.h"

namespace {

constexpr std::uint32_t kHeadersSize = 54;

void Put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

// The 14-byte file header and the 40-byte information header.
void FillHeaders(std::uint8_t (&headers)[kHeadersSize], int width, int height, std::uint32_t stride) {
    const std::uint32_t imageSize = static_cast<std::uint32_t>(height) * stride;
    std::memset(headers, 0, sizeof headers);
    headers[0] = 'B';
    headers[1] = 'M';
    Put32(headers + 2, imageSize + kHeadersSize);
    Put32(headers + 10, kHeadersSize);
    Put32(headers + 14, 40);
    Put32(headers + 18, static_cast<std::uint32_t>(width));
    Put32(headers + 22, static_cast<std::uint32_t>(height));
    Put16(headers + 26, 1);
    Put16(headers + 28, 24);
    Put32(headers + 30, 0);
    Put32(headers + 34, imageSize);
    Put32(headers + 38, static_cast<std::uint32_t>(kPixelsPerMetre));
    Put32(headers + 42, static_cast<std::uint32_t>(kPixelsPerMetre));
}

}  // namespace

int WriteBmp(const PixelBuffer* image, const std::string& path) {
    if (!CheckWritable(image, path)) return 0;
    SafeFile out;
    if (!OpenSafeFile(out, path)) {
        ReportCantOpen(path, WriteErrorText(out.error));
        return 0;
    }
    const int stride = raster::StrideFor(image->Width(), 24);
    std::uint8_t headers[kHeadersSize];
    FillHeaders(headers, image->Width(), image->Height(), static_cast<std::uint32_t>(stride));

    errno = 0;
    bool written = std::fwrite(headers, 1, sizeof headers, out.file) == sizeof headers;
    // The rows in bands, so that the window can show how far a large picture has come.
    constexpr int kBandRows = 256;
    for (int row = 0; written && row < image->Height(); row += kBandRows) {
        const int rows = std::min(kBandRows, image->Height() - row);
        const std::size_t bytes = static_cast<std::size_t>(stride) * rows;
        written = std::fwrite(image->Bits() + static_cast<std::size_t>(stride) * row, 1, bytes, out.file) == bytes;
        // Not after a failure: showing the progress could change errno before it is read.
        if (written) platform::StepProgress(row + rows, image->Height());
    }
    if (!written) {
        const std::string reason = WriteErrorText(errno);
        AbandonSafeFile(out);
        ReportCantWrite(path, reason);
        return 0;
    }
    std::string reason;
    if (!CommitSafeFile(out, &reason)) {
        ReportCantWrite(path, reason);
        return 0;
    }
    return 1;
}

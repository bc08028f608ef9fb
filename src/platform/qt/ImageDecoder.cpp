// Decoding on Qt's image reader (QtGui only: QImage needs neither an application object
// nor a display), after our own readers for the bitmap files it does not read right.
#include "platform/ImageDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QSize>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <new>
#include <optional>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/BitmapFiles.h"

namespace platform {

namespace {

std::string ResourceFolderOverride;

// Rows converted at a time from an image of an unusual format, so that the conversion
// never needs a second whole picture.
constexpr int kConversionRows = 64;

// Qt refuses to allocate more than this many megabytes unless told otherwise.
int AllocationLimitFor(std::uint64_t bytes) {
    const std::uint64_t megabytes = bytes / (1024 * 1024) + 2;
    return static_cast<int>(std::min<std::uint64_t>(megabytes, 0x7FFFFFFF));
}

// Qt's allocation limit is one value for the whole process: raised for one picture, it
// goes back to what it was, so that every other image Qt reads (one pasted from another
// program, say) keeps the usual limit rather than the last picture's size.
class ReadAllocationLimit {
public:
    explicit ReadAllocationLimit(int megabytes) : previous_(QImageReader::allocationLimit()) {
        QImageReader::setAllocationLimit(megabytes);
    }
    ~ReadAllocationLimit() { QImageReader::setAllocationLimit(previous_); }
    ReadAllocationLimit(const ReadAllocationLimit&) = delete;
    ReadAllocationLimit& operator=(const ReadAllocationLimit&) = delete;

private:
    int previous_;
};

// Lays one colour channel of a partly transparent pixel over the background's.
std::uint8_t Over(int colour, int background, int alpha) {
    return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

// Copies rows first .. first + count - 1 of a 32-bit image (RGB32 or ARGB32, not
// premultiplied) into the result, composited over the background colour; *transparent is
// set when a pixel was not opaque.
void CopyRows(const QImage& rows, int first, raster::Bitmap& image, bool composite, raster::Colour under,
              bool* transparent) {
    const int background[3] = {raster::BlueOf(under), raster::GreenOf(under), raster::RedOf(under)};
    const int width = image.Width();
    for (int r = 0; r < rows.height(); ++r) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rows.constScanLine(r));
        std::uint8_t* out = image.Row(first + r);
        for (int x = 0; x < width; ++x) {
            const QRgb p = in[x];
            const int alpha = composite ? qAlpha(p) : 255;
            if (alpha == 255) {
                out[3 * x] = static_cast<std::uint8_t>(qBlue(p));
                out[3 * x + 1] = static_cast<std::uint8_t>(qGreen(p));
                out[3 * x + 2] = static_cast<std::uint8_t>(qRed(p));
            } else {
                *transparent = true;
                out[3 * x] = Over(qBlue(p), background[0], alpha);
                out[3 * x + 1] = Over(qGreen(p), background[1], alpha);
                out[3 * x + 2] = Over(qRed(p), background[2], alpha);
            }
        }
    }
}

// Fills the result from a decoded picture of any format; false when memory runs out.
bool CopyDecoded(const QImage& decoded, raster::Bitmap& image, raster::Colour background, bool* transparent) {
    const bool composite = decoded.hasAlphaChannel();
    const QImage::Format wanted = composite ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (decoded.format() == wanted) {
        CopyRows(decoded, 0, image, composite, background, transparent);
        return true;
    }
    for (int first = 0; first < decoded.height(); first += kConversionRows) {
        const int count = std::min(kConversionRows, decoded.height() - first);
        const QImage rows = decoded.copy(0, first, decoded.width(), count).convertToFormat(wanted);
        if (rows.isNull()) return false;
        CopyRows(rows, first, image, composite, background, transparent);
    }
    return true;
}

std::uint64_t DecodingBytes(const QSize& size) {
    // Qt holds the picture at up to 8 bytes a pixel (16-bit channels) while it decodes.
    return static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) * 8;
}

DecodedImage DecodeWithQt(const std::uint8_t* data, std::size_t size, const std::string& name,
                          raster::Colour background) {
    if (size > static_cast<std::size_t>(std::numeric_limits<qsizetype>::max())) {
        return DecodeFailure(DecodeStatus::OutOfMemory, name);
    }
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device;
    device.setData(bytes);
    if (!device.open(QIODevice::ReadOnly)) return DecodeFailure(DecodeStatus::NotImage, name);

    // The content decides, so a misnamed file still opens.
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    if (!reader.canRead()) return DecodeFailure(DecodeStatus::NotImage, name);

    // The announced size is checked, and the result made, before Qt allocates anything.
    const QSize announced = reader.size();
    DecodedImage result;
    std::optional<ReadAllocationLimit> limit;
    if (announced.isValid()) {
        if (announced.width() <= 0 || announced.height() <= 0) return DecodeFailure(DecodeStatus::NotImage, name);
        result = MakeDecodeTarget(announced.width(), announced.height(), DecodingBytes(announced), name);
        if (!result.image) return result;
        limit.emplace(AllocationLimitFor(DecodingBytes(announced)));
    }

    const QImage decoded = reader.read();
    limit.reset();
    if (decoded.isNull()) {
        // A sound header with no picture behind it is a damaged file, unless Qt could not
        // get the memory for the picture the header announced.
        result.image.reset();
        if (announced.isValid() && QImage(announced, QImage::Format_ARGB32).isNull()) {
            return DecodeFailure(DecodeStatus::OutOfMemory, name);
        }
        return DecodeFailure(DecodeStatus::NotImage, name);
    }
    // The orientation of a photo may have turned the picture.
    if (!result.image || result.image->Width() != decoded.width() || result.image->Height() != decoded.height()) {
        result.image.reset();
        result = MakeDecodeTarget(decoded.width(), decoded.height(), 0, name);
        if (!result.image) return result;
    }
    if (!CopyDecoded(decoded, *result.image, background, &result.transparent)) return DecodeFailure(DecodeStatus::OutOfMemory, name);
    return result;
}

std::string ProgramDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

}  // namespace

DecodedImage DecodeImageData(const std::uint8_t* data, std::size_t size, const std::string& name,
                             raster::Colour background) {
    if (!data || size == 0) return DecodeFailure(DecodeStatus::NotImage, name);
    if (LooksLikeTwoBppBitmap(data, size)) return DecodeTwoBppBitmap(data, size, name);
    if (LooksLikeSixteenBitBitmap(data, size)) return DecodeSixteenBitBitmap(data, size, name);
    if (BitmapPixelsCutShort(data, size)) return DecodeFailure(DecodeStatus::NotImage, name);
    return DecodeWithQt(data, size, name, background);
}

DecodedImage DecodeImageFile(const std::string& path, raster::Colour background) {
    std::vector<std::uint8_t> bytes;
    DecodedImage read = ReadImageFileBytes(path, bytes);
    if (read.status != DecodeStatus::Ok) return read;
    return DecodeImageData(bytes.data(), bytes.size(), path, background);
}

std::string ResourceFolder() {
    if (!ResourceFolderOverride.empty()) return ResourceFolderOverride;
    const std::string program = ProgramDirectory();
    std::vector<std::string> candidates;
    if (!program.empty()) {
        candidates.push_back(program + "/data/resources");
        candidates.push_back(program + "/../data/resources");
        candidates.push_back(program + "/../share/pixelwright/data/resources");
    }
    for (const std::string& folder : candidates) {
        std::error_code error;
        if (std::filesystem::is_directory(folder, error)) {
            return std::filesystem::weakly_canonical(folder, error).string();
        }
    }
    return std::string(PW_DATA_DIR) + "/resources";
}

void SetResourceFolder(const std::string& folder) { ResourceFolderOverride = folder; }

void ResetDecoding() {
    ResourceFolderOverride.clear();
    DecodePixelLimit = kFullDecodePixelLimit;
}

DecodedImage DecodeImageResource(int id, raster::Colour background) {
    const std::string folder = ResourceFolder();
    for (const char* ending : {".gif", ".png", ".jpg", ".jpeg", ".bmp"}) {
        const std::string path = folder + "/" + std::to_string(id) + ending;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return DecodeImageFile(path, background);
    }
    return DecodeFailure(DecodeStatus::CannotOpen, folder + "/" + std::to_string(id) + ".gif");
}

}  // namespace platform

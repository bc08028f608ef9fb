#include "files/Metadata.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint16_t kTagImageWidth = 0x0100;
constexpr std::uint16_t kTagImageHeight = 0x0101;
constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTagExifDirectory = 0x8769;
constexpr std::uint16_t kTagGpsDirectory = 0x8825;
constexpr std::uint16_t kTagInteropDirectory = 0xA005;
constexpr std::uint16_t kTagPixelWidth = 0xA002;
constexpr std::uint16_t kTagPixelHeight = 0xA003;
constexpr std::uint16_t kTagThumbnailOffset = 0x0201;
constexpr std::uint16_t kTagThumbnailLength = 0x0202;
constexpr std::uint16_t kTagStripOffsets = 0x0111;
constexpr std::uint16_t kTagStripLengths = 0x0117;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::size_t kEntrySize = 12;

// The bytes one value of each TIFF field type takes; 0 for an unknown type.
std::size_t TypeSize(std::uint32_t type) {
    static constexpr std::array<std::uint8_t, 14> kSizes = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < kSizes.size() ? kSizes[type] : 0;
}

// A TIFF structure read in place, in its own byte order, with every offset checked.
class Tiff {
public:
    explicit Tiff(std::vector<std::uint8_t>& bytes) : b_(bytes) {
        if (b_.size() < 8) return;
        motorola_ = b_[0] == 'M' && b_[1] == 'M';
        const bool intel = b_[0] == 'I' && b_[1] == 'I';
        valid_ = (motorola_ || intel) && Get16(2) == 42;
    }
    bool Valid() const { return valid_; }
    std::size_t Size() const { return b_.size(); }

    std::uint32_t Get16(std::size_t at) const {
        return motorola_ ? (b_[at] << 8) | b_[at + 1] : b_[at] | (b_[at + 1] << 8);
    }
    std::uint32_t Get32(std::size_t at) const {
        return motorola_ ? (Get16(at) << 16) | Get16(at + 2) : Get16(at) | (Get16(at + 2) << 16);
    }
    void Put16(std::size_t at, std::uint32_t v) {
        b_[at + (motorola_ ? 1 : 0)] = static_cast<std::uint8_t>(v);
        b_[at + (motorola_ ? 0 : 1)] = static_cast<std::uint8_t>(v >> 8);
    }
    void Put32(std::size_t at, std::uint32_t v) {
        Put16(at + (motorola_ ? 2 : 0), v & 0xFFFF);
        Put16(at + (motorola_ ? 0 : 2), v >> 16);
    }

    // True when a directory of entries fits at offset, with its next-directory link.
    bool DirectoryFits(std::uint32_t offset) const {
        if (offset < 8 || offset > b_.size() - 2) return false;
        return offset + 2 + static_cast<std::size_t>(Get16(offset)) * kEntrySize + 4 <= b_.size();
    }
    std::size_t EntryAt(std::uint32_t directory, std::uint32_t i) const { return directory + 2 + i * kEntrySize; }
    std::uint32_t Count(std::uint32_t directory) const { return Get16(directory); }
    std::size_t NextLinkAt(std::uint32_t directory) const { return EntryAt(directory, Count(directory)); }

    // Where an entry's value lies and how long it is; the value sits in the entry itself
    // when it fits in four bytes. Length 0 for a type this reader does not know.
    void ValueSpan(std::size_t entry, std::size_t& at, std::size_t& length) const {
        length = TypeSize(Get16(entry + 2)) * static_cast<std::size_t>(Get32(entry + 4));
        at = length <= 4 ? entry + 8 : Get32(entry + 8);
    }

    // A single number-valued entry set to value, as a LONG when a SHORT cannot hold it.
    void SetNumber(std::size_t entry, std::uint32_t value) {
        const std::uint32_t type = Get16(entry + 2);
        if ((type != kTypeShort && type != kTypeLong) || Get32(entry + 4) != 1) return;
        Put32(entry + 8, 0);
        if (type == kTypeShort && value <= 0xFFFF) {
            Put16(entry + 8, value);
        } else {
            Put16(entry + 2, kTypeLong);
            Put32(entry + 8, value);
        }
    }

    std::vector<std::uint8_t>& Bytes() { return b_; }

private:
    std::vector<std::uint8_t>& b_;
    bool motorola_ = false;
    bool valid_ = false;
};

// The end of the furthest byte a directory and the values it points to use, within the
// block (values reaching past it are not counted).
std::size_t DirectoryEnd(const Tiff& tiff, std::uint32_t directory) {
    std::size_t end = tiff.NextLinkAt(directory) + 4;
    for (std::uint32_t i = 0; i < tiff.Count(directory); ++i) {
        std::size_t at = 0;
        std::size_t length = 0;
        tiff.ValueSpan(tiff.EntryAt(directory, i), at, length);
        if (length > 4 && at <= tiff.Size() && length <= tiff.Size() - at) end = std::max(end, at + length);
    }
    return end;
}

// The directory an entry of the given tag points to in directory, or 0.
std::uint32_t SubDirectory(const Tiff& tiff, std::uint32_t directory, std::uint16_t tag) {
    for (std::uint32_t i = 0; i < tiff.Count(directory); ++i) {
        const std::size_t entry = tiff.EntryAt(directory, i);
        if (tiff.Get16(entry) != tag) continue;
        const std::uint32_t target = tiff.Get32(entry + 8);
        return tiff.DirectoryFits(target) ? target : 0;
    }
    return 0;
}

// Sets the number-valued entries of the given tags in directory.
void SetTags(Tiff& tiff, std::uint32_t directory, std::uint16_t widthTag, std::uint16_t heightTag, int width,
             int height) {
    for (std::uint32_t i = 0; i < tiff.Count(directory); ++i) {
        const std::size_t entry = tiff.EntryAt(directory, i);
        const std::uint32_t tag = tiff.Get16(entry);
        if (tag == widthTag) tiff.SetNumber(entry, static_cast<std::uint32_t>(width));
        if (tag == heightTag) tiff.SetNumber(entry, static_cast<std::uint32_t>(height));
    }
}

// The parts of the thumbnail directory: the directory itself, its values and the pictures
// it points to, as (start, end) pairs inside the block.
std::vector<std::pair<std::size_t, std::size_t>> ThumbnailParts(const Tiff& tiff, std::uint32_t directory) {
    std::vector<std::pair<std::size_t, std::size_t>> parts;
    parts.emplace_back(directory, tiff.NextLinkAt(directory) + 4);
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    for (std::uint32_t i = 0; i < tiff.Count(directory); ++i) {
        const std::size_t entry = tiff.EntryAt(directory, i);
        std::size_t at = 0;
        std::size_t size = 0;
        tiff.ValueSpan(entry, at, size);
        if (size > 4 && at <= tiff.Size() && size <= tiff.Size() - at) parts.emplace_back(at, at + size);
        const std::uint32_t tag = tiff.Get16(entry);
        // A single strip is the common uncompressed thumbnail; several are left to zeroing.
        if (tag == kTagThumbnailOffset || (tag == kTagStripOffsets && tiff.Get32(entry + 4) == 1)) {
            offset = tiff.Get32(entry + 8);
        }
        if (tag == kTagThumbnailLength || (tag == kTagStripLengths && tiff.Get32(entry + 4) == 1)) {
            length = tiff.Get32(entry + 8);
        }
    }
    if (offset != 0 && offset <= tiff.Size() && length <= tiff.Size() - offset) {
        parts.emplace_back(offset, offset + length);
    }
    return parts;
}

}  // namespace

std::vector<std::uint8_t> ExifForSave(const std::vector<std::uint8_t>& exif, int width, int height) {
    std::vector<std::uint8_t> out = exif;
    Tiff tiff(out);
    if (!tiff.Valid()) return {};
    const std::uint32_t first = tiff.Get32(4);
    if (!tiff.DirectoryFits(first)) return {};

    // The edits are made in place: maker notes hold offsets of their own that moving any
    // byte would break.
    SetTags(tiff, first, kTagImageWidth, kTagImageHeight, width, height);
    for (std::uint32_t i = 0; i < tiff.Count(first); ++i) {
        const std::size_t entry = tiff.EntryAt(first, i);
        if (tiff.Get16(entry) == kTagOrientation) tiff.SetNumber(entry, 1);
    }
    std::size_t keptEnd = DirectoryEnd(tiff, first);
    if (const std::uint32_t camera = SubDirectory(tiff, first, kTagExifDirectory)) {
        SetTags(tiff, camera, kTagPixelWidth, kTagPixelHeight, width, height);
        keptEnd = std::max(keptEnd, DirectoryEnd(tiff, camera));
        if (const std::uint32_t interop = SubDirectory(tiff, camera, kTagInteropDirectory)) {
            keptEnd = std::max(keptEnd, DirectoryEnd(tiff, interop));
        }
    }
    if (const std::uint32_t gps = SubDirectory(tiff, first, kTagGpsDirectory)) {
        keptEnd = std::max(keptEnd, DirectoryEnd(tiff, gps));
    }

    // The thumbnail shows the old picture, so it goes: unlinked, and cut off the end of the
    // block where it lies there (as cameras write it), else blanked where it is.
    const std::size_t link = tiff.NextLinkAt(first);
    const std::uint32_t thumbnail = tiff.Get32(link);
    tiff.Put32(link, 0);
    if (thumbnail == 0 || !tiff.DirectoryFits(thumbnail)) return out;
    const auto parts = ThumbnailParts(tiff, thumbnail);
    const bool allPast = std::all_of(parts.begin(), parts.end(), [&](const auto& p) { return p.first >= keptEnd; });
    if (allPast) {
        out.resize(keptEnd);
        return out;
    }
    for (const auto& [start, end] : parts) {
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(start), out.begin() + static_cast<std::ptrdiff_t>(end), 0);
    }
    return out;
}

int ExifOrientation(const std::uint8_t* exif, std::size_t size) {
    std::vector<std::uint8_t> copy(exif, exif + size);
    Tiff tiff(copy);
    if (!tiff.Valid()) return 1;
    const std::uint32_t first = tiff.Get32(4);
    if (!tiff.DirectoryFits(first)) return 1;
    for (std::uint32_t i = 0; i < tiff.Count(first); ++i) {
        const std::size_t entry = tiff.EntryAt(first, i);
        if (tiff.Get16(entry) != kTagOrientation || tiff.Get16(entry + 2) != kTypeShort) continue;
        const std::uint32_t value = tiff.Get16(entry + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

bool ProfileFitsRgb(const std::vector<std::uint8_t>& icc) {
    constexpr std::size_t kHeader = 128;
    if (icc.size() < kHeader + 4) return false;
    const auto big32 = [&](std::size_t at) {
        return (std::uint32_t{icc[at]} << 24) | (std::uint32_t{icc[at + 1]} << 16) | (std::uint32_t{icc[at + 2]} << 8) |
               icc[at + 3];
    };
    const std::uint32_t tags = big32(kHeader);
    return big32(0) == icc.size() && std::equal(icc.begin() + 36, icc.begin() + 40, "acsp") &&
           std::equal(icc.begin() + 16, icc.begin() + 20, "RGB ") && tags <= (icc.size() - kHeader - 4) / 12;
}

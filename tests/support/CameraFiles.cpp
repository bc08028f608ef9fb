#include "support/CameraFiles.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace samples {

namespace {

// One entry of a TIFF directory: its value already in the structure's byte order.
struct Field {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    Bytes data;
};
using Directory = std::vector<Field>;

class TiffBuilder {
public:
    explicit TiffBuilder(bool motorola) : m_(motorola) {}

    Bytes Number16(std::uint32_t v) const { return m_ ? Bytes{Hi(v), Lo(v)} : Bytes{Lo(v), Hi(v)}; }
    Bytes Number32(std::uint32_t v) const {
        Bytes high = Number16(v >> 16);
        Bytes low = Number16(v & 0xFFFF);
        Bytes out = m_ ? high : low;
        const Bytes& rest = m_ ? low : high;
        out.insert(out.end(), rest.begin(), rest.end());
        return out;
    }
    Field Short(std::uint16_t tag, std::uint32_t v) const { return {tag, 3, 1, Padded(Number16(v))}; }
    Field Long(std::uint16_t tag, std::uint32_t v) const { return {tag, 4, 1, Number32(v)}; }
    Field Text(std::uint16_t tag, const std::string& text) const {
        Bytes data(text.begin(), text.end());
        data.push_back(0);
        const auto count = static_cast<std::uint32_t>(data.size());
        return {tag, 2, count, Padded(data)};
    }
    Field Rational(std::uint16_t tag, std::uint32_t n, std::uint32_t d) const {
        Bytes data = Number32(n);
        const Bytes low = Number32(d);
        data.insert(data.end(), low.begin(), low.end());
        return {tag, 5, 1, data};
    }

    static std::size_t SizeOf(const Directory& d) {
        std::size_t size = 2 + 12 * d.size() + 4;
        for (const Field& f : d) {
            if (f.data.size() > 4) size += (f.data.size() + 1) & ~std::size_t{1};
        }
        return size;
    }

    // Writes the directory at `at` of out (sized already), its long values right behind it.
    void Write(Bytes& out, std::size_t at, const Directory& d, std::uint32_t next) const {
        std::size_t values = at + 2 + 12 * d.size() + 4;
        Put(out, at, Number16(static_cast<std::uint32_t>(d.size())));
        std::size_t entry = at + 2;
        for (const Field& f : d) {
            Put(out, entry, Number16(f.tag));
            Put(out, entry + 2, Number16(f.type));
            Put(out, entry + 4, Number32(f.count));
            if (f.data.size() <= 4) {
                Put(out, entry + 8, f.data);
            } else {
                Put(out, entry + 8, Number32(static_cast<std::uint32_t>(values)));
                Put(out, values, f.data);
                values += (f.data.size() + 1) & ~std::size_t{1};
            }
            entry += 12;
        }
        Put(out, entry, Number32(next));
    }

    static void Put(Bytes& out, std::size_t at, const Bytes& data) {
        std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
    }

private:
    static std::uint8_t Lo(std::uint32_t v) { return static_cast<std::uint8_t>(v); }
    static std::uint8_t Hi(std::uint32_t v) { return static_cast<std::uint8_t>(v >> 8); }
    static Bytes Padded(Bytes data) {
        if (data.size() < 4) data.resize(4, 0);
        return data;
    }
    bool m_;
};

void PutBe32(Bytes& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

void AppendBe32(Bytes& out, std::uint32_t v) {
    out.resize(out.size() + 4);
    PutBe32(out, out.size() - 4, v);
}

std::uint32_t Be16(const Bytes& b, std::size_t at) { return (b[at] << 8) | b[at + 1]; }
std::uint32_t Be32(const Bytes& b, std::size_t at) { return (Be16(b, at) << 16) | Be16(b, at + 2); }

Bytes MarkerSegment(int marker, const Bytes& body) {
    Bytes out = {0xFF, static_cast<std::uint8_t>(marker), 0, 0};
    const std::size_t length = body.size() + 2;
    out[2] = static_cast<std::uint8_t>(length >> 8);
    out[3] = static_cast<std::uint8_t>(length);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes WithPrefix(const char* prefix, std::size_t length, const Bytes& body) {
    Bytes out(prefix, prefix + length);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace

Bytes MakeCameraExif(int orientation, int pixelWidth, int pixelHeight, bool motorola) {
    const TiffBuilder t(motorola);
    Directory first = {t.Text(0x010F, kCameraMake),    t.Text(0x0110, kCameraModel),
                       t.Short(0x0112, static_cast<std::uint32_t>(orientation)),
                       t.Rational(0x011A, 72, 1),      t.Rational(0x011B, 72, 1),
                       t.Text(0x0132, kCameraTaken),   t.Long(0x8769, 0),
                       t.Long(0x8825, 0)};
    const Directory camera = {t.Rational(0x829A, 1, 250), t.Text(0x9003, kCameraTaken),
                              t.Short(0xA002, static_cast<std::uint32_t>(pixelWidth)),
                              t.Short(0xA003, static_cast<std::uint32_t>(pixelHeight))};
    const Directory gps = {t.Text(0x0001, "N"), t.Text(0x0003, "E")};
    const Bytes thumbnail = MakeJpeg(FourColourPicture(16, 12), JpegKind::Baseline);
    Directory second = {t.Short(0x0103, 6), t.Long(0x0201, 0),
                        t.Long(0x0202, static_cast<std::uint32_t>(thumbnail.size()))};

    const std::size_t firstAt = 8;
    const std::size_t cameraAt = firstAt + TiffBuilder::SizeOf(first);
    const std::size_t gpsAt = cameraAt + TiffBuilder::SizeOf(camera);
    const std::size_t secondAt = gpsAt + TiffBuilder::SizeOf(gps);
    const std::size_t thumbnailAt = secondAt + TiffBuilder::SizeOf(second);
    first[6].data = t.Number32(static_cast<std::uint32_t>(cameraAt));
    first[7].data = t.Number32(static_cast<std::uint32_t>(gpsAt));
    second[1].data = t.Number32(static_cast<std::uint32_t>(thumbnailAt));

    Bytes out(thumbnailAt + thumbnail.size(), 0);
    TiffBuilder::Put(out, 0, motorola ? Bytes{'M', 'M'} : Bytes{'I', 'I'});
    TiffBuilder::Put(out, 2, t.Number16(42));
    TiffBuilder::Put(out, 4, t.Number32(static_cast<std::uint32_t>(firstAt)));
    t.Write(out, firstAt, first, static_cast<std::uint32_t>(secondAt));
    t.Write(out, cameraAt, camera, 0);
    t.Write(out, gpsAt, gps, 0);
    t.Write(out, secondAt, second, 0);
    TiffBuilder::Put(out, thumbnailAt, thumbnail);
    return out;
}

Bytes MakeRgbProfile() {
    Bytes out(128, 0);
    const auto put4 = [&](std::size_t at, const char* text) { std::memcpy(out.data() + at, text, 4); };
    PutBe32(out, 8, 0x02100000);
    put4(12, "mntr");
    put4(16, "RGB ");
    put4(20, "XYZ ");
    out[25] = 0xE8;  // 2024-05-17
    out[24] = 0x07;
    out[27] = 5;
    out[29] = 17;
    put4(36, "acsp");
    PutBe32(out, 68, 0x0000F6D6);  // the D50 illuminant
    PutBe32(out, 72, 0x00010000);
    PutBe32(out, 76, 0x0000D32D);

    Bytes description = {'d', 'e', 's', 'c', 0, 0, 0, 0};
    const std::string text = kProfileDescription;
    AppendBe32(description, static_cast<std::uint32_t>(text.size() + 1));
    description.insert(description.end(), text.begin(), text.end());
    description.push_back(0);
    description.resize(description.size() + 4 + 4 + 2 + 1 + 67, 0);
    while (description.size() % 4) description.push_back(0);
    Bytes white = {'X', 'Y', 'Z', ' ', 0, 0, 0, 0};
    for (std::uint32_t v : {0x0000F6D6u, 0x00010000u, 0x0000D32Du}) AppendBe32(white, v);

    const std::uint32_t tableEnd = 128 + 4 + 2 * 12;
    AppendBe32(out, 2);
    out.insert(out.end(), {'d', 'e', 's', 'c'});
    AppendBe32(out, tableEnd);
    AppendBe32(out, static_cast<std::uint32_t>(description.size()));
    out.insert(out.end(), {'w', 't', 'p', 't'});
    AppendBe32(out, tableEnd + static_cast<std::uint32_t>(description.size()));
    AppendBe32(out, static_cast<std::uint32_t>(white.size()));
    out.insert(out.end(), description.begin(), description.end());
    out.insert(out.end(), white.begin(), white.end());
    PutBe32(out, 0, static_cast<std::uint32_t>(out.size()));
    return out;
}

Bytes MakeCameraJpeg(const Picture& picture, int orientation, bool motorola) {
    const bool sideways = orientation >= 5;
    const Bytes exif = MakeCameraExif(orientation, sideways ? picture.height : picture.width,
                                      sideways ? picture.width : picture.height, motorola);
    const Bytes plain = MakeJpeg(picture, JpegKind::Baseline);
    const std::string xmp = kCameraXmp;
    Bytes profile = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1};
    const Bytes icc = MakeRgbProfile();
    profile.insert(profile.end(), icc.begin(), icc.end());

    Bytes out(plain.begin(), plain.begin() + 2);
    for (const Bytes& segment : {MarkerSegment(0xE1, WithPrefix("Exif\0\0", 6, exif)),
                                 MarkerSegment(0xE1, WithPrefix("http://ns.adobe.com/xap/1.0/", 29,
                                                          Bytes(xmp.begin(), xmp.end()))),
                                 MarkerSegment(0xE2, profile)}) {
        out.insert(out.end(), segment.begin(), segment.end());
    }
    out.insert(out.end(), plain.begin() + 2, plain.end());
    return out;
}

std::vector<Segment> JpegSegments(const Bytes& file) {
    std::vector<Segment> segments;
    std::size_t at = 2;
    while (at + 4 <= file.size() && file[at] == 0xFF) {
        const int marker = file[at + 1];
        if (marker == 0xDA || marker == 0xD9) break;
        const std::size_t length = Be16(file, at + 2);
        if (length < 2 || at + 2 + length > file.size()) break;
        segments.push_back({marker, Bytes(file.begin() + at + 4, file.begin() + at + 2 + length)});
        at += 2 + length;
    }
    return segments;
}

std::vector<Chunk> PngChunks(const Bytes& file) {
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::size_t length = Be32(file, at);
        if (at + 12 + length > file.size()) break;
        chunks.push_back({std::string(file.begin() + at + 4, file.begin() + at + 8),
                          Bytes(file.begin() + at + 8, file.begin() + at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

Bytes SegmentAfter(const std::vector<Segment>& segments, int marker, const std::string& prefix) {
    for (const Segment& s : segments) {
        if (s.marker == marker && s.body.size() >= prefix.size() &&
            std::equal(prefix.begin(), prefix.end(), s.body.begin())) {
            return Bytes(s.body.begin() + static_cast<std::ptrdiff_t>(prefix.size()), s.body.end());
        }
    }
    return {};
}

ExifTags ReadExifTags(const Bytes& tiff) {
    ExifTags tags;
    if (tiff.size() < 8) return tags;
    const bool m = tiff[0] == 'M';
    const auto get16 = [&](std::size_t at) -> std::uint32_t {
        return m ? (tiff[at] << 8) | tiff[at + 1] : tiff[at] | (tiff[at + 1] << 8);
    };
    const auto get32 = [&](std::size_t at) -> std::uint32_t {
        return m ? (get16(at) << 16) | get16(at + 2) : get16(at) | (get16(at + 2) << 16);
    };
    const auto read = [&](const std::string& name, std::uint32_t at) -> std::uint32_t {
        if (at < 8 || at + 2 > tiff.size()) return 0;
        const std::uint32_t count = get16(at);
        if (at + 2 + count * 12 + 4 > tiff.size()) return 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t e = at + 2 + i * 12;
            const std::uint32_t tag = get16(e);
            const std::uint32_t type = get16(e + 2);
            const std::uint32_t n = get32(e + 4);
            std::string value;
            if (type == 3 && n == 1) value = std::to_string(get16(e + 8));
            if (type == 4 && n == 1) value = std::to_string(get32(e + 8));
            if (type == 2) {
                const std::size_t where = n <= 4 ? e + 8 : get32(e + 8);
                if (where + n <= tiff.size() && n > 0) value.assign(tiff.begin() + where, tiff.begin() + where + n - 1);
            }
            if (type == 5 && get32(e + 8) + 8 <= tiff.size()) {
                value = std::to_string(get32(get32(e + 8))) + "/" + std::to_string(get32(get32(e + 8) + 4));
            }
            tags[name][static_cast<int>(tag)] = value;
        }
        return get32(at + 2 + count * 12);
    };
    const std::uint32_t next = read("0", get32(4));
    if (tags["0"].count(0x8769)) read("exif", static_cast<std::uint32_t>(std::stoul(tags["0"][0x8769])));
    if (tags["0"].count(0x8825)) read("gps", static_cast<std::uint32_t>(std::stoul(tags["0"][0x8825])));
    if (next != 0) {
        read("1", next);
        auto& second = tags["1"];
        if (second.count(0x0201) && second.count(0x0202)) {
            const unsigned long at = std::stoul(second[0x0201]);
            const unsigned long length = std::stoul(second[0x0202]);
            if (at + length <= tiff.size()) second[-1] = std::to_string(length);
        }
    }
    return tags;
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace samples

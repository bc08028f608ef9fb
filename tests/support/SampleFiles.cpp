#include "support/SampleFiles.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

namespace samples {

const Rgba kFourColours[4] = {{140, 20, 30, 255}, {20, 160, 60, 255}, {150, 190, 250, 255}, {255, 255, 255, 255}};

void PutLe16(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutLe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    PutLe16(bytes, at, value & 0xFFFF);
    PutLe16(bytes, at + 2, value >> 16);
}

Picture FourColourPicture(int width, int height) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.pixels.push_back(kFourColours[(x + 2 * y) % 4]);
    }
    return picture;
}

Picture GradientPicture(int width, int height, bool withAlpha) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto red = static_cast<std::uint8_t>(17 * x + 3 * y + 5);
            const auto green = static_cast<std::uint8_t>(200 - 9 * y + x);
            const auto blue = static_cast<std::uint8_t>(31 * x + 61 * y);
            const auto alpha = static_cast<std::uint8_t>(withAlpha ? (x * 255 / std::max(1, width - 1)) : 255);
            picture.pixels.push_back({red, green, blue, alpha});
        }
    }
    return picture;
}

int FourColourIndex(const Rgba& colour) {
    for (int i = 0; i < 4; ++i) {
        if (kFourColours[i] == colour) return i;
    }
    return -1;
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    Bytes& out = *static_cast<Bytes*>(png_get_io_ptr(png));
    out.insert(out.end(), data, data + length);
}

Bytes PngRow(const Picture& picture, int y, PngKind kind) {
    Bytes row;
    for (int x = 0; x < picture.width; ++x) {
        const Rgba p = picture.At(x, y);
        switch (kind) {
            case PngKind::Rgb8:
            case PngKind::Interlaced: row.insert(row.end(), {p.red, p.green, p.blue}); break;
            case PngKind::Rgba8: row.insert(row.end(), {p.red, p.green, p.blue, p.alpha}); break;
            case PngKind::Grey8: row.push_back(p.red); break;
            case PngKind::GreyAlpha8: row.insert(row.end(), {p.red, p.alpha}); break;
            case PngKind::Grey16: row.insert(row.end(), {p.red, p.red}); break;
            case PngKind::Rgb16: row.insert(row.end(), {p.red, p.red, p.green, p.green, p.blue, p.blue}); break;
            case PngKind::Palette:
            case PngKind::PaletteTransparent: row.push_back(static_cast<std::uint8_t>(FourColourIndex(p))); break;
        }
    }
    return row;
}

bool RunPngWrite(png_structp png, png_infop info, const Picture& picture, PngKind kind, Bytes* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, AppendBytes, nullptr);
    int colourType = PNG_COLOR_TYPE_RGB;
    int depth = 8;
    switch (kind) {
        case PngKind::Rgba8: colourType = PNG_COLOR_TYPE_RGBA; break;
        case PngKind::Grey8: colourType = PNG_COLOR_TYPE_GRAY; break;
        case PngKind::GreyAlpha8: colourType = PNG_COLOR_TYPE_GRAY_ALPHA; break;
        case PngKind::Grey16: colourType = PNG_COLOR_TYPE_GRAY, depth = 16; break;
        case PngKind::Rgb16: depth = 16; break;
        case PngKind::Palette:
        case PngKind::PaletteTransparent: colourType = PNG_COLOR_TYPE_PALETTE; break;
        default: break;
    }
    png_set_IHDR(png, info, picture.width, picture.height, depth, colourType,
                 kind == PngKind::Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[4];
        for (int i = 0; i < 4; ++i) palette[i] = {kFourColours[i].red, kFourColours[i].green, kFourColours[i].blue};
        png_set_PLTE(png, info, palette, 4);
        if (kind == PngKind::PaletteTransparent) {
            png_byte alpha[2] = {255, 0};
            png_set_tRNS(png, info, alpha, 2, nullptr);
        }
    }
    png_write_info(png, info);
    std::vector<Bytes> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < picture.height; ++y) rows.push_back(PngRow(picture, y, kind));
    for (Bytes& row : rows) pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    return true;
}

std::uint32_t Crc(const Bytes& bytes, std::size_t from, std::size_t to) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < to; ++i) {
        crc ^= bytes[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBe32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendChunk(Bytes& out, const char* type, const Bytes& data) {
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc(out, start, out.size()));
}

struct JpegFailure {
    jpeg_error_mgr library;
    std::jmp_buf back;
};

void JpegFail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegFailure*>(cinfo->err)->back, 1); }

Bytes ExifWithOrientation(int orientation) {
    Bytes exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,  // TIFF header, first directory at 8
                  1, 0,                                                    // one entry
                  0x12, 0x01, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0,                // orientation, SHORT, 1 value
                  0, 0, 0, 0};                                             // no next directory
    exif[24] = static_cast<std::uint8_t>(orientation);
    return exif;
}

bool RunJpegWrite(jpeg_compress_struct* cinfo, JpegFailure* failure, const Picture& picture, JpegKind kind,
                  int orientation, unsigned char** buffer, unsigned long* size) {
    cinfo->err = jpeg_std_error(&failure->library);
    failure->library.error_exit = JpegFail;
    if (setjmp(failure->back)) {
        jpeg_destroy_compress(cinfo);
        return false;
    }
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = picture.width;
    cinfo->image_height = picture.height;
    const bool grey = kind == JpegKind::Grey;
    cinfo->input_components = grey ? 1 : 3;
    cinfo->in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, 95, TRUE);
    if (kind == JpegKind::Progressive) jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    if (orientation > 0) {
        const Bytes exif = ExifWithOrientation(orientation);
        jpeg_write_marker(cinfo, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    }
    Bytes row;
    while (cinfo->next_scanline < cinfo->image_height) {
        row.clear();
        for (int x = 0; x < picture.width; ++x) {
            const Rgba p = picture.At(x, static_cast<int>(cinfo->next_scanline));
            if (grey) {
                row.push_back(p.red);
            } else {
                row.insert(row.end(), {p.red, p.green, p.blue});
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(cinfo, &pointer, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

// LZW data that a decoder reads as plain indices: a clear code before every index keeps
// the code width at its first value.
Bytes GifImageData(const Picture& picture) {
    constexpr int kMinimumCodeSize = 2;
    constexpr std::uint32_t kClear = 4, kEnd = 5, kWidth = 3;
    Bytes packed;
    std::uint32_t bits = 0;
    int count = 0;
    const auto put = [&](std::uint32_t code) {
        bits |= code << count;
        count += kWidth;
        while (count >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (const Rgba& p : picture.pixels) {
        put(kClear);
        put(static_cast<std::uint32_t>(FourColourIndex(p)));
    }
    put(kEnd);
    if (count > 0) packed.push_back(static_cast<std::uint8_t>(bits));
    Bytes out = {kMinimumCodeSize};
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, packed.size() - at);
        out.push_back(static_cast<std::uint8_t>(length));
        out.insert(out.end(), packed.begin() + at, packed.begin() + at + length);
    }
    out.push_back(0);
    return out;
}

void PutPixelBgr(Bytes& out, const Rgba& p) { out.insert(out.end(), {p.blue, p.green, p.red}); }

// File header and a 40-byte info header; the caller appends palette and pixels and the
// sizes are filled in by FinishBmp.
Bytes BmpHeaders(const Picture& picture, int bits, std::uint32_t compression, std::uint32_t colours, bool topDown) {
    Bytes out(54, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 14, 40);
    PutLe32(out, 18, static_cast<std::uint32_t>(picture.width));
    PutLe32(out, 22, static_cast<std::uint32_t>(topDown ? -picture.height : picture.height));
    PutLe16(out, 26, 1);
    PutLe16(out, 28, static_cast<std::uint32_t>(bits));
    PutLe32(out, 30, compression);
    PutLe32(out, 38, 3780);
    PutLe32(out, 42, 3780);
    PutLe32(out, 46, colours);
    return out;
}

void AppendPalette(Bytes& out, int entries) {
    for (int i = 0; i < entries; ++i) {
        PutPixelBgr(out, kFourColours[i]);
        out.push_back(0);
    }
}

void FinishBmp(Bytes& out, std::size_t pixelOffset) {
    PutLe32(out, 2, static_cast<std::uint32_t>(out.size()));
    PutLe32(out, 10, static_cast<std::uint32_t>(pixelOffset));
    PutLe32(out, 34, static_cast<std::uint32_t>(out.size() - pixelOffset));
}

void PadRow(Bytes& out, std::size_t rowStart) {
    while ((out.size() - rowStart) % 4) out.push_back(0);
}

}  // namespace

Bytes MakePng(const Picture& picture, PngKind kind) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!RunPngWrite(png, info, picture, kind, &out)) out.clear();
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes MakePngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBe32(header, width);
    PutBe32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    AppendChunk(out, "IHDR", header);
    AppendChunk(out, "IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    AppendChunk(out, "IEND", {});
    return out;
}

Bytes MakeJpeg(const Picture& picture, JpegKind kind, int orientation) {
    jpeg_compress_struct cinfo{};
    JpegFailure failure{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    Bytes out;
    if (RunJpegWrite(&cinfo, &failure, picture, kind, orientation, &buffer, &size)) out.assign(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes MakeGif(const std::vector<Picture>& frames, int transparentIndex) {
    const Picture& first = frames.front();
    Bytes out = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0xF1, 0, 0};
    PutLe16(out, 6, static_cast<std::uint32_t>(first.width));
    PutLe16(out, 8, static_cast<std::uint32_t>(first.height));
    for (const Rgba& c : kFourColours) out.insert(out.end(), {c.red, c.green, c.blue});
    if (frames.size() > 1) {
        const char* loop = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 11});
        out.insert(out.end(), loop, loop + 11);
        out.insert(out.end(), {3, 1, 0, 0, 0});
    }
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const bool transparent = f == 0 && transparentIndex >= 0;
        out.insert(out.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>(transparent ? 1 : 0), 10, 0,
                               static_cast<std::uint8_t>(transparent ? transparentIndex : 0), 0});
        Bytes descriptor = {0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        PutLe16(descriptor, 5, static_cast<std::uint32_t>(frames[f].width));
        PutLe16(descriptor, 7, static_cast<std::uint32_t>(frames[f].height));
        out.insert(out.end(), descriptor.begin(), descriptor.end());
        const Bytes data = GifImageData(frames[f]);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);
    return out;
}

Bytes MakeBmp(const Picture& picture, BmpKind kind) {
    const bool topDown = kind == BmpKind::Rgb24TopDown;
    int bits = 24;
    std::uint32_t compression = 0;
    int entries = 0;
    switch (kind) {
        case BmpKind::Rgb16: bits = 16; break;
        case BmpKind::Rgb32: bits = 32; break;
        case BmpKind::Palette8: bits = 8, entries = 4; break;
        case BmpKind::Rle8: bits = 8, entries = 4, compression = 1; break;
        case BmpKind::Palette1: bits = 1, entries = 2; break;
        default: break;
    }
    Bytes out = BmpHeaders(picture, bits, compression, static_cast<std::uint32_t>(entries), topDown);
    AppendPalette(out, entries);
    const std::size_t pixelOffset = out.size();
    for (int stored = 0; stored < picture.height; ++stored) {
        const int y = topDown ? stored : picture.height - 1 - stored;
        const std::size_t rowStart = out.size();
        if (kind == BmpKind::Rle8) {
            for (int x = 0; x < picture.width;) {
                int run = 1;
                while (x + run < picture.width && run < 255 && picture.At(x + run, y) == picture.At(x, y)) ++run;
                out.insert(out.end(), {static_cast<std::uint8_t>(run),
                                       static_cast<std::uint8_t>(FourColourIndex(picture.At(x, y)))});
                x += run;
            }
            out.insert(out.end(), {0, 0});
            continue;
        }
        std::uint32_t bitBuffer = 0;
        int bitCount = 0;
        for (int x = 0; x < picture.width; ++x) {
            const Rgba p = picture.At(x, y);
            switch (kind) {
                case BmpKind::Rgb16: {
                    const std::uint32_t v = ((p.red >> 3) << 10) | ((p.green >> 3) << 5) | (p.blue >> 3);
                    out.insert(out.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
                    break;
                }
                case BmpKind::Rgb32:
                    PutPixelBgr(out, p);
                    out.push_back(0);
                    break;
                case BmpKind::Palette8: out.push_back(static_cast<std::uint8_t>(FourColourIndex(p))); break;
                case BmpKind::Palette1:
                    bitBuffer = (bitBuffer << 1) | static_cast<std::uint32_t>(FourColourIndex(p) & 1);
                    if (++bitCount == 8) {
                        out.push_back(static_cast<std::uint8_t>(bitBuffer));
                        bitBuffer = 0;
                        bitCount = 0;
                    }
                    break;
                default: PutPixelBgr(out, p); break;
            }
        }
        if (bitCount > 0) out.push_back(static_cast<std::uint8_t>(bitBuffer << (8 - bitCount)));
        PadRow(out, rowStart);
    }
    if (kind == BmpKind::Rle8) out.insert(out.end(), {0, 1});
    FinishBmp(out, pixelOffset);
    return out;
}

Bytes MakeTwoBpp(const Picture& picture, bool topDown, bool coreHeader, int paletteEntries) {
    Bytes out;
    if (coreHeader) {
        out.assign(26, 0);
        out[0] = 'B';
        out[1] = 'M';
        PutLe32(out, 14, 12);
        PutLe16(out, 18, static_cast<std::uint32_t>(picture.width));
        PutLe16(out, 20, static_cast<std::uint32_t>(picture.height));
        PutLe16(out, 22, 1);
        PutLe16(out, 24, 2);
        for (int i = 0; i < 4; ++i) PutPixelBgr(out, kFourColours[i]);
    } else {
        out = BmpHeaders(picture, 2, 0, paletteEntries == 4 ? 0 : static_cast<std::uint32_t>(paletteEntries), topDown);
        AppendPalette(out, paletteEntries);
    }
    const std::size_t pixelOffset = out.size();
    for (int stored = 0; stored < picture.height; ++stored) {
        const int y = topDown ? stored : picture.height - 1 - stored;
        const std::size_t rowStart = out.size();
        for (int x = 0; x < picture.width; x += 4) {
            std::uint8_t byte = 0;
            for (int k = 0; k < 4 && x + k < picture.width; ++k) {
                byte |= static_cast<std::uint8_t>(FourColourIndex(picture.At(x + k, y)) << (6 - 2 * k));
            }
            out.push_back(byte);
        }
        PadRow(out, rowStart);
    }
    PutLe32(out, 2, static_cast<std::uint32_t>(out.size()));
    PutLe32(out, 10, static_cast<std::uint32_t>(pixelOffset));
    if (!coreHeader) PutLe32(out, 34, static_cast<std::uint32_t>(out.size() - pixelOffset));
    return out;
}

}  // namespace samples

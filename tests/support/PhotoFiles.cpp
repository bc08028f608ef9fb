#include "support/PhotoFiles.h"

#include <libheif/heif.h>
#include <tiffio.h>
#include <unistd.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "support/CameraFiles.h"

namespace samples {

namespace {

Bytes RgbaBytes(const Picture& picture) {
    Bytes rgba;
    for (const Rgba& p : picture.pixels) rgba.insert(rgba.end(), {p.red, p.green, p.blue, p.alpha});
    return rgba;
}

bool HasAlpha(const Picture& picture) {
    for (const Rgba& p : picture.pixels) {
        if (p.alpha != 255) return true;
    }
    return false;
}

std::string TemporaryPath(const char* ending) {
    static int counter = 0;
    return "/tmp/pw-sample-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ending;
}

Bytes WithMetadata(const Bytes& webp, Carried carried, const Picture& picture) {
    if (!carried.exif && !carried.xmp && !carried.icc) return webp;
    WebPMux* mux = WebPMuxNew();
    const WebPData image{webp.data(), webp.size()};
    WebPMuxSetImage(mux, &image, 1);
    const Bytes exif = MakeCameraExif(1, picture.width, picture.height, false);
    const std::string xmp = kCameraXmp;
    const Bytes icc = MakeRgbProfile();
    const WebPData exifData{exif.data(), exif.size()};
    const WebPData xmpData{reinterpret_cast<const std::uint8_t*>(xmp.data()), xmp.size()};
    const WebPData iccData{icc.data(), icc.size()};
    if (carried.exif) WebPMuxSetChunk(mux, "EXIF", &exifData, 1);
    if (carried.xmp) WebPMuxSetChunk(mux, "XMP ", &xmpData, 1);
    if (carried.icc) WebPMuxSetChunk(mux, "ICCP", &iccData, 1);
    WebPData out{};
    Bytes result;
    if (WebPMuxAssemble(mux, &out) == WEBP_MUX_OK) result.assign(out.bytes, out.bytes + out.size);
    WebPDataClear(&out);
    WebPMuxDelete(mux);
    return result;
}

heif_error WriteHeif(heif_context*, const void* data, size_t size, void* out) {
    auto& bytes = *static_cast<Bytes*>(out);
    bytes.insert(bytes.end(), static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

void WriteTiffPage(TIFF* tiff, const Picture& picture, TiffKind kind, bool icc) {
    const std::uint32_t w = picture.width;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(picture.height));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4u);
    const bool sixteen = kind == TiffKind::Rgb16 || kind == TiffKind::Grey16;
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, sixteen ? 16 : kind == TiffKind::Palette ? 2 : 8);
    int samples = 3;
    switch (kind) {
        case TiffKind::Grey8:
        case TiffKind::Grey16:
            samples = 1;
            TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            break;
        case TiffKind::Palette: {
            samples = 1;
            TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
            std::uint16_t red[4], green[4], blue[4];
            for (int i = 0; i < 4; ++i) {
                red[i] = kFourColours[i].red * 257;
                green[i] = kFourColours[i].green * 257;
                blue[i] = kFourColours[i].blue * 257;
            }
            TIFFSetField(tiff, TIFFTAG_COLORMAP, red, green, blue);
            break;
        }
        case TiffKind::Cmyk:
            samples = 4;
            TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
            TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK);
            break;
        case TiffKind::Rgba:
        case TiffKind::PremultipliedRgba: {
            samples = 4;
            TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
            const std::uint16_t extra = kind == TiffKind::Rgba ? EXTRASAMPLE_UNASSALPHA : EXTRASAMPLE_ASSOCALPHA;
            TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
            break;
        }
        default: TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    }
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    if (icc) {
        const Bytes profile = MakeRgbProfile();
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(profile.size()), profile.data());
        const std::string xmp = kCameraXmp;
        TIFFSetField(tiff, TIFFTAG_XMLPACKET, static_cast<std::uint32_t>(xmp.size()), xmp.data());
    }
    for (int y = 0; y < picture.height; ++y) {
        Bytes row;
        std::uint8_t packed = 0;
        for (int x = 0; x < picture.width; ++x) {
            const Rgba p = picture.At(x, y);
            const auto put16 = [&](int v) { row.insert(row.end(), {static_cast<std::uint8_t>(v * 257 & 0xFF),
                                                                   static_cast<std::uint8_t>(v * 257 >> 8)}); };
            switch (kind) {
                case TiffKind::Rgb8: row.insert(row.end(), {p.red, p.green, p.blue}); break;
                case TiffKind::Rgb16: put16(p.red); put16(p.green); put16(p.blue); break;
                case TiffKind::Grey8: row.push_back(p.red); break;
                case TiffKind::Grey16: put16(p.red); break;
                case TiffKind::Palette:
                    packed = static_cast<std::uint8_t>(packed | FourColourIndex(p) << (6 - 2 * (x % 4)));
                    if (x % 4 == 3 || x == picture.width - 1) {
                        row.push_back(packed);
                        packed = 0;
                    }
                    break;
                case TiffKind::Cmyk:
                    row.insert(row.end(), {static_cast<std::uint8_t>(255 - p.red), static_cast<std::uint8_t>(255 - p.green),
                                           static_cast<std::uint8_t>(255 - p.blue), 0});
                    break;
                case TiffKind::Rgba: row.insert(row.end(), {p.red, p.green, p.blue, p.alpha}); break;
                case TiffKind::PremultipliedRgba: {
                    const auto pre = [&](int c) { return static_cast<std::uint8_t>((c * p.alpha + 127) / 255); };
                    row.insert(row.end(), {pre(p.red), pre(p.green), pre(p.blue), p.alpha});
                    break;
                }
            }
        }
        TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0);
    }
    TIFFWriteDirectory(tiff);
}

}  // namespace

Bytes MakeWebp(const Picture& picture, bool lossless, Carried carried) {
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = lossless ? 1 : 0;
    config.quality = lossless ? 75 : 90;
    config.exact = 1;
    WebPPicture pic;
    WebPPictureInit(&pic);
    pic.width = picture.width;
    pic.height = picture.height;
    pic.use_argb = 1;
    const Bytes rgba = RgbaBytes(picture);
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    pic.writer = WebPMemoryWrite;
    pic.custom_ptr = &writer;
    Bytes out;
    if (WebPPictureImportRGBA(&pic, rgba.data(), picture.width * 4) && WebPEncode(&config, &pic)) {
        out.assign(writer.mem, writer.mem + writer.size);
    }
    WebPPictureFree(&pic);
    WebPMemoryWriterClear(&writer);
    return WithMetadata(out, carried, picture);
}

Bytes MakeAnimatedWebp(const std::vector<Picture>& frames, int offsetX, int offsetY) {
    const Picture& first = frames.front();
    WebPAnimEncoderOptions options;
    WebPAnimEncoderOptionsInit(&options);
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(first.width, first.height, &options);
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = 1;
    int time = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        // A smaller frame is drawn on a canvas of the first one's size, the rest see-through.
        Picture canvas = frames[i];
        if (frames[i].width != first.width || frames[i].height != first.height) {
            canvas = Picture{first.width, first.height, std::vector<Rgba>(first.pixels.size(), Rgba{0, 0, 0, 0})};
            for (int y = 0; y < frames[i].height; ++y) {
                for (int x = 0; x < frames[i].width; ++x) {
                    canvas.pixels[static_cast<std::size_t>(y + offsetY) * first.width + x + offsetX] = frames[i].At(x, y);
                }
            }
        }
        WebPPicture pic;
        WebPPictureInit(&pic);
        pic.width = first.width;
        pic.height = first.height;
        pic.use_argb = 1;
        const Bytes rgba = RgbaBytes(canvas);
        WebPPictureImportRGBA(&pic, rgba.data(), first.width * 4);
        WebPAnimEncoderAdd(encoder, &pic, time, &config);
        WebPPictureFree(&pic);
        time += 100;
    }
    WebPAnimEncoderAdd(encoder, nullptr, time, nullptr);
    WebPData data{};
    Bytes out;
    if (WebPAnimEncoderAssemble(encoder, &data)) out.assign(data.bytes, data.bytes + data.size);
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder);
    return out;
}

Bytes MakeTiff(const Picture& picture, TiffKind kind, bool secondPage, Carried carried) {
    const std::string path = TemporaryPath(".tif");
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff) return {};
    WriteTiffPage(tiff, picture, kind, carried.icc);
    if (secondPage) WriteTiffPage(tiff, FourColourPicture(5, 3), TiffKind::Rgb8, false);
    TIFFClose(tiff);
    const Bytes bytes = ReadFileBytes(path);
    std::remove(path.c_str());
    return bytes;
}

Bytes MakeHeif(const Picture& picture, bool avif, Carried carried) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    Bytes out;
    if (heif_context_get_encoder_for_format(context, avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder)
            .code != heif_error_Ok) {
        heif_context_free(context);
        return out;
    }
    heif_encoder_set_lossy_quality(encoder, 90);
    if (avif) heif_encoder_set_parameter(encoder, "speed", "9");
    const bool alpha = HasAlpha(picture);
    heif_image* image = nullptr;
    heif_image_create(picture.width, picture.height, heif_colorspace_RGB,
                      alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, picture.width, picture.height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* row = plane + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < picture.width; ++x) {
            const Rgba p = picture.At(x, y);
            *row++ = p.red;
            *row++ = p.green;
            *row++ = p.blue;
            if (alpha) *row++ = p.alpha;
        }
    }
    const Bytes icc = MakeRgbProfile();
    if (carried.icc) heif_image_set_raw_color_profile(image, "prof", icc.data(), icc.size());
    heif_image_handle* handle = nullptr;
    if (heif_context_encode_image(context, image, encoder, nullptr, &handle).code == heif_error_Ok) {
        const Bytes exif = MakeCameraExif(1, picture.width, picture.height, true);
        const std::string xmp = kCameraXmp;
        if (carried.exif) heif_context_add_exif_metadata(context, handle, exif.data(), static_cast<int>(exif.size()));
        if (carried.xmp) heif_context_add_XMP_metadata(context, handle, xmp.data(), static_cast<int>(xmp.size()));
        heif_writer writer{1, WriteHeif};
        heif_context_write(context, &writer, &out);
    }
    heif_image_handle_release(handle);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return out;
}

bool HaveImageMagick() { return std::system("convert -version >/dev/null 2>&1") == 0; }

Picture MagickDecode(const std::string& path, std::uint32_t background) {
    const std::string out = TemporaryPath(".rgb");
    const std::string size = TemporaryPath(".txt");
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02X%02X%02X", background & 0xFF, background >> 8 & 0xFF,
                  background >> 16 & 0xFF);
    const std::string command = "convert '" + path + "[0]' -colorspace sRGB -background '" + colour +
                                "' -flatten -depth 8 -format '%w %h' -write 'info:" + size + "' 'rgb:" + out +
                                "' 2>/dev/null";
    Picture picture;
    if (std::system(command.c_str()) == 0) {
        std::ifstream info(size);
        info >> picture.width >> picture.height;
        const Bytes rgb = ReadFileBytes(out);
        if (rgb.size() == static_cast<std::size_t>(picture.width) * picture.height * 3) {
            for (std::size_t i = 0; i < rgb.size(); i += 3) picture.pixels.push_back({rgb[i], rgb[i + 1], rgb[i + 2], 255});
        } else {
            picture = Picture{};
        }
    }
    std::remove(out.c_str());
    std::remove(size.c_str());
    return picture;
}

}  // namespace samples

#include "image/History.h"

#include <zstd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/Memory.h"
#include "platform/MessageBox.h"

namespace {

constexpr int kTileSide = 64;
constexpr int kCompressionLevel = 1;
constexpr std::size_t kTilesForThreads = 256;
constexpr std::size_t kPictureBytesForTwoThreads = std::size_t{4} << 20;
constexpr std::size_t kGiB = std::size_t{1} << 30;

// Bytes of all tiles alive, compressed or still raw: what the budget is about.
std::atomic<std::int64_t> g_tileBytes{0};

// A tile's rows as they were copied, until the compressor packs them: each row as a byte delta
// along the row (a pixel minus its left neighbour), which turns a photograph's smooth shades
// into the small numbers zstd packs well, then zstd. The hash of a tile that had nothing to be
// compared with when it was made is left to the compressor, or to the first step that asks.
struct Tile : std::enable_shared_from_this<Tile> {
    std::mutex lock;
    std::uint64_t hash = 0;
    std::atomic<bool> hashed{false};
    std::unique_ptr<std::uint8_t[]> raw;  // the rows' bytes, one after the other
    std::vector<std::uint8_t> packed;     // a zstd frame of the delta rows
    int rowBytes = 0;
    int pixelBytes = 0;
    std::size_t rawSize = 0;
    std::int64_t counted = 0;

    void Count(std::int64_t bytes) {
        g_tileBytes += bytes - counted;
        counted = bytes;
    }
    ~Tile() { g_tileBytes -= counted; }
};

using TilePtr = std::shared_ptr<Tile>;

// One pixel buffer cut into tiles of 64 rows and 64 pixels' bytes; the last column of tiles
// takes the rows' padding, so a restored buffer is the stored one byte for byte.
struct TiledBuffer {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // 0: no buffer
    std::vector<TilePtr> tiles;

    bool SameShape(const TiledBuffer& other) const {
        return width == other.width && height == other.height && bitsPerPixel == other.bitsPerPixel;
    }
    bool SameAs(const TiledBuffer& other) const { return SameShape(other) && tiles == other.tiles; }
};

// Where tile i of a buffer lies: stored rows [row, row + rows), bytes [offset, offset + bytes).
struct TilePlace {
    int row = 0;
    int rows = 0;
    int offset = 0;
    int bytes = 0;
};

struct TileGrid {
    int columns = 0;
    int rowsOfTiles = 0;
    int columnBytes = 0;
    int stride = 0;
    int height = 0;
    int pixelBytes = 0;

    TileGrid(int width, int h, int bitsPerPixel)
        : columnBytes(kTileSide * bitsPerPixel / 8),
          stride(raster::StrideFor(width, bitsPerPixel)),
          height(h),
          pixelBytes(bitsPerPixel / 8) {
        columns = (stride + columnBytes - 1) / columnBytes;
        rowsOfTiles = (height + kTileSide - 1) / kTileSide;
    }
    int Count() const { return columns * rowsOfTiles; }
    TilePlace Place(int i) const {
        TilePlace p;
        p.row = (i / columns) * kTileSide;
        p.rows = std::min(kTileSide, height - p.row);
        p.offset = (i % columns) * columnBytes;
        p.bytes = std::min(columnBytes, stride - p.offset);
        return p;
    }
};

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;

constexpr std::uint64_t Rotl(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }
constexpr std::uint64_t Round(std::uint64_t acc, std::uint64_t input) {
    return Rotl(acc + input * kPrime2, 31) * kPrime1;
}

// A 64-bit hash of a tile's row pieces, four lanes wide so it runs at memory speed. Equal
// hashes are taken for equal tiles.
class TileHash {
public:
    void Add(const std::uint8_t* p, std::size_t n) {
        length_ += n;
        for (; n >= 32; p += 32, n -= 32) {
            std::uint64_t w[4];
            std::memcpy(w, p, 32);
            for (int k = 0; k < 4; ++k) lane_[k] = Round(lane_[k], w[k]);
        }
        int k = 0;
        for (; n >= 8; p += 8, n -= 8, k = (k + 1) & 3) {
            std::uint64_t w;
            std::memcpy(&w, p, 8);
            lane_[k] = Round(lane_[k], w);
        }
        if (n > 0) {
            std::uint64_t w = 0;
            std::memcpy(&w, p, n);
            lane_[k] = Round(lane_[k], w ^ (static_cast<std::uint64_t>(n) << 56));
        }
    }
    std::uint64_t Finish() const {
        std::uint64_t h = Rotl(lane_[0], 1) + Rotl(lane_[1], 7) + Rotl(lane_[2], 12) + Rotl(lane_[3], 18);
        for (std::uint64_t lane : lane_) h = (h ^ Round(0, lane)) * kPrime1 + kPrime4;
        h += length_;
        h ^= h >> 33;
        h *= kPrime2;
        h ^= h >> 29;
        h *= kPrime3;
        h ^= h >> 32;
        return h;
    }

private:
    std::uint64_t lane_[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    std::uint64_t length_ = 0;
};

std::uint64_t HashTile(const PixelBuffer& buffer, const TilePlace& place) {
    TileHash hash;
    for (int r = 0; r < place.rows; ++r) {
        hash.Add(buffer.Bits() + static_cast<std::size_t>(place.row + r) * buffer.Stride() + place.offset,
                 static_cast<std::size_t>(place.bytes));
    }
    return hash.Finish();
}

// The tiles of every state by hash, so that a tile that comes back (the picture under a piece
// put down again, an earlier state's pixels) is the one kept already, wherever it was. A tile
// joins it when its hash is known; tiles no state holds any more leave it at the next sweep.
class TileIndex {
public:
    TilePtr Find(std::uint64_t hash, const TilePlace& place, int pixelBytes) const {
        const std::lock_guard<std::mutex> hold(mutex_);
        const auto found = tiles_.find(hash);
        if (found == tiles_.end()) return nullptr;
        TilePtr tile = found->second.lock();
        const bool fits = tile && tile->rowBytes == place.bytes && tile->pixelBytes == pixelBytes &&
                          tile->rawSize == static_cast<std::size_t>(place.rows) * static_cast<std::size_t>(place.bytes);
        return fits ? tile : nullptr;
    }
    void Add(std::uint64_t hash, std::weak_ptr<Tile> tile) {
        const std::lock_guard<std::mutex> hold(mutex_);
        tiles_[hash] = std::move(tile);
        if (tiles_.size() < 2 * sizeAfterSweep_ + 1024) return;
        std::erase_if(tiles_, [](const auto& entry) { return entry.second.expired(); });
        sizeAfterSweep_ = tiles_.size();
    }
    void Clear() {
        const std::lock_guard<std::mutex> hold(mutex_);
        tiles_.clear();
        sizeAfterSweep_ = 0;
    }

private:
    mutable std::mutex mutex_;
    std::unordered_map<std::uint64_t, std::weak_ptr<Tile>> tiles_;
    std::size_t sizeAfterSweep_ = 0;
};

// Never destroyed: the compressor may still hash a tile while the program ends.
TileIndex& Index() {
    static TileIndex* index = new TileIndex;
    return *index;
}

// The hash of a tile's raw rows: the same as HashTile's of the buffer they were copied from.
std::uint64_t HashRaw(const Tile& tile) {
    TileHash hash;
    for (std::size_t start = 0; start < tile.rawSize; start += static_cast<std::size_t>(tile.rowBytes)) {
        hash.Add(tile.raw.get() + start, static_cast<std::size_t>(tile.rowBytes));
    }
    return hash.Finish();
}

// Made, raw tiles are only read, and only the compressor drops the raw rows, after hashing them.
std::uint64_t HashOf(Tile& tile) {
    if (tile.hashed.load(std::memory_order_acquire)) return tile.hash;
    const std::lock_guard<std::mutex> hold(tile.lock);
    if (!tile.hashed.load(std::memory_order_relaxed)) {
        tile.hash = HashRaw(tile);
        tile.hashed.store(true, std::memory_order_release);
        Index().Add(tile.hash, tile.weak_from_this());
    }
    return tile.hash;
}

void CopyRows(const PixelBuffer& buffer, const TilePlace& place, std::uint8_t* out) {
    for (int r = 0; r < place.rows; ++r, out += place.bytes) {
        std::memcpy(out, buffer.Bits() + static_cast<std::size_t>(place.row + r) * buffer.Stride() + place.offset,
                    static_cast<std::size_t>(place.bytes));
    }
}

void WriteRows(const std::uint8_t* in, const TilePlace& place, PixelBuffer& buffer) {
    for (int r = 0; r < place.rows; ++r, in += place.bytes) {
        std::memcpy(buffer.Bits() + static_cast<std::size_t>(place.row + r) * buffer.Stride() + place.offset, in,
                    static_cast<std::size_t>(place.bytes));
    }
}

void DeltaRows(const std::uint8_t* in, std::size_t size, int rowBytes, int pixelBytes, std::uint8_t* out) {
    for (std::size_t start = 0; start < size; start += static_cast<std::size_t>(rowBytes)) {
        const int lead = std::min(pixelBytes, rowBytes);
        const std::uint8_t* row = in + start;
        std::uint8_t* to = out + start;
        std::memcpy(to, row, static_cast<std::size_t>(lead));
        for (int i = lead; i < rowBytes; ++i) to[i] = static_cast<std::uint8_t>(row[i] - row[i - pixelBytes]);
    }
}

void UndeltaRows(const std::uint8_t* in, const TilePlace& place, int pixelBytes, PixelBuffer& buffer) {
    for (int r = 0; r < place.rows; ++r) {
        std::uint8_t* out = buffer.Bits() + static_cast<std::size_t>(place.row + r) * buffer.Stride() + place.offset;
        const int lead = std::min(pixelBytes, place.bytes);
        std::memcpy(out, in, static_cast<std::size_t>(lead));
        for (int i = lead; i < place.bytes; ++i) out[i] = static_cast<std::uint8_t>(in[i] + out[i - pixelBytes]);
        in += place.bytes;
    }
}

// The one background thread that packs new tiles, so the stylus path only hashes and copies.
class Compressor {
public:
    ~Compressor() {
        {
            const std::lock_guard<std::mutex> hold(mutex_);
            stop_ = true;
            queue_.clear();
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    void Queue(std::vector<TilePtr>& tiles) {
        if (tiles.empty()) return;
        {
            const std::lock_guard<std::mutex> hold(mutex_);
            if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
            for (TilePtr& tile : tiles) {
                queuedRaw_ += tile->rawSize;
                queue_.push_back(std::move(tile));
            }
        }
        tiles.clear();
        if (held_.load(std::memory_order_relaxed) == 0) wake_.notify_one();
        HelpWhileBehind();
    }

    // While a capture runs, new tiles wait for it to end instead of waking the packing thread,
    // which would take a core from the capture; beyond the raw limit the capture packs them.
    void Hold() { ++held_; }
    void Release() {
        if (--held_ == 0) wake_.notify_one();
    }

    void Wait() {
        std::unique_lock<std::mutex> hold(mutex_);
        idle_.wait(hold, [this] { return queue_.empty() && !busy_; });
    }

    void Clear() {
        const std::lock_guard<std::mutex> hold(mutex_);
        queue_.clear();
        queuedRaw_ = 0;
    }

private:
    // Raw tiles waiting beyond this many bytes are packed by the thread that queued them too:
    // steps of a very large picture then cost the time of packing instead of a raw copy each.
    static constexpr std::size_t kMostRawWaiting = std::size_t{64} << 20;

    void HelpWhileBehind() {
        static thread_local std::unique_ptr<ZSTD_CCtx, std::size_t (*)(ZSTD_CCtx*)> context(ZSTD_createCCtx(),
                                                                                            ZSTD_freeCCtx);
        static thread_local std::vector<std::uint8_t> frame;
        static thread_local std::vector<std::uint8_t> delta;
        while (true) {
            TilePtr tile;
            {
                const std::lock_guard<std::mutex> hold(mutex_);
                if (queuedRaw_ <= kMostRawWaiting || queue_.empty()) return;
                tile = TakeFront();
            }
            Pack(context.get(), *tile, delta, frame);
        }
    }

    // Under mutex_.
    TilePtr TakeFront() {
        TilePtr tile = std::move(queue_.front());
        queue_.pop_front();
        queuedRaw_ -= std::min(queuedRaw_, tile->rawSize);
        return tile;
    }

    void Run() {
        ZSTD_CCtx* context = ZSTD_createCCtx();
        std::vector<std::uint8_t> frame;
        std::vector<std::uint8_t> delta;
        std::unique_lock<std::mutex> hold(mutex_);
        while (true) {
            wake_.wait(hold, [this] { return stop_ || !queue_.empty(); });
            if (stop_) break;
            TilePtr tile = TakeFront();
            busy_ = true;
            hold.unlock();
            Pack(context, *tile, delta, frame);
            tile.reset();
            hold.lock();
            busy_ = false;
            if (queue_.empty()) idle_.notify_all();
        }
        ZSTD_freeCCtx(context);
    }

    // The raw rows stay untouched until the packed frame replaces them under the tile's lock,
    // so a step that reads the tile meanwhile reads whole rows.
    static void Pack(ZSTD_CCtx* context, Tile& tile, std::vector<std::uint8_t>& delta, std::vector<std::uint8_t>& frame) {
        if (!tile.raw) return;
        HashOf(tile);
        if (!context) return;
        delta.resize(tile.rawSize);
        DeltaRows(tile.raw.get(), tile.rawSize, tile.rowBytes, tile.pixelBytes, delta.data());
        frame.resize(ZSTD_compressBound(delta.size()));
        const std::size_t size =
            ZSTD_compressCCtx(context, frame.data(), frame.size(), delta.data(), delta.size(), kCompressionLevel);
        if (ZSTD_isError(size) || size >= tile.rawSize) return;
        std::vector<std::uint8_t> packed(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(size));
        const std::lock_guard<std::mutex> hold(tile.lock);
        tile.packed = std::move(packed);
        tile.raw.reset();
        tile.Count(static_cast<std::int64_t>(tile.packed.size()));
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<TilePtr> queue_;
    std::size_t queuedRaw_ = 0;
    bool busy_ = false;
    bool stop_ = false;
    std::atomic<int> held_{0};
    std::thread thread_;
};

Compressor& TheCompressor() {
    static Compressor compressor;
    return compressor;
}

// Whether a tile meets an area of the image (image coordinates).
bool Meets(const TilePlace& place, const TileGrid& grid, const raster::Rect& area) {
    const int top = grid.height - place.row - place.rows;
    const int left = place.offset / grid.pixelBytes;
    const int right = (place.offset + place.bytes + grid.pixelBytes - 1) / grid.pixelBytes;
    return area.left < right && left < area.right && area.top < top + place.rows && top < area.bottom;
}

// The tiles one capture makes: the new ones until they go to the compressor, and the uniform
// ones again by their pixel and size, so that a hole or a mask selected all over is one tile
// however large.
struct NewTiles {
    struct Uniform {
        int rows = 0;
        int bytes = 0;
        int pixelBytes = 0;
        std::uint8_t pixel[3] = {0, 0, 0};
        std::uint64_t hash = 0;
        TilePtr tile;  // made when first needed: mostly the state shown has the same one
    };
    std::vector<TilePtr> fresh;
    std::vector<Uniform> uniform;
};

// A tile of place's size whose rows are still to be copied.
TilePtr NewTile(const TilePlace& place, int pixelBytes, NewTiles& made) {
    auto tile = std::make_shared<Tile>();
    tile->rawSize = static_cast<std::size_t>(place.rows) * static_cast<std::size_t>(place.bytes);
    tile->rowBytes = place.bytes;
    tile->pixelBytes = pixelBytes;
    tile->raw.reset(new std::uint8_t[tile->rawSize]);
    tile->Count(static_cast<std::int64_t>(tile->rawSize));
    made.fresh.push_back(tile);
    return tile;
}

void SetHash(Tile& tile, std::uint64_t hash) {
    tile.hash = hash;
    tile.hashed.store(true, std::memory_order_release);
}

// The uniform tile of place's size in the pixel there, hashed when first met in this capture.
NewTiles::Uniform& UniformAt(const PixelBuffer& buffer, const TilePlace& place, int pixelBytes, NewTiles& made) {
    const std::uint8_t* pixel = buffer.Bits() + static_cast<std::size_t>(place.row) * buffer.Stride() + place.offset;
    for (NewTiles::Uniform& u : made.uniform) {
        if (u.rows == place.rows && u.bytes == place.bytes && u.pixelBytes == pixelBytes &&
            std::memcmp(u.pixel, pixel, static_cast<std::size_t>(pixelBytes)) == 0) {
            return u;
        }
    }
    NewTiles::Uniform u;
    u.rows = place.rows;
    u.bytes = place.bytes;
    u.pixelBytes = pixelBytes;
    std::memcpy(u.pixel, pixel, static_cast<std::size_t>(pixelBytes));
    u.hash = HashTile(buffer, place);
    made.uniform.push_back(u);
    return made.uniform.back();
}

// What one row of tiles learns of each of its tiles, reading the rows in memory order (tile
// by tile, a picture's 64 rows apart stall the memory far more than the work does): whether
// the tile is looked at, still uniform, and its hash when there is an earlier tile to compare.
struct TileLook {
    bool looked = false;
    bool uniform = false;
    bool hashing = false;
    TileHash hash;
    TilePtr copyTo;  // a new tile whose rows the second pass copies
};

// Captures the tiles of the row of tiles band into out; previous as for CaptureBuffer.
void CaptureBand(const PixelBuffer& buffer, const TileGrid& grid, int band, const TiledBuffer* previous,
                 const raster::Rect* area, TiledBuffer& out, NewTiles& made, std::vector<TileLook>& looks) {
    const int first = band * grid.columns;
    const TilePlace bandPlace = grid.Place(first);
    const std::uint8_t* bandBits = buffer.Bits() + static_cast<std::size_t>(bandPlace.row) * buffer.Stride();
    bool anyLooked = false;
    for (int c = 0; c < grid.columns; ++c) {
        const std::size_t k = static_cast<std::size_t>(first + c);
        const TilePtr* before = previous ? &previous->tiles[k] : nullptr;
        TileLook& look = looks[static_cast<std::size_t>(c)];
        look = TileLook{};
        if (before && area && !Meets(grid.Place(first + c), grid, *area)) {
            out.tiles[k] = *before;
            continue;
        }
        const TilePlace place = grid.Place(first + c);
        const std::uint8_t* row = bandBits + place.offset;
        look.looked = anyLooked = true;
        look.uniform = place.bytes % grid.pixelBytes == 0 &&
                       std::memcmp(row + grid.pixelBytes, row, static_cast<std::size_t>(place.bytes - grid.pixelBytes)) == 0;
        look.hashing = before != nullptr;
    }
    if (!anyLooked) return;
    for (int r = 0; r < bandPlace.rows; ++r) {
        const std::uint8_t* row = bandBits + static_cast<std::size_t>(r) * buffer.Stride();
        for (int c = 0; c < grid.columns; ++c) {
            TileLook& look = looks[static_cast<std::size_t>(c)];
            if (!look.looked) continue;
            const TilePlace place = grid.Place(first + c);
            if (look.uniform && r > 0) {
                look.uniform = std::memcmp(row + place.offset, bandBits + place.offset, static_cast<std::size_t>(place.bytes)) == 0;
            }
            if (look.hashing) look.hash.Add(row + place.offset, static_cast<std::size_t>(place.bytes));
        }
    }
    bool anyCopy = false;
    for (int c = 0; c < grid.columns; ++c) {
        TileLook& look = looks[static_cast<std::size_t>(c)];
        if (!look.looked) continue;
        const std::size_t k = static_cast<std::size_t>(first + c);
        const TilePlace place = grid.Place(first + c);
        const TilePtr* before = previous ? &previous->tiles[k] : nullptr;
        if (look.uniform) {
            NewTiles::Uniform& u = UniformAt(buffer, place, grid.pixelBytes, made);
            if (before && HashOf(**before) == u.hash) {
                out.tiles[k] = *before;
                continue;
            }
            if (!u.tile) u.tile = Index().Find(u.hash, place, grid.pixelBytes);
            if (!u.tile) {
                u.tile = NewTile(place, grid.pixelBytes, made);
                SetHash(*u.tile, u.hash);
                CopyRows(buffer, place, u.tile->raw.get());
                Index().Add(u.hash, u.tile);
            }
            out.tiles[k] = u.tile;
            continue;
        }
        if (before) {
            const std::uint64_t hash = look.hash.Finish();
            if (HashOf(**before) == hash) {
                out.tiles[k] = *before;
                continue;
            }
            if (TilePtr kept = Index().Find(hash, place, grid.pixelBytes)) {
                out.tiles[k] = std::move(kept);
                continue;
            }
            look.copyTo = NewTile(place, grid.pixelBytes, made);
            SetHash(*look.copyTo, hash);
            Index().Add(hash, look.copyTo);
        } else {
            // With nothing to compare it with, the tile's hash waits until one is asked for.
            look.copyTo = NewTile(place, grid.pixelBytes, made);
        }
        out.tiles[k] = look.copyTo;
        anyCopy = true;
    }
    if (!anyCopy) return;
    for (int r = 0; r < bandPlace.rows; ++r) {
        const std::uint8_t* row = bandBits + static_cast<std::size_t>(r) * buffer.Stride();
        for (int c = 0; c < grid.columns; ++c) {
            const TileLook& look = looks[static_cast<std::size_t>(c)];
            if (!look.copyTo) continue;
            const TilePlace place = grid.Place(first + c);
            std::memcpy(look.copyTo->raw.get() + static_cast<std::size_t>(r) * static_cast<std::size_t>(place.bytes),
                        row + place.offset, static_cast<std::size_t>(place.bytes));
        }
    }
}

// Cuts the buffer into tiles; a tile equal to the same place of previous (same shape) is that
// tile, shared. False when memory is short. With an area (image coordinates), only the tiles
// that meet it can have changed.
bool CaptureBuffer(const PixelBuffer& buffer, const TiledBuffer* previous, TiledBuffer& out, NewTiles& made,
                   const raster::Rect* area = nullptr) {
    out.width = buffer.Width();
    out.height = buffer.Height();
    out.bitsPerPixel = buffer.BitsPerPixel();
    if (previous && !previous->SameShape(out)) previous = nullptr;
    const TileGrid grid(out.width, out.height, out.bitsPerPixel);
    out.tiles.resize(static_cast<std::size_t>(grid.Count()));
    try {
        std::vector<TileLook> looks(static_cast<std::size_t>(grid.columns));
        for (int band = 0; band < grid.rowsOfTiles; ++band) {
            CaptureBand(buffer, grid, band, previous, area, out, made, looks);
            // Packing starts with the first rows, and a large picture's raw copies never pile up.
            TheCompressor().Queue(made.fresh);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void ReadTile(Tile& tile, const TilePlace& place, int pixelBytes, PixelBuffer& buffer) {
    static thread_local std::vector<std::uint8_t> rows;
    static thread_local std::unique_ptr<ZSTD_DCtx, std::size_t (*)(ZSTD_DCtx*)> context(ZSTD_createDCtx(),
                                                                                        ZSTD_freeDCtx);
    const std::lock_guard<std::mutex> hold(tile.lock);
    if (tile.packed.empty()) {
        WriteRows(tile.raw.get(), place, buffer);
        return;
    }
    rows.resize(tile.rawSize);
    ZSTD_decompressDCtx(context.get(), rows.data(), rows.size(), tile.packed.data(), tile.packed.size());
    UndeltaRows(rows.data(), place, pixelBytes, buffer);
}

// Writes the tiles of state into buffer (of the same shape), skipping those it shares with
// shown, what the buffer holds now.
// Many tiles (a step over a whole-picture filter) are unpacked by several threads at once.
void RestoreBuffer(const TiledBuffer& state, const TiledBuffer* shown, PixelBuffer& buffer) {
    if (shown && !shown->SameShape(state)) shown = nullptr;
    const TileGrid grid(state.width, state.height, state.bitsPerPixel);
    std::vector<int> changed;
    for (int i = 0; i < grid.Count(); ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (!shown || shown->tiles[k] != state.tiles[k]) changed.push_back(i);
    }
    const auto readShare = [&](std::size_t part, std::size_t parts) {
        for (std::size_t j = part; j < changed.size(); j += parts) {
            const int i = changed[j];
            ReadTile(*state.tiles[static_cast<std::size_t>(i)], grid.Place(i), grid.pixelBytes, buffer);
        }
    };
    const std::size_t parts =
        changed.size() < kTilesForThreads ? 1 : std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    std::vector<std::thread> helpers;
    for (std::size_t part = 1; part < parts; ++part) {
        try {
            helpers.emplace_back(readShare, part, parts);
        } catch (const std::system_error&) {
            readShare(part, parts);
        }
    }
    readShare(0, parts);
    for (std::thread& helper : helpers) helper.join();
}

bool HasShape(const PixelBuffer* buffer, const TiledBuffer& tiles) {
    return buffer && buffer->Width() == tiles.width && buffer->Height() == tiles.height &&
           buffer->BitsPerPixel() == tiles.bitsPerPixel;
}

struct DocumentState {
    TiledBuffer picture;
    bool pieceHeld = false;
    TiledBuffer piece;
    TiledBuffer mask;
    std::int32_t pieceX = 0;
    std::int32_t pieceY = 0;
    std::int32_t savedPieceX = 0;
    std::int32_t savedPieceY = 0;
    int floatingTool = 0;  // 9 or 51 while the piece floats, else 0
    std::string label;
    std::string words;

    bool SameDocument(const DocumentState& o) const {
        if (!picture.SameAs(o.picture) || pieceHeld != o.pieceHeld || floatingTool != o.floatingTool) return false;
        if (!pieceHeld) return true;
        return piece.SameAs(o.piece) && mask.SameAs(o.mask) && pieceX == o.pieceX && pieceY == o.pieceY &&
               savedPieceX == o.savedPieceX && savedPieceY == o.savedPieceY;
    }
};

struct HistoryRecord {
    std::deque<DocumentState> states;
    std::size_t current = 0;
    std::ptrdiff_t saved = -1;  // the state last opened or saved; -1 when none is kept
    std::string pendingWords;
    std::size_t budget = 0;
    // An undo copy or an Undo came since the last step: the document may differ from the state
    // shown. Every change of the picture begins with one, so without it there is nothing to look for.
    bool changeComing = false;
};

HistoryRecord& History() {
    static HistoryRecord history;
    return history;
}

bool PieceFloatsWith(int tool) { return tool == kToolFloatingPiece || tool == kToolPieceGradient; }

// The tiles a new capture of the piece may share: the held piece's, or, for a piece as large as
// the picture lifted from where it lies (Select All), the picture's it was lifted from.
const TiledBuffer* PieceTilesToShare(const DocumentState* previous) {
    if (!previous) return nullptr;
    const PixelBuffer* piece = FloatingPiece.pieceBitmap;
    if (previous->pieceHeld && HasShape(piece, previous->piece)) return &previous->piece;
    if (HasShape(piece, previous->picture) && FloatingPiece.pieceX == 0 && FloatingPiece.pieceY == 0) {
        return &previous->picture;
    }
    return nullptr;
}

// The document as it is now; previous (the state shown) gives the tiles to share. False when
// memory is short.
bool CaptureDocument(const DocumentState* previous, bool floating, DocumentState& out,
                     const raster::Rect* area = nullptr) {
    const ImageBox& box = CurrentBox();
    TheCompressor().Hold();
    struct Released {
        ~Released() { TheCompressor().Release(); }
    } released;
    const FloatingPieceRecord& p = FloatingPiece;
    out.pieceHeld = p.pieceBitmap != nullptr && p.maskBitmap != nullptr;
    const bool share = out.pieceHeld && previous && previous->pieceHeld;
    // An action that names its area left the held piece alone.
    const bool pieceKept =
        share && area && HasShape(p.pieceBitmap, previous->piece) && HasShape(p.maskBitmap, previous->mask);
    NewTiles pictureMade;
    bool pictureOk = false;
    const auto capturePicture = [&] {
        pictureOk = CaptureBuffer(*box.workBitmap, previous ? &previous->picture : nullptr, out.picture, pictureMade, area);
    };
    // A large picture and a new piece are captured side by side: their tiles lie apart, and
    // the tile index and the compressor's queue take turns.
    std::thread pictureThread;
    if (out.pieceHeld && !pieceKept && box.workBitmap->ByteSize() >= kPictureBytesForTwoThreads) {
        try {
            pictureThread = std::thread(capturePicture);
        } catch (const std::system_error&) {
        }
    }
    if (!pictureThread.joinable()) {
        capturePicture();
        if (!pictureOk) return false;
    }
    bool pieceOk = true;
    if (out.pieceHeld) {
        NewTiles made;
        if (pieceKept) {
            out.piece = previous->piece;
            out.mask = previous->mask;
        } else {
            pieceOk = CaptureBuffer(*p.pieceBitmap, PieceTilesToShare(previous), out.piece, made) &&
                      CaptureBuffer(*p.maskBitmap, share ? &previous->mask : nullptr, out.mask, made);
        }
    }
    if (pictureThread.joinable()) pictureThread.join();
    if (!pictureOk || !pieceOk) return false;
    if (out.pieceHeld) {
        out.pieceX = p.pieceX;
        out.pieceY = p.pieceY;
        out.savedPieceX = p.savedPieceX;
        out.savedPieceY = p.savedPieceY;
    }
    out.floatingTool = floating && out.pieceHeld && PieceFloatsWith(PaintSettings.Tool) ? PaintSettings.Tool : 0;
    return true;
}

void SetModifiedByHistory() {
    const HistoryRecord& h = History();
    ImageState.ImageModified = static_cast<std::ptrdiff_t>(h.current) == h.saved ? 0 : 1;
}

// The oldest states go first, never the one shown.
void KeepWithinBudget() {
    HistoryRecord& h = History();
    const std::size_t budget = HistoryBudget();
    while (HistoryMemory() > budget && h.current > 0) {
        h.states.pop_front();
        --h.current;
        if (h.saved >= 0) --h.saved;
    }
}

void ShowOutOfMemory() {
    platform::ShowMessageBox(kNoMemoryUndo, platform::kCaptionOutOfMemory, platform::MessageButtons::Ok,
                             platform::MessageIcon::Stop);
}

// A buffer of the state's shape in place of the one given (the image after a size change).
bool Reshape(std::unique_ptr<raster::DrawingContext>& dc, PixelBuffer*& bitmap, const TiledBuffer& shape,
             raster::BitmapInfo& header) {
    if (HasShape(bitmap, shape)) return true;
    PixelBuffer* made = nullptr;
    std::unique_ptr<raster::DrawingContext> fresh =
        MakeBufferContext(shape.width, shape.height, shape.bitsPerPixel, header, made);
    if (!fresh) return false;
    dc = std::move(fresh);
    bitmap = made;
    return true;
}

bool RestorePicture(const DocumentState& state, const DocumentState& shown) {
    ImageBox& box = CurrentBox();
    const bool sameShape = HasShape(box.workBitmap, state.picture);
    if (!Reshape(box.workDc, box.workBitmap, state.picture, box.bitmapInfo)) return false;
    RestoreBuffer(state.picture, sameShape ? &shown.picture : nullptr, *box.workBitmap);
    if (!sameShape) {
        box.width = state.picture.width;
        box.height = state.picture.height;
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    }
    return true;
}

bool RestorePiece(const DocumentState& state, const DocumentState& shown) {
    FloatingPieceRecord& p = FloatingPiece;
    if (!state.pieceHeld) {
        FreeFloatingPiece();
        return true;
    }
    const bool sameShape = HasShape(p.pieceBitmap, state.piece) && HasShape(p.maskBitmap, state.mask);
    if (!sameShape && CreateFloatingPiece(state.piece.width, state.piece.height) != 1) return false;
    const bool share = sameShape && shown.pieceHeld;
    RestoreBuffer(state.piece, share ? &shown.piece : nullptr, *p.pieceBitmap);
    RestoreBuffer(state.mask, share ? &shown.mask : nullptr, *p.maskBitmap);
    p.pieceX = state.pieceX;
    p.pieceY = state.pieceY;
    p.savedPieceX = state.savedPieceX;
    p.savedPieceY = state.savedPieceY;
    return true;
}

void RestoreTool(const DocumentState& state) {
    const int tool = PaintSettings.Tool;
    if (state.floatingTool != 0) {
        PaintSettings.Tool = static_cast<std::int8_t>(state.floatingTool);
        // The floating piece is the Select group's; the gradient over it is the Area group's.
        PaintSettings.Group = static_cast<std::int8_t>(state.floatingTool == kToolFloatingPiece ? 0 : 3);
    } else if (tool == kToolPieceGradient) {
        PaintSettings.Tool = kToolGradient;
    } else if (tool == kToolFloatingPiece) {
        PaintSettings.Tool = static_cast<std::int8_t>(SelectionToolOfGroup());
    }
}

// The undo level holds what is shown: Undo has nothing to take back but a floating piece's
// move, and the next action takes its own copy as always.
void UndoLevelHoldsShown(const DocumentState& state) {
    const std::uint8_t modified = ImageState.ImageModified;
    TakeImageUndo();
    if (state.pieceHeld) TakePieceUndo();
    ImageState.UndoKind = state.floatingTool != 0 ? static_cast<std::uint32_t>(state.floatingTool) : kUndoKindFilter;
    ImageState.ImageModified = modified;
}

// What escaped a step is not lost: it becomes one before the document is replaced.
void RecordWhatEscaped() {
    if (History().changeComing) RecordHistoryStep("Change", "");
}

bool StepTo(std::size_t target) {
    HistoryRecord& h = History();
    if (!CurrentBox().workBitmap || target >= h.states.size() || target == h.current) return false;
    const DocumentState& state = h.states[target];
    const DocumentState& shown = h.states[h.current];
    if (!RestorePicture(state, shown) || !RestorePiece(state, shown)) {
        ShowOutOfMemory();
        return false;
    }
    h.current = target;
    RestoreTool(state);
    UndoLevelHoldsShown(state);
    h.changeComing = false;
    // The document is another one now: copies kept of it (the recovery copy) are out of date.
    ++ImageState.EditCount;
    SetModifiedByHistory();
    RepaintWholeView();
    return true;
}

}  // namespace

std::size_t DefaultHistoryBudget() {
    const std::uint64_t quarter = platform::PhysicalMemoryBytes() / 4;
    return quarter == 0 ? kGiB : static_cast<std::size_t>(std::min<std::uint64_t>(kGiB, quarter));
}

void SetHistoryBudget(std::size_t bytes) {
    History().budget = bytes;
    KeepWithinBudget();
}

std::size_t HistoryBudget() {
    HistoryRecord& h = History();
    if (h.budget == 0) h.budget = DefaultHistoryBudget();
    return h.budget;
}

void ClearHistory() {
    HistoryRecord& h = History();
    TheCompressor().Clear();
    Index().Clear();
    h.states.clear();
    h.current = 0;
    h.saved = -1;
    h.pendingWords.clear();
    h.changeComing = false;
}

void NoteChangeComing() {
    EnsureHistoryBase();
    History().changeComing = true;
}

void EnsureHistoryBase() {
    HistoryRecord& h = History();
    if (!h.states.empty() || !CurrentBox().workBitmap) return;
    HistoryBudget();
    DocumentState base;
    // A fresh document has no floating piece: the new image took the piece's tool away.
    if (!CaptureDocument(nullptr, false, base)) return;
    h.states.push_back(std::move(base));
    h.current = 0;
    h.saved = ImageState.ImageModified ? -1 : 0;
}

bool RecordHistoryStep(const std::string& label, const std::string& batchWords, const raster::Rect* changedArea) {
    HistoryRecord& h = History();
    if (!CurrentBox().workBitmap) return false;
    if (h.states.empty()) {
        EnsureHistoryBase();
        if (h.states.empty()) return false;
    }
    h.changeComing = false;
    DocumentState state;
    if (!CaptureDocument(&h.states[h.current], true, state, changedArea)) {
        ShowOutOfMemory();
        return false;
    }
    if (state.SameDocument(h.states[h.current])) return false;
    state.label = label;
    state.words = h.pendingWords + (h.pendingWords.empty() || batchWords.empty() ? "" : " ") + batchWords;
    h.pendingWords.clear();
    h.states.erase(h.states.begin() + static_cast<std::ptrdiff_t>(h.current) + 1, h.states.end());
    if (h.saved > static_cast<std::ptrdiff_t>(h.current)) h.saved = -1;
    h.states.push_back(std::move(state));
    h.current = h.states.size() - 1;
    SetModifiedByHistory();
    KeepWithinBudget();
    return true;
}

void KeepHistoryWords(const std::string& batchWords) {
    HistoryRecord& h = History();
    if (!batchWords.empty()) h.pendingWords += (h.pendingWords.empty() ? "" : " ") + batchWords;
}

bool CanStepBackward() { return History().current > 0; }
bool CanStepForward() { return History().current + 1 < History().states.size(); }

std::string StepBackwardLabel() { return CanStepBackward() ? History().states[History().current].label : ""; }
std::string StepForwardLabel() { return CanStepForward() ? History().states[History().current + 1].label : ""; }

bool StepBackward() {
    RecordWhatEscaped();
    return CanStepBackward() && StepTo(History().current - 1);
}

bool StepForward() {
    RecordWhatEscaped();
    return CanStepForward() && StepTo(History().current + 1);
}

void MarkHistorySaved() {
    HistoryRecord& h = History();
    if (!h.states.empty()) h.saved = static_cast<std::ptrdiff_t>(h.current);
}

std::size_t HistoryStateCount() { return History().states.size(); }
std::size_t HistoryCurrentIndex() { return History().current; }
bool HistoryChangePending() { return History().changeComing; }
std::size_t HistoryMemory() { return static_cast<std::size_t>(std::max<std::int64_t>(g_tileBytes.load(), 0)); }

std::string HistoryStepWords(std::size_t index) {
    return index < History().states.size() ? History().states[index].words : "";
}

std::string HistoryStepLabel(std::size_t index) {
    return index < History().states.size() ? History().states[index].label : "";
}

void WaitForHistoryCompression() { TheCompressor().Wait(); }

void ResetHistory() {
    ClearHistory();
    TheCompressor().Wait();
    History().budget = 0;
}

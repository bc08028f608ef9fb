#include "files/RecoveryCopies.h"

#include <dirent.h>
#include <fcntl.h>
#include <png.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csetjmp>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <thread>

#include "files/OpenSave.h"
#include "files/PngReader.h"
#include "files/PngWriter.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/View.h"
#include "platform/MessageBox.h"

namespace {

constexpr const char* kPathKey = "Pixelwright Path";
constexpr const char* kNameKey = "Pixelwright Name";
constexpr const char* kLockEnding = ".lock";
constexpr const char* kCopyEnding = ".png";
constexpr std::size_t kNameKeep = 100;  // of the document's name in a copy's name
constexpr std::size_t kTimeLength = 15;  // YYYYmmdd-HHMMSS
constexpr std::size_t kTemporaryTail = 7;  // ".XXXXXX" of the safe writer's temporary files

// One write under way: the copy of the picture it owns, and what came of it.
struct PendingWrite {
    std::thread thread;
    std::atomic<bool> done{false};
    std::atomic<bool> cancel{false};
    std::unique_ptr<PixelBuffer> picture;
    QuietPngWrite options;
    std::string path;
    std::string reason;
    int result = 0;
    std::uint64_t count = 0;  // the EditCount the picture was taken at
};

struct RecoveryRecord {
    bool active = false;
    std::string folder;
    std::string instance;  // "PID-TAG"
    std::string lockPath;
    int lockFd = -1;
    std::string copy;  // this program's copy on disk
    // The EditCount the copy holds; after a failed write, the one that was tried, so that
    // the next try waits for the next change.
    std::uint64_t writtenCount = 0;
    bool failureShown = false;
    std::unique_ptr<PendingWrite> pending;
};

RecoveryRecord g_recovery;

bool EndsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

std::string ErrnoText(int error) { return std::strerror(error ? error : EIO); }

bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
    closedir(dir);
    return names;
}

// The parts of a copy's name; empty instance when the name is not one.
struct CopyName {
    std::string document;
    std::string time;
    std::string instance;
};

bool AllOf(const std::string& text, const char* allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string::npos;
}

bool IsInstance(const std::string& text) {
    const std::size_t dash = text.find('-');
    return dash != std::string::npos && AllOf(text.substr(0, dash), "0123456789") &&
           text.size() - dash - 1 == 8 && AllOf(text.substr(dash + 1), "0123456789abcdef");
}

CopyName ParseCopyName(const std::string& name) {
    if (!EndsWith(name, kCopyEnding) || name[0] == '.') return {};
    const std::string stem = name.substr(0, name.size() - std::strlen(kCopyEnding));
    const std::size_t last = stem.rfind('_');
    if (last == std::string::npos || last < kTimeLength + 1) return {};
    const std::string instance = stem.substr(last + 1);
    const std::string time = stem.substr(last - kTimeLength, kTimeLength);
    if (stem[last - kTimeLength - 1] != '_' || !IsInstance(instance)) return {};
    if (time[8] != '-' || !AllOf(time.substr(0, 8) + time.substr(9), "0123456789")) return {};
    return {stem.substr(0, last - kTimeLength - 1), time, instance};
}

// The document's name as a file name may hold it.
std::string SafeName(const std::string& name) {
    std::string safe = name.substr(0, kNameKeep);
    for (char& c : safe) {
        const auto u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) || u >= 0x80 || c == '.' || c == '-' || c == '+')) c = '_';
    }
    if (!safe.empty() && safe[0] == '.') safe[0] = '_';
    return safe.empty() ? "untitled" : safe;
}

std::string TimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::string RandomTag() {
    std::random_device device;
    const std::uint32_t value = device();
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

// True when nobody holds a lock on the file at path (nor could, the file being gone).
bool Unlocked(const std::string& path, bool* unsupported) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    const int locked = flock(fd, LOCK_SH | LOCK_NB);
    const int error = errno;
    close(fd);
    if (locked == 0) return true;
    if (error != EWOULDBLOCK && unsupported) *unsupported = true;
    return false;
}

bool ProcessExists(const std::string& instance) {
    const long pid = std::strtol(instance.c_str(), nullptr, 10);
    if (pid <= 0) return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool TakeLock(RecoveryRecord& r, std::string* reason) {
    r.instance = std::to_string(getpid()) + "-" + RandomTag();
    r.lockPath = r.folder + "/" + r.instance + kLockEnding;
    // Locked before it takes its name, so that nobody ever sees it unlocked.
    std::string temporary = r.folder + "/." + r.instance + kLockEnding + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        *reason = ErrnoText(errno);
        return false;
    }
    // Without locks on this file system the process id tells whether the program runs.
    flock(fd, LOCK_EX | LOCK_NB);
    const std::string pid = std::to_string(getpid()) + "\n";
    const bool written = write(fd, pid.data(), pid.size()) == static_cast<ssize_t>(pid.size());
    if (!written || rename(temporary.c_str(), r.lockPath.c_str()) != 0) {
        *reason = ErrnoText(errno);
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    r.lockFd = fd;
    return true;
}

void WaitForPending(RecoveryRecord& r, bool cancel) {
    if (!r.pending) return;
    if (cancel) r.pending->cancel = true;
    if (r.pending->thread.joinable()) r.pending->thread.join();
}

void ReportWriteFailure(RecoveryRecord& r, const std::string& path, const std::string& reason) {
    if (r.failureShown) return;
    r.failureShown = true;
    platform::ShowMessageBox("Can't write the recovery copy \"" + path + "\"\n" + reason +
                                 "\nUnsaved changes may not survive a crash; save them.",
                             platform::kCaptionError, platform::MessageButtons::Ok, platform::MessageIcon::Warning);
}

// Reads the text chunks of a PNG held in memory; false when it is no readable PNG.
struct PngBytes {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at;
};

void ReadFromBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<PngBytes*>(png_get_io_ptr(png));
    if (source->bytes->size() - source->at < length) png_error(png, "short");
    std::memcpy(data, source->bytes->data() + source->at, length);
    source->at += length;
}

void StopReading(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

bool ReadTexts(const std::vector<std::uint8_t>& bytes, std::map<std::string, std::string>& texts) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, StopReading, IgnoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    PngBytes source{&bytes, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, ReadFromBytes);
    png_read_info(png, info);
    png_textp text = nullptr;
    const int count = png_get_text(png, info, &text, nullptr);
    for (int i = 0; i < count; ++i) {
        const std::size_t length = text[i].compression >= PNG_ITXT_COMPRESSION_NONE ? text[i].itxt_length
                                                                                    : text[i].text_length;
        texts[text[i].key] = std::string(text[i].text, length);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// The picture as the user sees it, as Save would write it, in a copy of its own; null
// without memory (no message: the caller tells).
std::unique_ptr<PixelBuffer> CopyOfPictureAsShown() {
    const ImageBox& box = CurrentBox();
    const FloatingPieceRecord& p = FloatingPiece;
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> copy = CreatePixelBuffer(box.width, box.height, 24, header, nullptr);
    if (!copy) return nullptr;
    CopyPixels(copy.get(), box.workBitmap);
    if (PieceOnCanvas() && p.pieceBitmap && p.maskBitmap) {
        PastePieceThroughMask(*copy, p.pieceX, p.pieceY, *p.pieceBitmap, *p.maskBitmap, PaintSettings.Trans != 0,
                              PaintSettings.BColor);
    }
    return copy;
}

std::string DocumentName() {
    const std::string name = FileNameOf(ImageState.CurrentPath);
    return name.empty() ? "untitled" : name;
}

}  // namespace

std::string DefaultRecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/pixelwright";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/pixelwright";
    return std::string();
}

bool StartRecovery(const std::string& folder) {
    ResetRecoveryState();
    RecoveryRecord& r = g_recovery;
    r.folder = folder;
    std::string reason;
    if (folder.empty()) {
        reason = "There is no folder for it: neither XDG_STATE_HOME nor HOME is set.";
    } else if (!MakeFolders(folder)) {
        reason = ErrnoText(errno);
    }
    if (!reason.empty() || !TakeLock(r, &reason)) {
        platform::ShowMessageBox("Can't keep recovery copies in \"" + folder + "\"\n" + reason +
                                     "\nUnsaved changes will not survive a crash.",
                                 platform::kCaptionError, platform::MessageButtons::Ok, platform::MessageIcon::Warning);
        r = RecoveryRecord{};
        return false;
    }
    r.active = true;
    r.writtenCount = ImageState.EditCount;
    return true;
}

void StopRecovery() {
    RecoveryRecord& r = g_recovery;
    if (!r.active) return;
    DiscardRecoveryCopy();
    unlink(r.lockPath.c_str());
    close(r.lockFd);
    r = RecoveryRecord{};
}

void ResetRecoveryState() {
    RecoveryRecord& r = g_recovery;
    WaitForPending(r, true);
    if (r.lockFd >= 0) close(r.lockFd);
    r = RecoveryRecord{};
}

bool RecoveryActive() { return g_recovery.active; }
const std::string& RecoveryFolder() { return g_recovery.folder; }
const std::string& RecoveryInstance() { return g_recovery.instance; }
const std::string& CurrentRecoveryCopy() { return g_recovery.copy; }
bool RecoveryWriteRunning() { return g_recovery.pending != nullptr; }

bool RecoveryCopyDue() {
    const RecoveryRecord& r = g_recovery;
    return r.active && !r.pending && ImageState.ImageModified && ImageState.EditCount != r.writtenCount &&
           CurrentBox().workBitmap;
}

bool BeginRecoveryWrite() {
    RecoveryRecord& r = g_recovery;
    if (!RecoveryCopyDue()) return false;
    auto write = std::make_unique<PendingWrite>();
    write->count = ImageState.EditCount;
    write->picture = CopyOfPictureAsShown();
    const std::string name = DocumentName();
    write->path = r.folder + "/" + SafeName(name) + "_" + TimeNow() + "_" + r.instance + kCopyEnding;
    if (!write->picture) {
        r.writtenCount = write->count;
        ReportWriteFailure(r, write->path, kNoMemoryBitmap);
        return false;
    }
    write->options.texts = {{kPathKey, ImageState.CurrentPath}, {kNameKey, name}};
    write->options.cancel = &write->cancel;
    PendingWrite* w = write.get();
    r.pending = std::move(write);
    w->thread = std::thread([w] {
        w->result = WritePngQuietly(*w->picture, w->path, w->options, &w->reason);
        w->picture.reset();
        w->done = true;
    });
    return true;
}

void CollectRecoveryWrite(bool wait) {
    RecoveryRecord& r = g_recovery;
    if (!r.pending || (!wait && !r.pending->done)) return;
    WaitForPending(r, false);
    const std::unique_ptr<PendingWrite> write = std::move(r.pending);
    r.writtenCount = write->count;
    if (!write->result) {
        ReportWriteFailure(r, write->path, write->reason);
        return;
    }
    // The new copy is in place before the old one goes: there is always one.
    if (!r.copy.empty() && r.copy != write->path) unlink(r.copy.c_str());
    r.copy = write->path;
    r.failureShown = false;
}

void DiscardRecoveryCopy() {
    RecoveryRecord& r = g_recovery;
    if (!r.active) return;
    if (r.pending) {
        WaitForPending(r, true);
        if (r.pending->result) unlink(r.pending->path.c_str());
        r.pending.reset();
    }
    if (!r.copy.empty()) unlink(r.copy.c_str());
    r.copy.clear();
    r.writtenCount = ImageState.EditCount;
}

bool RecoveryInstanceRunning(const std::string& instance) {
    bool unsupported = false;
    if (Unlocked(g_recovery.folder + "/" + instance + kLockEnding, &unsupported)) return false;
    return !unsupported || ProcessExists(instance);
}

std::vector<std::string> OrphanRecoveryCopies() {
    RecoveryRecord& r = g_recovery;
    std::vector<std::pair<std::string, std::string>> found;  // time, path
    std::map<std::string, bool> running;
    for (const std::string& entry : FolderEntries(r.folder)) {
        const CopyName name = ParseCopyName(entry);
        if (name.instance.empty() || name.instance == r.instance) continue;
        auto known = running.find(name.instance);
        if (known == running.end()) known = running.emplace(name.instance, RecoveryInstanceRunning(name.instance)).first;
        if (!known->second) found.emplace_back(name.time, r.folder + "/" + entry);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a > b; });
    std::vector<std::string> paths;
    for (const auto& copy : found) paths.push_back(copy.second);
    return paths;
}

std::string ClaimRecoveryCopy(const std::string& path) {
    const RecoveryRecord& r = g_recovery;
    const CopyName name = ParseCopyName(FileNameOf(path));
    if (!r.active || name.instance.empty()) return std::string();
    const std::string claimed = r.folder + "/" + name.document + "_" + name.time + "_" + r.instance + kCopyEnding;
    // Of two programs renaming the same file, one finds it gone.
    if (rename(path.c_str(), claimed.c_str()) != 0) return std::string();
    return claimed;
}

RecoveredPicture ReadRecoveryCopy(const std::string& path) {
    RecoveredPicture recovered;
    recovered.name = ParseCopyName(FileNameOf(path)).document;
    std::vector<std::uint8_t> bytes;
    const platform::DecodedImage read = platform::ReadImageFileBytes(path, bytes);
    if (read.status != platform::DecodeStatus::Ok) {
        recovered.problem = read.text;
        return recovered;
    }
    std::map<std::string, std::string> texts;
    if (!LooksLikePng(bytes.data(), bytes.size()) || !ReadTexts(bytes, texts)) {
        recovered.problem = "it is not a PNG file that can be read.";
        return recovered;
    }
    const auto original = texts.find(kPathKey);
    const auto name = texts.find(kNameKey);
    if (original == texts.end() || name == texts.end()) {
        recovered.problem = "it does not say which picture it belongs to.";
        return recovered;
    }
    recovered.originalPath = original->second;
    recovered.name = name->second;
    platform::DecodedImage decoded = DecodePng(bytes.data(), bytes.size(), FileNameOf(path), PaintSettings.BColor);
    if (decoded.status == platform::DecodeStatus::Ok) {
        recovered.image = std::move(decoded.image);
    } else if (decoded.status == platform::DecodeStatus::OutOfMemory) {
        recovered.problem = decoded.text;
    } else {
        recovered.problem = "the picture in it is damaged.";
    }
    return recovered;
}

std::string KeepRecoveryCopyAside(const std::string& path) {
    const std::string stem = path.substr(0, path.size() - std::strlen(kCopyEnding));
    for (int n = 1; n < 1000; ++n) {
        const std::string aside = stem + (n == 1 ? std::string(".damaged") : ".damaged-" + std::to_string(n)) + ".png";
        // A link never replaces a file kept aside before.
        if (link(path.c_str(), aside.c_str()) == 0) {
            unlink(path.c_str());
            return aside;
        }
        if (errno != EEXIST) break;
    }
    return path;
}

void RemoveRecoveryCopy(const std::string& path) { unlink(path.c_str()); }

void AdoptRecoveryCopy(const std::string& path) {
    RecoveryRecord& r = g_recovery;
    if (!r.active) return;
    if (!r.copy.empty() && r.copy != path) unlink(r.copy.c_str());
    r.copy = path;
    r.writtenCount = ImageState.EditCount;
}

void TidyRecoveryFolder() {
    const RecoveryRecord& r = g_recovery;
    if (!r.active) return;
    const std::vector<std::string> entries = FolderEntries(r.folder);
    std::map<std::string, bool> hasCopy;
    for (const std::string& entry : entries) {
        const CopyName name = ParseCopyName(entry);
        if (!name.instance.empty()) hasCopy[name.instance] = true;
    }
    for (const std::string& entry : entries) {
        const std::string path = r.folder + "/" + entry;
        if (entry[0] == '.' && entry.size() > kTemporaryTail + 1) {
            // An unfinished write: a lock on its way into place is locked itself; a copy's
            // belongs to its program.
            const std::string inner = entry.substr(1, entry.size() - 1 - kTemporaryTail);
            const CopyName name = ParseCopyName(inner);
            const bool gone = EndsWith(inner, kLockEnding)
                                  ? Unlocked(path, nullptr)
                                  : !name.instance.empty() && name.instance != r.instance &&
                                        !RecoveryInstanceRunning(name.instance);
            if (gone) unlink(path.c_str());
            continue;
        }
        if (!EndsWith(entry, kLockEnding)) continue;
        const std::string instance = entry.substr(0, entry.size() - std::strlen(kLockEnding));
        if (IsInstance(instance) && instance != r.instance && !hasCopy[instance] &&
            !RecoveryInstanceRunning(instance)) {
            unlink(path.c_str());
        }
    }
}

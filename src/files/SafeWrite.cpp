#include "files/SafeWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/MessageBox.h"

namespace {

// Leaves room for the dot and the random part within the usual 255-byte name limit.
constexpr std::size_t kTemporaryNameKeep = 200;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link is replaced at its destination, so the link itself stays.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) return path;
    return resolved;
}

// A new file gets the mode files are normally made with; a replaced one keeps its own.
void GiveMode(int fd, const std::string& target) {
    struct stat info {};
    if (stat(target.c_str(), &info) == 0) {
        // Keeping the owner needs the rights to; without them the new file is simply ours.
        [[maybe_unused]] const int owned = fchown(fd, info.st_uid, info.st_gid);
        fchmod(fd, info.st_mode & 07777);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

std::string ErrnoText(int error) { return error ? std::strerror(error) : std::string(); }

}  // namespace

bool OpenSafeFile(SafeFile& out, const std::string& path) {
    out = SafeFile{};
    out.target = path;
    if (path.empty()) return false;
    const std::string real = ResolvedTarget(path);
    struct stat info {};
    if (stat(real.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        out.file = std::fopen(real.c_str(), "wb");
        return out.file != nullptr;
    }
    const std::string folder = FolderOf(real);
    std::string pattern = folder + "/." + NameOf(real).substr(0, kTemporaryNameKeep) + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return false;
    GiveMode(fd, real);
    out.file = fdopen(fd, "wb");
    if (!out.file) {
        close(fd);
        unlink(pattern.c_str());
        return false;
    }
    out.temporary = pattern;
    return true;
}

bool CommitSafeFile(SafeFile& out, std::string* reason) {
    int error = 0;
    errno = 0;
    if (std::fflush(out.file) != 0 || std::ferror(out.file)) error = errno ? errno : EIO;
    if (!error && !out.temporary.empty() && fsync(fileno(out.file)) != 0) error = errno;
    if (std::fclose(out.file) != 0 && !error) error = errno ? errno : EIO;
    out.file = nullptr;
    if (!error && !out.temporary.empty()) {
        const std::string real = ResolvedTarget(out.target);
        if (std::rename(out.temporary.c_str(), real.c_str()) != 0) {
            error = errno;
        } else {
            SyncFolder(FolderOf(real));
            out.temporary.clear();
        }
    }
    if (!out.temporary.empty()) {
        unlink(out.temporary.c_str());
        out.temporary.clear();
    }
    if (error && reason) *reason = ErrnoText(error);
    return error == 0;
}

void AbandonSafeFile(SafeFile& out) {
    if (out.file) std::fclose(out.file);
    out.file = nullptr;
    if (!out.temporary.empty()) unlink(out.temporary.c_str());
    out.temporary.clear();
}

void ReportCantOpen(const std::string& path) {
    platform::ShowMessageBox("Can't open file\"" + path + "\"", platform::kCaptionError, platform::MessageButtons::Ok,
                             platform::MessageIcon::Stop);
}

void ReportCantWrite(const std::string& path, const std::string& reason) {
    std::string text = "Can't write file\"" + path + "\"";
    if (!reason.empty()) text += "\n" + reason;
    platform::ShowMessageBox(text, platform::kCaptionError, platform::MessageButtons::Ok, platform::MessageIcon::Stop);
}

void ReportWriteFailure(const std::string& path, bool cantOpen, const std::string& reason) {
    if (cantOpen) {
        ReportCantOpen(path);
    } else {
        ReportCantWrite(path, reason);
    }
}

#include "files/SafeWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cctype>
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

// A reason as the end of a sentence: "Write Error" becomes "write error.", while an
// abbreviation at its start ("JPEG ...") keeps its capitals.
std::string AsSentenceEnd(std::string reason) {
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
    if (reason.empty()) return reason;
    const bool abbreviation = reason.size() > 1 && std::isupper(static_cast<unsigned char>(reason[1]));
    if (!abbreviation) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    if (reason.back() != '.') reason += '.';
    return reason;
}

}  // namespace

bool OpenSafeFile(SafeFile& out, const std::string& path) {
    out = SafeFile{};
    out.target = path;
    if (path.empty()) return false;
    const std::string real = ResolvedTarget(path);
    struct stat info {};
    if (stat(real.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        errno = 0;
        out.file = std::fopen(real.c_str(), "wb");
        if (!out.file) out.error = errno;
        return out.file != nullptr;
    }
    const std::string folder = FolderOf(real);
    std::string pattern = folder + "/." + NameOf(real).substr(0, kTemporaryNameKeep) + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        out.error = errno;
        return false;
    }
    GiveMode(fd, real);
    out.file = fdopen(fd, "wb");
    if (!out.file) {
        out.error = errno;
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
    if (error && reason) *reason = WriteErrorText(error);
    return error == 0;
}

void AbandonSafeFile(SafeFile& out) {
    if (out.file) std::fclose(out.file);
    out.file = nullptr;
    if (!out.temporary.empty()) unlink(out.temporary.c_str());
    out.temporary.clear();
}

std::string WriteErrorText(int error) {
    switch (error) {
        case 0: return std::string();
        case EACCES:
        case EPERM: return "you have no permission to write there.";
        case ENOENT:
        case ENOTDIR: return "there is no such folder.";
        case EISDIR: return "it is a folder, not a file.";
        case ENOSPC: return "the disk is full.";
        case EDQUOT: return "your disk quota is used up.";
        case EROFS: return "the disk can only be read.";
        default: return AsSentenceEnd(std::strerror(error));
    }
}

namespace {

void ReportFileError(const std::string& verb, const std::string& path, const std::string& reason) {
    const std::string words = AsSentenceEnd(reason);
    const std::string text = "Can't " + verb + " file \"" + path + "\"" + (words.empty() ? "." : ": " + words);
    platform::ShowMessageBox(text, platform::kCaptionError, platform::MessageButtons::Ok, platform::MessageIcon::Stop);
}

}  // namespace

void ReportCantOpen(const std::string& path, const std::string& reason) { ReportFileError("open", path, reason); }

void ReportCantWrite(const std::string& path, const std::string& reason) { ReportFileError("write", path, reason); }

void ReportWriteFailure(const std::string& path, bool cantOpen, const std::string& reason) {
    if (cantOpen) {
        ReportCantOpen(path, reason);
    } else {
        ReportCantWrite(path, reason);
    }
}

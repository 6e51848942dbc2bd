#include "Output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace OrvTool {

namespace {

int outputError = 0;

// Writes all of `text`; false with errno set on failure.
bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool WriteParts(int fd, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts) {
        if (!WriteAll(fd, part)) {
            return false;
        }
    }
    return true;
}

mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

bool WriteInPlace(const std::string& path, std::initializer_list<std::string_view> parts, std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool written = WriteParts(fd, parts);
    int reason = errno;
    if (close(fd) != 0 && written) {
        written = false;
        reason = errno;
    }
    if (!written) {
        error = std::strerror(reason);
    }
    return written;
}

}  // namespace

void IgnoreWriteSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

void Print(std::string_view text) {
    if (outputError == 0 && !WriteAll(STDOUT_FILENO, text)) {
        outputError = errno;
    }
}

int StandardOutputError() {
    return outputError;
}

bool ReplaceFile(const std::string& path, std::initializer_list<std::string_view> parts, std::string& error) {
    struct stat info {};
    const bool exists = stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        return WriteInPlace(path, parts, error);
    }
    std::string target = path;
    struct stat link {};
    if (exists && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr) {
            error = std::strerror(errno);
            return false;
        }
        target = resolved;
    }
    const auto slash = target.rfind('/');
    std::string temporary = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    temporary += "." + target.substr(slash == std::string::npos ? 0 : slash + 1) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool written = fchmod(fd, exists ? info.st_mode & 07777 : 0666 & ~CurrentUmask()) == 0;
    if (written && exists) {
        // Keeping the owner works for root only, and a failure there is no
        // reason to give up the write.
        [[maybe_unused]] const int ignored = fchown(fd, info.st_uid, info.st_gid);
    }
    written = written && WriteParts(fd, parts) && fsync(fd) == 0;
    int reason = errno;
    if (close(fd) != 0 && written) {
        written = false;
        reason = errno;
    }
    if (written && rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        reason = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        error = std::strerror(reason);
    }
    return written;
}

}  // namespace OrvTool

#include "platform/fileio/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fileio {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool fail(const std::string& why, std::vector<std::uint8_t>& bytes, std::string& reason) {
    bytes.clear();
    reason = why;
    return false;
}

}  // namespace

bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& reason,
                     std::uint64_t max_bytes, bool follow_links) {
    bytes.clear();
    if (path.empty()) return fail("empty file name", bytes, reason);
    if (path.find('\0') != std::string::npos) return fail("the file name contains a NUL byte", bytes, reason);
    // O_NONBLOCK: opening a named pipe must not wait for a writer; it is then
    // refused below as not a regular file.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (follow_links ? 0 : O_NOFOLLOW);
    const FileDescriptor file(::open(path.c_str(), flags));
    if (file.get() < 0) {
        if (errno == ELOOP && !follow_links) return fail("is a link, refused", bytes, reason);
        return fail(std::strerror(errno), bytes, reason);
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return fail(std::strerror(errno), bytes, reason);
    if (S_ISDIR(status.st_mode)) return fail("is a folder, not a file", bytes, reason);
    if (!S_ISREG(status.st_mode)) return fail("is not a regular file", bytes, reason);
    const std::string too_large = "is larger than " + std::to_string(max_bytes >> 20) + " MiB";
    if (std::uint64_t(status.st_size) > max_bytes) return fail(too_large, bytes, reason);

    bytes.resize(std::size_t(status.st_size));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // The file may have grown since fstat. Probe into a small buffer
            // rather than zero-filling room in bytes that nearly always stays
            // unused: pictures are read by the thousand.
            unsigned char more[4096];
            const ssize_t got = ::read(file.get(), more, sizeof more);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return fail(std::string("cannot read: ") + std::strerror(errno), bytes, reason);
            if (got == 0) break;
            if (bytes.size() + std::size_t(got) > max_bytes) return fail(too_large, bytes, reason);
            bytes.insert(bytes.end(), more, more + got);
            filled = bytes.size();
            continue;
        }
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(std::string("cannot read: ") + std::strerror(errno), bytes, reason);
        if (got == 0) break;
        filled += std::size_t(got);
    }
    bytes.resize(filled);
    return true;
}

bool read_regular_file(const std::string& path, const std::string& shown, std::vector<std::uint8_t>& bytes,
                       std::string& error, bool follow_links) {
    if (read_whole_file(path, bytes, error, max_file_bytes, follow_links)) return true;
    error = shown + ": " + error;
    return false;
}

}  // namespace fileio

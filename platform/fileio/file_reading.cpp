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

bool fail(const std::string& shown, const std::string& reason, std::vector<std::uint8_t>& bytes, std::string& error) {
    bytes.clear();
    error = shown + ": " + reason;
    return false;
}

}  // namespace

bool read_regular_file(const std::string& path, const std::string& shown, std::vector<std::uint8_t>& bytes,
                       std::string& error, bool follow_links) {
    bytes.clear();
    if (path.empty()) return fail(shown, "empty file name", bytes, error);
    if (path.find('\0') != std::string::npos) return fail(shown, "the file name contains a NUL byte", bytes, error);
    // O_NONBLOCK: opening a named pipe must not wait for a writer; it is then
    // refused below as not a regular file.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (follow_links ? 0 : O_NOFOLLOW);
    const FileDescriptor file(::open(path.c_str(), flags));
    if (file.get() < 0) {
        if (errno == ELOOP && !follow_links) return fail(shown, "is a link, refused", bytes, error);
        return fail(shown, std::strerror(errno), bytes, error);
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return fail(shown, std::strerror(errno), bytes, error);
    if (S_ISDIR(status.st_mode)) return fail(shown, "is a folder, not a file", bytes, error);
    if (!S_ISREG(status.st_mode)) return fail(shown, "is not a regular file", bytes, error);
    const std::string too_large = "is larger than " + std::to_string(max_file_bytes >> 20) + " MiB";
    if (std::uint64_t(status.st_size) > max_file_bytes) return fail(shown, too_large, bytes, error);

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
            if (got < 0) return fail(shown, std::string("cannot read: ") + std::strerror(errno), bytes, error);
            if (got == 0) break;
            if (bytes.size() + std::size_t(got) > max_file_bytes) return fail(shown, too_large, bytes, error);
            bytes.insert(bytes.end(), more, more + got);
            filled = bytes.size();
            continue;
        }
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(shown, std::string("cannot read: ") + std::strerror(errno), bytes, error);
        if (got == 0) break;
        filled += std::size_t(got);
    }
    bytes.resize(filled);
    return true;
}

}  // namespace fileio

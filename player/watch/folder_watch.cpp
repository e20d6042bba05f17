#include "player/watch/folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <utility>

namespace player {
namespace {

namespace fs = std::filesystem;

// A finished write, or a file renamed onto the name: the file is complete.
constexpr std::uint32_t change_events = IN_CLOSE_WRITE | IN_MOVED_TO;

}  // namespace

FolderWatch::~FolderWatch() {
    if (queue_ >= 0) ::close(queue_);
}

bool FolderWatch::open(std::string& error) {
    if (queue_ >= 0) return true;
    queue_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (queue_ < 0) {
        error = std::string("cannot watch files: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool FolderWatch::add(const std::string& absolute_path, std::string& error) {
    if (queue_ < 0 && !open(error)) return false;
    if (files_.count(absolute_path)) return true;
    const std::string folder = fs::path(absolute_path).parent_path().string();
    // The kernel hands back the same descriptor for a folder watched already.
    const int watch = inotify_add_watch(queue_, folder.c_str(), change_events | IN_ONLYDIR);
    if (watch < 0) {
        error = "cannot watch folder \"" + folder + "\": " + std::strerror(errno);
        return false;
    }
    folders_[watch] = folder;
    files_[absolute_path] = false;
    return true;
}

std::vector<std::string> FolderWatch::take_changes() {
    if (queue_ >= 0) {
        // Aligned for the records the kernel writes into it.
        alignas(inotify_event) char buffer[16 * 1024];
        for (;;) {
            const ssize_t size = ::read(queue_, buffer, sizeof buffer);
            if (size <= 0) break;  // EAGAIN: drained
            for (ssize_t at = 0; at < size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->mask & IN_Q_OVERFLOW) note_all();
                else if (event->mask & IN_IGNORED) folders_.erase(event->wd);  // the folder went away
                else if ((event->mask & change_events) && event->len > 0) note(event->wd, event->name);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }
    for (const std::string& file : changed_) files_[file] = false;
    return std::exchange(changed_, {});
}

void FolderWatch::note(int folder_watch, const char* name) {
    const auto folder = folders_.find(folder_watch);
    if (folder == folders_.end()) return;
    const auto file = files_.find(folder->second + "/" + name);
    if (file == files_.end() || file->second) return;
    file->second = true;
    changed_.push_back(file->first);
}

void FolderWatch::note_all() {
    for (auto& [file, changed] : files_) {
        if (changed) continue;
        changed = true;
        changed_.push_back(file);
    }
}

std::vector<std::string> watch_locations(const std::string& root, const std::string& relative) {
    std::vector<std::string> locations;
    const fs::path path = fs::path(relative).lexically_normal();
    if (path.empty() || path.is_absolute() || path.filename().empty()) return locations;
    for (const fs::path& part : path)
        if (part == "..") return locations;

    std::error_code failure;
    const fs::path named = fs::path(root) / path;
    const fs::path folder = fs::weakly_canonical(named.parent_path(), failure);
    if (failure) return locations;
    locations.push_back((folder / named.filename()).string());
    // A link: edits in place happen where it leads.
    const fs::path target = fs::canonical(named, failure);
    if (!failure && target.string() != locations.front()) locations.push_back(target.string());
    return locations;
}

}  // namespace player

#pragma once

#include <map>
#include <string>
#include <vector>

namespace player {

// Tells which of a set of files were written, through inotify, without
// blocking and without polling the disk.
//
// It watches the folders of the files rather than the files: editors often
// save by writing a new file and renaming it over the old one, which a watch
// on the old file's inode would miss. A file counts as changed when a writer
// closed it or when a file was moved onto its name; a file being created or
// still being written is not reported until then, so a reader never meets it
// half written.
//
// Linux only. Not copyable; the descriptor is closed by the destructor.
class FolderWatch {
public:
    FolderWatch() = default;
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Opens the kernel's watch queue. False with a reason when the system
    // refuses (no inotify, or too many instances).
    bool open(std::string& error);

    // Reports changes of the file at this absolute path from now on. The file
    // need not exist yet; its folder must, written without links (as
    // watch_locations gives it), since changes are reported under that name. Adding a file twice changes
    // nothing. False with a reason naming the folder when it cannot be
    // watched.
    bool add(const std::string& absolute_path, std::string& error);

    // The added files that changed since the last call, each once, in the
    // order first seen. After the kernel's queue overflowed, events were lost:
    // every added file is reported.
    std::vector<std::string> take_changes();

private:
    void note(int folder_watch, const char* name);
    void note_all();

    int queue_ = -1;
    std::map<int, std::string> folders_;  // watch descriptor -> absolute folder
    std::map<std::string, bool> files_;   // absolute file -> changed since the last take
    std::vector<std::string> changed_;
};

// The absolute paths at which a file below root, named by a path relative to
// it, may be replaced: where the name itself lies (its folder's links
// resolved) and, when the name is a link, where the file it leads to lies.
// Empty when the path cannot lie below root (absolute, or through "..").
std::vector<std::string> watch_locations(const std::string& root, const std::string& relative);

}  // namespace player

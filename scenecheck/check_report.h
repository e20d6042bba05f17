#pragma once

#include <ostream>
#include <string>
#include <vector>

// The findings of one check, printed one a line as FILE:LINE:COLUMN: message.
class CheckReport {
public:
    // Fixes the place of file among the printed groups: files are printed in
    // the order they were first named, each file's findings by line and column.
    void note_file(const std::string& file);
    // blocking: the finding makes a scene fail to load, or show empty or
    // otherwise than its file says; sceneplay refuses to play such a list.
    void add(const std::string& file, int line, int column, std::string message, bool blocking = false);
    // A line that a service wrote already in the FILE:LINE:COLUMN form (a file
    // that does not parse, so blocking); it is printed as it stands, first
    // among its file's findings.
    void add_line(const std::string& file, std::string line);

    bool empty() const { return findings_.empty(); }
    std::size_t size() const { return findings_.size(); }
    std::size_t blocking() const;
    // Every finding, one a line. With mark_warnings, the findings that are
    // not blocking say "warning: " after their place.
    void print(std::ostream& out, bool mark_warnings = false) const;

private:
    struct Finding {
        std::size_t group;
        int line;
        int column;
        std::string place;  // "FILE:LINE:COLUMN: ", or "" for a line as a service wrote it
        std::string message;
        bool blocking;
    };
    std::size_t group_of(const std::string& file);

    std::vector<std::string> files_;
    std::vector<Finding> findings_;
};

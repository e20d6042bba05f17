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
    void add(const std::string& file, int line, int column, std::string message);
    // A line that a service wrote already in the FILE:LINE:COLUMN form; it is
    // printed as it stands, first among its file's findings.
    void add_line(const std::string& file, std::string line);

    bool empty() const { return findings_.empty(); }
    std::size_t size() const { return findings_.size(); }
    void print(std::ostream& out) const;

private:
    struct Finding {
        std::size_t group;
        int line;
        int column;
        std::string text;  // the whole printed line
    };
    std::size_t group_of(const std::string& file);

    std::vector<std::string> files_;
    std::vector<Finding> findings_;
};

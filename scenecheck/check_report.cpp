#include "scenecheck/check_report.h"

#include <algorithm>

std::size_t CheckReport::group_of(const std::string& file) {
    auto it = std::find(files_.begin(), files_.end(), file);
    if (it != files_.end()) return std::size_t(it - files_.begin());
    files_.push_back(file);
    return files_.size() - 1;
}

void CheckReport::note_file(const std::string& file) { group_of(file); }

void CheckReport::add(const std::string& file, int line, int column, std::string message, bool blocking) {
    std::string place = file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
    findings_.push_back({group_of(file), line, column, std::move(place), std::move(message), blocking});
}

void CheckReport::add_line(const std::string& file, std::string line) {
    findings_.push_back({group_of(file), 0, 0, "", std::move(line), true});
}

std::size_t CheckReport::blocking() const {
    return std::size_t(std::count_if(findings_.begin(), findings_.end(), [](const Finding& f) { return f.blocking; }));
}

void CheckReport::print(std::ostream& out, bool mark_warnings) const {
    std::vector<const Finding*> order;
    for (const Finding& finding : findings_) order.push_back(&finding);
    std::stable_sort(order.begin(), order.end(), [](const Finding* a, const Finding* b) {
        if (a->group != b->group) return a->group < b->group;
        if (a->line != b->line) return a->line < b->line;
        return a->column < b->column;
    });
    for (const Finding* finding : order)
        out << finding->place << (mark_warnings && !finding->blocking ? "warning: " : "") << finding->message << '\n';
    out.flush();
}

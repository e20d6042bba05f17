#pragma once

#include <iostream>
#include <sstream>

// Holds back what the services write to std::cerr while it lives: the checker
// asks them for the same text through their error functions and reports it
// in its own FILE:LINE:COLUMN form.
class QuietErrors {
public:
    QuietErrors() : previous_(std::cerr.rdbuf(held_.rdbuf())) {}
    ~QuietErrors() { std::cerr.rdbuf(previous_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    std::ostringstream held_;
    std::streambuf* previous_;
};

// Collects what the library writes to std::cout, its only output stream:
// far cheaper than capturing the standard output descriptor, for the tens of
// thousands of calls a reliability run makes.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace zeltest {

class CoutCapture {
public:
    CoutCapture() : old_(std::cout.rdbuf(text_.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(old_); }
    CoutCapture(const CoutCapture&) = delete;
    CoutCapture& operator=(const CoutCapture&) = delete;

    std::string text() const { return text_.str(); }
    // What was printed since the last take.
    std::string take()
    {
        std::string s = text_.str();
        text_.str("");
        return s;
    }

private:
    std::ostringstream text_;
    std::streambuf* old_;
};

}  // namespace zeltest

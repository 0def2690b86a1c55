#pragma once
// Collects what the code under test writes to std::cerr for the lifetime of
// the object (the 3D helpers report there).
#include <iostream>
#include <sstream>
#include <string>

namespace lmd::test {

class CerrCapture
{
public:
    CerrCapture() : m_previous(std::cerr.rdbuf(m_text.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(m_previous); }
    CerrCapture(const CerrCapture&) = delete;
    CerrCapture& operator=(const CerrCapture&) = delete;

    std::string Text() const { return m_text.str(); }
    void Clear() { m_text.str({}); }

private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

} // namespace lmd::test

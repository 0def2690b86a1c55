#pragma once
// Log streams of the demos: they take text and numbers like any output stream
// and keep them to themselves; nothing is shown or stored anywhere.
#include <sstream>

class gaLog : public std::ostringstream
{
};

class gaLogNotice : public gaLog
{
};

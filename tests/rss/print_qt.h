#pragma once
// Readable Qt strings in GoogleTest's failure messages.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

#pragma once
// Test texts are written with "\n" for readability; the program's files use "\r\n".

#include <QString>

namespace mz::test {

inline QString crlf(QString s)
{
    return s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

} // namespace mz::test

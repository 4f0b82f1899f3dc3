#pragma once
// The gateway handles single-byte text end to end; the console converts what
// is typed with a single-byte code page (Windows-1252 where Qt offers it,
// otherwise Latin-1), so a byte reaches the frame and the log unchanged.

#include <QString>

#include <string>
#include <string_view>

namespace qm
{

std::string toAnsi(const QString &text);
QString fromAnsi(std::string_view bytes);
// The name of the code page in use ("windows-1252" or "ISO-8859-1").
const char *ansiCodePageName();

} // namespace qm

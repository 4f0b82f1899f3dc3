#include "win32/win32notifier.h"

namespace qm
{

std::string BoxText(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

UINT BoxIconFlag(NoticeIcon icon)
{
    switch (icon) {
    case NoticeIcon::Critical:
        return MB_ICONERROR;
    case NoticeIcon::Exclamation:
        return MB_ICONWARNING;
    case NoticeIcon::Information:
        return MB_ICONINFORMATION;
    case NoticeIcon::None:
        break;
    }
    return 0;
}

void Win32Notifier::message(const std::string &title, const std::string &text, NoticeIcon icon)
{
    MessageBoxA(owner_, BoxText(text).c_str(), title.c_str(),
                MB_OK | BoxIconFlag(icon) | modality() | MB_SETFOREGROUND);
}

bool Win32Notifier::askYesNo(const std::string &title, const std::string &text)
{
    return MessageBoxA(owner_, BoxText(text).c_str(), title.c_str(),
                       MB_YESNO | MB_ICONQUESTION | modality() | MB_SETFOREGROUND) == IDYES;
}

} // namespace qm

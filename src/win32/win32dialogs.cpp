#include "win32/win32dialogs.h"

#include "win32/resources.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qm
{
namespace
{

using P = ChangePathControl;

HBITMAP aboutPicture()
{
    static const HBITMAP picture =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return picture;
}

// The full path without a trailing "\" (a drive's root keeps it); empty when
// the system cannot make one.
std::string fullPath(const std::string &folder)
{
    char buffer[MAX_PATH * 4] = {};
    const DWORD n = GetFullPathNameA(folder.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer)
        return {};
    std::string path(buffer, n);
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

bool sameText(const std::string &a, const std::string &b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

std::vector<std::string> subfolders(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const std::string pattern = folder + (folder.back() == '\\' ? "*" : "\\*");
    const HANDLE h = FindFirstFileA(pattern.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
               CSTR_LESS_THAN;
    });
    return names;
}

// "c:" and, for a fixed drive, its label: asking a removable drive that
// holds no medium would wait for it.
std::string driveCaption(const std::string &root)
{
    std::string caption = root.substr(0, 2);
    caption[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(caption[0])));
    const UINT type = GetDriveTypeA(root.c_str());
    char label[MAX_PATH] = {};
    if ((type == DRIVE_FIXED || type == DRIVE_RAMDISK) &&
        GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr,
                              0) &&
        label[0])
        caption += std::string(" [") + label + "]";
    return caption;
}

} // namespace

Win32AboutView::Win32AboutView(Win32EventPump &pump, AboutEvents &events)
    : Win32DialogView(pump, AboutFace, events)
{
    setBackground(aboutPicture());
}

void Win32AboutView::paintOver(HDC dc)
{
    // The band the picture leaves blank for the version (baseline y 206).
    static const HFONT font = CreateFontA(-10, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
    BITMAP b{};
    GetObjectA(aboutPicture(), sizeof b, &b);
    RECT band{0, 194, b.bmWidth, 210};
    const HGDIOBJ before = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x40, 0x40, 0x40));
    const std::string version = AboutVersionLine();
    DrawTextA(dc, version.c_str(), -1, &band, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, before);
}

Win32ChangePathView::Win32ChangePathView(Win32EventPump &pump, ChangePathEvents &events)
    : Win32DialogView(pump, ChangePathFace, events)
{
    LOGFONTA face{};
    GetObjectA(controlFont(at(P::dirPath)), sizeof face, &face);
    face.lfWeight = FW_BOLD;
    bold_ = CreateFontIndirectA(&face);

    char roots[512] = {};
    const DWORD n = GetLogicalDriveStringsA(sizeof roots, roots);
    const HWND list = controlWindow(P::drvPath);
    for (const char *r = roots; n > 0 && n < sizeof roots && *r; r += std::strlen(r) + 1) {
        drives_.emplace_back(r);
        const std::string caption = driveCaption(r);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    }
}

Win32ChangePathView::~Win32ChangePathView()
{
    if (bold_)
        DeleteObject(bold_);
}

std::string Win32ChangePathView::selectedDrive() const
{
    const int i = listSelection(at(P::drvPath));
    return i >= 0 && i < static_cast<int>(drives_.size()) ? drives_[static_cast<std::size_t>(i)]
                                                          : std::string();
}

void Win32ChangePathView::selectDriveOf(const std::string &folder)
{
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (folder.size() >= 3 && sameText(folder.substr(0, 3), drives_[i])) {
            selectInList(at(P::drvPath), static_cast<int>(i));
            return;
        }
}

bool Win32ChangePathView::openFolder(const std::string &folder)
{
    if (folder.empty())
        return false;
    const std::string path = fullPath(folder);
    // A drive that is not ready fails here, without a system box (the
    // program asks for none).
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    current_ = path;
    fill();
    return true;
}

void Win32ChangePathView::fill()
{
    folders_.clear();
    // From the root down to the current folder ...
    std::size_t start = 0;
    const std::size_t rootEnd = current_.find('\\');
    if (rootEnd != std::string::npos) {
        folders_.push_back({current_.substr(0, rootEnd + 1), current_.substr(0, rootEnd + 1), 0});
        start = rootEnd + 1;
    }
    while (start < current_.size()) {
        const std::size_t end = std::min(current_.find('\\', start), current_.size());
        folders_.push_back({current_.substr(0, end), current_.substr(start, end - start),
                            static_cast<int>(folders_.size())});
        start = end + 1;
    }
    opened_ = folders_.empty() ? 0 : folders_.size() - 1;
    // ... and what is in it.
    const int depth = static_cast<int>(folders_.size());
    for (const std::string &name : subfolders(current_))
        folders_.push_back({current_ + (current_.back() == '\\' ? "" : "\\") + name, name, depth});

    const HWND list = controlWindow(P::dirPath);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const Folder &f : folders_)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.name.c_str()));
    SendMessageA(list, LB_SETCURSEL, opened_, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::vector<std::string> Win32ChangePathView::folderEntries() const
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < folders_.size(); ++i)
        lines.push_back(std::string(static_cast<std::size_t>(2 * folders_[i].depth), ' ') +
                        folders_[i].name + (i == opened_ ? " (opened)" : ""));
    return lines;
}

void Win32ChangePathView::onSelected(int control)
{
    if (control == at(P::drvPath))
        events_.driveChanged();
}

void Win32ChangePathView::onActivated(int control)
{
    if (control != at(P::dirPath))
        return;
    const LRESULT i = SendMessageA(controlWindow(P::dirPath), LB_GETCURSEL, 0, 0);
    if (i >= 0 && static_cast<std::size_t>(i) < folders_.size())
        openFolder(folders_[static_cast<std::size_t>(i)].path);
}

void Win32ChangePathView::drawListItem(const DRAWITEMSTRUCT &d)
{
    if (d.itemID == static_cast<UINT>(-1) || d.itemID >= folders_.size())
        return;
    const Folder &f = folders_[d.itemID];
    const bool selected = (d.itemState & ODS_SELECTED) != 0;
    FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const HGDIOBJ before =
        SelectObject(d.hDC, d.itemID == opened_ && bold_ ? bold_ : controlFont(at(P::dirPath)));
    RECT text = d.rcItem;
    text.left += 4 + 12 * f.depth;
    DrawTextA(d.hDC, f.name.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(d.hDC, before);
    if (d.itemState & ODS_FOCUS)
        DrawFocusRect(d.hDC, &d.rcItem);
}

} // namespace qm

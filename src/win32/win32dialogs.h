#pragma once
// The console's three dialogs on Win32, built from their face tables.
//  - frmTestSMS: the face alone.
//  - frmAbout: the picture (a resource) drawn unscaled as the background,
//    the version line written into the band the picture leaves for it.
//  - frmChangePath: drvPath lists the system's drives (GetLogicalDrives);
//    dirPath is the folder list: the current drive's folders down to the
//    current folder, each a step further in, then the current folder's
//    subfolders. The current folder is the one opened (by the dialog's
//    rules, or by the operator's double-click), drawn bold, not a merely
//    highlighted entry.

#include "win32/win32formview.h"

namespace qm
{

using Win32TestSMSView = Win32DialogView<TestSMSControl>;

class Win32AboutView final : public Win32DialogView<AboutControl>
{
public:
    Win32AboutView(Win32EventPump &pump, AboutEvents &events);

private:
    void paintOver(HDC dc) override;
};

class Win32ChangePathView final
    : public Win32DialogView<ChangePathControl, ChangePathView, ChangePathEvents>
{
public:
    Win32ChangePathView(Win32EventPump &pump, ChangePathEvents &events);
    ~Win32ChangePathView() override;

    std::string currentFolder() const override { return current_; }
    bool openFolder(const std::string &folder) override;
    std::string selectedDrive() const override;
    void selectDriveOf(const std::string &folder) override;

    // The folder list's entries as shown, one a line, indented by depth
    // (tests and screenshots).
    std::vector<std::string> folderEntries() const;

private:
    struct Folder {
        std::string path, name;
        int depth;
    };
    void onSelected(int control) override;
    void onActivated(int control) override;
    void drawListItem(const DRAWITEMSTRUCT &d) override;
    void fill();

    std::vector<std::string> drives_; // roots, as the drive list shows them
    std::vector<Folder> folders_;
    std::string current_;
    std::size_t opened_ = 0; // the current folder's entry
    HFONT bold_ = nullptr;
};

} // namespace qm

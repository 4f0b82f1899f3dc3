#pragma once
// frmChangePath on Qt, for Linux: drvPath lists the mounted volumes
// (QStorageInfo), dirPath is the folder tree of the chosen volume, from its
// root down to the current folder and the current folder's subfolders. The
// current folder is the one opened (by the dialog's rules, or by the
// operator's double-click or Enter; it is drawn bold), not a merely
// highlighted entry.

#include "qt/dialogs/dialogwindow.h"

class QModelIndex;

namespace qm
{

class FolderTreeModel;
class VolumeFilter;

class QtChangePathView final
    : public QtDialogView<ChangePathControl, ChangePathView, ChangePathEvents>
{
public:
    explicit QtChangePathView(ChangePathEvents &events);

    std::string currentFolder() const override;
    bool openFolder(const std::string &folder) override;
    std::string selectedDrive() const override;
    void selectDriveOf(const std::string &folder) override;

private:
    void fillVolumes();
    bool open(const QString &folder, bool centre);
    void onActivated(const QModelIndex &index);
    void reveal();

    FolderTreeModel *model_ = nullptr;
    VolumeFilter *filter_ = nullptr;
    QString current_;
    bool revealPending_ = false;
    bool centre_ = true;
};

} // namespace qm

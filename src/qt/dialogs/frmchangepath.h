#pragma once
// The outbox path dialog, on Linux: drvPath lists the mounted volumes
// (QStorageInfo), dirPath is the folder tree of the chosen volume, from its
// root down to the current folder and the current folder's subfolders. The
// current folder is the one the operator opened (double-click or Enter; it
// is drawn bold), not a merely highlighted entry. One instance: Update and
// Cancel hide it. Errors are ignored: the lists keep what they showed.

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace qm
{

class FolderTreeModel;
class VolumeFilter;

// Where the dialog reads AppPath and what Update does with the folder.
struct PathTarget {
    std::function<std::string()> appPath;
    std::function<void(const std::string &folder)> update;
};

class frmChangePath final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 368;
    static constexpr int ClientHeight = 290;

    // Load: opens AppPath and selects the volume that holds it.
    explicit frmChangePath(PathTarget target, QWidget *parent = nullptr);

    // The folder the operator opened, as a native path.
    QString currentFolder() const { return current_; }
    // Opens `folder` (an error leaves the current folder as it was).
    void openFolder(const QString &folder);
    // The root of the volume selected in drvPath.
    QString selectedVolume() const;

    QLabel *Label1 = nullptr;
    QTreeView *dirPath = nullptr;
    QComboBox *drvPath = nullptr;
    QPushButton *cmdUpdate = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void fillVolumes();
    void selectVolumeOf(const QString &folder);
    void onVolumeChanged();
    void onActivated(const QModelIndex &index);
    void onUpdate();
    void reveal();

    PathTarget target_;
    FolderTreeModel *model_ = nullptr;
    VolumeFilter *filter_ = nullptr;
    QString current_;
    bool revealPending_ = false;
    bool centre_ = true;
};

} // namespace qm

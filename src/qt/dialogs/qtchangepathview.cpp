#include "qt/dialogs/qtchangepathview.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStorageInfo>
#include <QTreeView>

namespace qm
{
namespace
{

std::string local8Bit(const QString &path)
{
    const QByteArray bytes = QDir::toNativeSeparators(path).toLocal8Bit();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

// Folders only; the opened folder is drawn bold.
class FolderTreeModel final : public QFileSystemModel
{
public:
    explicit FolderTreeModel(QObject *parent) : QFileSystemModel(parent)
    {
        setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
        setReadOnly(true);
    }
    void setOpened(const QString &path)
    {
        const QModelIndex before = index(opened_);
        opened_ = path;
        for (const QModelIndex &i : {before, index(opened_)})
            if (i.isValid())
                emit dataChanged(i, i, {Qt::FontRole});
    }
    QVariant data(const QModelIndex &i, int role) const override
    {
        if (role == Qt::FontRole && !opened_.isEmpty() && filePath(i) == opened_) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return QFileSystemModel::data(i, role);
    }

private:
    QString opened_;
};

// The chosen volume: its root, what lies under it and the folders above it
// (so the tree reads from "/" down), nothing beside it.
class VolumeFilter final : public QSortFilterProxyModel
{
public:
    explicit VolumeFilter(QObject *parent) : QSortFilterProxyModel(parent) {}
    void setRoot(const QString &root)
    {
        const QString r = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if (r == root_)
            return;
        root_ = r;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const auto *fs = static_cast<const QFileSystemModel *>(sourceModel());
        QString path = fs->filePath(fs->index(row, 0, parent));
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        return path.startsWith(root_) || root_.startsWith(path);
    }

private:
    QString root_ = QStringLiteral("/");
};

QtChangePathView::QtChangePathView(ChangePathEvents &events) : QtDialogView(ChangePathFace, events)
{
    model_ = new FolderTreeModel(window());
    model_->setRootPath(QStringLiteral("/"));
    filter_ = new VolumeFilter(window());
    filter_->setSourceModel(model_);
    auto *tree = widgetAs<QTreeView>(ChangePathControl::dirPath);
    tree->setModel(filter_);
    tree->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column)
        tree->hideColumn(column);
    tree->setUniformRowHeights(true);
    fillVolumes();

    // The model reads folders in the background: the rows above the current
    // folder come in pieces, so it is revealed again as they arrive ...
    QObject::connect(model_, &QFileSystemModel::directoryLoaded, context(),
                     [this](const QString &path) {
                         if (revealPending_ && (current_ + QLatin1Char('/')).startsWith(path))
                             reveal();
                     });
    // ... until the operator takes the tree in hand.
    QObject::connect(tree, &QTreeView::pressed, context(), [this] { revealPending_ = false; });
    QObject::connect(tree, &QTreeView::activated, context(),
                     [this](const QModelIndex &i) { onActivated(i); });
    QObject::connect(widgetAs<QComboBox>(ChangePathControl::drvPath),
                     &QComboBox::currentIndexChanged, context(), [this] {
                         if (!applying())
                             events_.driveChanged();
                     });
}

void QtChangePathView::fillVolumes()
{
    QStringList roots;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !roots.contains(v.rootPath()))
            roots << v.rootPath();
    roots.sort();
    auto *drives = widgetAs<QComboBox>(ChangePathControl::drvPath);
    const QSignalBlocker quiet(drives);
    for (const QString &root : roots) {
        const QString device = QString::fromLocal8Bit(QStorageInfo(root).device());
        drives->addItem(
            device.isEmpty() ? root : root + QStringLiteral("   [") + device + QLatin1Char(']'),
            root);
    }
}

std::string QtChangePathView::currentFolder() const
{
    return current_.isEmpty() ? std::string() : local8Bit(current_);
}

std::string QtChangePathView::selectedDrive() const
{
    return local8Bit(widgetAs<QComboBox>(ChangePathControl::drvPath)->currentData().toString());
}

void QtChangePathView::selectDriveOf(const std::string &folder)
{
    const QStorageInfo volume(QString::fromLocal8Bit(folder.c_str()));
    auto *drives = widgetAs<QComboBox>(ChangePathControl::drvPath);
    const int i = volume.isValid() ? drives->findData(volume.rootPath()) : -1;
    if (i < 0)
        return;
    const QSignalBlocker quiet(drives);
    drives->setCurrentIndex(i);
    filter_->setRoot(volume.rootPath());
    reveal();
}

bool QtChangePathView::openFolder(const std::string &folder)
{
    return open(QString::fromLocal8Bit(folder.c_str()), true);
}

// Opened by the dialog's rules: centred, so its subfolders show; opened by
// the operator: where it is.
bool QtChangePathView::open(const QString &folder, bool centre)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return false;
    current_ = QDir::cleanPath(info.absoluteFilePath());
    centre_ = centre;
    if (centre) {
        // The tree shows the volume that holds it.
        const QStorageInfo volume(current_);
        if (volume.isValid())
            filter_->setRoot(volume.rootPath());
    }
    model_->setOpened(current_);
    revealPending_ = true;
    reveal();
    return true;
}

void QtChangePathView::reveal()
{
    if (current_.isEmpty())
        return;
    auto *tree = widgetAs<QTreeView>(ChangePathControl::dirPath);
    const QModelIndex shown = filter_->mapFromSource(model_->index(current_));
    if (!shown.isValid())
        return;
    for (QModelIndex up = shown.parent(); up.isValid(); up = up.parent())
        tree->expand(up);
    tree->setCurrentIndex(shown);
    tree->expand(shown);
    tree->scrollTo(shown, centre_ ? QAbstractItemView::PositionAtCenter
                                  : QAbstractItemView::EnsureVisible);
}

void QtChangePathView::onActivated(const QModelIndex &index)
{
    open(model_->filePath(filter_->mapToSource(index)), false);
}

} // namespace qm

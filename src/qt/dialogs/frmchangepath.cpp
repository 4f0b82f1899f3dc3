#include "qt/dialogs/frmchangepath.h"

#include "qt/widgets/fonts.h"
#include "qt/widgets/twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QStorageInfo>
#include <QTreeView>

static void initChangePathResources()
{
    Q_INIT_RESOURCE(dialogs);
}

namespace qm
{

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
        root_ = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
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

frmChangePath::frmChangePath(PathTarget target, QWidget *parent)
    : QDialog(parent), target_(std::move(target))
{
    initChangePathResources();
    EnsureFontSubstitutions();
    setObjectName(QStringLiteral("frmChangePath"));
    setWindowTitle(QStringLiteral("Change Outbox Path..."));
    setWindowIcon(QIcon(QStringLiteral(":/dialogs/images/changepath-32.png")));
    setFixedSize(ClientWidth, ClientHeight);

    Label1 = new QLabel(QStringLiteral("Outbox Path"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(Label1, Twips(120, 120, 1815, 375));

    model_ = new FolderTreeModel(this);
    model_->setRootPath(QStringLiteral("/"));
    filter_ = new VolumeFilter(this);
    filter_->setSourceModel(model_);
    dirPath = new QTreeView(this);
    dirPath->setObjectName(QStringLiteral("dirPath"));
    dirPath->setModel(filter_);
    dirPath->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column)
        dirPath->hideColumn(column);
    dirPath->setUniformRowHeights(true);
    Place(dirPath, Twips(120, 360, 5295, 2565));

    drvPath = new QComboBox(this);
    drvPath->setObjectName(QStringLiteral("drvPath"));
    Place(drvPath, Twips(120, 3120, 5295, 315));

    cmdUpdate = new QPushButton(QStringLiteral("&Update"), this);
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    Place(cmdUpdate, Twips(600, 3720, 1815, 375));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    Place(cmdCancel, Twips(2640, 3720, 1695, 375));
    cmdUpdate->setDefault(true);

    setTabOrder(cmdCancel, cmdUpdate);
    setTabOrder(cmdUpdate, dirPath);
    setTabOrder(dirPath, drvPath);
    cmdCancel->setFocus();

    fillVolumes();
    // Load: open AppPath, then select the volume that holds it.
    const QString appPath = QString::fromLocal8Bit(target_.appPath ? target_.appPath() : "");
    selectVolumeOf(appPath);
    openFolder(appPath);

    // The model reads folders in the background: the rows above the current
    // folder come in pieces, so it is revealed again as they arrive.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString &path) {
        if (revealPending_ && (current_ + QLatin1Char('/')).startsWith(path))
            reveal();
    });
    // ... until the operator takes the tree in hand.
    connect(dirPath, &QTreeView::pressed, this, [this] { revealPending_ = false; });
    connect(drvPath, &QComboBox::currentIndexChanged, this, [this] { onVolumeChanged(); });
    connect(dirPath, &QTreeView::activated, this, [this](const QModelIndex &i) { onActivated(i); });
    connect(cmdUpdate, &QPushButton::clicked, this, [this] { onUpdate(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::hide);
}

void frmChangePath::fillVolumes()
{
    QStringList roots;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !roots.contains(v.rootPath()))
            roots << v.rootPath();
    roots.sort();
    for (const QString &root : roots) {
        const QStorageInfo v(root);
        const QString device = QString::fromLocal8Bit(v.device());
        drvPath->addItem(
            device.isEmpty() ? root : root + QStringLiteral("   [") + device + QLatin1Char(']'),
            root);
    }
}

QString frmChangePath::selectedVolume() const
{
    return drvPath->currentData().toString();
}

void frmChangePath::selectVolumeOf(const QString &folder)
{
    const QStorageInfo volume(folder);
    if (!volume.isValid())
        return;
    const int i = drvPath->findData(volume.rootPath());
    if (i < 0)
        return;
    const QSignalBlocker quiet(drvPath);
    drvPath->setCurrentIndex(i);
    filter_->setRoot(volume.rootPath());
}

void frmChangePath::openFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return;
    current_ = QDir::cleanPath(info.absoluteFilePath());
    model_->setOpened(current_);
    revealPending_ = true;
    reveal();
}

void frmChangePath::reveal()
{
    const QModelIndex shown = filter_->mapFromSource(model_->index(current_));
    if (!shown.isValid())
        return;
    for (QModelIndex up = shown.parent(); up.isValid(); up = up.parent())
        dirPath->expand(up);
    dirPath->setCurrentIndex(shown);
    dirPath->expand(shown);
    // Opened by Load or a volume change: centred, so its subfolders show;
    // opened by the operator: where it is.
    dirPath->scrollTo(shown, centre_ ? QAbstractItemView::PositionAtCenter
                                     : QAbstractItemView::EnsureVisible);
}

void frmChangePath::onVolumeChanged()
{
    const QString root = selectedVolume();
    if (!QFileInfo(root).isDir()) {
        // Not ready: the lists go back to what they showed.
        selectVolumeOf(current_);
        return;
    }
    filter_->setRoot(root);
    centre_ = true;
    openFolder(root);
}

void frmChangePath::onActivated(const QModelIndex &index)
{
    centre_ = false;
    openFolder(model_->filePath(filter_->mapToSource(index)));
}

void frmChangePath::onUpdate()
{
    if (!current_.isEmpty() && target_.update) {
        const QByteArray bytes = QDir::toNativeSeparators(current_).toLocal8Bit();
        target_.update(std::string(bytes.constData(), std::size_t(bytes.size())));
    }
    hide();
}

void frmChangePath::reject()
{
    hide();
}

void frmChangePath::closeEvent(QCloseEvent *event)
{
    // The close box hides it like Cancel: one instance for the run.
    event->ignore();
    hide();
}

} // namespace qm

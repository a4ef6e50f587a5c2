#include "ui/kit/file_browser_lists.h"

#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int IndentPerLevel = 2;
} // namespace

FileBrowserLists::FileBrowserLists(QComboBox *drives, QListWidget *folders, QListWidget *files, QLineEdit *selectedName,
                                   const QStringList &masks, QObject *parent)
    : QObject(parent), m_drives(drives), m_folders(folders), m_files(files), m_selectedName(selectedName), m_masks(masks)
{
    m_selectedName->setText(m_masks.value(0));
    fillDrives();
    connect(m_drives, &QComboBox::activated, this, [this](int index) { setFolder(m_drives->itemData(index, PathRole).toString()); });
    connect(m_folders, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setFolder(item->data(PathRole).toString()); });
    connect(m_files, &QListWidget::itemSelectionChanged, this, &FileBrowserLists::fileSelectionChanged);
    setFolder(QDir::currentPath());
}

void FileBrowserLists::fillDrives()
{
    m_drives->clear();
    for (const QFileInfo &drive : QDir::drives())
        m_drives->addItem(QDir::toNativeSeparators(drive.absolutePath()), drive.absolutePath());
}

bool FileBrowserLists::setFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    m_folder = QDir::cleanPath(info.absoluteFilePath());
    // The drive of the folder.
    for (int i = 0; i < m_drives->count(); ++i)
        if (m_folder.startsWith(m_drives->itemData(i, PathRole).toString(), Qt::CaseInsensitive))
            m_drives->setCurrentIndex(i);
    reread();
    emit folderChanged(m_folder);
    return true;
}

void FileBrowserLists::reread()
{
    fillFolders();
    fillFiles();
}

void FileBrowserLists::fillFolders()
{
    m_folders->clear();
    // The chain from the drive's root down to the current folder.
    QStringList chain;
    for (QDir d(m_folder);; ) {
        chain.prepend(d.absolutePath());
        if (!d.cdUp())
            break;
    }
    const QIcon folderIcon = QFileIconProvider().icon(QFileIconProvider::Folder);
    int level = 0;
    QListWidgetItem *current = nullptr;
    for (const QString &path : chain) {
        const QString name = QDir(path).isRoot() ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
        auto *item = new QListWidgetItem(folderIcon, QString(level * IndentPerLevel, QLatin1Char(' ')) + name, m_folders);
        item->setData(PathRole, path);
        current = item;
        ++level;
    }
    const QFileInfoList subfolders = QDir(m_folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &sub : subfolders) {
        auto *item = new QListWidgetItem(folderIcon, QString(level * IndentPerLevel, QLatin1Char(' ')) + sub.fileName(), m_folders);
        item->setData(PathRole, sub.absoluteFilePath());
    }
    m_folders->setCurrentItem(current);
}

void FileBrowserLists::fillFiles()
{
    const QString selected = m_files->currentItem() && m_files->currentItem()->isSelected() ? m_files->currentItem()->text() : QString();
    {
        const QSignalBlocker block(m_files);
        m_files->clear();
        QDir dir(m_folder);
        dir.setNameFilters(m_masks);
        dir.setFilter(QDir::Files);
        dir.setSorting(QDir::Name | QDir::IgnoreCase);
        m_files->addItems(dir.entryList());
        if (!selected.isEmpty()) {
            const QList<QListWidgetItem *> same = m_files->findItems(selected, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (!same.isEmpty())
                m_files->setCurrentItem(same.first());
        }
    }
    fileSelectionChanged();
}

bool FileBrowserLists::selectFile(const QString &bareName)
{
    const QList<QListWidgetItem *> found = m_files->findItems(bareName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return false;
    m_files->setCurrentItem(found.first());
    return true;
}

QString FileBrowserLists::selectedFilePath() const
{
    const QListWidgetItem *item = m_files->currentItem();
    if (!item || !item->isSelected())
        return {};
    return QDir(m_folder).filePath(item->text());
}

void FileBrowserLists::fileSelectionChanged()
{
    const QListWidgetItem *item = m_files->currentItem();
    m_selectedName->setText(item && item->isSelected() ? item->text() : m_masks.value(0));
}

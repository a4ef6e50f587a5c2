#pragma once
// A drive list, a folder list and a file list wired together, as a file browser laid on
// a panel: choosing a drive shows its folders, choosing a folder lists its files that
// match the masks, and the file list keeps a text box up to date with the bare name of
// the selected file (or the first mask when no file is selected).
// The folder list shows the chain of folders down to the current one, then its
// subfolders; activating an entry (double-click or Enter) opens that folder.
#include <QObject>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

class FileBrowserLists : public QObject {
    Q_OBJECT
public:
    FileBrowserLists(QComboBox *drives, QListWidget *folders, QListWidget *files, QLineEdit *selectedName,
                     const QStringList &masks, QObject *parent = nullptr);

    // Opens `folder` (an absolute or relative path); false when it does not exist.
    bool setFolder(const QString &folder);
    QString folder() const { return m_folder; }
    // Lists the current folder again (files may have come or gone).
    void reread();
    // Selects the file named `bareName` in the file list; false when it is not listed.
    bool selectFile(const QString &bareName);
    // The full path of the selected file; empty when none is selected.
    QString selectedFilePath() const;

signals:
    void folderChanged(const QString &folder);

private:
    void fillDrives();
    void fillFolders();
    void fillFiles();
    void fileSelectionChanged();

    QComboBox *m_drives;
    QListWidget *m_folders;
    QListWidget *m_files;
    QLineEdit *m_selectedName;
    QStringList m_masks;
    QString m_folder;
};

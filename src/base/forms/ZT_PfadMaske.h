#pragma once
// The directory selection window: a small dialog with the mounted volumes in
// place of drive letters, a tree of the chosen volume's directories and the
// current path below it. It opens at a given screen position (callers put it
// below the button that opened it). The main window creates it once; the
// global PfadMaske points at it while it lives.
#include "platform/Hooks.h"
#include "platform/forms/TranslationRegistry.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

class TPfadMaske : public QDialog {
    Q_OBJECT
public:
    explicit TPfadMaske(QWidget* parent = nullptr);
    ~TPfadMaske() override;

    // Lets the user pick a directory, modally, with the window at left/top.
    // The window starts in the directory part of path (a path ending in a
    // separator is the directory itself); when that does not exist, in its
    // nearest existing parent, else in the current directory. On OK path
    // becomes the chosen directory with a closing separator and the answer is
    // true; on cancel, Esc or the close box path stays and the answer is false.
    bool SelectDirectory(QString& path, int left, int top);

    // The steps of SelectDirectory around the modal loop, for callers that
    // show the window themselves: place it and choose the start directory;
    // then take the result the window closed with.
    void BeginSelection(const QString& path, int left, int top);
    bool FinishSelection(int result, QString& path) const;

    // The directory the tree shows as current (without a closing separator,
    // except the root "/").
    QString CurrentDirectory() const;
    // Makes an existing directory current: its volume in the volume box, the
    // tree opened down to it. False when it is no directory.
    bool SetCurrentDirectory(const QString& directory);

    // The volumes offered: mount points that are directories, "/" first.
    static QStringList MountedVolumeRoots();
    // The directory a selection starts in for a path (see SelectDirectory).
    static QString StartDirectoryFor(const QString& path);

    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

    QLabel* Laufwerke_Label = nullptr;
    QComboBox* DriveBox = nullptr;
    QLabel* Verzeichnisse_Label = nullptr;
    QTreeView* DirectoryList = nullptr;
    QLabel* AktPfad_Label = nullptr;
    QLabel* PathLabel = nullptr;
    QPushButton* OK_Knopf = nullptr;
    QPushButton* Abbruch_Knopf = nullptr;

private:
    void DriveBoxChange(int index);
    void DirectoryListChange();
    void ShowVolume(const QString& root);
    int VolumeIndexFor(const QString& directory) const;

    QFileSystemModel* model_ = nullptr;
    bool changingVolume_ = false;
    platform::TFormTranslations translations_{this};
};

extern TPfadMaske* PfadMaske;

// The directory dialog of the platform hooks over the directory selection
// window (the global one when it exists, else one made for the call). The
// request's start directory is taken as a directory even without a closing
// separator; the answer's directory has none, except the root "/".
platform::TDirectoryDialogAnswer PfadMaskeDirectoryDialog(const platform::TDirectoryDialogRequest& request);

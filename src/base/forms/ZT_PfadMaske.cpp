#include "base/forms/ZT_PfadMaske.h"

#include "base/ZT_Tools.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

TPfadMaske* PfadMaske = nullptr;

namespace {

// A directory without its closing separator; the root stays "/".
QString WithoutClosingSeparator(const QString& directory)
{
    QString d = directory;
    while (d.size() > 1 && d.endsWith(u'/'))
        d.chop(1);
    return d;
}

bool HasHiddenComponent(const QString& directory)
{
    const QStringList parts = directory.split(u'/', Qt::SkipEmptyParts);
    return std::any_of(parts.begin(), parts.end(), [](const QString& p) { return p.startsWith(u'.'); });
}

} // namespace

TPfadMaske::TPfadMaske(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PfadMaske"));
    setWindowTitle(QStringLiteral("Pfadauswahl"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    Laufwerke_Label = new QLabel(QStringLiteral("&Laufwerke:"), this);
    Laufwerke_Label->setObjectName(QStringLiteral("Laufwerke_Label"));
    DriveBox = new QComboBox(this);
    DriveBox->setObjectName(QStringLiteral("DriveBox"));
    DriveBox->setToolTip(QStringLiteral("Auswahl des Laufwerks"));
    Laufwerke_Label->setBuddy(DriveBox);

    Verzeichnisse_Label = new QLabel(QStringLiteral("&Verzeichnisse"), this);
    Verzeichnisse_Label->setObjectName(QStringLiteral("Verzeichnisse_Label"));
    DirectoryList = new QTreeView(this);
    DirectoryList->setObjectName(QStringLiteral("DirectoryList"));
    DirectoryList->setToolTip(QStringLiteral("Auswahl des Dateipfades durch Doppelklick."));
    Verzeichnisse_Label->setBuddy(DirectoryList);

    AktPfad_Label = new QLabel(QStringLiteral("Aktueller Pfad"), this);
    AktPfad_Label->setObjectName(QStringLiteral("AktPfad_Label"));
    PathLabel = new QLabel(this);
    PathLabel->setObjectName(QStringLiteral("PathLabel"));
    PathLabel->setTextFormat(Qt::PlainText);
    PathLabel->setWordWrap(true);

    OK_Knopf = new QPushButton(QStringLiteral("&OK"), this);
    OK_Knopf->setObjectName(QStringLiteral("OK_Knopf"));
    OK_Knopf->setToolTip(QStringLiteral("Beenden mit Übernahme des aktuellen Pfades"));
    OK_Knopf->setDefault(true);
    Abbruch_Knopf = new QPushButton(QStringLiteral("&Abbruch"), this);
    Abbruch_Knopf->setObjectName(QStringLiteral("Abbruch_Knopf"));
    Abbruch_Knopf->setToolTip(QStringLiteral("Beenden ohne Übernahme des aktuellen Dateipfades"));

    model_ = new QFileSystemModel(this);
    model_->setReadOnly(true);
    model_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    DirectoryList->setModel(model_);
    DirectoryList->setHeaderHidden(true);
    for (int c = 1; c < model_->columnCount(); ++c)
        DirectoryList->hideColumn(c);
    DirectoryList->setUniformRowHeights(true);
    DirectoryList->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Laufwerke_Label);
    layout->addWidget(DriveBox);
    layout->addWidget(Verzeichnisse_Label);
    layout->addWidget(DirectoryList, 1);
    layout->addWidget(AktPfad_Label);
    layout->addWidget(PathLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OK_Knopf);
    buttons->addWidget(Abbruch_Knopf);
    layout->addLayout(buttons);
    resize(320, 400);

    for (const QString& root : MountedVolumeRoots())
        DriveBox->addItem(root, root);

    connect(DriveBox, &QComboBox::currentIndexChanged, this, &TPfadMaske::DriveBoxChange);
    connect(DirectoryList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { DirectoryListChange(); });
    connect(OK_Knopf, &QPushButton::clicked, this, &QDialog::accept);
    connect(Abbruch_Knopf, &QPushButton::clicked, this, &QDialog::reject);

    using K = platform::TTranslatableKind;
    translations_.SetFormTag(10);
    translations_.Register(Verzeichnisse_Label, 1, K::Label);
    translations_.Register(Laufwerke_Label, 2, K::Label);
    translations_.Register(AktPfad_Label, 3, K::Label);
    translations_.Register(Abbruch_Knopf, 4, K::Button);

    if (DriveBox->count() > 0)
        ShowVolume(DriveBox->itemData(0).toString());

    PfadMaske = this;
}

TPfadMaske::~TPfadMaske()
{
    if (PfadMaske == this)
        PfadMaske = nullptr;
}

QStringList TPfadMaske::MountedVolumeRoots()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        // Single files can be mounted too (containers do so); only folders count.
        if (root.isEmpty() || !QFileInfo(root).isDir())
            continue;
        if (!roots.contains(root))
            roots << root;
    }
    const QString top = QDir::rootPath();
    roots.removeAll(top);
    std::sort(roots.begin(), roots.end());
    roots.prepend(top);
    return roots;
}

QString TPfadMaske::StartDirectoryFor(const QString& path)
{
    const QString part = ExtractPathPart(path);
    if (part.isEmpty())
        return QDir::currentPath();
    QString dir = QDir::cleanPath(QFileInfo(part).absoluteFilePath());
    for (;;) {
        if (QFileInfo(dir).isDir())
            return dir;
        const QString parent = QFileInfo(dir).path();
        if (parent == dir || parent.isEmpty())
            break;
        dir = parent;
    }
    return QDir::currentPath();
}

int TPfadMaske::VolumeIndexFor(const QString& directory) const
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < DriveBox->count(); ++i) {
        const QString root = DriveBox->itemData(i).toString();
        const QString prefix = root.endsWith(u'/') ? root : root + u'/';
        const bool inside = directory == root || directory.startsWith(prefix);
        if (inside && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void TPfadMaske::ShowVolume(const QString& root)
{
    model_->setRootPath(root);
    DirectoryList->setRootIndex(model_->index(root));
}

bool TPfadMaske::SetCurrentDirectory(const QString& directory)
{
    const QString dir = QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
    if (!QFileInfo(dir).isDir())
        return false;

    // The root is always offered, so every directory has a volume.
    const int volume = VolumeIndexFor(dir);
    if (volume >= 0 && (volume != DriveBox->currentIndex()
                        || model_->rootPath() != DriveBox->itemData(volume).toString())) {
        const QSignalBlocker blocker(DriveBox);
        DriveBox->setCurrentIndex(volume);
        ShowVolume(DriveBox->itemData(volume).toString());
    }

    const QDir::Filters wanted = HasHiddenComponent(dir)
        ? QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden
        : QDir::Dirs | QDir::NoDotAndDotDot;
    if (model_->filter() != wanted)
        model_->setFilter(wanted);

    const QModelIndex index = model_->index(dir);
    if (index.isValid()) {
        DirectoryList->setCurrentIndex(index);
        DirectoryList->scrollTo(index);
    }
    PathLabel->setText(dir);
    return true;
}

QString TPfadMaske::CurrentDirectory() const
{
    return PathLabel->text();
}

void TPfadMaske::DriveBoxChange(int index)
{
    if (index < 0)
        return;
    const QString root = DriveBox->itemData(index).toString();
    ShowVolume(root);
    const QModelIndex rootIndex = model_->index(root);
    DirectoryList->setCurrentIndex(QModelIndex());
    PathLabel->setText(rootIndex.isValid() ? model_->filePath(rootIndex) : root);
}

void TPfadMaske::DirectoryListChange()
{
    const QModelIndex current = DirectoryList->currentIndex();
    if (current.isValid())
        PathLabel->setText(model_->filePath(current));
}

void TPfadMaske::BeginSelection(const QString& path, int left, int top)
{
    move(left, top);
    SetCurrentDirectory(StartDirectoryFor(path));
    DirectoryList->setFocus();
}

bool TPfadMaske::FinishSelection(int result, QString& path) const
{
    if (result == QDialog::Rejected)
        return false;
    const QString dir = CurrentDirectory();
    if (dir.isEmpty())
        return false;
    path = AppendBackslash(dir);
    return true;
}

bool TPfadMaske::SelectDirectory(QString& path, int left, int top)
{
    BeginSelection(path, left, top);
    const int result = exec();
    return FinishSelection(result, path);
}

platform::TDirectoryDialogAnswer PfadMaskeDirectoryDialog(const platform::TDirectoryDialogRequest& request)
{
    platform::TDirectoryDialogAnswer answer;
    QPointer<TPfadMaske> form = PfadMaske;
    QPointer<TPfadMaske> own;
    if (!form) {
        own = new TPfadMaske(QApplication::activeWindow());
        form = own;
    }
    QString path = request.StartDir.isEmpty() ? QString() : AppendBackslash(request.StartDir);
    const bool accepted = form->SelectDirectory(path, request.Left, request.Top);
    delete own.data();
    if (!accepted)
        return answer;
    answer.Accepted = true;
    answer.Directory = WithoutClosingSeparator(path);
    return answer;
}

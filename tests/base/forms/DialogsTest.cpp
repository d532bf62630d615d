#include "base/forms/ZT_DateiPfad.h"
#include "base/forms/ZT_PfadMaske.h"
#include "platform/forms/DefaultHooks.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <memory>

namespace {
QString AppendBackslashForTest(const QString& dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}
} // namespace

// ---- Directory selection ------------------------------------------------------------

class DirectoryDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldCurrent_ = QDir::currentPath();
        root_ = QDir::cleanPath(sandbox_.root());
        ASSERT_TRUE(QDir().mkpath(root_ + QStringLiteral("/Archiv/Kunde A")));
        ASSERT_TRUE(QDir().mkpath(root_ + QStringLiteral("/Andere")));
        form_ = std::make_unique<TPfadMaske>();
    }
    void TearDown() override
    {
        form_.reset();
        QDir::setCurrent(oldCurrent_);
    }

    // Shows the window as SelectDirectory would, without its modal loop,
    // closes it with the button and answers what SelectDirectory answers.
    bool Run(QString& path, QPushButton* button)
    {
        form_->BeginSelection(path, 120, 80);
        form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(form_->isVisible());
        return form_->FinishSelection(form_->result(), path);
    }

    testsupport::ProgramSandbox sandbox_;
    std::unique_ptr<TPfadMaske> form_;
    QString root_;
    QString oldCurrent_;
};

TEST_F(DirectoryDialog, ConfirmingGivesTheDirectoryWithOneClosingSeparator)
{
    EXPECT_EQ(PfadMaske, form_.get());
    QString path = root_ + QStringLiteral("/Archiv/");
    EXPECT_TRUE(Run(path, form_->OK_Knopf));
    EXPECT_EQ(path, root_ + QStringLiteral("/Archiv/"));
    EXPECT_EQ(form_->pos(), QPoint(120, 80));
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Pfadauswahl"));
}

TEST_F(DirectoryDialog, StartsInTheDirectoryPartOfThePath)
{
    form_->BeginSelection(root_ + QStringLiteral("/Archiv/Kunde A/x.AGR"), 0, 0);
    EXPECT_EQ(form_->CurrentDirectory(), root_ + QStringLiteral("/Archiv/Kunde A"));
    EXPECT_EQ(form_->PathLabel->text(), form_->CurrentDirectory());
    // The volume box shows the volume that holds the directory.
    const QString volume = form_->DriveBox->currentData().toString();
    EXPECT_TRUE(volume == QStringLiteral("/") || form_->CurrentDirectory().startsWith(volume + u'/')) << volume.toStdString();
}

TEST_F(DirectoryDialog, AMissingDirectoryStartsAtItsNearestExistingParent)
{
    QString path = root_ + QStringLiteral("/Archiv/fehlt/auch/");
    EXPECT_TRUE(Run(path, form_->OK_Knopf));
    EXPECT_EQ(path, root_ + QStringLiteral("/Archiv/"));

    ASSERT_TRUE(QDir::setCurrent(root_ + QStringLiteral("/Andere")));
    EXPECT_EQ(TPfadMaske::StartDirectoryFor(QString()), root_ + QStringLiteral("/Andere"));
    EXPECT_EQ(TPfadMaske::StartDirectoryFor(QStringLiteral("nirgends\\ARC\\")), root_ + QStringLiteral("/Andere"));
    // A file in place of a directory: its parent.
    ASSERT_TRUE(testsupport::writeFile(root_ + QStringLiteral("/Andere/datei"), "x"));
    EXPECT_EQ(TPfadMaske::StartDirectoryFor(root_ + QStringLiteral("/Andere/datei/unten/")),
              root_ + QStringLiteral("/Andere"));
}

TEST_F(DirectoryDialog, CancelLeavesThePathAsItWas)
{
    const QString start = root_ + QStringLiteral("/Archiv/fehlt/");
    QString path = start;
    EXPECT_FALSE(Run(path, form_->Abbruch_Knopf));
    EXPECT_EQ(path, start);

    // Esc cancels as well.
    form_->BeginSelection(path, 0, 0);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    QTest::keyClick(form_.get(), Qt::Key_Escape);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_FALSE(form_->FinishSelection(form_->result(), path));
    EXPECT_EQ(path, start);
}

TEST_F(DirectoryDialog, TheTreeDrivesThePathLabelAndTheResult)
{
    form_->BeginSelection(root_ + QStringLiteral("/Archiv/"), 0, 0);
    auto* model = qobject_cast<QFileSystemModel*>(form_->DirectoryList->model());
    ASSERT_NE(model, nullptr);
    const QModelIndex other = model->index(root_ + QStringLiteral("/Andere"));
    ASSERT_TRUE(other.isValid());
    form_->DirectoryList->setCurrentIndex(other);
    EXPECT_EQ(form_->PathLabel->text(), root_ + QStringLiteral("/Andere"));

    QString path = QStringLiteral("unverändert");
    EXPECT_TRUE(form_->FinishSelection(QDialog::Accepted, path));
    EXPECT_EQ(path, root_ + QStringLiteral("/Andere/"));
}

TEST_F(DirectoryDialog, TheRootGivesASingleSeparator)
{
    ASSERT_EQ(form_->DriveBox->itemData(0).toString(), QStringLiteral("/"));
    QString path = QStringLiteral("/");
    EXPECT_TRUE(Run(path, form_->OK_Knopf));
    EXPECT_EQ(path, QStringLiteral("/"));
    EXPECT_EQ(form_->DriveBox->currentIndex(), 0);
}

TEST_F(DirectoryDialog, ChoosingAnotherVolumeStartsAtItsRoot)
{
    form_->BeginSelection(root_ + QStringLiteral("/Archiv/"), 0, 0);
    QComboBox* box = form_->DriveBox;
    if (box->count() < 2)
        GTEST_SKIP() << "only one volume is mounted";
    const int other = box->currentIndex() == 0 ? 1 : 0;
    box->setCurrentIndex(other);
    EXPECT_EQ(form_->CurrentDirectory(), box->itemData(other).toString());
    QString path;
    EXPECT_TRUE(form_->FinishSelection(QDialog::Accepted, path));
    EXPECT_EQ(path, AppendBackslashForTest(box->itemData(other).toString()));
}

TEST_F(DirectoryDialog, AHiddenDirectoryCanBeTheStart)
{
    ASSERT_TRUE(QDir().mkpath(root_ + QStringLiteral("/.versteckt/arc")));
    form_->BeginSelection(root_ + QStringLiteral("/.versteckt/arc/"), 0, 0);
    EXPECT_EQ(form_->CurrentDirectory(), root_ + QStringLiteral("/.versteckt/arc"));
    EXPECT_EQ(form_->DirectoryList->currentIndex().data(QFileSystemModel::FilePathRole).toString(),
              root_ + QStringLiteral("/.versteckt/arc"));
}

TEST_F(DirectoryDialog, CarriesItsTranslationTags)
{
    const platform::TFormTranslations& t = form_->Translations();
    EXPECT_EQ(t.FormTag(), 10);
    EXPECT_EQ(platform::TagOf(form_->Verzeichnisse_Label), 1);
    EXPECT_EQ(platform::TagOf(form_->Laufwerke_Label), 2);
    EXPECT_EQ(platform::TagOf(form_->AktPfad_Label), 3);
    EXPECT_EQ(platform::TagOf(form_->Abbruch_Knopf), 4);
    EXPECT_EQ(form_->Laufwerke_Label->buddy(), form_->DriveBox);
    EXPECT_EQ(form_->Verzeichnisse_Label->buddy(), form_->DirectoryList);
    form_.reset();
    EXPECT_EQ(PfadMaske, nullptr);
}

// ---- File selection -----------------------------------------------------------------------

class FileDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldCurrent_ = QDir::currentPath();
        dir_ = sandbox_.root() + QStringLiteral("/Export/");
        ASSERT_TRUE(QDir().mkpath(dir_));
        form_ = std::make_unique<TDateiPfadMaske>();
    }
    void TearDown() override
    {
        form_.reset();
        QDir::setCurrent(oldCurrent_);
    }

    TFileRequest Request() const
    {
        TFileRequest r;
        r.FileName = QStringLiteral("tab.csv");
        r.Directory = dir_;
        r.FileKind = FileKindExportData;
        return r;
    }

    testsupport::ProgramSandbox sandbox_;
    testsupport::FakeHooks hooks_;
    std::unique_ptr<TDateiPfadMaske> form_;
    QString dir_;
    QString oldCurrent_;
};

TEST_F(FileDialog, AsksThroughTheSaveDialogWithTheLabelsWords)
{
    EXPECT_EQ(DateiPfadMaske, form_.get());
    EXPECT_FALSE(form_->Dateien_Label->isVisible());
    // A language module has translated the labels before the first use.
    form_->Dateien_Label->setText(QStringLiteral("files"));
    form_->Daten_Label->setText(QStringLiteral("data"));
    form_->Abfrage_Label_2->setText(QStringLiteral("save"));

    hooks_.fileAnswers.push_back({true, dir_ + QStringLiteral("Tag.htm"), 5});
    TFileRequest request = Request();
    form_->SelectFileOfKind(request);
    ASSERT_EQ(hooks_.saveRequests.size(), 1u);
    EXPECT_EQ(hooks_.saveRequests[0].Title, QStringLiteral("Export-data save"));
    EXPECT_TRUE(hooks_.saveRequests[0].Filter.startsWith(QStringLiteral("Export-files (*.CSV)|*.CSV|")));
    EXPECT_TRUE(request.Accepted);
    EXPECT_EQ(request.Directory, dir_);
    EXPECT_EQ(request.FileName, QStringLiteral("Tag.htm"));
    EXPECT_EQ(request.FilterIndex, 4);

    // The tables were translated once; later label changes leave them, the
    // question word is read each time.
    form_->Dateien_Label->setText(QStringLiteral("Dateien"));
    form_->Abfrage_Label_2->setText(QStringLiteral("speichern"));
    TFileRequest second = Request();
    form_->SelectFileOfKind(second);     // cancelled
    ASSERT_EQ(hooks_.saveRequests.size(), 2u);
    EXPECT_EQ(hooks_.saveRequests[1].Title, QStringLiteral("Export-data speichern"));
    EXPECT_TRUE(hooks_.saveRequests[1].Filter.startsWith(QStringLiteral("Export-files")));
    EXPECT_FALSE(second.Accepted);
    EXPECT_EQ(form_->TypeChange(FileKindExportData, 2, QStringLiteral("a.CSV")), QStringLiteral("a.XLS"));
}

TEST_F(FileDialog, RefusingToOverwriteLeavesTheRequestUnaccepted)
{
    ASSERT_TRUE(testsupport::writeFile(dir_ + QStringLiteral("tab.csv"), "alt"));
    hooks_.fileAnswers.push_back({true, dir_ + QStringLiteral("tab.csv"), 1});
    hooks_.kindAnswers.push_back(platform::TMessageAnswer::No);
    TFileRequest request = Request();
    form_->SelectFileOfKind(request);
    EXPECT_FALSE(request.Accepted);
    EXPECT_EQ(hooks_.kindMessages.size(), 1u);
}

TEST_F(FileDialog, CarriesTheWordsOnTaggedHiddenLabels)
{
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Dateiauswahl"));
    EXPECT_EQ(platform::TagOf(form_->Abfrage_Label_1), 1);
    EXPECT_EQ(form_->Abfrage_Label_1->text(), QStringLiteral("öffnen"));
    EXPECT_EQ(platform::TagOf(form_->Abfrage_Label_2), 2);
    EXPECT_EQ(platform::TagOf(form_->Dateien_Label), 3);
    EXPECT_EQ(platform::TagOf(form_->Daten_Label), 4);
    EXPECT_EQ(platform::TagOf(form_->Visualisierungsparameter_Label), 5);
    EXPECT_EQ(form_->Translations().Entries().size(), 5u);
    form_.reset();
    EXPECT_EQ(DateiPfadMaske, nullptr);
}

// The platform's own save dialog, driven with the request the selection makes.
TEST_F(FileDialog, TheSaveDialogFollowsThePickedTypeAndReportsIt)
{
    TFileRequest request = Request();
    form_->SelectFileOfKind(request);               // cancelled; only the request is wanted
    ASSERT_EQ(hooks_.saveRequests.size(), 1u);
    const platform::TFileDialogRequest shown = hooks_.saveRequests.front();

    QFileDialog dialog;
    platform::SetUpFileDialog(dialog, shown, true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* typeBox = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* nameEdit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(typeBox, nullptr);
    ASSERT_NE(nameEdit, nullptr);
    EXPECT_EQ(typeBox->currentIndex(), 0);
    EXPECT_EQ(nameEdit->text(), QStringLiteral("tab.csv"));

    // Excel: the name follows, as the user wrote it (lower case).
    typeBox->setFocus();
    QTest::keyClick(typeBox, Qt::Key_Down);
    EXPECT_EQ(typeBox->currentIndex(), 1);
    EXPECT_EQ(nameEdit->text(), QStringLiteral("tab.xls"));
    // "Alle Dateien" leaves it.
    QTest::keyClick(typeBox, Qt::Key_End);
    EXPECT_EQ(nameEdit->text(), QStringLiteral("tab.xls"));

    QTest::keyClick(typeBox, Qt::Key_Up);           // HTML
    EXPECT_EQ(nameEdit->text(), QStringLiteral("tab.htm"));
    QTest::keyClick(nameEdit, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    const platform::TFileDialogAnswer answer = platform::FileDialogAnswerOf(dialog, shown, dialog.result());
    EXPECT_TRUE(answer.Accepted);
    EXPECT_EQ(answer.FilterIndex, 5);
    EXPECT_EQ(QFileInfo(answer.FileName).fileName(), QStringLiteral("tab.htm"));
    EXPECT_EQ(QFileInfo(answer.FileName).absolutePath(), QFileInfo(dir_).absolutePath());
}

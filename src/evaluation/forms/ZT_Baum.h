#pragma once
// The selection tree window. The main window never shows it: it takes the
// tree control VST into its left panel. The tree's logic (lazy entries, the
// level provider, reporting selections) lives in TSelectionTreeModel; this
// window shows it, expands and selects what the model asks for, and turns
// clicks and keys into selections.
#include "evaluation/SelectionTreeModel.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QTreeView>
#include <QWidget>

class TBaum_Form : public QWidget {
    Q_OBJECT
public:
    explicit TBaum_Form(QWidget* parent = nullptr);
    ~TBaum_Form() override;

    // The tree control; the main window re-parents it.
    QPointer<QTreeView> VST;
    // Image 0 closed, image 1 open (top-level entries, with option bit 1).
    QList<QIcon> TreeImages;

    TSelectionTreeModel& Model() { return *model_; }

    // Rebuilds the tree (see TSelectionTreeModel::Setup) and applies the
    // options to the control: bit 1 images, bit 2 lines at the root.
    bool Setup(uint8_t Levels, bool ReportLevelZero, const QString& Selection, uint8_t Options,
               TTreeSelectEvent OnSelect, TTreeLevelProvider Provider);
    void ClearTree();
    // Records and reports the focused entry; the control is disabled while the
    // handler runs and gets the focus back afterwards.
    bool SelectNode();
    void ResetSelection();
    bool ReportSelection();
    void FullExpand();
    void FullCollapse();

    void SetSetupArmed(bool armed) { model_->SetupArmed = armed; }
    void SetKeepSingleChildren(bool keep) { model_->KeepSingleChildren = keep; }

    // Event handlers of the control.
    void VSTClick(const QModelIndex& index);
    // Enter selects the focused entry, Space expands or collapses it. True
    // when the key was one of them.
    bool VSTKeyUp(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyNodeState(const QPersistentModelIndex& index, bool expand, bool select);

    TSelectionTreeModel* model_;
};

extern TBaum_Form* Baum_Form;

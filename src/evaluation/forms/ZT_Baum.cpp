#include "evaluation/forms/ZT_Baum.h"

#include "output/forms/ChildWindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

TBaum_Form* Baum_Form = nullptr;

TBaum_Form::TBaum_Form(QWidget* parent) : QWidget(parent), model_(new TSelectionTreeModel(this))
{
    setObjectName(QStringLiteral("Baum_Form"));
    setWindowTitle(QStringLiteral("Baum-Auswahl"));
    CreateChildWindowParams(*this);

    VST = new QTreeView(this);
    VST->setObjectName(QStringLiteral("VST"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(15);
    VST->setFont(font);
    VST->setFrameShape(QFrame::StyledPanel);
    VST->setHeaderHidden(true);
    VST->setUniformRowHeights(true);
    VST->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VST->setSelectionMode(QAbstractItemView::SingleSelection);
    VST->setExpandsOnDoubleClick(true);
    VST->setRootIsDecorated(false);
    VST->setModel(model_);
    VST->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(VST);

    TreeImages = {style()->standardIcon(QStyle::SP_DirClosedIcon), style()->standardIcon(QStyle::SP_DirOpenIcon)};

    model_->SetHourglass = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    connect(model_, &TSelectionTreeModel::NodeStateRequested, this, &TBaum_Form::ApplyNodeState);
    connect(model_, &TSelectionTreeModel::SelectionReported, this, [this] {
        if (VST)
            VST->viewport()->update();
    });
    connect(VST, &QTreeView::expanded, this, [this](const QModelIndex& i) { model_->SetNodeExpanded(i, true); });
    connect(VST, &QTreeView::collapsed, this, [this](const QModelIndex& i) { model_->SetNodeExpanded(i, false); });
    connect(VST, &QTreeView::clicked, this, &TBaum_Form::VSTClick);

    Baum_Form = this;
}

TBaum_Form::~TBaum_Form()
{
    // A control given away to another window's panel stays with that window;
    // the view lets go of the model when the model goes.
    if (Baum_Form == this)
        Baum_Form = nullptr;
}

bool TBaum_Form::Setup(uint8_t Levels, bool ReportLevelZero, const QString& Selection, uint8_t Options,
                       TTreeSelectEvent OnSelect, TTreeLevelProvider Provider)
{
    if (!model_->SetupArmed)
        return false;
    if ((Options & toShowImages) != 0) {
        const QList<QIcon> images = TreeImages;
        model_->ImageProvider = [images](int i) { return QVariant(images.value(i)); };
    } else {
        model_->ImageProvider = nullptr;
    }
    if (VST)
        VST->setRootIsDecorated((Options & toShowRoot) != 0);
    return model_->Setup(Levels, ReportLevelZero, Selection, Options, std::move(OnSelect), std::move(Provider));
}

void TBaum_Form::ClearTree()
{
    model_->ClearTree();
}

bool TBaum_Form::SelectNode()
{
    if (!VST)
        return false;
    const QPointer<QTreeView> tree = VST;
    tree->setEnabled(false);
    bool recorded = false;
    try {
        recorded = model_->SelectNode(tree->currentIndex());
    } catch (...) {
        // A failing handler must not leave this slot (Qt would end the
        // program) nor leave the tree disabled.
    }
    if (recorded)
        setWindowTitle(model_->Caption());
    if (tree) {
        tree->setEnabled(true);
        tree->setFocus();
    }
    return recorded;
}

void TBaum_Form::ResetSelection()
{
    model_->ResetSelection();
}

bool TBaum_Form::ReportSelection()
{
    model_->ResetSelection();
    return SelectNode();
}

void TBaum_Form::FullExpand()
{
    if (VST)
        VST->expandAll();
}

void TBaum_Form::FullCollapse()
{
    if (VST)
        VST->collapseAll();
}

void TBaum_Form::VSTClick(const QModelIndex&)
{
    SelectNode();
}

bool TBaum_Form::VSTKeyUp(int key)
{
    if (!VST)
        return false;
    const QModelIndex current = VST->currentIndex();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current.isValid())
            SelectNode();
        return true;
    case Qt::Key_Space:
        if (current.isValid())
            VST->setExpanded(current, !VST->isExpanded(current));
        return true;
    default:
        return false;
    }
}

bool TBaum_Form::eventFilter(QObject* watched, QEvent* event)
{
    // The event type first: while the tree view is being destroyed it still
    // sends events through this filter, and reading the QPointer then would
    // cast an object that is no longer a QTreeView.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && watched == VST.data()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space) {
            // The view's own handling of these keys (activation, selecting
            // with Space) is replaced by ours, which acts when the key goes up.
            if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
                VSTKeyUp(k);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TBaum_Form::ApplyNodeState(const QPersistentModelIndex& index, bool expand, bool select)
{
    if (!VST || !index.isValid())
        return;
    const QModelIndex i = index;
    if (expand) {
        VST->expand(i);
        // Its children are on screen now: initialise them, so that an entry to
        // reselect among them asks for its state without waiting for a repaint.
        for (int r = 0; r < model_->rowCount(i); ++r)
            model_->NodeText(model_->index(r, 0, i));
    }
    if (select)
        VST->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
}

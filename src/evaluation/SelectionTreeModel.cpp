#include "evaluation/SelectionTreeModel.h"

#include "platform/MessagePump.h"

#include <QCollator>
#include <QLocale>
#include <QMetaObject>
#include <algorithm>
#include <exception>

namespace {

// Both texts non-empty and the shorter one the start of the longer one.
bool SharePrefix(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    return a.size() <= b.size() ? b.startsWith(a) : a.startsWith(b);
}

void ExchangeLevelEntries(QStringList& names, QStringList& rows, qsizetype i, qsizetype j)
{
    names.swapItemsAt(i, j);
    rows.swapItemsAt(i, j);
}

// The string list's quicksort: the pivot follows its entry when exchanged, so
// the order of equal names is the one this walk leaves.
void QuickSortLevelLists(QStringList& names, QStringList& rows, qsizetype left, qsizetype right,
                         const QCollator& collator)
{
    qsizetype i;
    do {
        i = left;
        qsizetype j = right;
        qsizetype p = (left + right) / 2;
        do {
            while (collator.compare(names[i], names[p]) < 0)
                ++i;
            while (collator.compare(names[j], names[p]) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    ExchangeLevelEntries(names, rows, i, j);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            QuickSortLevelLists(names, rows, left, j, collator);
        left = i;
    } while (i < right);
}

} // namespace

TSelectionTreeModel::TSelectionTreeModel(QObject* parent) : QAbstractItemModel(parent)
{
    ResetRoot();
}

TSelectionTreeModel::~TSelectionTreeModel() = default;

void TSelectionTreeModel::ResetRoot()
{
    root_ = std::make_unique<TNode>();
    root_->Initialised = true;
    pending_.clear();
}

void TSelectionTreeModel::Pump() const
{
    if (ProcessMessages)
        ProcessMessages();
    else
        platform::MessagePump::Default().PumpNow();
}

// ---- Sorting ---------------------------------------------------------------------

void TSelectionTreeModel::SortLevelLists(QStringList& Names, QStringList& Rows, const QCollator& collator)
{
    if (Names.isEmpty())
        return;
    // Every name needs a row entry to travel with it.
    while (Rows.size() < Names.size())
        Rows.append(QString());
    QuickSortLevelLists(Names, Rows, 0, Names.size() - 1, collator);
}

void TSelectionTreeModel::SortLevelLists(QStringList& Names, QStringList& Rows)
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    SortLevelLists(Names, Rows, collator);
}

// ---- Setup and selection ----------------------------------------------------------

bool TSelectionTreeModel::Setup(uint8_t Levels, bool ReportLevelZero, const QString& Selection, uint8_t Options,
                                TTreeSelectEvent OnSelect, TTreeLevelProvider Provider)
{
    if (!SetupArmed)
        return false;
    if (SetHourglass)
        SetHourglass(true);
    levelCount_ = uint8_t(std::clamp<int>(Levels, 1, MaxTreeLevels));
    SetupArmed = false;
    sortLists_ = (Options & toSortLists) != 0;
    options_ = Options;
    lastText_.clear();
    lastParent_.clear();
    lastGrandParent_.clear();
    lastLevel_ = NoLevel;

    Pump();

    beginResetModel();
    ResetRoot();
    provider_ = std::move(Provider);
    onSelect_ = std::move(OnSelect);
    reportLevelZero_ = ReportLevelZero;
    selection_ = Selection;
    if (provider_) {
        // The top level is not sorted.
        Fetch(0, QString(), QString(), QString(), root_.get());
        MakeChildren(root_.get());
    }
    endResetModel();

    if (SetHourglass)
        SetHourglass(false);
    return true;
}

void TSelectionTreeModel::ClearTree()
{
    if (SetHourglass)
        SetHourglass(true);
    beginResetModel();
    ResetRoot();
    endResetModel();
    if (SetHourglass)
        SetHourglass(false);
}

bool TSelectionTreeModel::SelectNode(const QModelIndex& focused)
{
    TNode* node = NodeOf(focused);
    if (node == nullptr || !onSelect_)
        return false;
    EnsureInit(node);
    const uint8_t level = uint8_t(node->Level);
    const QString text = node->Text;
    const QString parentText = level >= 1 ? node->Parent->Text : QString();
    const QString grandParentText = level >= 2 ? node->Parent->Parent->Text : QString();
    if (text == lastText_ && level == lastLevel_ && parentText == lastParent_ && grandParentText == lastGrandParent_)
        return false;

    lastText_ = text;
    lastLevel_ = level;
    lastParent_ = parentText;
    lastGrandParent_ = grandParentText;
    caption_ = text;
    if (level > 0 || reportLevelZero_) {
        // The node may be gone once messages went through (a rescan rebuilds
        // the tree): only copies are handed on.
        const QString rows = node->Rows;
        const TTreeSelectEvent handler = onSelect_;
        Pump();
        handler(level, text, parentText, grandParentText, rows);
        emit SelectionReported();
    }
    return true;
}

void TSelectionTreeModel::ResetSelection()
{
    lastText_.clear();
}

bool TSelectionTreeModel::ReportSelection(const QModelIndex& focused)
{
    ResetSelection();
    return SelectNode(focused);
}

// ---- Lazy nodes --------------------------------------------------------------------

TSelectionTreeModel::TNode* TSelectionTreeModel::NodeOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<TNode*>(index.internalPointer());
}

void TSelectionTreeModel::Fetch(uint8_t level, const QString& t1, const QString& t2, const QString& t3,
                                TNode* into) const
{
    into->ChildNames.clear();
    into->ChildRows.clear();
    if (provider_)
        provider_(level, t1, t2, t3, into->ChildNames, into->ChildRows);
}

void TSelectionTreeModel::MakeChildren(TNode* node) const
{
    node->Children.clear();
    node->Children.reserve(std::size_t(node->ChildNames.size()));
    for (qsizetype i = 0; i < node->ChildNames.size(); ++i) {
        auto child = std::make_unique<TNode>();
        child->Parent = node;
        child->Index = int(i);
        child->Level = node->Level + 1;
        node->Children.push_back(std::move(child));
    }
}

void TSelectionTreeModel::EnsureInit(TNode* node) const
{
    if (node == nullptr || node->Initialised)
        return;
    node->Initialised = true;
    try {
        InitNode(node);
    } catch (...) {
        // A provider that failed leaves a marked entry without children.
        node->Text = QStringLiteral("Lev%1, Idx%2 (f%3)").arg(node->Level).arg(node->Index).arg(0);
        node->Rows.clear();
        node->ChildNames.clear();
        node->ChildRows.clear();
        node->Children.clear();
        node->WantExpanded = node->WantSelected = false;
    }
    if (node->WantExpanded || node->WantSelected)
        RequestState(node);
}

void TSelectionTreeModel::InitNode(TNode* node) const
{
    const TNode* parent = node->Parent;
    const int i = node->Index;
    node->Text = parent->ChildNames.value(i);
    node->Rows = parent->ChildRows.value(i);
    const bool fetchChildren = node->Level + 1 < levelCount_;

    switch (node->Level) {
    case 0: {
        if (!fetchChildren)
            break;
        Fetch(1, node->Text, QString(), QString(), node);
        if (sortLists_)
            SortLevelLists(node->ChildNames, node->ChildRows);
        if (KeepSingleChildren || node->ChildNames.size() != 1) {
            MakeChildren(node);
            if (SharePrefix(node->Text, selection_)) {
                node->WantExpanded = true;
                node->WantSelected = node->Text == selection_;
            }
            return;
        }
        // The entry stands for its only child.
        node->Text = node->ChildNames[0];
        node->Rows = node->ChildRows.value(0);
        node->ChildNames.clear();
        node->ChildRows.clear();
        break;
    }
    case 1:
        if (fetchChildren) {
            Fetch(2, node->Text, parent->Text, QString(), node);
            MakeChildren(node);
        }
        break;
    case 2:
        if (fetchChildren) {
            Fetch(3, node->Text, parent->Text, parent->Parent->Text, node);
            MakeChildren(node);
        }
        break;
    default:
        break;
    }
    node->WantSelected = !node->Text.isEmpty() && node->Text == selection_;
}

void TSelectionTreeModel::RequestState(TNode* node) const
{
    pending_.emplace_back(createIndex(node->Index, 0, node));
    if (flushPosted_)
        return;
    flushPosted_ = true;
    auto* self = const_cast<TSelectionTreeModel*>(this);
    QMetaObject::invokeMethod(self, [self] { self->FlushInitialStates(); }, Qt::QueuedConnection);
}

void TSelectionTreeModel::FlushInitialStates()
{
    flushPosted_ = false;
    std::vector<QPersistentModelIndex> requests;
    requests.swap(pending_);
    for (const QPersistentModelIndex& index : requests) {
        TNode* node = NodeOf(index);
        if (node != nullptr)
            emit NodeStateRequested(index, node->WantExpanded, node->WantSelected);
    }
}

QString TSelectionTreeModel::NodeText(const QModelIndex& index) const
{
    TNode* node = NodeOf(index);
    EnsureInit(node);
    return node != nullptr ? node->Text : QString();
}

QString TSelectionTreeModel::NodeRows(const QModelIndex& index) const
{
    TNode* node = NodeOf(index);
    EnsureInit(node);
    return node != nullptr ? node->Rows : QString();
}

int TSelectionTreeModel::NodeLevel(const QModelIndex& index) const
{
    const TNode* node = NodeOf(index);
    return node != nullptr ? node->Level : -1;
}

bool TSelectionTreeModel::InitiallyExpanded(const QModelIndex& index) const
{
    TNode* node = NodeOf(index);
    EnsureInit(node);
    return node != nullptr && node->WantExpanded;
}

bool TSelectionTreeModel::InitiallySelected(const QModelIndex& index) const
{
    TNode* node = NodeOf(index);
    EnsureInit(node);
    return node != nullptr && node->WantSelected;
}

void TSelectionTreeModel::SetNodeExpanded(const QModelIndex& index, bool expanded)
{
    TNode* node = NodeOf(index);
    if (node == nullptr || node->Expanded == expanded)
        return;
    node->Expanded = expanded;
    if ((options_ & toShowImages) != 0)
        emit dataChanged(index, index, {Qt::DecorationRole});
}

QModelIndex TSelectionTreeModel::FindChild(const QModelIndex& parent, const QString& text) const
{
    const int n = rowCount(parent);
    for (int r = 0; r < n; ++r) {
        const QModelIndex child = index(r, 0, parent);
        if (NodeText(child) == text)
            return child;
    }
    return QModelIndex();
}

// ---- QAbstractItemModel --------------------------------------------------------------

QModelIndex TSelectionTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || (parent.isValid() && parent.column() != 0))
        return QModelIndex();
    TNode* node = parent.isValid() ? NodeOf(parent) : root_.get();
    if (node == nullptr)
        return QModelIndex();
    EnsureInit(node);
    if (row >= int(node->Children.size()))
        return QModelIndex();
    return createIndex(row, 0, node->Children[std::size_t(row)].get());
}

QModelIndex TSelectionTreeModel::parent(const QModelIndex& child) const
{
    const TNode* node = NodeOf(child);
    if (node == nullptr || node->Parent == nullptr || node->Parent == root_.get())
        return QModelIndex();
    TNode* p = node->Parent;
    return createIndex(p->Index, 0, p);
}

int TSelectionTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    TNode* node = parent.isValid() ? NodeOf(parent) : root_.get();
    if (node == nullptr)
        return 0;
    EnsureInit(node);
    return int(node->Children.size());
}

int TSelectionTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TSelectionTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant TSelectionTreeModel::data(const QModelIndex& index, int role) const
{
    TNode* node = NodeOf(index);
    if (node == nullptr)
        return QVariant();
    EnsureInit(node);
    switch (role) {
    case Qt::DisplayRole:
        return node->Text;
    case Qt::DecorationRole:
        if ((options_ & toShowImages) != 0 && ImageProvider && node->Level == 0 && !node->Children.empty())
            return ImageProvider(node->Expanded ? 1 : 0);
        return QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags TSelectionTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

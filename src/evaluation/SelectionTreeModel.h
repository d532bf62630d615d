#pragma once
// The model behind the selection tree: a lazy tree whose entries come from a
// level provider and whose selections go to a selection handler. The tree
// knows nothing of archives.
//
// A node is initialised when it is first asked for (its text, its child count
// or whether it has children): it takes its text and row list from the lists
// its parent fetched, and fetches the names and row lists of its own children
// from the provider, once. Every node keeps its own children's lists, so no
// node can show or select another parent's children.
//
// Initialising a node may ask for the states "expanded" (a top-level entry
// that shares a prefix with the entry to reselect) and "selected" (the entry
// to reselect itself). The model cannot expand or select in a view; it
// records the requests and hands them out through NodeStateRequested once the
// event loop runs (or at once through FlushInitialStates).
#include <QAbstractItemModel>
#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QCollator;

// Fills Names with the entries of the level whose parent is Text1,
// grandparent Text2 and great-grandparent Text3, and Rows with one row list
// per name. Level 0 is asked for with three empty texts.
using TTreeLevelProvider = std::function<void(uint8_t Level, const QString& Text1, const QString& Text2,
                                              const QString& Text3, QStringList& Names, QStringList& Rows)>;
// A selected entry: its level (0 top level), its text, its parent's and
// grandparent's texts (empty where there are none) and its row list.
using TTreeSelectEvent = std::function<void(uint8_t Level, const QString& NodeText, const QString& ParentText,
                                            const QString& GrandParentText, const QString& Rows)>;

// Option bits of Setup.
enum TTreeOption : uint8_t {
    toShowImages = 1,   // top-level entries with children show an open or closed image
    toShowRoot = 2,     // lines and buttons at the root
    toSortLists = 4,    // the second level's lists are sorted by name
};

constexpr uint8_t MaxTreeLevels = 4;
constexpr uint8_t NoLevel = 255;

class TSelectionTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TSelectionTreeModel(QObject* parent = nullptr);
    ~TSelectionTreeModel() override;

    // ---- The tree's own operations ---------------------------------------
    // Rebuilds the top level; only while SetupArmed is set (it is cleared
    // here). Forgets the last selection. False when it did nothing.
    bool Setup(uint8_t Levels, bool ReportLevelZero, const QString& Selection, uint8_t Options,
               TTreeSelectEvent OnSelect, TTreeLevelProvider Provider);
    // Removes every node.
    void ClearTree();
    // Records the focused entry as the selection and reports it, unless it is
    // the entry recorded last. True when a new selection was recorded (also
    // when a top-level entry was recorded but not reported).
    bool SelectNode(const QModelIndex& focused);
    // The next report of any entry goes through, even of the last one.
    void ResetSelection();
    // ResetSelection, then SelectNode.
    bool ReportSelection(const QModelIndex& focused);
    // Sorts both lists together by the names, by the user locale's collation
    // without regard to case; rows travel with their names.
    static void SortLevelLists(QStringList& Names, QStringList& Rows);
    static void SortLevelLists(QStringList& Names, QStringList& Rows, const QCollator& collator);

    // Setup works only while this is set; the owner arms it before each setup.
    bool SetupArmed = true;
    // A top-level entry with exactly one child keeps it; otherwise the entry
    // stands for its only child.
    bool KeepSingleChildren = false;

    uint8_t LevelCount() const { return levelCount_; }
    uint8_t Options() const { return options_; }
    bool SortLists() const { return sortLists_; }
    QString Selection() const { return selection_; }
    // Text of the entry recorded last (the window's caption).
    QString Caption() const { return caption_; }
    QString LastText() const { return lastText_; }
    uint8_t LastLevel() const { return lastLevel_; }

    // ---- Nodes -----------------------------------------------------------
    QString NodeText(const QModelIndex& index) const;
    QString NodeRows(const QModelIndex& index) const;
    int NodeLevel(const QModelIndex& index) const;     // -1 for an invalid index
    bool InitiallyExpanded(const QModelIndex& index) const;
    bool InitiallySelected(const QModelIndex& index) const;
    // The view's expanded state, for the images of the top level.
    void SetNodeExpanded(const QModelIndex& index, bool expanded);
    // The child of parent with that text; invalid when there is none.
    QModelIndex FindChild(const QModelIndex& parent, const QString& text) const;
    // Hands out the recorded initial-state requests now.
    void FlushInitialStates();

    // ---- Outside services (all may stay empty) -----------------------------
    std::function<void(bool)> SetHourglass;
    // Lets pending window messages through (before a report and during a
    // setup); the program's message pump when not set.
    std::function<void()> ProcessMessages;
    // The image of an image index (0 closed, 1 open) for the decoration role.
    std::function<QVariant(int)> ImageProvider;

    // ---- QAbstractItemModel --------------------------------------------------
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // An initialised node asked to be expanded and/or selected.
    void NodeStateRequested(const QPersistentModelIndex& index, bool expand, bool select);
    // A selection was reported to the handler.
    void SelectionReported();

private:
    struct TNode {
        TNode* Parent = nullptr;
        int Index = 0;                 // position among its siblings
        int Level = -1;                // -1 for the root
        bool Initialised = false;
        bool WantExpanded = false;
        bool WantSelected = false;
        bool Expanded = false;
        QString Text;
        QString Rows;
        QStringList ChildNames;        // the children's names and row lists,
        QStringList ChildRows;         // fetched once by this node
        std::vector<std::unique_ptr<TNode>> Children;
    };

    TNode* NodeOf(const QModelIndex& index) const;
    void EnsureInit(TNode* node) const;
    void InitNode(TNode* node) const;
    void Fetch(uint8_t level, const QString& t1, const QString& t2, const QString& t3, TNode* into) const;
    void MakeChildren(TNode* node) const;
    void RequestState(TNode* node) const;
    void ResetRoot();
    void Pump() const;

    std::unique_ptr<TNode> root_;
    TTreeLevelProvider provider_;
    TTreeSelectEvent onSelect_;
    bool reportLevelZero_ = false;
    bool sortLists_ = false;
    uint8_t options_ = 0;
    uint8_t levelCount_ = 2;
    QString selection_;
    QString lastText_, lastParent_, lastGrandParent_;
    uint8_t lastLevel_ = 0;
    QString caption_;

    mutable std::vector<QPersistentModelIndex> pending_;
    mutable bool flushPosted_ = false;
};

#include "evaluation/SelectionTreeModel.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QMap>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// A tree of names; the provider answers a level from the path of its texts.
struct TNodeDef {
    QString name;
    std::vector<TNodeDef> children;
};

struct FakeProvider {
    std::vector<TNodeDef> roots;
    int calls = 0;
    bool throwAtLevel3 = false;

    const std::vector<TNodeDef>* Children(const QStringList& path) const
    {
        const std::vector<TNodeDef>* level = &roots;
        for (const QString& p : path) {
            const std::vector<TNodeDef>* next = nullptr;
            for (const TNodeDef& d : *level)
                if (d.name == p)
                    next = &d.children;
            if (next == nullptr)
                return nullptr;
            level = next;
        }
        return level;
    }

    TTreeLevelProvider Make()
    {
        return [this](uint8_t level, const QString& t1, const QString& t2, const QString& t3, QStringList& names,
                      QStringList& rows) {
            ++calls;
            names.clear();
            rows.clear();
            if (level == 3 && throwAtLevel3)
                throw std::runtime_error("provider failed");
            QStringList path;
            if (level >= 3) path << t3;
            if (level >= 2) path << t2;
            if (level >= 1) path << t1;
            const std::vector<TNodeDef>* list = Children(path);
            if (list == nullptr)
                return;
            for (const TNodeDef& d : *list) {
                names << d.name;
                if (level > 0)
                    rows << (path + QStringList{d.name}).join(QLatin1Char('/'));
            }
        };
    }
};

struct Report {
    int level;
    QString text, parent, grand, rows;
};

class SelectionTreeModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        provider_.roots = {
            {QStringLiteral("G1"),
             {{QStringLiteral("b"), {{QStringLiteral("dev1"), {{QStringLiteral("ch1"), {}}, {QStringLiteral("ch2"), {}}}}}},
              {QStringLiteral("A"), {{QStringLiteral("dev2"), {{QStringLiteral("ch1"), {}}}}}},
              {QStringLiteral("c"), {}}}},
            {QStringLiteral("G2"), {{QStringLiteral("only"), {{QStringLiteral("dev3"), {}}}}}},
            {QStringLiteral("123"),
             {{QStringLiteral("12345"), {{QStringLiteral("dev1"), {{QStringLiteral("ch9"), {}}}}}},
              {QStringLiteral("b"), {{QStringLiteral("dev4"), {}}}}}},
        };
        model_.ProcessMessages = [] {};
    }

    bool DoSetup(uint8_t levels = 4, bool reportZero = true, const QString& selection = {}, uint8_t options = 6)
    {
        model_.SetupArmed = true;
        model_.KeepSingleChildren = true;
        return model_.Setup(levels, reportZero, selection, options, Handler(), provider_.Make());
    }

    TTreeSelectEvent Handler()
    {
        return [this](uint8_t level, const QString& t, const QString& p, const QString& g, const QString& r) {
            reports_.push_back({level, t, p, g, r});
        };
    }

    QModelIndex Path(const QStringList& texts)
    {
        QModelIndex i;
        for (const QString& t : texts) {
            i = model_.FindChild(i, t);
            if (!i.isValid())
                return i;
        }
        return i;
    }

    QStringList ChildTexts(const QModelIndex& parent)
    {
        QStringList texts;
        for (int r = 0; r < model_.rowCount(parent); ++r)
            texts << model_.NodeText(model_.index(r, 0, parent));
        return texts;
    }

    FakeProvider provider_;
    TSelectionTreeModel model_;
    std::vector<Report> reports_;
};

TEST_F(SelectionTreeModelTest, SetupOnlyWhileArmed)
{
    model_.SetupArmed = false;
    EXPECT_FALSE(model_.Setup(4, true, {}, 6, Handler(), provider_.Make()));
    EXPECT_EQ(model_.rowCount(), 0);
    EXPECT_EQ(provider_.calls, 0);

    ASSERT_TRUE(DoSetup());
    EXPECT_FALSE(model_.SetupArmed);
    EXPECT_EQ(ChildTexts({}), (QStringList{QStringLiteral("G1"), QStringLiteral("G2"), QStringLiteral("123")}));

    // A second setup without arming keeps the old tree.
    FakeProvider other;
    other.roots = {{QStringLiteral("X"), {}}};
    EXPECT_FALSE(model_.Setup(4, true, {}, 6, Handler(), other.Make()));
    EXPECT_EQ(model_.rowCount(), 3);
    EXPECT_EQ(other.calls, 0);
}

TEST_F(SelectionTreeModelTest, EntriesAreFetchedLazily)
{
    ASSERT_TRUE(DoSetup());
    EXPECT_EQ(provider_.calls, 1);   // the top level only
    EXPECT_EQ(model_.rowCount(), 3);
    EXPECT_EQ(provider_.calls, 1);
    const QModelIndex g1 = model_.index(0, 0);
    EXPECT_EQ(model_.rowCount(g1), 3);   // G1 fetches its children once
    EXPECT_EQ(provider_.calls, 2);
    model_.data(g1);
    model_.rowCount(g1);
    EXPECT_EQ(provider_.calls, 2);
}

TEST_F(SelectionTreeModelTest, LevelCountLimitsDepth)
{
    ASSERT_TRUE(DoSetup(9));
    EXPECT_EQ(model_.LevelCount(), 4);
    const QModelIndex ch = Path({QStringLiteral("G1"), QStringLiteral("b"), QStringLiteral("dev1"), QStringLiteral("ch2")});
    ASSERT_TRUE(ch.isValid());
    EXPECT_EQ(model_.NodeLevel(ch), 3);
    EXPECT_EQ(model_.NodeRows(ch), QStringLiteral("G1/b/dev1/ch2"));
    EXPECT_FALSE(model_.hasChildren(ch));

    ASSERT_TRUE(DoSetup(2));
    const QModelIndex b = Path({QStringLiteral("G1"), QStringLiteral("b")});
    ASSERT_TRUE(b.isValid());
    EXPECT_FALSE(model_.hasChildren(b));
}

TEST_F(SelectionTreeModelTest, SelectionPrefixExpandsAndEqualSelects)
{
    ASSERT_TRUE(DoSetup(4, true, QStringLiteral("12345")));
    std::vector<std::tuple<QString, bool, bool>> requests;
    QObject::connect(&model_, &TSelectionTreeModel::NodeStateRequested, &model_,
                     [&](const QPersistentModelIndex& i, bool e, bool s) { requests.emplace_back(model_.NodeText(i), e, s); });
    const QModelIndex top = Path({QStringLiteral("123")});
    EXPECT_TRUE(model_.InitiallyExpanded(top));
    EXPECT_FALSE(model_.InitiallySelected(top));
    const QModelIndex child = Path({QStringLiteral("123"), QStringLiteral("12345")});
    EXPECT_TRUE(model_.InitiallySelected(child));
    EXPECT_FALSE(model_.InitiallyExpanded(child));
    EXPECT_FALSE(model_.InitiallyExpanded(Path({QStringLiteral("G1")})));

    // The requests reach the view once the event loop runs.
    EXPECT_TRUE(requests.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], std::make_tuple(QStringLiteral("123"), true, false));
    EXPECT_EQ(requests[1], std::make_tuple(QStringLiteral("12345"), false, true));

    // A top-level entry equal to the selection is expanded and selected.
    ASSERT_TRUE(DoSetup(4, true, QStringLiteral("G1")));
    EXPECT_TRUE(model_.InitiallyExpanded(Path({QStringLiteral("G1")})));
    EXPECT_TRUE(model_.InitiallySelected(Path({QStringLiteral("G1")})));
}

TEST_F(SelectionTreeModelTest, SameEntryReportedOnceUntilReportSelection)
{
    ASSERT_TRUE(DoSetup());
    const QModelIndex dev = Path({QStringLiteral("G1"), QStringLiteral("b"), QStringLiteral("dev1")});
    EXPECT_TRUE(model_.SelectNode(dev));
    EXPECT_FALSE(model_.SelectNode(dev));
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].level, 2);
    EXPECT_EQ(reports_[0].text, QStringLiteral("dev1"));
    EXPECT_EQ(reports_[0].parent, QStringLiteral("b"));
    EXPECT_EQ(reports_[0].grand, QStringLiteral("G1"));
    EXPECT_EQ(reports_[0].rows, QStringLiteral("G1/b/dev1"));
    EXPECT_EQ(model_.Caption(), QStringLiteral("dev1"));

    EXPECT_TRUE(model_.ReportSelection(dev));
    EXPECT_EQ(reports_.size(), 2u);

    // A setup forgets the last selection.
    ASSERT_TRUE(DoSetup());
    EXPECT_TRUE(model_.SelectNode(Path({QStringLiteral("G1"), QStringLiteral("b"), QStringLiteral("dev1")})));
    EXPECT_EQ(reports_.size(), 3u);
}

TEST_F(SelectionTreeModelTest, SameTextUnderDifferentParentsAreDifferentSelections)
{
    ASSERT_TRUE(DoSetup());
    const QModelIndex b1 = Path({QStringLiteral("G1"), QStringLiteral("b")});
    const QModelIndex b2 = Path({QStringLiteral("123"), QStringLiteral("b")});
    EXPECT_TRUE(model_.SelectNode(b1));
    EXPECT_TRUE(model_.SelectNode(b2));
    ASSERT_EQ(reports_.size(), 2u);
    EXPECT_EQ(reports_[0].parent, QStringLiteral("G1"));
    EXPECT_EQ(reports_[1].parent, QStringLiteral("123"));
    // Each keeps its own children: never another parent's.
    EXPECT_EQ(ChildTexts(b1), QStringList{QStringLiteral("dev1")});
    EXPECT_EQ(ChildTexts(b2), QStringList{QStringLiteral("dev4")});
    const QModelIndex d1 = Path({QStringLiteral("G1"), QStringLiteral("b"), QStringLiteral("dev1")});
    const QModelIndex d2 = Path({QStringLiteral("123"), QStringLiteral("12345"), QStringLiteral("dev1")});
    EXPECT_EQ(ChildTexts(d1), (QStringList{QStringLiteral("ch1"), QStringLiteral("ch2")}));
    EXPECT_EQ(ChildTexts(d2), QStringList{QStringLiteral("ch9")});
}

TEST_F(SelectionTreeModelTest, TopLevelRecordedButNotReportedWithoutReportLevelZero)
{
    ASSERT_TRUE(DoSetup(4, false));
    EXPECT_TRUE(model_.SelectNode(Path({QStringLiteral("G2")})));
    EXPECT_TRUE(reports_.empty());
    EXPECT_EQ(model_.Caption(), QStringLiteral("G2"));
    EXPECT_EQ(model_.LastLevel(), 0);

    ASSERT_TRUE(DoSetup(4, true));
    EXPECT_TRUE(model_.SelectNode(Path({QStringLiteral("G2")})));
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].level, 0);
    EXPECT_TRUE(reports_[0].rows.isEmpty());
}

TEST_F(SelectionTreeModelTest, NoHandlerNoFocusNoProvider)
{
    model_.SetupArmed = true;
    ASSERT_TRUE(model_.Setup(4, true, {}, 6, nullptr, provider_.Make()));
    EXPECT_FALSE(model_.SelectNode(Path({QStringLiteral("G2")})));
    EXPECT_TRUE(model_.Caption().isEmpty());

    ASSERT_TRUE(DoSetup());
    EXPECT_FALSE(model_.SelectNode(QModelIndex()));

    model_.SetupArmed = true;
    ASSERT_TRUE(model_.Setup(4, true, {}, 6, Handler(), nullptr));
    EXPECT_EQ(model_.rowCount(), 0);
}

TEST_F(SelectionTreeModelTest, SecondLevelSortedWithOwnRows)
{
    ASSERT_TRUE(DoSetup(4, true, {}, 6));
    const QModelIndex g1 = Path({QStringLiteral("G1")});
    EXPECT_EQ(ChildTexts(g1), (QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(model_.NodeRows(model_.index(0, 0, g1)), QStringLiteral("G1/A"));
    EXPECT_EQ(model_.NodeRows(model_.index(1, 0, g1)), QStringLiteral("G1/b"));
    // Children follow their sorted parent.
    EXPECT_EQ(ChildTexts(model_.index(0, 0, g1)), QStringList{QStringLiteral("dev2")});
    // The top level is never sorted.
    EXPECT_EQ(ChildTexts({}), (QStringList{QStringLiteral("G1"), QStringLiteral("G2"), QStringLiteral("123")}));

    ASSERT_TRUE(DoSetup(4, true, {}, 2));
    EXPECT_EQ(ChildTexts(Path({QStringLiteral("G1")})),
              (QStringList{QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c")}));
}

TEST_F(SelectionTreeModelTest, SortLevelListsKeepsPairs)
{
    QStringList names{QStringLiteral("delta"), QStringLiteral("Bravo"), QStringLiteral("alpha"),
                      QStringLiteral("charlie"), QStringLiteral("ECHO"), QStringLiteral("bravo")};
    QStringList rows{QStringLiteral("4"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("3"),
                     QStringLiteral("5")};   // one short: padded with an empty entry
    TSelectionTreeModel::SortLevelLists(names, rows);
    ASSERT_EQ(names.size(), 6);
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(names[0], QStringLiteral("alpha"));
    EXPECT_EQ(names[3], QStringLiteral("charlie"));
    EXPECT_EQ(names[5], QStringLiteral("ECHO"));
    for (int i = 0; i < names.size(); ++i) {
        const QString expected = names[i] == QStringLiteral("alpha") ? QStringLiteral("1")
            : names[i] == QStringLiteral("Bravo")                      ? QStringLiteral("2")
            : names[i] == QStringLiteral("charlie")                    ? QStringLiteral("3")
            : names[i] == QStringLiteral("delta")                      ? QStringLiteral("4")
            : names[i] == QStringLiteral("ECHO")                       ? QStringLiteral("5")
                                                                       : QString();
        EXPECT_EQ(rows[i], expected) << names[i].toStdString();
    }
    QStringList none, noRows;
    TSelectionTreeModel::SortLevelLists(none, noRows);
    EXPECT_TRUE(noRows.isEmpty());
}

TEST_F(SelectionTreeModelTest, SingleChildStandsForItsEntryUnlessKept)
{
    model_.SetupArmed = true;
    model_.KeepSingleChildren = false;
    ASSERT_TRUE(model_.Setup(4, true, QStringLiteral("only"), 6, Handler(), provider_.Make()));
    const QModelIndex g2 = model_.index(1, 0);
    EXPECT_EQ(model_.NodeText(g2), QStringLiteral("only"));
    EXPECT_EQ(model_.NodeRows(g2), QStringLiteral("G2/only"));
    EXPECT_FALSE(model_.hasChildren(g2));
    EXPECT_TRUE(model_.InitiallySelected(g2));
    EXPECT_EQ(model_.NodeText(model_.index(0, 0)), QStringLiteral("G1"));
}

TEST_F(SelectionTreeModelTest, FailingProviderMarksTheEntry)
{
    provider_.throwAtLevel3 = true;
    ASSERT_TRUE(DoSetup());
    const QModelIndex dev = Path({QStringLiteral("G1"), QStringLiteral("b")});
    const QModelIndex d = model_.index(0, 0, dev);
    EXPECT_EQ(model_.NodeText(d), QStringLiteral("Lev2, Idx0 (f0)"));
    EXPECT_FALSE(model_.hasChildren(d));
}

TEST_F(SelectionTreeModelTest, ClearTreeRemovesEverything)
{
    ASSERT_TRUE(DoSetup());
    QPersistentModelIndex keep = Path({QStringLiteral("G1"), QStringLiteral("b")});
    model_.ClearTree();
    EXPECT_EQ(model_.rowCount(), 0);
    EXPECT_FALSE(keep.isValid());
}

TEST_F(SelectionTreeModelTest, PassesItemModelTester)
{
    QAbstractItemModelTester tester(&model_, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(DoSetup(4, true, QStringLiteral("12345"), 7));
    // Walk every node, so that the tester sees all levels.
    std::function<int(const QModelIndex&)> walk = [&](const QModelIndex& p) {
        int n = 0;
        for (int r = 0; r < model_.rowCount(p); ++r) {
            const QModelIndex c = model_.index(r, 0, p);
            EXPECT_EQ(model_.parent(c), p);
            EXPECT_FALSE(model_.data(c).toString().isEmpty());
            n += 1 + walk(c);
        }
        return n;
    };
    EXPECT_EQ(walk({}), 3 + 6 + 5 + 4);
    model_.SetNodeExpanded(model_.index(0, 0), true);
    QCoreApplication::processEvents();
    model_.ClearTree();
    ASSERT_TRUE(DoSetup(2, false, {}, 2));
    EXPECT_EQ(walk({}), 3 + 6);
}

} // namespace

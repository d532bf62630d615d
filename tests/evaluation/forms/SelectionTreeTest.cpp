#include "evaluation/forms/ZT_Baum.h"

#include <QApplication>
#include <QIcon>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Groupings "G1" and "123"; under each two values; under each value one
// device; under each device two channels.
void Provider(uint8_t level, const QString& t1, const QString& t2, const QString& t3, QStringList& names,
              QStringList& rows)
{
    names.clear();
    rows.clear();
    switch (level) {
    case 0:
        names << QStringLiteral("G1") << QStringLiteral("123");
        return;
    case 1:
        if (t1 == QLatin1String("G1"))
            names << QStringLiteral("b") << QStringLiteral("A");
        else
            names << QStringLiteral("12345") << QStringLiteral("9");
        break;
    case 2:
        names << QStringLiteral("dev-") + t1;
        break;
    case 3:
        names << QStringLiteral("VA / m3") << QStringLiteral("VB / m3");
        break;
    default:
        return;
    }
    for (const QString& n : names)
        rows << QStringList{t3, t2, t1, n}.join(QLatin1Char('/'));
}

struct Report {
    int level;
    QString text, parent, grand, rows;
    bool treeEnabled;
};

class SelectionTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_ = new TBaum_Form;
        form_->resize(300, 400);
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
    }
    void TearDown() override
    {
        delete form_;
        EXPECT_EQ(Baum_Form, nullptr);
    }

    void DoSetup(const QString& selection = {}, uint8_t options = 6)
    {
        form_->SetSetupArmed(true);
        form_->SetKeepSingleChildren(true);
        ASSERT_TRUE(form_->Setup(4, true, selection, options,
                                 [this](uint8_t l, const QString& t, const QString& p, const QString& g, const QString& r) {
                                     reports_.push_back({l, t, p, g, r, form_->VST->isEnabled()});
                                 },
                                 Provider));
        QApplication::processEvents();
    }

    QModelIndex Find(const QStringList& path)
    {
        QModelIndex i;
        for (const QString& t : path)
            i = form_->Model().FindChild(i, t);
        return i;
    }

    void Click(const QModelIndex& index)
    {
        form_->VST->scrollTo(index);
        const QPoint p = form_->VST->visualRect(index).center();
        QTest::mouseClick(form_->VST->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    }

    TBaum_Form* form_ = nullptr;
    std::vector<Report> reports_;
};

TEST_F(SelectionTreeTest, CreatedEmptyWithCaption)
{
    EXPECT_EQ(Baum_Form, form_);
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Baum-Auswahl"));
    EXPECT_EQ(form_->VST->model()->rowCount(), 0);
    EXPECT_TRUE(form_->Model().SetupArmed);
}

TEST_F(SelectionTreeTest, ClickSelectsAndReportsOnce)
{
    DoSetup();
    form_->VST->expand(Find({QStringLiteral("G1")}));
    const QModelIndex b = Find({QStringLiteral("G1"), QStringLiteral("b")});
    Click(b);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].level, 1);
    EXPECT_EQ(reports_[0].text, QStringLiteral("b"));
    EXPECT_EQ(reports_[0].parent, QStringLiteral("G1"));
    EXPECT_EQ(reports_[0].rows, QStringLiteral("//G1/b"));
    // The tree is disabled while the handler runs, enabled again afterwards.
    EXPECT_FALSE(reports_[0].treeEnabled);
    EXPECT_TRUE(form_->VST->isEnabled());
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("b"));

    Click(b);
    EXPECT_EQ(reports_.size(), 1u);
    EXPECT_TRUE(form_->ReportSelection());
    EXPECT_EQ(reports_.size(), 2u);
}

TEST_F(SelectionTreeTest, EnterSelectsAndSpaceToggles)
{
    DoSetup();
    const QModelIndex g1 = Find({QStringLiteral("G1")});
    form_->VST->setFocus();
    form_->VST->setCurrentIndex(g1);
    QTest::keyClick(form_->VST, Qt::Key_Space);
    EXPECT_TRUE(form_->VST->isExpanded(g1));
    EXPECT_TRUE(reports_.empty());
    QTest::keyClick(form_->VST, Qt::Key_Space);
    EXPECT_FALSE(form_->VST->isExpanded(g1));

    QTest::keyClick(form_->VST, Qt::Key_Return);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].level, 0);
    EXPECT_EQ(reports_[0].text, QStringLiteral("G1"));

    // Arrow keys move the focus without reporting; Enter reports the new
    // entry. The second level is sorted: "A" comes before "b".
    form_->VST->expand(g1);
    QTest::keyClick(form_->VST, Qt::Key_Down);
    EXPECT_EQ(form_->Model().NodeText(form_->VST->currentIndex()), QStringLiteral("A"));
    EXPECT_EQ(reports_.size(), 1u);
    QTest::keyClick(form_->VST, Qt::Key_Enter);
    ASSERT_EQ(reports_.size(), 2u);
    EXPECT_EQ(reports_[1].text, QStringLiteral("A"));
    EXPECT_EQ(reports_[1].rows, QStringLiteral("//G1/A"));
    QTest::keyClick(form_->VST, Qt::Key_Return);
    EXPECT_EQ(reports_.size(), 2u);
}

TEST_F(SelectionTreeTest, DeepSelectionReportsAncestors)
{
    DoSetup();
    form_->FullExpand();
    QApplication::processEvents();
    const QModelIndex ch = Find({QStringLiteral("123"), QStringLiteral("9"), QStringLiteral("dev-9"),
                                 QStringLiteral("VB / m3")});
    ASSERT_TRUE(ch.isValid());
    EXPECT_TRUE(form_->VST->isExpanded(ch.parent()));
    Click(ch);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].level, 3);
    EXPECT_EQ(reports_[0].parent, QStringLiteral("dev-9"));
    EXPECT_EQ(reports_[0].grand, QStringLiteral("9"));
    EXPECT_EQ(reports_[0].rows, QStringLiteral("123/9/dev-9/VB / m3"));

    form_->FullCollapse();
    EXPECT_FALSE(form_->VST->isExpanded(Find({QStringLiteral("123")})));
}

TEST_F(SelectionTreeTest, ReselectionExpandsAndSelects)
{
    DoSetup(QStringLiteral("12345"));
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QModelIndex top = Find({QStringLiteral("123")});
    EXPECT_TRUE(form_->VST->isExpanded(top));
    EXPECT_FALSE(form_->VST->isExpanded(Find({QStringLiteral("G1")})));
    const QModelIndex entry = Find({QStringLiteral("123"), QStringLiteral("12345")});
    EXPECT_TRUE(form_->VST->selectionModel()->isSelected(entry));
    EXPECT_FALSE(form_->VST->selectionModel()->isSelected(top));
    // A setup reports nothing by itself; Enter reports the reselected entry.
    EXPECT_TRUE(reports_.empty());
    form_->VST->setFocus();
    QTest::keyClick(form_->VST, Qt::Key_Return);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].text, QStringLiteral("12345"));
}

TEST_F(SelectionTreeTest, OptionsGiveRootLinesAndImages)
{
    DoSetup({}, 6);
    EXPECT_TRUE(form_->VST->rootIsDecorated());
    EXPECT_FALSE(form_->Model().data(Find({QStringLiteral("G1")}), Qt::DecorationRole).isValid());

    DoSetup({}, 1);
    EXPECT_FALSE(form_->VST->rootIsDecorated());
    const QModelIndex g1 = Find({QStringLiteral("G1")});
    const QIcon closed = form_->Model().data(g1, Qt::DecorationRole).value<QIcon>();
    EXPECT_EQ(closed.cacheKey(), form_->TreeImages[0].cacheKey());
    form_->VST->expand(g1);
    EXPECT_EQ(form_->Model().data(g1, Qt::DecorationRole).value<QIcon>().cacheKey(), form_->TreeImages[1].cacheKey());
    // Deeper entries show no image.
    EXPECT_FALSE(form_->Model().data(Find({QStringLiteral("G1"), QStringLiteral("b")}), Qt::DecorationRole).isValid());
}

TEST_F(SelectionTreeTest, ClearTreeEmptiesTheControl)
{
    DoSetup();
    form_->ClearTree();
    EXPECT_EQ(form_->VST->model()->rowCount(), 0);
    // Enter without a focused entry does nothing.
    QTest::keyClick(form_->VST, Qt::Key_Return);
    EXPECT_TRUE(reports_.empty());
}

TEST_F(SelectionTreeTest, TreeControlCanMoveToAnotherPanel)
{
    DoSetup();
    auto* panel = new QWidget;
    form_->VST->setParent(panel);
    delete form_;
    form_ = nullptr;
    // The control stays usable in its new home and lets go of the model.
    EXPECT_EQ(panel->findChildren<QTreeView*>().size(), 1);
    delete panel;
    form_ = new TBaum_Form;
}

} // namespace

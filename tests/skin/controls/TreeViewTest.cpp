// Category tree: text order at both levels, the addition hook, clicks.
#include <QLocale>
#include <QMenu>
#include <QTest>

#include "QtApp.h"
#include "platform/ImageList.h"
#include "skin/controls/twSkinTreeView.h"

namespace {

QStringList Texts(const QTreeWidgetItem* owner) {
  QStringList l;
  for (int i = 0; i < owner->childCount(); ++i) l << owner->child(i)->text(0);
  return l;
}

class LocaleScope {
 public:
  explicit LocaleScope(const QLocale& l) : old_(QLocale()) { QLocale::setDefault(l); }
  ~LocaleScope() { QLocale::setDefault(old_); }

 private:
  QLocale old_;
};

TEST(TreeView, SortsByLocaleCollationAtBothLevels) {
  LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
  TtwSkinTreeView tree;
  tree.SetSortType(stText);
  // Plain code order would put "Banana" before "apple" and "Zeta" before "éclair".
  TTreeNode* b = tree.Items().Add(nullptr, QStringLiteral("cherry"));
  tree.Items().Add(nullptr, QStringLiteral("Banana"));
  TTreeNode* a = tree.Items().Add(nullptr, QStringLiteral("apple"));
  tree.Items().AddChild(a, QStringLiteral("Zeta"));
  tree.Items().AddChild(a, QStringLiteral("éclair"));
  tree.Items().AddChild(a, QStringLiteral("delta"));
  tree.Items().AddChild(b, QStringLiteral("b2"));
  tree.Items().AddChild(b, QStringLiteral("b10"));
  EXPECT_EQ(Texts(tree.invisibleRootItem()),
            (QStringList{"apple", "Banana", "cherry"}));
  EXPECT_EQ(Texts(a), (QStringList{"delta", "éclair", "Zeta"}));
  EXPECT_EQ(Texts(b), (QStringList{"b10", "b2"}));
  EXPECT_EQ(tree.Items().Count(), 8);

  // Renaming keeps the order; unsorted trees keep insertion order.
  tree.SetText(a, QStringLiteral("zebra"));
  EXPECT_EQ(Texts(tree.invisibleRootItem()), (QStringList{"Banana", "cherry", "zebra"}));
  TtwSkinTreeView plain;
  plain.Items().Add(nullptr, QStringLiteral("b"));
  plain.Items().Add(nullptr, QStringLiteral("a"));
  EXPECT_EQ(Texts(plain.invisibleRootItem()), (QStringList{"b", "a"}));
}

TEST(TreeView, ChineseNamesSortByTheChineseCollation) {
  LocaleScope chinese(QLocale(QLocale::Chinese, QLocale::China));
  TtwSkinTreeView tree;
  tree.SetSortType(stText);
  // Code order is 上 < 北 < 天; the Chinese collation reads bei, shang, tian.
  for (const char* t : {"天津", "上海", "北京"}) tree.Items().Add(nullptr, QString::fromUtf8(t));
  EXPECT_EQ(Texts(tree.invisibleRootItem()),
            (QStringList{QString::fromUtf8("北京"), QString::fromUtf8("上海"),
                         QString::fromUtf8("天津")}));
}

TEST(TreeView, AdditionHookSeesEveryNodeInPlaceAndSetsItsPictures) {
  TImageList images(nullptr, 24, 24);
  for (QColor c : {Qt::red, Qt::green, Qt::blue}) {
    QPixmap p(24, 24);
    p.fill(c);
    images.Add(p);
  }
  TtwSkinTreeView tree;
  tree.SetImages(&images);
  tree.SetSortType(stText);
  QList<QPair<QString, int>> seen;
  tree.OnAddition = [&](QObject* sender, TTreeNode* node) {
    EXPECT_EQ(sender, &tree);
    EXPECT_EQ(node->treeWidget(), &tree);
    const int level = TtwSkinTreeView::Level(node);
    seen << qMakePair(node->text(0), level);
    TtwSkinTreeView::SetImageIndex(node, level == 0 ? 0 : 1);
    TtwSkinTreeView::SetSelectedIndex(node, 2);
  };
  TTreeNode* cat = tree.Items().Add(nullptr, QStringLiteral("Work"));
  TTreeNode* note = tree.Items().AddChild(cat, QStringLiteral("Plan"));
  EXPECT_EQ(seen, (QList<QPair<QString, int>>{{"Work", 0}, {"Plan", 1}}));
  EXPECT_EQ(TtwSkinTreeView::ImageIndex(cat), 0);
  EXPECT_EQ(TtwSkinTreeView::ImageIndex(note), 1);
  EXPECT_EQ(TtwSkinTreeView::SelectedIndex(note), 2);
  const QImage sel = note->icon(0).pixmap(24, 24, QIcon::Selected).toImage();
  const QImage normal = note->icon(0).pixmap(24, 24, QIcon::Normal).toImage();
  EXPECT_EQ(sel.pixel(12, 12) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(normal.pixel(12, 12) & 0xFFFFFF, 0x00FF00u);
}

TEST(TreeView, RemovingItsImageListWhileShownLeavesNothingDangling) {
  auto* images = new TImageList(nullptr, 16, 16);
  QPixmap red(16, 16);
  red.fill(Qt::red);
  images->Add(red);
  TtwSkinTreeView tree;
  tree.resize(200, 120);
  tree.SetImages(images);
  TTreeNode* node = tree.Items().Add(nullptr, QStringLiteral("Work"));
  TtwSkinTreeView::SetImageIndex(node, 0);
  tree.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
  ASSERT_FALSE(node->icon(0).isNull());

  delete images;
  EXPECT_EQ(tree.Images(), nullptr);
  EXPECT_TRUE(node->icon(0).isNull());  // the list's pictures went with it
  // Everything that used the list still runs (under the sanitizers: without
  // touching freed memory): a new picture index, a re-skin, a paint.
  TtwSkinTreeView::SetImageIndex(node, 0);
  EXPECT_TRUE(node->icon(0).isNull());
  tree.ApplySkin();
  tree.repaint();
  EXPECT_FALSE(tree.grab().isNull());
}

TEST(TreeView, ClickReportsWithTheNodeSelectedAndRightClickOpensTheMenu) {
  TtwSkinTreeView tree;
  tree.resize(200, 200);
  TTreeNode* cat = tree.Items().Add(nullptr, QStringLiteral("Work"));
  TTreeNode* note = tree.Items().AddChild(cat, QStringLiteral("Plan"));
  tree.expandAll();
  tree.show();
  QApplication::processEvents();
  TTreeNode* atClick = nullptr;
  int clicks = 0;
  tree.OnClick = [&] { ++clicks; atClick = tree.Selected(); };
  const QPoint at = tree.visualItemRect(note).center();
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(atClick, note);

  // Empty space still reports the click; the selection stays as it was.
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(100, 190));
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(atClick, note);

  QMenu menu;
  menu.addAction(QStringLiteral("Delete"));
  tree.SetPopupMenu(&menu);
  QContextMenuEvent ev(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
  QApplication::sendEvent(tree.viewport(), &ev);
  EXPECT_TRUE(menu.isVisible());
  menu.hide();
  EXPECT_EQ(clicks, 2);

  tree.Items().Clear();
  EXPECT_EQ(tree.Items().Count(), 0);
  EXPECT_EQ(tree.Selected(), nullptr);
}

}  // namespace

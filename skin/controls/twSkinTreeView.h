#pragma once
// The category tree: a QTreeWidget with skinned colours and fonts, node
// pictures from an image list and text ordering by the locale's collation.
// Its own bars and frame are off; external skinned bars follow its hidden
// QScrollBars through TtwScrollBarLink, and its one column is as wide as the
// widest title shown, so a long title is scrolled to rather than cut.
#include <QFont>
#include <QPointer>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "platform/Align.h"
#include "platform/ImageList.h"
#include "skin/controls/twSkinScrollBar.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinnable.h"

class TtwSkinData;
class QMenu;

using TTreeNode = QTreeWidgetItem;

enum TSortType { stNone, stText };

class TtwSkinTreeView;

// The nodes of a tree view, as the notes windows use them.
class TTreeNodes {
 public:
  explicit TTreeNodes(TtwSkinTreeView* owner) : owner_(owner) {}
  // A new top-level node (placed by text when the tree is sorted).
  TTreeNode* Add(TTreeNode* sibling, const QString& text);
  // A new last (or sorted) child of parent; top-level when parent is null.
  TTreeNode* AddChild(TTreeNode* parent, const QString& text);
  void Clear();
  // Every node, at all levels.
  int Count() const;
  // Nodes in display order, depth first (the framework's absolute index).
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const;

 private:
  TtwSkinTreeView* owner_;
};

class TtwSkinTreeView : public QTreeWidget, public TBoundsTarget, public TtwSkinnable {
  Q_OBJECT
 public:
  explicit TtwSkinTreeView(QWidget* parent = nullptr);
  ~TtwSkinTreeView() override;

  TTreeNodes& Items() { return nodes_; }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);

  // Node fields kept on the item.
  static int Level(const TTreeNode* node);
  static int ImageIndex(const TTreeNode* node);
  // A node's picture pair from an image list; empty when the list has neither.
  static QIcon NodeIcon(TImageList* images, int normal, int selected);
  static void SetImageIndex(TTreeNode* node, int index);
  static int SelectedIndex(const TTreeNode* node);
  static void SetSelectedIndex(TTreeNode* node, int index);
  static QString Text(const TTreeNode* node) { return node ? node->text(0) : QString(); }
  void SetText(TTreeNode* node, const QString& text);  // keeps the order

  TSortType SortType() const { return sortType_; }
  void SetSortType(TSortType s);
  // The ordering used for sorted trees: the locale's string collation.
  static int CompareText(const QString& a, const QString& b);

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* l);
  int Indent() const { return indentation(); }
  void SetIndent(int i) { setIndentation(i); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* m) { popupMenu_ = m; }

  // Skin binding.
  TtwSkinData* SkinData() const override { return skinData_; }
  void SetSkinData(TtwSkinData* d);
  QString SkinDataName() const { return skinDataName_; }
  void SetSkinDataName(const QString& n) { skinDataName_ = n; }
  int RecordIndex() const { return recordIndex_; }
  QFont DefaultFont() const { return defaultFont_; }
  void SetDefaultFont(const QFont& f);
  QColor DefaultColor() const { return defaultColor_; }
  void SetDefaultColor(const QColor& c);
  bool UseSkinFont() const { return useSkinFont_; }
  void SetUseSkinFont(bool v) { useSkinFont_ = v; }
  void ApplySkin() override;

  // External skinned bars; either may be null. Each is shown only while the
  // tree has something to scroll that way; the horizontal one keeps the
  // corner free while the vertical one shows.
  TtwSkinScrollBar* VScrollBar() const { return vBar_; }
  void SetVScrollBar(TtwSkinScrollBar* bar);
  TtwSkinScrollBar* HScrollBar() const { return hBar_; }
  void SetHScrollBar(TtwSkinScrollBar* bar);
  // Sizes the column to the view or the widest title on screen, whichever is
  // wider; with `onlyGrow` (after a scroll) it never narrows.
  void FitColumn(bool onlyGrow = false);
  void FitColumnLater();
  void ForgetSkinRecord() override { recordIndex_ = -1; }
  bool IsWindowedSkinControl() const override { return true; }

  TAlign Align() const { return WidgetAlign(this); }
  void SetAlign(TAlign a) { SetWidgetAlign(this, a); }
  void SetBounds(int left, int top, int width, int height) override;
  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool e) { setEnabled(e); }
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool v) { setVisible(v); }

  // Called for each node added, after it is in the tree.
  std::function<void(QObject* sender, TTreeNode* node)> OnAddition;
  // A left click in the tree (on a node or on empty space).
  std::function<void()> OnClick, OnDblClick;

 signals:
  void clicked();
  void doubleClicked();
  void addition(TTreeNode* node);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void updateGeometries() override;

 private:
  void LinkBars();
  friend class TTreeNodes;
  TTreeNode* Insert(TTreeNode* parent, const QString& text);
  void RefreshIcons(TTreeNode* node);
  void RefreshAllIcons();

  TTreeNodes nodes_;
  TSortType sortType_ = stNone;
  // Reads null once the list is destroyed; the nodes then lose their pictures.
  QPointer<TImageList> images_;
  QMetaObject::Connection imagesGone_;
  bool readOnly_ = false;
  QMenu* popupMenu_ = nullptr;
  QPointer<TtwSkinData> skinData_;
  QString skinDataName_ = QStringLiteral("treeview");
  int recordIndex_ = -1;
  QFont defaultFont_;
  QColor defaultColor_;
  bool useSkinFont_ = true;
  bool leftPressed_ = false;
  QPointer<TtwSkinScrollBar> vBar_, hBar_;
  std::unique_ptr<TtwScrollBarLink> vLink_, hLink_;
  bool fitting_ = false;
  bool fitPending_ = false;
};

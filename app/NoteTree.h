#pragma once
// The main window's category tree, filled from the categories and the notes'
// titles in one pass, and brought up to date in place after a few changes.
#include <QCollator>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <functional>
#include <vector>

#include "skin/controls/twSkinTreeView.h"

struct TNoteRow {
  qint64 rowid;
  QString category;
  QString title;
};

class TNoteTree {
 public:
  // `addition` runs for every node added (the window's TreeView1Addition),
  // and sets its pictures.
  TNoteTree(TtwSkinTreeView* view, std::function<void(TTreeNode*)> addition);

  // Shows one node per category (sorted by text, duplicates kept) with the
  // titles of the notes filed under its name as children, collapsed and with
  // nothing selected. The result is always exactly what a rebuild from
  // scratch gives; only a handful of changed notes are applied in place.
  void Show(const QStringList& categories, std::vector<TNoteRow> notes);
  // Only the notes with these row ids changed since the last Show; `now`
  // holds those of them still filed under a shown category, as they are now.
  void Apply(const std::vector<qint64>& changed, std::vector<TNoteRow> now);
  // The next Show rebuilds from scratch.
  void Invalidate() { valid_ = false; }
  bool Valid() const { return valid_; }
  const QStringList& Categories() const { return categories_; }
  // Whether the last Show changed the tree in place (for tests).
  bool LastWasInPlace() const { return lastInPlace_; }

 private:
  void Rebuild(const QStringList& categories, const std::vector<TNoteRow>& notes);
  bool UpdateInPlace(const std::vector<TNoteRow>& notes);
  void RemoveNodes(qint64 rowid);
  void AddNodes(const TNoteRow& note);
  void Refold();
  TTreeNode* NewNode(const QString& text);
  void PrepareCollator();
  bool Less(const QString& a, const QString& b) const;
  void IconFor(TTreeNode* node);

  TtwSkinTreeView* view_;
  std::function<void(TTreeNode*)> addition_;
  QCollator collator_;
  QString collatorLocale_;
  bool plainOrder_ = false;  // the C locale: code unit order, as the collator does
  QHash<int, QIcon> icons_;
  bool valid_ = false;
  bool lastInPlace_ = false;
  QStringList categories_;
  std::vector<TNoteRow> notes_;  // as shown, by rowid
  QHash<QString, QList<TTreeNode*>> categoryNodes_;
  // The nodes of each note (one per category node of its name), sorted by
  // rowid: 16 bytes a node, where a hash of lists costs a node and a list each.
  std::vector<std::pair<qint64, TTreeNode*>> noteNodes_;
};

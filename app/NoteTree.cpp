// Builds the category tree with one model insertion, one collator and one
// shared icon per picture; later refreshes apply only the notes that changed.
#include "app/NoteTree.h"

#include <QLocale>
#include <QScrollBar>
#include <algorithm>

#include "platform/ImageList.h"

namespace {
// Beyond this many changed notes a rebuild is as quick as moving nodes.
constexpr size_t kMaxChangesInPlace = 256;

// A note's node keeps its picture and its picture numbers in fields of its
// own: the item's general list of roles costs about 250 bytes more a node,
// 25 MB at 100k notes.
class TNoteNode : public QTreeWidgetItem {
 public:
  explicit TNoteNode(const QString& text) : QTreeWidgetItem(QStringList{text}) {}

  QVariant data(int column, int role) const override {
    if (column == 0) {
      if (role == Qt::DecorationRole && hasIcon_) return icon_;
      for (const TIntRole& slot : ints_)
        if (slot.role == role) return slot.value;
    }
    return QTreeWidgetItem::data(column, role);
  }

  void setData(int column, int role, const QVariant& value) override {
    if (column == 0 && role == Qt::DecorationRole && value.typeId() == QMetaType::QIcon) {
      icon_ = value.value<QIcon>();
      hasIcon_ = true;
      emitDataChanged();
      return;
    }
    if (column == 0 && role >= Qt::UserRole && value.typeId() == QMetaType::Int) {
      for (TIntRole& slot : ints_) {
        if (slot.role == role || slot.role < 0) {
          slot = {role, value.toInt()};
          emitDataChanged();
          return;
        }
      }
    }
    QTreeWidgetItem::setData(column, role, value);
  }

 private:
  struct TIntRole {
    int role = -1;
    int value = 0;
  };
  QIcon icon_;
  TIntRole ints_[2];  // the picture numbers
  bool hasIcon_ = false;
};
}  // namespace

TNoteTree::TNoteTree(TtwSkinTreeView* view, std::function<void(TTreeNode*)> addition)
    : view_(view), addition_(std::move(addition)) {}

void TNoteTree::PrepareCollator() {
  // The order of the view's own sorted insertion: the locale's collation,
  // case-sensitive, ties broken by code units.
  const QLocale locale;
  if (collatorLocale_ == locale.name() && !collatorLocale_.isEmpty()) return;
  collator_ = QCollator(locale);
  collator_.setCaseSensitivity(Qt::CaseSensitive);
  collatorLocale_ = locale.name();
  plainOrder_ = locale.language() == QLocale::C;
}

bool TNoteTree::Less(const QString& a, const QString& b) const {
  return TtwSkinTreeView::CompareText(a, b) < 0;
}

void TNoteTree::IconFor(TTreeNode* node) {
  const int normal = TtwSkinTreeView::ImageIndex(node), selected = TtwSkinTreeView::SelectedIndex(node);
  const int key = (normal + 1) * 1024 + selected + 1;
  auto it = icons_.find(key);
  if (it == icons_.end()) it = icons_.insert(key, TtwSkinTreeView::NodeIcon(view_->Images(), normal, selected));
  node->setIcon(0, *it);
}

// Built outside the tree, so setting its pictures costs no model signal.
TTreeNode* TNoteTree::NewNode(const QString& text) {
  auto* node = new QTreeWidgetItem(QStringList{text});
  if (addition_) addition_(node);
  IconFor(node);
  return node;
}

void TNoteTree::Show(const QStringList& categories, std::vector<TNoteRow> notes) {
  PrepareCollator();
  icons_.clear();  // the image list may have been repainted for a new skin
  std::sort(notes.begin(), notes.end(), [](const TNoteRow& a, const TNoteRow& b) { return a.rowid < b.rowid; });
  lastInPlace_ = valid_ && categories == categories_ && UpdateInPlace(notes);
  if (!lastInPlace_) Rebuild(categories, notes);
  categories_ = categories;
  notes_ = std::move(notes);
  valid_ = true;
}

void TNoteTree::Rebuild(const QStringList& categories, const std::vector<TNoteRow>& notes) {
  view_->Items().Clear();
  categoryNodes_.clear();
  noteNodes_.clear();
  // The texts are sorted as the refresh holds them, never read back from the
  // nodes; sort keys make each comparison a byte compare. In the C locale the
  // collator compares code units, which the keys would not.
  auto order = [&](auto items, auto text) {
    if (plainOrder_) {
      std::stable_sort(items.begin(), items.end(),
                       [&](auto a, auto b) { return QString::compare(text(a), text(b)) < 0; });
      return items;
    }
    std::vector<std::pair<QCollatorSortKey, size_t>> keyed;
    keyed.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) keyed.emplace_back(collator_.sortKey(text(items[i])), i);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
      const int c = a.first.compare(b.first);
      return c != 0 ? c < 0 : QString::compare(text(items[a.second]), text(items[b.second])) < 0;
    });
    decltype(items) sorted;
    sorted.reserve(items.size());
    for (const auto& k : keyed) sorted.push_back(items[k.second]);
    return sorted;
  };
  std::vector<const QString*> names;
  for (const QString& name : categories) names.push_back(&name);
  QList<TTreeNode*> tops;
  for (const QString* name : order(names, [](const QString* n) -> const QString& { return *n; })) {
    TTreeNode* node = NewNode(*name);
    tops << node;
    categoryNodes_[*name] << node;
  }
  QHash<QString, std::vector<const TNoteRow*>> filed;
  for (const TNoteRow& note : notes)
    if (categoryNodes_.contains(note.category)) filed[note.category].push_back(&note);
  noteNodes_.reserve(notes.size());
  for (auto it = filed.begin(); it != filed.end(); ++it) {
    const auto sorted = order(std::move(it.value()), [](const TNoteRow* n) -> const QString& { return n->title; });
    for (TTreeNode* parent : categoryNodes_.value(it.key())) {
      QList<TTreeNode*> kids;
      kids.reserve(qsizetype(sorted.size()));
      for (const TNoteRow* note : sorted) {
        auto* child = new TNoteNode(note->title);
        kids << child;
        noteNodes_.emplace_back(note->rowid, child);
      }
      parent->addChildren(kids);
      for (TTreeNode* kid : kids) {
        if (addition_) addition_(kid);
        IconFor(kid);
      }
    }
  }
  std::sort(noteNodes_.begin(), noteNodes_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  view_->addTopLevelItems(tops);
}

bool TNoteTree::UpdateInPlace(const std::vector<TNoteRow>& notes) {
  // Both lists are in rowid order: one merge finds what went, came or changed.
  std::vector<const TNoteRow*> gone, came;
  size_t i = 0, j = 0;
  while (i < notes_.size() || j < notes.size()) {
    if (j == notes.size() || (i < notes_.size() && notes_[i].rowid < notes[j].rowid)) {
      gone.push_back(&notes_[i++]);
    } else if (i == notes_.size() || notes[j].rowid < notes_[i].rowid) {
      came.push_back(&notes[j++]);
    } else {
      if (notes_[i].category != notes[j].category || notes_[i].title != notes[j].title) {
        gone.push_back(&notes_[i]);
        came.push_back(&notes[j]);
      }
      ++i, ++j;
    }
    if (gone.size() + came.size() > kMaxChangesInPlace) return false;
  }
  for (const TNoteRow* note : gone) RemoveNodes(note->rowid);
  for (const TNoteRow* note : came) AddNodes(*note);
  Refold();
  return true;
}

namespace {
bool ByRowid(const std::pair<qint64, TTreeNode*>& a, const std::pair<qint64, TTreeNode*>& b) {
  return a.first < b.first;
}
}  // namespace

void TNoteTree::RemoveNodes(qint64 rowid) {
  const auto [from, to] = std::equal_range(noteNodes_.begin(), noteNodes_.end(),
                                           std::pair<qint64, TTreeNode*>(rowid, nullptr), ByRowid);
  for (auto it = from; it != to; ++it) delete it->second;
  noteNodes_.erase(from, to);
}

void TNoteTree::AddNodes(const TNoteRow& note) {
  const auto it = categoryNodes_.constFind(note.category);
  if (it == categoryNodes_.cend()) return;
  for (TTreeNode* parent : *it) {
    // After the last child that does not sort above it, as the view places nodes.
    int lo = 0, hi = parent->childCount();
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (!Less(note.title, parent->child(mid)->text(0))) lo = mid + 1; else hi = mid;
    }
    auto* child = new TNoteNode(note.title);
    parent->insertChild(lo, child);  // the window's handler reads the level from the parent
    if (addition_) addition_(child);
    IconFor(child);
    noteNodes_.insert(std::upper_bound(noteNodes_.begin(), noteNodes_.end(),
                                       std::pair<qint64, TTreeNode*>(note.rowid, nullptr), ByRowid),
                      {note.rowid, child});
  }
}

void TNoteTree::Apply(const std::vector<qint64>& changed, std::vector<TNoteRow> now) {
  icons_.clear();
  auto at = [this](qint64 rowid) {
    return std::lower_bound(notes_.begin(), notes_.end(), rowid,
                            [](const TNoteRow& n, qint64 v) { return n.rowid < v; });
  };
  for (qint64 rowid : changed) {
    RemoveNodes(rowid);
    const auto it = at(rowid);
    if (it != notes_.end() && it->rowid == rowid) notes_.erase(it);
  }
  for (TNoteRow& note : now) {
    AddNodes(note);
    notes_.insert(at(note.rowid), std::move(note));
  }
  Refold();
  lastInPlace_ = true;
}

void TNoteTree::Refold() {
  // A rebuilt tree is collapsed, has nothing selected and shows its top.
  for (int k = 0; k < view_->topLevelItemCount(); ++k) view_->topLevelItem(k)->setExpanded(false);
  view_->SetSelected(nullptr);
  view_->scrollToTop();
  view_->horizontalScrollBar()->setValue(0);
}

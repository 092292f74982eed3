// Holds search results compactly and shows them through a list view; the text
// of a line is decoded only when the view paints or asks for it.
#include "app/ResultList.h"

#include <QItemSelectionModel>

#include "app/NotesSearch.h"

void TResultsModel::Begin() {
  beginResetModel();
  rowids_.clear();
  ends_.clear();
  text_.clear();
}

void TResultsModel::Add(qint64 rowid, const QString& title) {
  rowids_.push_back(rowid);
  text_.append(title.toUtf8());
  ends_.push_back(quint32(text_.size()));
}

void TResultsModel::End() {
  // Growth by doubling leaves up to half the room unused.
  rowids_.shrink_to_fit();
  ends_.shrink_to_fit();
  text_.squeeze();
  endResetModel();
}

void TResultsModel::Clear() {
  Begin();
  End();
}

void TResultsModel::Append(const TResultPage& page) {
  if (page.rowids.empty()) return;
  const int first = int(rowids_.size());
  beginInsertRows(QModelIndex(), first, first + int(page.rowids.size()) - 1);
  const quint32 base = quint32(text_.size());
  rowids_.insert(rowids_.end(), page.rowids.begin(), page.rowids.end());
  for (quint32 end : page.ends) ends_.push_back(base + end);
  text_.append(page.text);
  endInsertRows();
}

QString TResultsModel::Title(int row) const {
  const quint32 begin = row == 0 ? 0 : ends_[size_t(row) - 1];
  return QString::fromUtf8(text_.constData() + begin, qsizetype(ends_[size_t(row)] - begin));
}

int TResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rowids_.size());
}

QVariant TResultsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  if (role == Qt::DisplayRole || role == Qt::EditRole) return Title(index.row());
  if (role == Qt::UserRole) return Rowid(index.row());
  return QVariant();
}

TResultList::TResultList(QWidget* parent) : QListView(parent), model_(new TResultsModel(this)) {
  setModel(model_);
  // Every line is one title of one height: laying out a search that found
  // every note then measures one line, not each of them.
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void TResultList::setCurrentRow(int row) {
  const QModelIndex index = model_->index(row, 0);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

bool TResultList::CurrentIsSelected() const {
  const QModelIndex index = currentIndex();
  return index.isValid() && selectionModel()->isSelected(index);
}

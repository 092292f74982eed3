#pragma once
// The search results list: titles and row ids held as one block of UTF-8 text
// behind a list model, so a search that finds every note of a large notebook
// costs its titles' bytes, not an item object per line.
#include <QAbstractListModel>
#include <QByteArray>
#include <QListView>
#include <vector>

struct TResultPage;

class TResultsModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit TResultsModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

  // Lines are added between Begin and End; the view sees them all at once.
  void Begin();
  void Add(qint64 rowid, const QString& title);
  void End();
  void Clear();
  // Lines that follow those shown, as a search delivers them.
  void Append(const TResultPage& page);

  QString Title(int row) const;
  qint64 Rowid(int row) const { return rowids_[size_t(row)]; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  std::vector<qint64> rowids_;
  std::vector<quint32> ends_;  // end of each title in text_
  QByteArray text_;
};

// A list of search results with the few list-box operations the window uses.
class TResultList : public QListView {
  Q_OBJECT
 public:
  explicit TResultList(QWidget* parent = nullptr);

  TResultsModel* Lines() const { return model_; }
  int count() const { return model_->rowCount(); }
  QString Text(int row) const { return model_->Title(row); }
  // The line with the cursor, selected alone; -1 leaves none current.
  void setCurrentRow(int row);
  int currentRow() const { return currentIndex().row(); }
  // The current line is also selected (a double-click acts on it).
  bool CurrentIsSelected() const;

 private:
  TResultsModel* model_;
};

#pragma once
// A list of same-sized pictures referred to by index (tree node pictures,
// button images).
#include <QColor>
#include <QList>
#include <QObject>
#include <QPixmap>

class QPainter;

class TImageList : public QObject {
  Q_OBJECT
 public:
  explicit TImageList(QObject* owner = nullptr, int width = 16, int height = 16);

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int w);
  void SetHeight(int h);
  // Background the pictures were drawn on; the tree view sets it to its colour.
  QColor BkColor() const { return bkColor_; }
  void SetBkColor(const QColor& c) { bkColor_ = c; }

  int Count() const { return int(images_.size()); }
  bool Has(int index) const { return index >= 0 && index < Count(); }
  // Adds a picture (scaled to the list's size when it differs); returns its index.
  int Add(const QPixmap& picture);
  void Replace(int index, const QPixmap& picture);
  void Delete(int index);
  void Clear();
  QPixmap Pixmap(int index) const;  // null when index is out of range

  // Draws picture index with its top-left at (x, y); disabled pictures are
  // drawn greyed. Nothing when index is out of range.
  void Draw(QPainter& p, int x, int y, int index, bool enabled = true) const;

 signals:
  void Changed();

 private:
  int width_, height_;
  QColor bkColor_ = Qt::transparent;
  QList<QPixmap> images_;
};

#pragma once
// Holders of compressed skin packages: one stored skin, a list of them, and
// the compressed skin file (version, length, zlib stream) that list items
// store and that skin files on disk use.
#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <memory>

#include "skin/data/twComponent.h"
#include "skin/data/twZStream.h"

class TtwCompressedSkinList;

// The compressed skin file layout: version and length (four bytes each), then
// the zlib stream. No stream of a package within kMaxInflatedSize is longer
// than zlib's worst case for it (stored blocks, five bytes per 64 KiB).
inline constexpr int64_t kCompressedSkinHeader = 8;
inline constexpr int64_t kMaxCompressedSkinSize = kMaxInflatedSize + (kMaxInflatedSize >> 10);

class TtwCompressedStoredSkin : public TtwComponent {
  Q_OBJECT
 public:
  explicit TtwCompressedStoredSkin(QObject* owner = nullptr);

  QString FileName() const { return fileName_; }
  // While designing (and not loading): builds the package from the skin
  // folder of `value` and keeps only its file-name part. Otherwise stores.
  void SetFileName(const QString& value);
  QString CompressedFileName() const { return compressedFileName_; }
  // As SetFileName, loading the compressed skin file `value`.
  void SetCompressedFileName(const QString& value);
  QString Description() const { return description_; }
  void SetDescription(const QString& value) { description_ = value; }

  // The stored data property "CompressedData": the raw zlib stream.
  const QByteArray& CompressedData() const { return compressed_; }
  void SetCompressedData(const QByteArray& data) { compressed_ = data; }

  bool IsEmpty() const { return compressed_.isEmpty(); }
  // Appends the whole inflated package to `target`. Raises
  // EDecompressionError for a damaged stream.
  void UnpackTo(QByteArray& target) const;

  // Builds and compresses the package of the skin described at `path`.
  // Returns false (and keeps the stored package) when the description lacks
  // a required section; raises on unreadable pictures, keeping the stored
  // package as it was.
  bool LoadFromSkinFolder(const QString& path);

  // Compressed skin file layout. A version above 3 leaves the holder empty;
  // a file that ends before its stated length, or states one past
  // kMaxCompressedSkinSize, raises ESkinPackageError and leaves the holder
  // empty too. Files are read only when regular (never a FIFO or device).
  void LoadFromCompressedFile(const QString& path);
  void LoadFromCompressedStream(QIODevice& stream);
  void LoadFromCompressedBytes(const QByteArray& bytes);
  void SaveToCompressedStream(QIODevice& stream) const;
  QByteArray SaveToCompressedBytes() const;

  // The file-name part of a path (after the last / or \).
  static QString FileNamePart(const QString& path);

 private:
  QString fileName_;
  QString compressedFileName_;
  QString description_;
  QByteArray compressed_;
};

class TtwSkinListItems;

class TtwSkinListItem {
 public:
  // Items are made by TtwSkinListItems::Add.
  TtwSkinListItem(TtwSkinListItems* collection, int position);
  ~TtwSkinListItem();

  TtwCompressedStoredSkin* Skin() const { return skin_.get(); }
  TtwSkinListItems* Collection() const { return collection_; }
  int Index() const;

  QString Name() const { return name_; }
  void SetName(const QString& v) { name_ = v; }
  QString DisplayName() const { return name_; }
  QString Description() const { return description_; }
  void SetDescription(const QString& v) { description_ = v; }
  QString FileName() const { return fileName_; }
  void SetFileName(const QString& value);
  QString CompressedFileName() const { return compressedFileName_; }
  void SetCompressedFileName(const QString& value);

  // The stored data property "Skin", in the compressed skin file layout.
  QByteArray SkinData() const;
  void SetSkinData(const QByteArray& bytes);

 private:
  bool Building() const;
  TtwSkinListItems* collection_;
  std::unique_ptr<TtwCompressedStoredSkin> skin_;
  QString name_, description_, fileName_, compressedFileName_;
};

class TtwSkinListItems {
 public:
  explicit TtwSkinListItems(TtwCompressedSkinList* owner) : owner_(owner) {}
  ~TtwSkinListItems() { Clear(); }
  TtwSkinListItems(const TtwSkinListItems&) = delete;
  TtwSkinListItems& operator=(const TtwSkinListItems&) = delete;

  TtwCompressedSkinList* Owner() const { return owner_; }
  int Count() const { return int(items_.size()); }
  TtwSkinListItem* Items(int i) const { return items_.at(i); }
  TtwSkinListItem* operator[](int i) const { return items_.at(i); }
  int IndexOf(const TtwSkinListItem* item) const { return int(items_.indexOf(item)); }
  TtwSkinListItem* Add();
  void Delete(int i);
  void Clear();

 private:
  TtwCompressedSkinList* owner_;
  QList<TtwSkinListItem*> items_;
};

class TtwCompressedSkinList : public TtwComponent {
  Q_OBJECT
 public:
  explicit TtwCompressedSkinList(QObject* owner = nullptr);
  TtwSkinListItems* Skins() { return &skins_; }
  const TtwSkinListItems* Skins() const { return &skins_; }

 private:
  TtwSkinListItems skins_;
};

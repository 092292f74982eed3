// The compressed skin holders and their file layout. Stated lengths are
// believed only as far as the data backs them and never past a skin's size.
#include "skin/data/twCompressedSkin.h"

#include <QBuffer>

#include "skin/data/twSkinFiles.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"

namespace {

int32_t ReadInt32(QIODevice& s, bool* ok) {
  uint8_t b[4];
  *ok = s.read(reinterpret_cast<char*>(b), 4) == 4;
  if (!*ok) return 0;
  return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

[[noreturn]] void DamagedFile(const QString& why) {
  throw ESkinPackageError(QStringLiteral("The compressed skin is damaged: %1.").arg(why));
}

// Reads the compressed skin file layout from the current position. Returns
// the zlib stream, empty for a version this program does not read.
QByteArray ReadCompressedLayout(QIODevice& s) {
  bool ok;
  const int32_t version = ReadInt32(s, &ok);
  if (!ok) DamagedFile(QStringLiteral("it ends before its version"));
  if (version > kSkinPackageVersion) return {};
  const int32_t n = ReadInt32(s, &ok);
  if (!ok) DamagedFile(QStringLiteral("it ends before its length"));
  if (n < 0) DamagedFile(QStringLiteral("its length %1 is negative").arg(n));
  if (n > kMaxCompressedSkinSize)
    throw ESkinPackageError(QStringLiteral("The compressed skin is refused: it says %1 bytes of data follow, more than a skin may take.")
                                .arg(n));
  // Read only what is really there; a length the data does not back must
  // not reserve memory.
  QByteArray data;
  char block[4096];
  while (data.size() < n) {
    const qint64 got = s.read(block, std::min<qint64>(sizeof block, n - data.size()));
    if (got <= 0) break;
    data.append(block, got);
  }
  if (data.size() < n)
    DamagedFile(QStringLiteral("it says %1 bytes of data follow but only %2 do").arg(n).arg(data.size()));
  return data;
}

void WriteInt32(QIODevice& s, int32_t v) {
  const auto u = uint32_t(v);
  const char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char(u >> 24)};
  s.write(b, 4);
}

}  // namespace

// ---- TtwCompressedStoredSkin ----

TtwCompressedStoredSkin::TtwCompressedStoredSkin(QObject* owner) : TtwComponent(owner) {}

QString TtwCompressedStoredSkin::FileNamePart(const QString& path) {
  const qsizetype sep = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  return path.mid(sep + 1);
}

void TtwCompressedStoredSkin::SetFileName(const QString& value) {
  if (Designing() && !Loading()) {
    LoadFromSkinFolder(value);
    fileName_ = FileNamePart(value);
  } else {
    fileName_ = value;
  }
}

void TtwCompressedStoredSkin::SetCompressedFileName(const QString& value) {
  if (Designing() && !Loading()) {
    LoadFromCompressedFile(value);
    compressedFileName_ = FileNamePart(value);
  } else {
    compressedFileName_ = value;
  }
}

void TtwCompressedStoredSkin::UnpackTo(QByteArray& target) const {
  target.append(TwInflate(compressed_));
}

bool TtwCompressedStoredSkin::LoadFromSkinFolder(const QString& path) {
  // Built aside, so a picture that fails to load loses nothing stored.
  const std::optional<QByteArray> package = TwBuildSkinPackage(path);
  if (!package) return false;
  compressed_ = TwCompressSkinPackage(*package);
  return true;
}

void TtwCompressedStoredSkin::LoadFromCompressedFile(const QString& path) {
  compressed_.clear();
  QByteArray bytes = TwReadRegularFile(path, kCompressedSkinHeader + kMaxCompressedSkinSize);
  QBuffer b(&bytes);
  b.open(QIODevice::ReadOnly);
  compressed_ = ReadCompressedLayout(b);
}

void TtwCompressedStoredSkin::LoadFromCompressedStream(QIODevice& stream) {
  compressed_.clear();
  if (!stream.isSequential()) stream.seek(0);
  compressed_ = ReadCompressedLayout(stream);
}

void TtwCompressedStoredSkin::LoadFromCompressedBytes(const QByteArray& bytes) {
  QBuffer b;
  b.setData(bytes);
  b.open(QIODevice::ReadOnly);
  LoadFromCompressedStream(b);
}

void TtwCompressedStoredSkin::SaveToCompressedStream(QIODevice& stream) const {
  WriteInt32(stream, kSkinPackageVersion);
  WriteInt32(stream, int32_t(compressed_.size()));
  stream.write(compressed_);
}

QByteArray TtwCompressedStoredSkin::SaveToCompressedBytes() const {
  QByteArray out;
  QBuffer b(&out);
  b.open(QIODevice::WriteOnly);
  SaveToCompressedStream(b);
  return out;
}

// ---- list items ----

TtwSkinListItem::TtwSkinListItem(TtwSkinListItems* collection, int position)
    : collection_(collection),
      skin_(std::make_unique<TtwCompressedStoredSkin>()),
      name_(QStringLiteral("twSkin%1").arg(position)) {}

TtwSkinListItem::~TtwSkinListItem() = default;

int TtwSkinListItem::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

bool TtwSkinListItem::Building() const {
  const TtwCompressedSkinList* list = collection_ ? collection_->Owner() : nullptr;
  return list && list->Designing() && !list->Loading();
}

void TtwSkinListItem::SetFileName(const QString& value) {
  if (Building()) {
    skin_->LoadFromSkinFolder(value);
    fileName_ = TtwCompressedStoredSkin::FileNamePart(value);
  } else {
    fileName_ = value;
  }
}

void TtwSkinListItem::SetCompressedFileName(const QString& value) {
  if (Building()) {
    skin_->LoadFromCompressedFile(value);
    compressedFileName_ = TtwCompressedStoredSkin::FileNamePart(value);
  } else {
    compressedFileName_ = value;
  }
}

QByteArray TtwSkinListItem::SkinData() const { return skin_->SaveToCompressedBytes(); }

void TtwSkinListItem::SetSkinData(const QByteArray& bytes) { skin_->LoadFromCompressedBytes(bytes); }

TtwSkinListItem* TtwSkinListItems::Add() {
  auto* item = new TtwSkinListItem(this, Count());
  items_.append(item);
  return item;
}

void TtwSkinListItems::Delete(int i) { delete items_.takeAt(i); }

void TtwSkinListItems::Clear() {
  while (!items_.isEmpty()) delete items_.takeLast();
}

TtwCompressedSkinList::TtwCompressedSkinList(QObject* owner) : TtwComponent(owner), skins_(this) {}

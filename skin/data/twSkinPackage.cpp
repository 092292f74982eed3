// The uncompressed package: reading it entry by entry within its bytes and
// caps, writing it, and building it from a skin folder.
#include "skin/data/twSkinPackage.h"

#include <QStringDecoder>

#include "skin/data/twSkinFiles.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinSections.h"
#include "skin/data/twZStream.h"

namespace {

// Names the entry being read. Messages are only put together when an entry
// is damaged, so a sound package builds no strings.
struct TEntry {
  const char* name;
  int32_t index = -1;  // the active picture's number, or -1
  QString Text() const {
    const QString n = QString::fromLatin1(name);
    return index < 0 ? n : QStringLiteral("%1 %2").arg(n).arg(index);
  }
};

class TReader {
 public:
  explicit TReader(const QByteArray& data) : p_(data.constData()), size_(data.size()) {}

  int32_t Int32(const char* what) {
    Need(4, [&] { return QString::fromLatin1(what); });
    const auto* b = reinterpret_cast<const uint8_t*>(p_ + pos_);
    pos_ += 4;
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
  }
  TtwBitmap Bitmap(const TEntry& what) {
    if (pos_ >= size_) Damaged(QStringLiteral("ends before the %1").arg(what.Text()));
    TtwBitmap b;
    try {
      pos_ += b.Read(p_ + pos_, size_ - pos_);
    } catch (const EInvalidBitmap& e) {
      throw EInvalidBitmap(QStringLiteral("%1 (the %2 of the skin package)").arg(e.Message(), what.Text()));
    }
    return b;
  }
  TtwBitmap Flagged(const TEntry& what) {
    Need(1, [&] { return QStringLiteral("flag of the ") + what.Text(); });
    if (p_[pos_++] != 0) return TtwBitmap();
    return Bitmap(what);
  }
  // A 1-bit picture of 64 million pixels packs into a few kilobytes yet
  // decodes to 256 MiB, so what the pictures will take is counted here.
  const TtwBitmap& Counted(const TtwBitmap& b) {
    pixels_ += int64_t(b.Width()) * b.Height();
    if (pixels_ > kMaxSkinPixels)
      throw ESkinPackageError(
          QStringLiteral("The skin package is refused: its pictures would take more than the %1 MiB a skin may use once decoded.")
              .arg((kMaxSkinPixels * 4) >> 20));
    return b;
  }
  QByteArray Rest() {
    QByteArray r(p_ + pos_, size_ - pos_);
    pos_ = size_;
    return r;
  }

 private:
  template <class What>
  void Need(int64_t n, const What& what) {
    if (size_ - pos_ < n) Damaged(QStringLiteral("ends inside the %1").arg(what()));
  }
  [[noreturn]] static void Damaged(const QString& why) {
    throw ESkinPackageError(QStringLiteral("The skin package is damaged: it %1.").arg(why));
  }
  const char* p_;
  int64_t size_;
  int64_t pos_ = 0;
  int64_t pixels_ = 0;
};

void PutInt32(QByteArray& out, int32_t v) {
  const auto u = uint32_t(v);
  for (int i = 0; i < 4; ++i) out.append(char((u >> (8 * i)) & 0xFF));
}

void PutFlagged(QByteArray& out, const TtwBitmap& b) {
  if (b.IsEmpty()) {
    out.append(char(1));
  } else {
    out.append(char(0));
    out.append(b.ToBytes());
  }
}

}  // namespace

TtwSkinPackage TtwSkinPackage::Read(const QByteArray& raw) {
  TReader r(raw);
  TtwSkinPackage pkg;
  pkg.Version = r.Int32("version");
  if (!pkg.Supported()) return pkg;
  pkg.Picture = r.Counted(r.Flagged({"frame picture"}));
  pkg.InactivePicture = r.Counted(r.Flagged({"inactive picture"}));
  pkg.Mask = r.Counted(r.Flagged({"mask picture"}));
  if (pkg.Version == 2) {
    r.Flagged({"first extra picture"});
    r.Flagged({"second extra picture"});
  }
  const int32_t count = r.Int32("active picture count");
  if (count > kMaxActivePictures)
    throw ESkinPackageError(QStringLiteral("The skin package is refused: it holds %1 active pictures, more than the %2 a skin may have.")
                                .arg(count)
                                .arg(kMaxActivePictures));
  // Each entry takes bytes, so a count the data does not back runs into the end.
  for (int32_t i = 0; i < count; ++i)
    pkg.ActivePictures.append(r.Counted(r.Bitmap({"active picture", i})));
  pkg.Text = r.Rest();
  return pkg;
}

QByteArray TtwSkinPackage::Write() const {
  QByteArray out;
  PutInt32(out, Version);
  PutFlagged(out, Picture);
  PutFlagged(out, InactivePicture);
  PutFlagged(out, Mask);
  PutInt32(out, int32_t(ActivePictures.size()));
  for (const TtwBitmap& b : ActivePictures) out.append(b.ToBytes());
  out.append(Text);
  return out;
}

QList<QByteArray> TwSplitLines(const QByteArray& text) {
  QList<QByteArray> lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.append(text.mid(start, i - start));
    if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.append(text.mid(start));
  return lines;
}

QString TwDecodeDescription(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString s = utf8.decode(bytes);
  if (!utf8.hasError()) return s;
  QStringDecoder gb("GB18030");
  if (gb.isValid()) {
    s = gb.decode(bytes);
    if (!gb.hasError()) return s;
  }
  return QString::fromLatin1(bytes);
}

std::optional<QByteArray> TwBuildSkinPackage(const QString& descriptionPath) {
  const QByteArray text = TwReadRegularFile(descriptionPath, kMaxInflatedSize);
  const QList<QByteArray> lines = TwSplitLines(text);
  const TtwSkinIni ini = TtwSkinIni::FromText(TwDecodeDescription(text));
  for (const QString& s : kRequiredSkinSections)
    if (!ini.SectionExists(s)) return std::nullopt;
  TtwSkinPicturesInfo names;
  names.LoadFromIni(ini);

  const qsizetype sep = std::max(descriptionPath.lastIndexOf('/'), descriptionPath.lastIndexOf('\\'));
  const QString folder = descriptionPath.left(sep + 1);
  auto load = [&](const QString& name) { return TtwBitmap::LoadFromFile(folder + name); };

  TtwSkinPackage pkg;
  if (!names.picture.isEmpty()) pkg.Picture = load(names.picture);
  if (!names.inactivepicture.isEmpty()) pkg.InactivePicture = load(names.inactivepicture);
  if (!names.mask.isEmpty()) pkg.Mask = load(names.mask);
  for (const QString& name : names.activepictures) pkg.ActivePictures.append(load(name));
  for (const QByteArray& line : lines) {
    pkg.Text.append(line);
    pkg.Text.append("\r\n", 2);
  }
  QByteArray raw = pkg.Write();
  // Never build what the reader would refuse.
  if (raw.size() > kMaxInflatedSize)
    throw ESkinPackageError(QStringLiteral("The skin in \"%1\" would take %2 MiB unpacked; a skin may take at most %3 MiB.")
                                .arg(descriptionPath)
                                .arg(raw.size() >> 20)
                                .arg(kMaxInflatedSize >> 20));
  TtwSkinPackage::Read(raw);
  return raw;
}

QByteArray TwCompressSkinPackage(const QByteArray& package) {
  return TwCompress(package, TCompressionLevel::clMax);
}

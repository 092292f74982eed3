#include "skin/data/twSkinPackage.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include "skin/data/twZStream.h"

namespace {

class TReader {
 public:
  explicit TReader(const QByteArray& data) : p_(data.constData()), size_(data.size()) {}

  int32_t Int32(const char* what) {
    Need(4, what);
    const auto* b = reinterpret_cast<const uint8_t*>(p_ + pos_);
    pos_ += 4;
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
  }
  uint8_t Byte(const char* what) {
    Need(1, what);
    return uint8_t(p_[pos_++]);
  }
  TtwBitmap Bitmap(const QString& what) {
    if (pos_ >= size_) Damaged(QStringLiteral("ends before the %1").arg(what));
    TtwBitmap b;
    try {
      pos_ += b.Read(p_ + pos_, size_ - pos_);
    } catch (const EInvalidBitmap& e) {
      throw EInvalidBitmap(QStringLiteral("%1 (the %2 of the skin package)").arg(e.Message(), what));
    }
    return b;
  }
  TtwBitmap Flagged(const QString& what) {
    if (Byte(qPrintable(QStringLiteral("flag of the ") + what)) != 0) return TtwBitmap();
    return Bitmap(what);
  }
  QByteArray Rest() {
    QByteArray r(p_ + pos_, size_ - pos_);
    pos_ = size_;
    return r;
  }

 private:
  void Need(int64_t n, const char* what) {
    if (size_ - pos_ < n) Damaged(QStringLiteral("ends inside the %1").arg(QString::fromUtf8(what)));
  }
  [[noreturn]] static void Damaged(const QString& why) {
    throw ESkinPackageError(QStringLiteral("The skin package is damaged: it %1.").arg(why));
  }
  const char* p_;
  int64_t size_;
  int64_t pos_ = 0;
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

// Just enough of the description syntax to build a package: sections, keys
// and integers as the skin loader reads them.
class TDescriptionScan {
 public:
  explicit TDescriptionScan(const QList<QByteArray>& lines) {
    QString current;
    bool inSection = false;
    for (const QByteArray& raw : lines) {
      const QString line = TwDecodeDescription(raw).trimmed();
      if (line.isEmpty() || line.startsWith(';')) continue;
      if (line.startsWith('[') && line.endsWith(']')) {
        current = line.mid(1, line.size() - 2).trimmed().toUpper();
        sections_[current].clear();  // a later section of the same name wins
        inSection = true;
        continue;
      }
      if (!inSection) continue;
      auto& sec = sections_[current];
      sec.lines++;
      const int eq = line.indexOf('=');
      if (eq >= 0) sec.keys[line.left(eq).trimmed().toUpper()] = line.mid(eq + 1).trimmed();
    }
  }
  bool HasSection(const QString& name) const {
    auto it = sections_.find(name.toUpper());
    return it != sections_.end() && it->lines > 0;
  }
  QString String(const QString& section, const QString& key) const {
    auto it = sections_.find(section.toUpper());
    if (it == sections_.end()) return {};
    return it->keys.value(key.toUpper());
  }
  int32_t Integer(const QString& section, const QString& key, int32_t def) const {
    QString v = String(section, key);
    if (v.size() > 2 && (v.startsWith("0x") || v.startsWith("0X"))) v = '$' + v.mid(2);
    bool ok = false;
    qlonglong n;
    if (v.startsWith('$')) {
      n = v.mid(1).toLongLong(&ok, 16);
    } else {
      n = v.toLongLong(&ok, 10);
    }
    if (!ok || n < INT32_MIN || n > INT32_MAX) return def;
    return int32_t(n);
  }

 private:
  struct TSection {
    int lines = 0;
    QHash<QString, QString> keys;
    void clear() {
      lines = 0;
      keys.clear();
    }
  };
  QHash<QString, TSection> sections_;
};

}  // namespace

TtwSkinPackage TtwSkinPackage::Read(const QByteArray& raw) {
  TReader r(raw);
  TtwSkinPackage pkg;
  pkg.Version = r.Int32("version");
  if (!pkg.Supported()) return pkg;
  pkg.Picture = r.Flagged(QStringLiteral("frame picture"));
  pkg.InactivePicture = r.Flagged(QStringLiteral("inactive picture"));
  pkg.Mask = r.Flagged(QStringLiteral("mask picture"));
  if (pkg.Version == 2) {
    r.Flagged(QStringLiteral("first extra picture"));
    r.Flagged(QStringLiteral("second extra picture"));
  }
  const int32_t count = r.Int32("active picture count");
  // Each entry takes bytes, so a huge count simply runs into the end.
  for (int32_t i = 0; i < count; ++i)
    pkg.ActivePictures.append(r.Bitmap(QStringLiteral("active picture %1").arg(i)));
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
  QFile f(descriptionPath);
  if (!f.open(QIODevice::ReadOnly))
    throw EError(QStringLiteral("Cannot open file \"%1\". %2").arg(descriptionPath, f.errorString()));
  const QList<QByteArray> lines = TwSplitLines(f.readAll());
  f.close();
  const TDescriptionScan scan(lines);
  for (const QString& s : kRequiredSkinSections)
    if (!scan.HasSection(s)) return std::nullopt;

  const qsizetype sep = std::max(descriptionPath.lastIndexOf('/'), descriptionPath.lastIndexOf('\\'));
  const QString folder = descriptionPath.left(sep + 1);
  auto load = [&](const QString& name) { return TtwBitmap::LoadFromFile(folder + name); };

  TtwSkinPackage pkg;
  const QString picture = scan.String("PICTURES", "picture");
  const QString inactive = scan.String("PICTURES", "inactivepicture");
  const QString mask = scan.String("PICTURES", "mask");
  if (!picture.isEmpty()) pkg.Picture = load(picture);
  if (!inactive.isEmpty()) pkg.InactivePicture = load(inactive);
  if (!mask.isEmpty()) pkg.Mask = load(mask);
  const int32_t count = scan.Integer("PICTURES", "activepicturescount", 0);
  for (int32_t i = 0; i < count; ++i) pkg.ActivePictures.append(load(scan.String("PICTURES", QString::number(i))));
  for (const QByteArray& line : lines) {
    pkg.Text.append(line);
    pkg.Text.append("\r\n", 2);
  }
  return pkg.Write();
}

QByteArray TwCompressSkinPackage(const QByteArray& package) {
  return TwCompress(package, TCompressionLevel::clMax);
}

// zlib streams and whole-buffer helpers. Inflating never grows past its
// limit, so a small bomb cannot take memory.
#include "skin/data/twZStream.h"

#include <QBuffer>
#include <algorithm>

namespace {

const QString kCompressError = QStringLiteral("error");
const QString kDecompressError = QStringLiteral("compression error");

QString DecompressDetail(const QString& detail) {
  return QStringLiteral("%1: %2").arg(kDecompressError, detail);
}

}  // namespace

TCustomZlibStream::TCustomZlibStream(QIODevice* device) : device_(device) {}

void TCustomZlibStream::InvalidOperation() {
  throw EError(QStringLiteral("Invalid stream operation"));
}

// ---- compression ----

TCompressionStream::TCompressionStream(TCompressionLevel level, QIODevice* dest)
    : TCustomZlibStream(dest) {
  if (deflateInit(&z_, kZlibLevels[int(level)]) != Z_OK) throw ECompressionError(kCompressError);
  z_.next_out = reinterpret_cast<Bytef*>(buffer_);
  z_.avail_out = kBlockSize;
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
  }
  deflateEnd(&z_);
}

void TCompressionStream::Flush(int mode) {
  for (;;) {
    const int rc = deflate(&z_, mode);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) throw ECompressionError(kCompressError);
    if (z_.avail_out == 0 || (rc == Z_STREAM_END && z_.avail_out < uInt(kBlockSize))) {
      const qint64 n = kBlockSize - z_.avail_out;
      if (device_->write(buffer_, n) != n) throw ECompressionError(kCompressError);
      z_.next_out = reinterpret_cast<Bytef*>(buffer_);
      z_.avail_out = kBlockSize;
    }
    if (mode == Z_NO_FLUSH && z_.avail_in == 0) return;
    if (rc == Z_STREAM_END) return;
  }
}

int64_t TCompressionStream::Write(const void* buffer, int64_t count) {
  if (finished_) InvalidOperation();
  const auto* p = static_cast<const Bytef*>(buffer);
  int64_t left = count;
  while (left > 0) {
    const uInt n = uInt(std::min<int64_t>(left, 1 << 30));
    z_.next_in = const_cast<Bytef*>(p);
    z_.avail_in = n;
    Flush(Z_NO_FLUSH);
    p += n;
    left -= n;
  }
  return count;
}

void TCompressionStream::Finish() {
  if (finished_) return;
  finished_ = true;
  z_.next_in = nullptr;
  z_.avail_in = 0;
  Flush(Z_FINISH);
}

int64_t TCompressionStream::Read(void*, int64_t) { InvalidOperation(); }

int64_t TCompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && (origin == TSeekOrigin::soCurrent ||
                      (origin == TSeekOrigin::soBeginning && z_.total_in == 0)))
    return int64_t(z_.total_in);
  InvalidOperation();
}

double TCompressionStream::CompressionRate() const {
  if (z_.total_in == 0) return 0;
  return 100.0 * double(z_.total_out) / double(z_.total_in);
}

// ---- decompression ----

TDecompressionStream::TDecompressionStream(QIODevice* source) : TCustomZlibStream(source) {
  start_ = source->pos();
  if (inflateInit(&z_) != Z_OK) throw EDecompressionError(kDecompressError);
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&z_); }

int64_t TDecompressionStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || ended_) return 0;
  auto* out = static_cast<Bytef*>(buffer);
  int64_t done = 0;
  while (done < count && !ended_) {
    if (z_.avail_in == 0) {
      const qint64 n = device_->read(buffer_, kBlockSize);
      if (n <= 0) throw EDecompressionError(DecompressDetail(QStringLiteral("the compressed data ends early")));
      z_.next_in = reinterpret_cast<Bytef*>(buffer_);
      z_.avail_in = uInt(n);
    }
    const uInt want = uInt(std::min<int64_t>(count - done, 1 << 30));
    z_.next_out = out + done;
    z_.avail_out = want;
    const int rc = inflate(&z_, Z_NO_FLUSH);
    done += want - z_.avail_out;
    if (rc == Z_STREAM_END) ended_ = true;
    else if (rc != Z_OK && (rc != Z_BUF_ERROR || (z_.avail_in > 0 && z_.avail_out > 0)))
      throw EDecompressionError(kDecompressError);
  }
  return done;
}

int64_t TDecompressionStream::Write(const void*, int64_t) { InvalidOperation(); }

void TDecompressionStream::Reset() {
  if (inflateReset(&z_) != Z_OK || !device_->seek(start_)) throw EDecompressionError(kDecompressError);
  z_.avail_in = 0;
  ended_ = false;
}

int64_t TDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t skip;
  if (origin == TSeekOrigin::soBeginning && offset == 0) {
    Reset();
    return 0;
  }
  if (origin == TSeekOrigin::soBeginning && offset >= int64_t(z_.total_out)) skip = offset - int64_t(z_.total_out);
  else if (origin == TSeekOrigin::soCurrent && offset >= 0) skip = offset;
  else InvalidOperation();
  char scrap[kBlockSize];
  while (skip > 0) {
    const int64_t n = Read(scrap, std::min<int64_t>(skip, kBlockSize));
    if (n == 0) InvalidOperation();
    skip -= n;
  }
  return int64_t(z_.total_out);
}

// ---- whole buffers ----

QByteArray TwCompress(const QByteArray& data, TCompressionLevel level) {
  QByteArray out;
  QBuffer dest(&out);
  dest.open(QIODevice::WriteOnly);
  TCompressionStream z(level, &dest);
  z.Write(data.constData(), data.size());
  z.Finish();
  return out;
}

QByteArray TwInflate(const QByteArray& zdata, int64_t limit) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EDecompressionError(kDecompressError);
  struct Guard {
    z_stream* z;
    ~Guard() { inflateEnd(z); }
  } guard{&z};
  QByteArray out;
  // Skin packages inflate to about 28 times their size; one allocation
  // usually holds them.
  int64_t capacity = std::clamp<int64_t>(int64_t(zdata.size()) * 32, 64 * 1024, limit + 1);
  out.resize(capacity);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zdata.constData()));
  z.avail_in = uInt(zdata.size());
  for (;;) {
    z.next_out = reinterpret_cast<Bytef*>(out.data()) + z.total_out;
    z.avail_out = uInt(std::min<int64_t>(capacity - int64_t(z.total_out), 1 << 30));
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (int64_t(z.total_out) > limit)
      throw EDecompressionError(DecompressDetail(
          QStringLiteral("the data inflates to more than the %1 MiB a skin may take").arg(limit >> 20)));
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && z.avail_in == 0)
      throw EDecompressionError(DecompressDetail(QStringLiteral("the compressed data ends early")));
    if (rc != Z_OK && (rc != Z_BUF_ERROR || z.avail_out > 0)) throw EDecompressionError(kDecompressError);
    if (z.avail_out == 0 && int64_t(z.total_out) == capacity) {
      capacity = std::min<int64_t>(capacity * 2, limit + 1);
      out.resize(capacity);
    }
  }
  out.resize(int64_t(z.total_out));
  return out;
}

#pragma once
// zlib (RFC 1950) streams over a QIODevice: a write-only compressor and a
// read-only decompressor, plus whole-buffer helpers for skin packages.
#include <QByteArray>
#include <QIODevice>
#include <cstdint>
#include <zlib.h>

#include "platform/Errors.h"

class ECustomZlibError : public EError {
 public:
  using EError::EError;
};
class ECompressionError : public ECustomZlibError {
 public:
  using ECustomZlibError::ECustomZlibError;
};
class EDecompressionError : public ECustomZlibError {
 public:
  using ECustomZlibError::ECustomZlibError;
};

enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };
// zlib level for each TCompressionLevel, in declaration order.
inline constexpr int kZlibLevels[] = {Z_NO_COMPRESSION, Z_BEST_SPEED, Z_DEFAULT_COMPRESSION,
                                      Z_BEST_COMPRESSION};

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TCustomZlibStream {
 public:
  static constexpr int kBlockSize = 4096;
  virtual ~TCustomZlibStream() = default;
  TCustomZlibStream(const TCustomZlibStream&) = delete;
  TCustomZlibStream& operator=(const TCustomZlibStream&) = delete;

  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

 protected:
  explicit TCustomZlibStream(QIODevice* device);
  [[noreturn]] static void InvalidOperation();
  QIODevice* device_;
  z_stream z_{};
  char buffer_[kBlockSize];
};

// Compresses what is written to it onto `dest`, in blocks of 4,096 bytes.
// The stream is finished (and the last block written) by Finish() or the
// destructor; errors in the destructor are swallowed, so call Finish().
class TCompressionStream : public TCustomZlibStream {
 public:
  TCompressionStream(TCompressionLevel level, QIODevice* dest);
  ~TCompressionStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // Only asks for the position (offset 0 from the current position, or 0
  // from the start before anything was written); everything else is invalid.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void Finish();
  // Share of the input that the output takes, in percent (0 before input).
  double CompressionRate() const;

 private:
  void Flush(int mode);
  bool finished_ = false;
};

// Inflates `source` from its current position, reading 4,096 bytes at a time.
class TDecompressionStream : public TCustomZlibStream {
 public:
  explicit TDecompressionStream(QIODevice* source);
  ~TDecompressionStream() override;

  // Returns fewer bytes than asked only at the end of the zlib stream.
  // A damaged stream, or one whose source ends before the stream does,
  // raises EDecompressionError.
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // Forward seeks from the start or the current position (by reading);
  // seeking to the start rewinds. Others are invalid.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

 private:
  void Reset();
  int64_t start_ = 0;
  bool ended_ = false;
};

// Largest package inflated at once; a stream that would grow past it is
// refused rather than eating memory.
inline constexpr int64_t kMaxInflatedSize = int64_t(64) << 20;

QByteArray TwCompress(const QByteArray& data, TCompressionLevel level = TCompressionLevel::clMax);
// Inflates a whole zlib stream. Raises EDecompressionError when the stream
// is damaged, ends early or inflates to more than `limit` bytes.
QByteArray TwInflate(const QByteArray& zdata, int64_t limit = kMaxInflatedSize);

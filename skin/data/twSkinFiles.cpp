// Whole-file reads for skin files. Opening is non-blocking so that a FIFO
// named like a picture is refused at once instead of waiting for a writer.
#include "skin/data/twSkinFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Errors.h"

namespace {

struct TFd {
  int fd;
  ~TFd() {
    if (fd >= 0) ::close(fd);
  }
};

QString Shown(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

QString SizeText(int64_t bytes) {
  return bytes >= (int64_t(1) << 20) ? QStringLiteral("%1 MiB").arg(bytes >> 20) : QStringLiteral("%1 bytes").arg(bytes);
}

}  // namespace

QByteArray TwReadRegularFile(const QString& path, int64_t maxBytes) {
  const QByteArray native = QFile::encodeName(path);
  if (native.contains('\0')) throw EError(QStringLiteral("Cannot open file \"%1\". The name holds a NUL character.").arg(path));
  TFd f{::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (f.fd < 0)
    throw EError(QStringLiteral("Cannot open file \"%1\". %2").arg(Shown(path), QString::fromLocal8Bit(strerror(errno))));
  struct stat st {};
  if (::fstat(f.fd, &st) != 0)
    throw EError(QStringLiteral("Cannot open file \"%1\". %2").arg(Shown(path), QString::fromLocal8Bit(strerror(errno))));
  if (S_ISDIR(st.st_mode)) throw EError(QStringLiteral("Cannot open file \"%1\". It is a folder.").arg(Shown(path)));
  if (!S_ISREG(st.st_mode))
    throw EError(QStringLiteral("Cannot read \"%1\": it is not a regular file (a FIFO, device or socket).").arg(Shown(path)));
  const auto tooLarge = [&] {
    return EError(QStringLiteral("Cannot read \"%1\": it is larger than the %2 a skin file may take.")
                      .arg(Shown(path), SizeText(maxBytes)));
  };
  if (int64_t(st.st_size) > maxBytes) throw tooLarge();
  // The size is only a hint: the file may grow or shrink while it is read.
  QByteArray out;
  out.resize(qsizetype(st.st_size));
  int64_t done = 0;
  for (;;) {
    if (done == out.size()) {
      if (done > maxBytes) throw tooLarge();
      out.resize(qsizetype(std::min<int64_t>(maxBytes + 1, done + 65536)));
    }
    const ssize_t n = ::read(f.fd, out.data() + done, size_t(out.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      throw EError(QStringLiteral("Cannot read \"%1\". %2").arg(Shown(path), QString::fromLocal8Bit(strerror(errno))));
    if (n == 0) break;
    done += n;
  }
  if (done > maxBytes) throw tooLarge();
  out.resize(qsizetype(done));
  return out;
}

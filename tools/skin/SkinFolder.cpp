// Unpacking into a folder: names are checked before anything is written, and
// files are created relative to the folder's descriptor with no-follow,
// exclusive opens, so a link planted in the folder is never written through.
#include "tools/skin/SkinFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <cerrno>
#include <cstring>

#include "platform/Errors.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twSkinSections.h"

namespace {

QString Printable(const QString& name) {
  QString shown = name;
  for (QChar& c : shown)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = u'?';
  return shown;
}

// A picture name from a description must stay inside the target folder.
void CheckName(const QString& name) {
  if (name.isEmpty()) throw EError("the description names a picture with an empty file name");
  for (QChar c : name)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
      throw EError(QStringLiteral("the picture name \"%1\" holds a control character").arg(Printable(name)));
  if (QDir::isAbsolutePath(name) || name.startsWith('\\') || (name.size() > 1 && name[1] == ':'))
    throw EError(QStringLiteral("the picture name \"%1\" is an absolute path").arg(name));
  for (const QString& part : name.split(u'/')) {
    if (part.isEmpty() || part == ".")
      throw EError(QStringLiteral("the picture name \"%1\" has an empty part").arg(name));
    for (const QString& piece : part.split(u'\\'))
      if (piece == "..") throw EError(QStringLiteral("the picture name \"%1\" leads out of the folder").arg(name));
  }
}

QString SysError() { return QString::fromLocal8Bit(strerror(errno)); }

struct TFd {
  int fd = -1;
  TFd() = default;
  explicit TFd(int f) : fd(f) {}
  TFd(TFd&& o) noexcept : fd(std::exchange(o.fd, -1)) {}
  TFd& operator=(TFd&& o) noexcept {
    std::swap(fd, o.fd);
    return *this;
  }
  ~TFd() {
    if (fd >= 0) ::close(fd);
  }
};

void RequireEmpty(int dirFd, const QString& dir) {
  DIR* d = ::fdopendir(::dup(dirFd));
  if (!d) throw EError(QStringLiteral("cannot read the folder \"%1\": %2").arg(dir, SysError()));
  bool empty = true;
  while (const dirent* e = ::readdir(d))
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) empty = false;
  ::closedir(d);
  if (!empty)
    throw EError(QStringLiteral("\"%1\" already exists and is not empty; unpack into a new or empty folder").arg(dir));
}

// What was created, so that a failed unpack leaves the folder as it found it.
class TCreated {
 public:
  explicit TCreated(int rootFd) : root_(rootFd) {}
  void File(const QByteArray& path) { made_.append({path, false}); }
  void Folder(const QByteArray& path) { made_.append({path, true}); }
  void Undo() {
    for (qsizetype i = made_.size() - 1; i >= 0; --i)
      ::unlinkat(root_, made_[i].first.constData(), made_[i].second ? AT_REMOVEDIR : 0);
  }

 private:
  int root_;
  QList<QPair<QByteArray, bool>> made_;
};

// Opens (creating when missing) the folder `part` below `parent`; a link or
// anything else that is not a plain folder is refused.
TFd EnterFolder(int parent, const QByteArray& part, const QByteArray& soFar, TCreated& created, const QString& shown) {
  if (::mkdirat(parent, part.constData(), 0755) == 0) created.Folder(soFar);
  else if (errno != EEXIST) throw EError(QStringLiteral("cannot create the folder \"%1\": %2").arg(shown, SysError()));
  TFd sub(::openat(parent, part.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (sub.fd < 0)
    throw EError(errno == ELOOP || errno == ENOTDIR
                     ? QStringLiteral("\"%1\" is a link or not a folder; unpacking never writes through one").arg(shown)
                     : QStringLiteral("cannot open the folder \"%1\": %2").arg(shown, SysError()));
  return sub;
}

void WriteOne(int root, const TSkinFile& file, const QString& dir, TCreated& created) {
  const QList<QByteArray> parts = QFile::encodeName(file.name).split('/');
  TFd here;
  int at = root;
  QByteArray soFar;
  for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
    soFar += (soFar.isEmpty() ? "" : "/") + parts[i];
    here = EnterFolder(at, parts[i], soFar, created, dir + '/' + QFile::decodeName(soFar));
    at = here.fd;
  }
  const QString shown = dir + '/' + file.name;
  TFd out(::openat(at, parts.back().constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (out.fd < 0)
    throw EError(errno == EEXIST ? QStringLiteral("\"%1\" already exists; unpack into an empty folder").arg(shown)
                                 : QStringLiteral("cannot create \"%1\": %2").arg(shown, SysError()));
  created.File(soFar.isEmpty() ? parts.back() : soFar + '/' + parts.back());
  const char* p = file.bytes.constData();
  qsizetype left = file.bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(out.fd, p, size_t(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EError(QStringLiteral("cannot write \"%1\": %2").arg(shown, SysError()));
    p += n;
    left -= n;
  }
  if (::close(std::exchange(out.fd, -1)) != 0) throw EError(QStringLiteral("cannot write \"%1\": %2").arg(shown, SysError()));
}

}  // namespace

QList<TSkinFile> PlanSkinFolder(const TtwSkinPackage& pkg, const TtwSkinPicturesInfo& names) {
  QList<TSkinFile> files;
  QHash<QString, QByteArray> byName;
  auto add = [&](const QString& name, const QByteArray& bytes) {
    CheckName(name);
    auto it = byName.find(name);
    if (it != byName.end()) {
      if (*it != bytes) throw EError(QStringLiteral("two different pictures are both named \"%1\"").arg(name));
      return;
    }
    byName.insert(name, bytes);
    files.append({name, bytes});
  };
  auto frame = [&](const char* key, const QString& name, const TtwBitmap& b) {
    if (b.IsEmpty()) return;
    if (name.isEmpty())
      throw EError(QStringLiteral("the package holds a %1 picture but [PICTURES] \"%1\" names no file").arg(key));
    add(name, b.ToBytes());
  };
  frame("picture", names.picture, pkg.Picture);
  frame("inactivepicture", names.inactivepicture, pkg.InactivePicture);
  frame("mask", names.mask, pkg.Mask);
  if (names.activepictures.size() != pkg.ActivePictures.size())
    throw EError(QStringLiteral("the description names %1 active pictures but the package holds %2")
                     .arg(names.activepictures.size())
                     .arg(pkg.ActivePictures.size()));
  for (qsizetype i = 0; i < pkg.ActivePictures.size(); ++i)
    add(names.activepictures[i], pkg.ActivePictures[i].ToBytes());
  add("skin.ini", pkg.Text);
  return files;
}

void WriteSkinFolder(const QString& dir, const QList<TSkinFile>& files) {
  if (!QDir().mkpath(dir)) throw EError(QStringLiteral("cannot create the folder \"%1\"").arg(dir));
  // The folder itself is the user's choice and may be reached through links;
  // only what lies inside it is held to no-follow.
  TFd root(::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (root.fd < 0) throw EError(QStringLiteral("cannot open the folder \"%1\": %2").arg(dir, SysError()));
  RequireEmpty(root.fd, dir);
  TCreated created(root.fd);
  try {
    for (const TSkinFile& f : files) WriteOne(root.fd, f, dir, created);
  } catch (...) {
    created.Undo();
    throw;
  }
}

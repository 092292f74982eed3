// The copies of the program meet through a local socket in a folder only the
// user can enter. Nothing of another user is ever talked to or removed, and a
// socket is removed only by the holder of the lock, which no live copy can be.
#include "InstanceChannel.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>
#include <QtEndian>
#include <cerrno>
#include <cstring>

#include "platform/Message.h"

namespace {

// One frame: magic, kind, sender id, message number, two parameters.
constexpr uint32_t kMagic = 0x4D495754;  // "TWIM"
constexpr int kFrameSize = 4 + 1 + 8 + 4 + 8 + 8;
constexpr uint8_t kMessage = 1;
constexpr uint8_t kActivate = 2;
constexpr int kWriteWaitMs = 1000;

QString SystemError(int error) { return QString::fromLocal8Bit(strerror(error)); }

QString UserName(uid_t uid) {
  passwd pw{};
  passwd* found = nullptr;
  char buffer[1024];
  if (getpwuid_r(uid, &pw, buffer, sizeof buffer, &found) == 0 && found)
    return QStringLiteral("%1, uid %2").arg(QString::fromLocal8Bit(found->pw_name)).arg(uid);
  return QStringLiteral("uid %1").arg(uid);
}

// Why a folder may not hold our socket; empty when it is a real directory of
// ours that nobody else can enter. `repair` makes a folder of ours private
// again: whatever others left in it while it was open is caught by the
// checks on the lock and the socket.
QString DirectoryProblem(const QString& path, bool repair) {
  const QByteArray native = QFile::encodeName(path);
  struct stat st {};
  if (lstat(native.constData(), &st) != 0)
    return QStringLiteral("the folder %1 cannot be used (%2)").arg(path, SystemError(errno));
  if (S_ISLNK(st.st_mode)) return QStringLiteral("%1 is a link, not a folder").arg(path);
  if (!S_ISDIR(st.st_mode)) return QStringLiteral("%1 is not a folder").arg(path);
  if (st.st_uid != getuid())
    return QStringLiteral("the folder %1 belongs to another user (%2)").arg(path, UserName(st.st_uid));
  if ((st.st_mode & 077) == 0) return {};
  if (repair && chmod(native.constData(), 0700) == 0) return {};
  return QStringLiteral("other users can reach the folder %1").arg(path);
}

enum class Entry { Absent, Ours, Foreign };

// What sits at the socket's path; `problem` says why a foreign entry is not ours.
Entry SocketEntry(const QString& path, QString* problem) {
  struct stat st {};
  if (lstat(QFile::encodeName(path).constData(), &st) != 0) {
    if (errno == ENOENT) return Entry::Absent;
    *problem = QStringLiteral("%1 cannot be used (%2)").arg(path, SystemError(errno));
    return Entry::Foreign;
  }
  if (!S_ISSOCK(st.st_mode)) {
    *problem = QStringLiteral("%1 is not a socket").arg(path);
    return Entry::Foreign;
  }
  if (st.st_uid != getuid()) {
    *problem = QStringLiteral("the socket %1 belongs to another user (%2)").arg(path, UserName(st.st_uid));
    return Entry::Foreign;
  }
  return Entry::Ours;
}

// The user at the other end of a connected local socket, as the kernel saw
// it when the peer connected or listened; -1 when unknown.
int64_t PeerUid(int fd) {
  ucred cred{};
  socklen_t size = sizeof cred;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) != 0 || size != sizeof cred) return -1;
  return cred.uid;
}

bool SameUser(int fd) { return PeerUid(fd) == static_cast<int64_t>(getuid()); }

}  // namespace

TRuntimeDirectory RuntimeDirectoryFor(const QByteArray& xdg, const QString& tmpRoot) {
  const QString fromXdg = QFile::decodeName(xdg);
  if (xdg.startsWith('/') && DirectoryProblem(fromXdg, false).isEmpty()) return {fromXdg, {}};
  const QString fallback = tmpRoot + QStringLiteral("/tarnwick-") + QString::number(getuid());
  if (mkdir(QFile::encodeName(fallback).constData(), 0700) != 0 && errno != EEXIST)
    return {{}, QStringLiteral("the folder %1 cannot be created (%2)").arg(fallback, SystemError(errno))};
  // A folder we made earlier may have lost its mode; one of another user, or
  // a link, is never used: whoever made it could reach or replace our socket.
  QString problem = DirectoryProblem(fallback, true);
  if (!problem.isEmpty()) return {{}, problem};
  return {fallback, {}};
}

TRuntimeDirectory UserRuntimeDirectory() {
  return RuntimeDirectoryFor(qgetenv("XDG_RUNTIME_DIR"), QStringLiteral("/tmp"));
}

uint32_t RegisterWindowMessage(const QString& name) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (char c : name.toUtf8()) {
    h ^= static_cast<uint8_t>(c);
    h *= 16777619u;
  }
  return 0xC000u + h % 0x4000u;
}

TInstanceChannel::TInstanceChannel(const QString& name, QObject* target, intptr_t ownId, QObject* parent)
    : QObject(parent), name_(name), target_(target), ownId_(ownId) {}

TInstanceChannel::~TInstanceChannel() { Close(); }

TRuntimeDirectory TInstanceChannel::Directory() const {
  if (directory_.isEmpty()) return UserRuntimeDirectory();
  const QString problem = DirectoryProblem(directory_, false);
  return problem.isEmpty() ? TRuntimeDirectory{directory_, {}} : TRuntimeDirectory{{}, problem};
}

QString TInstanceChannel::Path() const {
  const QString dir = directory_.isEmpty() ? UserRuntimeDirectory().path : directory_;
  return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name_;
}

TChannelStatus TInstanceChannel::Refuse(const QString& problem) {
  problem_ = problem;
  return TChannelStatus::Untrusted;
}

TChannelStatus TInstanceChannel::Open() {
  problem_.clear();
  const TRuntimeDirectory dir = Directory();
  if (dir.path.isEmpty()) return Refuse(dir.problem);
  const QString path = dir.path + QLatin1Char('/') + name_;
  QString problem;
  switch (SocketEntry(path, &problem)) {
    case Entry::Absent: return TChannelStatus::NoCopy;
    case Entry::Foreign: return Refuse(problem);
    case Entry::Ours: break;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray native = QFile::encodeName(path);
  if (native.size() >= static_cast<int>(sizeof address.sun_path))
    return Refuse(QStringLiteral("the path %1 is too long for a socket").arg(path));
  std::memcpy(address.sun_path, native.constData(), native.size());

  // Connected by hand: the kernel's answer tells a socket nobody listens on
  // (a dead copy's) from a live copy whose queue is full, and Qt hides that.
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return Refuse(QStringLiteral("no socket can be made (%1)").arg(SystemError(errno)));
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    close(fd);
    if (error == EAGAIN) return TChannelStatus::CopyRuns;
    if (error == ECONNREFUSED || error == ENOENT) return TChannelStatus::NoCopy;
    return Refuse(QStringLiteral("%1 cannot be reached (%2)").arg(path, SystemError(error)));
  }
  if (!SameUser(fd)) {
    const int64_t uid = PeerUid(fd);
    close(fd);
    return Refuse(QStringLiteral("the program listening at %1 runs as another user (%2)")
                      .arg(path, uid < 0 ? QStringLiteral("unknown") : UserName(static_cast<uid_t>(uid))));
  }
  auto* socket = new QLocalSocket(this);
  if (!socket->setSocketDescriptor(fd, QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
    close(fd);
    delete socket;
    return Refuse(QStringLiteral("%1 cannot be used").arg(path));
  }
  Adopt(socket, Role::RunningCopy);
  return TChannelStatus::Ok;
}

TChannelStatus TInstanceChannel::TakeLock(const QString& lockPath) {
  holderPid_ = 0;
  const int fd = open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return Refuse(QStringLiteral("%1 cannot be opened (%2)").arg(lockPath, SystemError(errno)));
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != getuid()) {
    close(fd);
    return Refuse(S_ISREG(st.st_mode)
                      ? QStringLiteral("the file %1 belongs to another user (%2)").arg(lockPath, UserName(st.st_uid))
                      : QStringLiteral("%1 is not a plain file").arg(lockPath));
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EWOULDBLOCK) {
      char text[24] = {};
      if (pread(fd, text, sizeof text - 1, 0) > 0) holderPid_ = QByteArray(text).trimmed().toLongLong();
    }
    close(fd);
    if (error == EWOULDBLOCK) return TChannelStatus::CopyRuns;
    return Refuse(QStringLiteral("%1 cannot be locked (%2)").arg(lockPath, SystemError(error)));
  }
  // The holder's process id, for a later copy that has to say which one
  // hangs; should the write fail, that message only lacks the number.
  const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
  const bool written = ftruncate(fd, 0) == 0 && pwrite(fd, pid.constData(), pid.size(), 0) == pid.size();
  Q_UNUSED(written);
  lockFd_ = fd;
  return TChannelStatus::Ok;
}

void TInstanceChannel::ReleaseLock() {
  // The lock file stays: removing it would let two copies lock two files.
  if (lockFd_ >= 0) close(lockFd_);
  lockFd_ = -1;
}

TChannelStatus TInstanceChannel::Create() {
  problem_.clear();
  if (server_) return TChannelStatus::Ok;
  const TRuntimeDirectory dir = Directory();
  if (dir.path.isEmpty()) return Refuse(dir.problem);
  const QString path = dir.path + QLatin1Char('/') + name_;
  if (const TChannelStatus locked = TakeLock(path + QStringLiteral(".lock")); locked != TChannelStatus::Ok)
    return locked;

  QString problem;
  switch (SocketEntry(path, &problem)) {
    case Entry::Absent: break;
    case Entry::Foreign: ReleaseLock(); return Refuse(problem);
    case Entry::Ours:
      // Safe because every copy listens only while it holds the lock, and the
      // kernel lets go of a lock only when its process ends: this socket's
      // copy is gone, however it ended.
      if (unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        ReleaseLock();
        return Refuse(QStringLiteral("%1 cannot be removed (%2)").arg(path, SystemError(errno)));
      }
      break;
  }
  server_ = new QLocalServer(this);
  // No access option: with one, Qt binds elsewhere and renames over the path.
  server_->setSocketOptions(QLocalServer::NoOptions);
  if (!server_->listen(path)) {
    problem = QStringLiteral("no socket can be made at %1 (%2)").arg(path, server_->errorString());
    delete server_;
    server_ = nullptr;
    ReleaseLock();
    return Refuse(problem);
  }
  connect(server_, &QLocalServer::newConnection, this, &TInstanceChannel::Accept);
  return TChannelStatus::Ok;
}

void TInstanceChannel::Accept() {
  while (QLocalSocket* s = server_->nextPendingConnection()) {
    // The folder keeps others out; this also keeps out whoever is let in anyway.
    if (!SameUser(static_cast<int>(s->socketDescriptor()))) {
      s->abort();
      s->deleteLater();
      continue;
    }
    Adopt(s, Role::LaterCopy);
  }
}

void TInstanceChannel::Close() {
  if (server_) {
    server_->close();  // removes the socket file, before the lock is let go
    delete server_;
    server_ = nullptr;
  }
  ReleaseLock();
  const QList<Peer> peers = std::exchange(peers_, {});
  for (const Peer& p : peers) {
    if (!p.socket) continue;
    p.socket->disconnect(this);
    p.socket->flush();
    p.socket->abort();
    p.socket->deleteLater();
  }
}

bool TInstanceChannel::Listening() const { return server_ && server_->isListening(); }

bool TInstanceChannel::Connected() const {
  for (const Peer& p : peers_)
    if (p.socket && p.socket->state() == QLocalSocket::ConnectedState) return true;
  return false;
}

void TInstanceChannel::Adopt(QLocalSocket* socket, Role role) {
  socket->setParent(this);
  Peer peer;
  peer.socket = socket;
  peer.role = role;
  peers_.append(peer);
  connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Receive(socket); });
  connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
    for (int i = 0; i < peers_.size(); ++i)
      if (peers_[i].socket == socket) peers_.removeAt(i--);
    socket->deleteLater();
  });
}

TInstanceChannel::Peer* TInstanceChannel::PeerOf(QLocalSocket* socket) {
  for (Peer& p : peers_)
    if (p.socket == socket) return &p;
  return nullptr;
}

void TInstanceChannel::Receive(QLocalSocket* socket) {
  Peer* peer = PeerOf(socket);
  if (!peer) return;
  peer->pending += socket->readAll();
  int at = 0;
  while (peer->pending.size() - at >= kFrameSize) {
    const auto* f = reinterpret_cast<const uchar*>(peer->pending.constData() + at);
    at += kFrameSize;
    if (qFromLittleEndian<quint32>(f) != kMagic) {
      // Not one of ours: stop listening to it rather than guess at frames.
      socket->abort();
      return;
    }
    const uint8_t kind = f[4];
    const auto sender = static_cast<intptr_t>(qFromLittleEndian<qint64>(f + 5));
    const uint32_t msg = qFromLittleEndian<quint32>(f + 13);
    const auto wparam = static_cast<intptr_t>(qFromLittleEndian<qint64>(f + 17));
    const auto lparam = static_cast<intptr_t>(qFromLittleEndian<qint64>(f + 25));
    if (!peer->named) {
      peer->id = sender;
      peer->named = true;
    } else if (sender != peer->id) {
      continue;  // a peer posing as another would receive that one's answers
    }
    if (kind == kMessage) {
      PostMessage(target_, msg, wparam, lparam);
    } else if (kind == kActivate && peer->role == Role::LaterCopy && peer->answered) {
      ActivateOwnWindow(lparam);
    }
  }
  peer->pending.remove(0, at);
}

void TInstanceChannel::Send(QLocalSocket* socket, uint8_t kind, uint32_t msg, intptr_t wparam, intptr_t lparam) {
  uchar f[kFrameSize];
  qToLittleEndian<quint32>(kMagic, f);
  f[4] = kind;
  qToLittleEndian<qint64>(ownId_, f + 5);
  qToLittleEndian<quint32>(msg, f + 13);
  qToLittleEndian<qint64>(wparam, f + 17);
  qToLittleEndian<qint64>(lparam, f + 25);
  socket->write(reinterpret_cast<const char*>(f), kFrameSize);
  // Posted, not awaited: the bytes leave now, whatever the peer is doing, so
  // a copy that ends right after sending still delivers.
  socket->flush();
  if (socket->bytesToWrite() > 0) socket->waitForBytesWritten(kWriteWaitMs);
}

void TInstanceChannel::Broadcast(uint32_t msg, intptr_t wparam, intptr_t lparam) {
  for (const Peer& p : QList<Peer>(peers_))
    if (p.socket) Send(p.socket, kMessage, msg, wparam, lparam);
}

bool TInstanceChannel::Post(intptr_t to, uint32_t msg, intptr_t wparam, intptr_t lparam) {
  for (Peer& p : peers_) {
    if (p.socket && p.named && p.id == to) {
      p.answered = true;
      Send(p.socket, kMessage, msg, wparam, lparam);
      return true;
    }
  }
  return false;
}

void TInstanceChannel::ActivateWindow(intptr_t window) {
  for (const Peer& p : QList<Peer>(peers_))
    if (p.socket && p.role == Role::RunningCopy) Send(p.socket, kActivate, 0, 0, window);
}

bool TInstanceChannel::ActivateOwnWindow(intptr_t window) {
  if (window == 0 || !qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (static_cast<intptr_t>(w->internalWinId()) != window) continue;
    if (w->isMinimized()) {
      // Back to the state it had before, maximised or not.
      w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
      w->show();
    } else {
      w->raise();
    }
    w->activateWindow();
    // A window manager may refuse to hand focus to a program the user is not
    // working in; then at least mark the window as wanting attention.
    QPointer<QWidget> guard(w);
    QTimer::singleShot(500, w, [guard] {
      if (guard && !guard->isActiveWindow()) QApplication::alert(guard);
    });
    return true;
  }
  return false;
}

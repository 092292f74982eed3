#include "InstanceChannel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>
#include <QtEndian>
#include <cerrno>

#include "platform/Message.h"

namespace {

// One frame: magic, kind, sender id, message number, two parameters.
constexpr uint32_t kMagic = 0x4D495754;  // "TWIM"
constexpr int kFrameSize = 4 + 1 + 8 + 4 + 8 + 8;
constexpr uint8_t kMessage = 1;
constexpr uint8_t kActivate = 2;
constexpr int kConnectWaitMs = 1000;
constexpr int kWriteWaitMs = 1000;

// A folder we may keep a socket in: a real directory (not a link) of ours
// that nobody else can enter.
bool PrivateDirectory(const QByteArray& path, bool repairMode) {
  struct stat st {};
  if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return false;
  if ((st.st_mode & 077) == 0) return true;
  return repairMode && chmod(path.constData(), 0700) == 0;
}

}  // namespace

QString RuntimeDirectoryFor(const QByteArray& xdg, const QString& tmpRoot) {
  if (xdg.startsWith('/') && PrivateDirectory(xdg, false)) return QString::fromLocal8Bit(xdg);
  const QByteArray fallback = QFile::encodeName(tmpRoot) + "/tarnwick-" + QByteArray::number(getuid());
  if (mkdir(fallback.constData(), 0700) != 0 && errno != EEXIST) return {};
  // A folder we made earlier may have lost its mode; one of another user is never used.
  return PrivateDirectory(fallback, true) ? QFile::decodeName(fallback) : QString();
}

QString UserRuntimeDirectory() {
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

QString TInstanceChannel::Path() const {
  const QString dir = directory_.isEmpty() ? UserRuntimeDirectory() : directory_;
  return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name_;
}

bool TInstanceChannel::Open() {
  const QString path = Path();
  if (path.isEmpty()) return false;
  auto* socket = new QLocalSocket(this);
  socket->connectToServer(path);
  if (!socket->waitForConnected(kConnectWaitMs)) {
    delete socket;
    return false;
  }
  Adopt(socket);
  return true;
}

bool TInstanceChannel::Create() {
  const QString path = Path();
  if (path.isEmpty() || server_) return server_ != nullptr;
  server_ = new QLocalServer(this);
  // No access option: with one, Qt binds elsewhere and renames over the
  // path, silently displacing a live copy. The folder is private anyway.
  server_->setSocketOptions(QLocalServer::NoOptions);
  bool ok = server_->listen(path);
  if (!ok && server_->serverError() == QAbstractSocket::AddressInUseError) {
    // Only a socket nobody listens on is removed: a killed copy leaves one.
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool alive = probe.waitForConnected(kConnectWaitMs);
    probe.abort();
    if (!alive && QLocalServer::removeServer(path)) ok = server_->listen(path);
  }
  if (!ok) {
    delete server_;
    server_ = nullptr;
    return false;
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* s = server_->nextPendingConnection()) Adopt(s);
  });
  return true;
}

void TInstanceChannel::Close() {
  if (server_) {
    server_->close();  // removes the socket file
    delete server_;
    server_ = nullptr;
  }
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

void TInstanceChannel::Adopt(QLocalSocket* socket) {
  socket->setParent(this);
  peers_.append(Peer{socket, 0, {}});
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
    peer->id = sender;
    if (kind == kMessage) {
      PostMessage(target_, msg, wparam, lparam);
    } else if (kind == kActivate) {
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
  for (const Peer& p : QList<Peer>(peers_)) {
    if (p.socket && p.id == to) {
      Send(p.socket, kMessage, msg, wparam, lparam);
      return true;
    }
  }
  return false;
}

void TInstanceChannel::ActivateWindow(intptr_t window) {
  for (const Peer& p : QList<Peer>(peers_))
    if (p.socket) Send(p.socket, kActivate, 0, 0, window);
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

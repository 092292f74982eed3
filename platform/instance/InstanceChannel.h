#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>

class QLocalServer;
class QLocalSocket;

// A folder the channel's socket may live in, or why none can be trusted.
struct TRuntimeDirectory {
  QString path;     // empty when there is none
  QString problem;  // for the user, when there is none
};

// The per-user runtime directory: $XDG_RUNTIME_DIR when it is a directory of
// this user that nobody else can enter, else a private folder under /tmp
// (created with mode 0700).
TRuntimeDirectory UserRuntimeDirectory();
// The same choice with its inputs spelled out: `xdg` is the value of
// XDG_RUNTIME_DIR, `tmpRoot` the folder the fallback goes into.
TRuntimeDirectory RuntimeDirectoryFor(const QByteArray& xdg, const QString& tmpRoot);

// A message number for a name: the same in every process for the same name,
// in the range the window system keeps for registered messages.
uint32_t RegisterWindowMessage(const QString& name);

// How an attempt to reach or to become the running copy ended.
enum class TChannelStatus {
  Ok,         // reached the running copy (Open) / this is it now (Create)
  NoCopy,     // nobody runs (Open only)
  CopyRuns,   // a live copy holds the name but takes no connection now
  Untrusted,  // the folder, lock or socket is not this user's alone: see Problem()
};

// A named meeting point for the copies of the program, private to the user.
// The first copy listens (Create); a later copy finds it (Open). Messages from
// peers are posted to `target` as TMessageEvents; each process names itself
// by `ownId` and can post to a peer by the id that peer sends with its
// messages. A copy listens only while it holds the name's lock file, so a
// socket is removed only when no live copy can own it.
class TInstanceChannel : public QObject {
  Q_OBJECT
 public:
  TInstanceChannel(const QString& name, QObject* target, intptr_t ownId, QObject* parent = nullptr);
  ~TInstanceChannel() override;

  // The folder the socket lives in; UserRuntimeDirectory() unless set. A
  // folder set here is checked the same way, but never repaired.
  void SetDirectory(const QString& directory) { directory_ = directory; }
  // Where the socket is or would be; empty when no folder is known.
  QString Path() const;

  // Reaches a running copy; Ok when connected to a copy of this user.
  TChannelStatus Open();
  // Becomes the running copy: takes the lock, clears what a dead copy left
  // behind and listens.
  TChannelStatus Create();
  // Stops listening, drops every connection and lets go of the lock.
  void Close();

  // Why the last Open or Create gave Untrusted, in words for the user.
  QString Problem() const { return problem_; }
  // The process that holds the lock, when Create gave CopyRuns (0 if unknown).
  qint64 HolderPid() const { return holderPid_; }

  bool Listening() const;
  bool Connected() const;

  // Sends to every peer: the running copy, or each connected later copy.
  void Broadcast(uint32_t msg, intptr_t wparam, intptr_t lparam);
  // Sends to the peer known by `to`; false when no such peer is connected.
  bool Post(intptr_t to, uint32_t msg, intptr_t wparam, intptr_t lparam);
  // Asks the running copy to bring its top-level window `window` forward:
  // restored when minimised, else raised and activated.
  void ActivateWindow(intptr_t window);

  // Carries out an activation request on one of this process's windows.
  // False when no top-level window of this process has that id.
  static bool ActivateOwnWindow(intptr_t window);

 private:
  // A later copy is heard only once it has been answered; the running copy
  // is never obeyed when it asks for activation.
  enum class Role { LaterCopy, RunningCopy };
  struct Peer {
    QPointer<QLocalSocket> socket;
    Role role = Role::LaterCopy;
    intptr_t id = 0;
    bool named = false;     // id is fixed by the peer's first frame
    bool answered = false;  // we have posted to it
    QByteArray pending;
  };
  TRuntimeDirectory Directory() const;
  TChannelStatus Refuse(const QString& problem);
  TChannelStatus TakeLock(const QString& lockPath);
  void ReleaseLock();
  void Accept();
  void Adopt(QLocalSocket* socket, Role role);
  void Receive(QLocalSocket* socket);
  void Send(QLocalSocket* socket, uint8_t kind, uint32_t msg, intptr_t wparam, intptr_t lparam);
  Peer* PeerOf(QLocalSocket* socket);

  QString name_;
  QString directory_;
  QPointer<QObject> target_;
  intptr_t ownId_;
  QLocalServer* server_ = nullptr;
  int lockFd_ = -1;
  QString problem_;
  qint64 holderPid_ = 0;
  QList<Peer> peers_;
};

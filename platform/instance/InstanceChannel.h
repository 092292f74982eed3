#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>

class QLocalServer;
class QLocalSocket;

// The per-user runtime directory: $XDG_RUNTIME_DIR when it is a directory of
// this user, else a private folder under /tmp (created with mode 0700).
// Empty when no private folder can be had.
QString UserRuntimeDirectory();
// The same choice with its inputs spelled out: `xdg` is the value of
// XDG_RUNTIME_DIR, `tmpRoot` the folder the fallback goes into.
QString RuntimeDirectoryFor(const QByteArray& xdg, const QString& tmpRoot);

// A message number for a name: the same in every process for the same name,
// in the range the window system keeps for registered messages.
uint32_t RegisterWindowMessage(const QString& name);

// A named meeting point for the copies of the program. The first copy
// listens (Create); a later copy finds it (Open). Messages from peers are
// posted to `target` as TMessageEvents; each process names itself by `ownId`
// and can post to a peer by the id that peer sends with its messages.
class TInstanceChannel : public QObject {
  Q_OBJECT
 public:
  TInstanceChannel(const QString& name, QObject* target, intptr_t ownId, QObject* parent = nullptr);
  ~TInstanceChannel() override;

  // The folder the socket lives in; UserRuntimeDirectory() unless set.
  void SetDirectory(const QString& directory) { directory_ = directory; }
  QString Path() const;

  // Reaches a running copy. False when none answers (or no folder exists).
  bool Open();
  // Listens, first removing a socket left behind by a copy that died.
  bool Create();
  // Stops listening and drops every connection.
  void Close();

  bool Listening() const;
  bool Connected() const;

  // Sends to every peer: the running copy, or each connected later copy.
  void Broadcast(uint32_t msg, intptr_t wparam, intptr_t lparam);
  // Sends to the peer known by `to`; false when no such peer is connected.
  bool Post(intptr_t to, uint32_t msg, intptr_t wparam, intptr_t lparam);
  // Asks the peers to bring their top-level window `window` forward:
  // restored when minimised, else raised and activated.
  void ActivateWindow(intptr_t window);

  // Carries out an activation request on one of this process's windows.
  // False when no top-level window of this process has that id.
  static bool ActivateOwnWindow(intptr_t window);

 private:
  struct Peer {
    QPointer<QLocalSocket> socket;
    intptr_t id = 0;
    QByteArray pending;
  };
  void Adopt(QLocalSocket* socket);
  void Receive(QLocalSocket* socket);
  void Send(QLocalSocket* socket, uint8_t kind, uint32_t msg, intptr_t wparam, intptr_t lparam);
  Peer* PeerOf(QLocalSocket* socket);

  QString name_;
  QString directory_;
  QPointer<QObject> target_;
  intptr_t ownId_;
  QLocalServer* server_ = nullptr;
  QList<Peer> peers_;
};

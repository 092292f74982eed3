#pragma once
// Hostile and broken peers of the instance channel, built from raw sockets so
// that the channel's own code plays no part in them.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <vector>

namespace twtest {

// One frame as the copies exchange them; a forger writes it by hand.
enum class FrameKind : uint8_t { Message = 1, Activate = 2 };
inline QByteArray Frame(FrameKind kind, qint64 sender, quint32 msg, qint64 wparam, qint64 lparam) {
  QByteArray f(33, '\0');
  auto* p = reinterpret_cast<uchar*>(f.data());
  qToLittleEndian<quint32>(0x4D495754, p);
  p[4] = static_cast<uchar>(kind);
  qToLittleEndian<qint64>(sender, p + 5);
  qToLittleEndian<quint32>(msg, p + 13);
  qToLittleEndian<qint64>(wparam, p + 17);
  qToLittleEndian<qint64>(lparam, p + 25);
  return f;
}

inline sockaddr_un AddressOf(const QString& path) {
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::strncpy(a.sun_path, QFile::encodeName(path).constData(), sizeof a.sun_path - 1);
  return a;
}

// A listening socket bound at `path`; -1 on failure.
inline int Listen(const QString& path, bool startListening = true) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_un a = AddressOf(path);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || (startListening && listen(fd, 4) != 0)) {
    close(fd);
    return -1;
  }
  return fd;
}

// Whether anyone has connected to listener `fd` (takes the connection).
inline bool SomeoneConnected(int fd) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, 0) != 1) return false;
  const int c = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
  if (c < 0) return false;
  close(c);
  return true;
}

// What a hung copy's clients do to it: connections it never takes, until its
// queue refuses more. Returns them; the caller closes them.
inline std::vector<int> FillQueue(const QString& path) {
  std::vector<int> fds;
  const sockaddr_un a = AddressOf(path);
  for (int i = 0; i < 100000; ++i) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
      close(fd);
      break;
    }
    fds.push_back(fd);
  }
  return fds;
}

inline void CloseAll(std::vector<int>& fds) {
  for (int fd : fds) close(fd);
  fds.clear();
}

inline ino_t InodeOf(const QString& path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// A socket file of ours at `path` on which a process of user `uid` listens:
// the file passes any look at its owner, only the peer's credentials tell.
// Needs root. Ends its process when destroyed.
class ListenerOfAnotherUser {
 public:
  ListenerOfAnotherUser(const QString& path, uid_t uid) {
    const int fd = Listen(path, false);
    int ready[2];
    if (fd < 0 || pipe2(ready, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      // Only async-signal-safe calls from here: the parent has threads.
      char ok = 0;
      if (setresgid(uid, uid, uid) == 0 && setresuid(uid, uid, uid) == 0 && listen(fd, 4) == 0) ok = 1;
      if (write(ready[1], &ok, 1) != 1) _exit(1);
      for (;;) pause();
    }
    close(ready[1]);
    char ok = 0;
    listening_ = pid_ > 0 && read(ready[0], &ok, 1) == 1 && ok == 1;
    close(ready[0]);
    close(fd);
  }
  ~ListenerOfAnotherUser() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Listening() const { return listening_; }

 private:
  pid_t pid_ = -1;
  bool listening_ = false;
};

}  // namespace twtest

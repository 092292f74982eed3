#pragma once
// A helper program started by a crash test, which kills it while it works:
// its standard output comes back through a pipe.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QStringList>
#include <vector>

extern char** environ;

namespace twtest {

struct Child {
  pid_t pid = -1;
  int out = -1;  // read end of the child's standard output
};

inline Child SpawnChild(const QByteArray& exe, const QStringList& args) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
  posix_spawn_file_actions_addclose(&fa, fds[0]);
  std::vector<QByteArray> keep{exe};
  for (const QString& a : args) keep.push_back(a.toUtf8());
  std::vector<char*> argv;
  for (QByteArray& k : keep) argv.push_back(k.data());
  argv.push_back(nullptr);
  Child c;
  EXPECT_EQ(posix_spawn(&c.pid, argv[0], &fa, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&fa);
  close(fds[1]);
  c.out = fds[0];
  return c;
}

// One line without its line break; what there is when the pipe ends first.
inline QByteArray ReadLine(int fd) {
  QByteArray line;
  char ch;
  while (read(fd, &ch, 1) == 1 && ch != '\n') line += ch;
  return line;
}

// Everything up to the end of the pipe.
inline QByteArray ReadAll(int fd) {
  QByteArray all;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) all.append(buf, n);
  return all;
}

// Waits for the child to end and returns its wait status.
inline int Reap(const Child& c) {
  int status = 0;
  waitpid(c.pid, &status, 0);
  return status;
}

inline int KillAndReap(const Child& c) {
  kill(c.pid, SIGKILL);
  return Reap(c);
}

}  // namespace twtest

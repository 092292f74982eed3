// The channel between copies: where its socket may live, how copies meet,
// and what it refuses from peers that break the protocol.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <functional>

#include "platform/Message.h"
#include "platform/instance/InstanceChannel.h"

#include "tests/platform/instance/Peers.h"
#include "tests/support/EventWait.h"
#include "tests/support/MessageInbox.h"

namespace {

using twtest::App;
using twtest::WaitFor;

using twtest::Inbox;

mode_t ModeOf(const QString& path) {
  struct stat st {};
  lstat(QFile::encodeName(path).constData(), &st);
  return st.st_mode & 0777;
}

const QString kName = QStringLiteral("{19BEDD01-55E7-4F9B-9A93-0DE473CCFBA5}");

class ChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir.isValid());
  }
  std::unique_ptr<TInstanceChannel> Make(QObject* target, intptr_t id) {
    auto c = std::make_unique<TInstanceChannel>(kName, target, id);
    c->SetDirectory(dir.path());
    return c;
  }
  QTemporaryDir dir;
};

TEST(RuntimeDirectory, PrefersAPrivateXdgFolderElseMakesItsOwn) {
  QTemporaryDir root;
  const QString xdg = root.path() + "/xdg";
  const QString open = root.path() + "/open";
  QDir().mkpath(xdg);
  QDir().mkpath(open);
  chmod(QFile::encodeName(xdg).constData(), 0700);
  chmod(QFile::encodeName(open).constData(), 0755);
  const QString fallback = root.path() + "/tarnwick-" + QString::number(getuid());

  struct Case {
    QByteArray xdg;
    QString expected;
  } cases[] = {
      {QFile::encodeName(xdg), xdg},
      {"", fallback},
      {"relative/dir", fallback},
      {QFile::encodeName(root.path() + "/missing"), fallback},
      {QFile::encodeName(open), fallback},  // others could reach the socket there
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RuntimeDirectoryFor(c.xdg, root.path()).path, c.expected) << c.xdg.constData();
    if (c.expected == fallback) {
      EXPECT_EQ(ModeOf(fallback), 0700u);
    }
  }

  // Our own fallback folder that lost its mode is made private again.
  chmod(QFile::encodeName(fallback).constData(), 0777);
  EXPECT_EQ(RuntimeDirectoryFor("", root.path()).path, fallback);
  EXPECT_EQ(ModeOf(fallback), 0700u);
}

TEST(RuntimeDirectory, RefusesAFallbackThatIsALinkOrNotOurs) {
  QTemporaryDir root, elsewhere;
  const QString fallback = root.path() + "/tarnwick-" + QString::number(getuid());
  ASSERT_EQ(symlink(QFile::encodeName(elsewhere.path()).constData(), QFile::encodeName(fallback).constData()), 0);
  TRuntimeDirectory got = RuntimeDirectoryFor("", root.path());
  EXPECT_EQ(got.path, QString());
  EXPECT_TRUE(got.problem.contains(fallback + " is a link")) << got.problem.toStdString();
  QFile::remove(fallback);

  if (getuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
  // Another user got there first, and left the folder open to everyone.
  QDir().mkpath(fallback);
  chmod(QFile::encodeName(fallback).constData(), 0777);
  ASSERT_EQ(chown(QFile::encodeName(fallback).constData(), 65534, 65534), 0);
  got = RuntimeDirectoryFor("", root.path());
  EXPECT_EQ(got.path, QString());
  EXPECT_TRUE(got.problem.contains("belongs to another user")) << got.problem.toStdString();
  EXPECT_EQ(ModeOf(fallback), 0777u) << "another user's folder is left as it was";
}

TEST(RegisteredMessage, SameNameSameNumberInTheRegisteredRange) {
  const uint32_t n = RegisterWindowMessage(kName);
  EXPECT_EQ(n, RegisterWindowMessage(QString(kName)));
  EXPECT_GE(n, 0xC000u);
  EXPECT_LE(n, 0xFFFFu);
  EXPECT_NE(n, RegisterWindowMessage(kName.toLower()));
}

TEST_F(ChannelTest, LaterCopyReachesTheListenerAndMessagesFlowBothWays) {
  Inbox first, later;
  auto server = Make(&first, 100);
  auto client = Make(&later, 200);
  EXPECT_EQ(client->Open(), TChannelStatus::NoCopy) << "nobody listens yet";
  ASSERT_EQ(server->Create(), TChannelStatus::Ok);
  EXPECT_TRUE(server->Listening());
  ASSERT_EQ(client->Open(), TChannelStatus::Ok);

  client->Broadcast(0xC123, 2, 200);
  ASSERT_TRUE(WaitFor([&] { return !first.got.isEmpty(); }));
  EXPECT_EQ(first.got[0].Msg, 0xC123u);
  EXPECT_EQ(first.got[0].WParam, 2);
  EXPECT_EQ(first.got[0].LParam, 200);

  EXPECT_FALSE(server->Post(999, 0xC123, 1, 5)) << "no peer of that id";
  EXPECT_TRUE(server->Post(200, 0xC123, 1, -77));
  ASSERT_TRUE(WaitFor([&] { return !later.got.isEmpty(); }));
  EXPECT_EQ(later.got[0].WParam, 1);
  EXPECT_EQ(later.got[0].LParam, -77);
  EXPECT_EQ(later.got.size(), 1);
}

TEST_F(ChannelTest, SocketOfADeadCopyIsClearedButALiveOneIsKept) {
  Inbox box;
  auto probe = Make(&box, 1);
  const QByteArray path = QFile::encodeName(probe->Path());

  // What a killed copy leaves: a socket file nobody listens on.
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.constData(), sizeof addr.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  close(fd);
  ASSERT_TRUE(QFile::exists(probe->Path()));

  EXPECT_EQ(probe->Open(), TChannelStatus::NoCopy) << "a stale socket is no running copy";
  auto first = Make(&box, 2);
  ASSERT_EQ(first->Create(), TChannelStatus::Ok);
  const ino_t live = twtest::InodeOf(probe->Path());

  auto rival = Make(&box, 3);
  EXPECT_EQ(rival->Create(), TChannelStatus::CopyRuns) << "a live listener must not be displaced";
  EXPECT_EQ(rival->HolderPid(), QCoreApplication::applicationPid());
  EXPECT_EQ(Make(&box, 4)->Open(), TChannelStatus::Ok);

  // A hung copy takes no connection; once its queue is full nothing reaches it.
  std::vector<int> queued = twtest::FillQueue(probe->Path());
  ASSERT_FALSE(queued.empty());
  EXPECT_EQ(rival->Open(), TChannelStatus::CopyRuns);
  EXPECT_EQ(rival->Create(), TChannelStatus::CopyRuns);
  EXPECT_EQ(twtest::InodeOf(probe->Path()), live) << "the hung copy's socket was replaced";
  twtest::CloseAll(queued);

  first->Close();
  EXPECT_FALSE(QFile::exists(probe->Path())) << "a copy that ends takes its socket along";
  EXPECT_EQ(Make(&box, 5)->Open(), TChannelStatus::NoCopy);
  EXPECT_EQ(rival->Create(), TChannelStatus::Ok) << "the lock went with the copy";
}

TEST_F(ChannelTest, WhatIsNotOursIsNeitherUsedNorRemoved) {
  const QString socketPath = dir.filePath(kName);
  const QString lockPath = socketPath + ".lock";
  const QByteArray nativeSocket = QFile::encodeName(socketPath);
  struct Case {
    const char* name;
    bool needsRoot;
    std::function<void()> plant;
    TChannelStatus open;
    const char* problem;  // what Create (and an untrusted Open) says
  } cases[] = {
      {"folder others can enter", false, [&] { chmod(QFile::encodeName(dir.path()).constData(), 0777); },
       TChannelStatus::Untrusted, "other users can reach"},
      {"plain file at the socket's place", false, [&] { QFile f(socketPath); f.open(QIODevice::WriteOnly); },
       TChannelStatus::Untrusted, "is not a socket"},
      {"lock file that is a link", false,
       [&] { symlink("/tmp/elsewhere", QFile::encodeName(lockPath).constData()); }, TChannelStatus::NoCopy,
       "cannot be opened"},
      {"lock file of another user", true,
       [&] {
         QFile f(lockPath);
         f.open(QIODevice::WriteOnly);
         f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
         lchown(QFile::encodeName(lockPath).constData(), 65534, 65534);
       },
       TChannelStatus::NoCopy, "belongs to another user"},
      {"dead socket of another user", true,
       [&] {
         close(twtest::Listen(socketPath));
         lchown(nativeSocket.constData(), 65534, 65534);
       },
       TChannelStatus::Untrusted, "belongs to another user"},
  };
  Inbox box;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && getuid() != 0) continue;
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
    QFile::remove(socketPath);
    QFile::remove(lockPath);
    c.plant();
    const ino_t planted = twtest::InodeOf(socketPath);

    auto channel = Make(&box, 1);
    EXPECT_EQ(channel->Open(), c.open);
    EXPECT_EQ(channel->Create(), TChannelStatus::Untrusted);
    EXPECT_TRUE(channel->Problem().contains(c.problem)) << channel->Problem().toStdString();
    EXPECT_FALSE(channel->Listening());
    EXPECT_EQ(twtest::InodeOf(socketPath), planted) << "what was planted was replaced";
  }
  chmod(QFile::encodeName(dir.path()).constData(), 0700);
}

TEST_F(ChannelTest, ListenerOfAnotherUserIsNotTalkedTo) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to play another user";
  Inbox box;
  auto channel = Make(&box, 1);
  twtest::ListenerOfAnotherUser other(channel->Path(), 65534);
  ASSERT_TRUE(other.Listening());
  EXPECT_EQ(channel->Open(), TChannelStatus::Untrusted);
  EXPECT_TRUE(channel->Problem().contains("runs as another user")) << channel->Problem().toStdString();
  EXPECT_FALSE(channel->Connected());
}

TEST_F(ChannelTest, ForeignBytesAreDroppedWithoutHarm) {
  Inbox first, later;
  auto server = Make(&first, 1);
  ASSERT_EQ(server->Create(), TChannelStatus::Ok);

  QLocalSocket stranger;
  stranger.connectToServer(server->Path());
  ASSERT_TRUE(stranger.waitForConnected(1000));
  stranger.write(QByteArray(80, 'x'));
  stranger.flush();
  EXPECT_TRUE(WaitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; }))
      << "the listener hangs up on what is not its protocol";
  EXPECT_TRUE(first.got.isEmpty());

  auto client = Make(&later, 2);
  ASSERT_EQ(client->Open(), TChannelStatus::Ok);
  client->Broadcast(7, 8, 9);
  EXPECT_TRUE(WaitFor([&] { return first.got.size() == 1; }));
}

TEST_F(ChannelTest, ActivationRestoresAMinimisedWindowKeepingItsOtherStates) {
  Inbox first, later;
  auto server = Make(&first, 1);
  auto client = Make(&later, 2);
  ASSERT_EQ(server->Create(), TChannelStatus::Ok);
  ASSERT_EQ(client->Open(), TChannelStatus::Ok);
  // Activation is honoured only for a copy the running one has answered.
  client->Broadcast(0xC001, 2, 2);
  ASSERT_TRUE(WaitFor([&] { return first.got.size() == 1; }));
  ASSERT_TRUE(server->Post(2, 0xC001, 1, 0));
  first.got.clear();

  QWidget main;
  main.resize(200, 100);
  main.setWindowState(Qt::WindowMaximized);
  main.show();
  main.setWindowState(main.windowState() | Qt::WindowMinimized);
  ASSERT_TRUE(main.isMinimized());

  EXPECT_FALSE(TInstanceChannel::ActivateOwnWindow(0));
  EXPECT_FALSE(TInstanceChannel::ActivateOwnWindow(static_cast<intptr_t>(main.winId()) + 1000));
  EXPECT_TRUE(main.isMinimized()) << "a request for another window leaves this one alone";

  client->ActivateWindow(static_cast<intptr_t>(main.winId()));
  EXPECT_TRUE(WaitFor([&] { return !main.isMinimized(); }));
  EXPECT_TRUE(main.isMaximized());
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(first.got.isEmpty()) << "activation is no message for the application";
}

TEST_F(ChannelTest, FramesOutOfTurnAreIgnored) {
  using twtest::Frame;
  using twtest::FrameKind;
  QWidget main;
  main.resize(200, 100);
  main.show();
  main.setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(main.isMinimized());
  const auto window = static_cast<qint64>(main.winId());
  const auto settle = [] { WaitFor([] { return false; }, 200); };

  // A later copy never brings its own windows forward: only the running copy is asked to.
  Inbox later;
  auto client = Make(&later, 2);
  const int fakeServer = twtest::Listen(client->Path());
  ASSERT_GE(fakeServer, 0);
  ASSERT_EQ(client->Open(), TChannelStatus::Ok);
  const int toClient = accept4(fakeServer, nullptr, nullptr, SOCK_CLOEXEC);
  ASSERT_GE(toClient, 0);
  const QByteArray activate = Frame(FrameKind::Activate, 1, 0, 0, window);
  ASSERT_EQ(write(toClient, activate.constData(), activate.size()), activate.size());
  settle();
  EXPECT_TRUE(main.isMinimized()) << "the later copy obeyed an activation";
  close(toClient);
  close(fakeServer);
  client.reset();
  QFile::remove(Make(&later, 2)->Path());

  // The running copy brings its window forward only for a copy it has answered.
  Inbox first;
  auto server = Make(&first, 1);
  ASSERT_EQ(server->Create(), TChannelStatus::Ok);
  QLocalSocket peer;
  peer.connectToServer(server->Path());
  ASSERT_TRUE(peer.waitForConnected(1000));
  peer.write(Frame(FrameKind::Message, 7, 0xC001, 2, 7));
  peer.write(Frame(FrameKind::Activate, 7, 0, 0, window));
  peer.flush();
  ASSERT_TRUE(WaitFor([&] { return first.got.size() == 1; }));
  settle();
  EXPECT_TRUE(main.isMinimized()) << "activation from a copy nobody answered";

  // A peer keeps the name it first gave: it cannot take over another's answers.
  peer.write(Frame(FrameKind::Message, 8, 0xC001, 2, 8));
  peer.flush();
  settle();
  EXPECT_FALSE(server->Post(8, 0xC001, 1, 0)) << "a peer renamed itself";
  EXPECT_TRUE(server->Post(7, 0xC001, 1, 0));
  peer.write(Frame(FrameKind::Activate, 7, 0, 0, window));
  peer.flush();
  EXPECT_TRUE(WaitFor([&] { return !main.isMinimized(); })) << "once answered, the request is honoured";
}

}  // namespace

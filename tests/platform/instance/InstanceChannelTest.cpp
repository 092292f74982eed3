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

#include "tests/support/EventWait.h"

namespace {

using twtest::App;
using twtest::WaitFor;

// Stands in for an application window: keeps what it is sent.
class Inbox : public QObject {
 public:
  QList<TMessage> got;
  bool event(QEvent* e) override {
    if (TMessage* m = MessageOf(e)) {
      got.append(*m);
      return true;
    }
    return QObject::event(e);
  }
};

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
    EXPECT_EQ(RuntimeDirectoryFor(c.xdg, root.path()), c.expected) << c.xdg.constData();
    if (c.expected == fallback) {
      EXPECT_EQ(ModeOf(fallback), 0700u);
    }
  }

  // Our own fallback folder that lost its mode is made private again.
  chmod(QFile::encodeName(fallback).constData(), 0777);
  EXPECT_EQ(RuntimeDirectoryFor("", root.path()), fallback);
  EXPECT_EQ(ModeOf(fallback), 0700u);
}

TEST(RuntimeDirectory, RefusesAFallbackThatIsALinkOrNotOurs) {
  QTemporaryDir root, elsewhere;
  const QString fallback = root.path() + "/tarnwick-" + QString::number(getuid());
  ASSERT_EQ(symlink(QFile::encodeName(elsewhere.path()).constData(), QFile::encodeName(fallback).constData()), 0);
  EXPECT_EQ(RuntimeDirectoryFor("", root.path()), QString());
  QFile::remove(fallback);

  if (getuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
  QDir().mkpath(fallback);
  ASSERT_EQ(chown(QFile::encodeName(fallback).constData(), 65534, 65534), 0);
  EXPECT_EQ(RuntimeDirectoryFor("", root.path()), QString());
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
  EXPECT_FALSE(client->Open()) << "nobody listens yet";
  ASSERT_TRUE(server->Create());
  EXPECT_TRUE(server->Listening());
  ASSERT_TRUE(client->Open());

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

  EXPECT_FALSE(probe->Open()) << "a stale socket is no running copy";
  auto first = Make(&box, 2);
  ASSERT_TRUE(first->Create());

  auto rival = Make(&box, 3);
  EXPECT_FALSE(rival->Create()) << "a live listener must not be displaced";
  EXPECT_TRUE(Make(&box, 4)->Open());

  first->Close();
  EXPECT_FALSE(QFile::exists(probe->Path())) << "a copy that ends takes its socket along";
  EXPECT_FALSE(Make(&box, 5)->Open());
}

TEST_F(ChannelTest, ForeignBytesAreDroppedWithoutHarm) {
  Inbox first, later;
  auto server = Make(&first, 1);
  ASSERT_TRUE(server->Create());

  QLocalSocket stranger;
  stranger.connectToServer(server->Path());
  ASSERT_TRUE(stranger.waitForConnected(1000));
  stranger.write(QByteArray(80, 'x'));
  stranger.flush();
  EXPECT_TRUE(WaitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; }))
      << "the listener hangs up on what is not its protocol";
  EXPECT_TRUE(first.got.isEmpty());

  auto client = Make(&later, 2);
  ASSERT_TRUE(client->Open());
  client->Broadcast(7, 8, 9);
  EXPECT_TRUE(WaitFor([&] { return first.got.size() == 1; }));
}

TEST_F(ChannelTest, ActivationRestoresAMinimisedWindowKeepingItsOtherStates) {
  Inbox first, later;
  auto server = Make(&first, 1);
  auto client = Make(&later, 2);
  ASSERT_TRUE(server->Create());
  ASSERT_TRUE(client->Open());

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

}  // namespace

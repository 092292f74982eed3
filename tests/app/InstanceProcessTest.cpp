// Two real copies on a private X display: a later start brings the running
// copy forward and ends, never mapping a window or touching its folder.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "app/MultYunXing.h"
#ifdef TW_TARNWICK
#include "tools/db/NotesSchema.h"
#endif

#include "tests/platform/instance/Peers.h"
#include "tests/support/EventWait.h"

namespace {

using twtest::App;
using twtest::WaitFor;

// A plain X connection that sees every top-level window being mapped.
class XView {
 public:
  XView() : c_(xcb_connect(nullptr, nullptr)) {
    const xcb_setup_t* setup = xcb_get_setup(c_);
    root_ = xcb_setup_roots_iterator(setup).data->root;
    mask_ = setup->resource_id_mask;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &events);
    pid_ = Atom("_NET_WM_PID");
    wmState_ = Atom("WM_STATE");
    xcb_flush(c_);
  }
  ~XView() { xcb_disconnect(c_); }

  // Windows made by one client share the bits outside the resource mask.
  uint32_t Client(uint32_t window) const { return window & ~mask_; }

  uint32_t PidOf(xcb_window_t w) {
    auto* r = xcb_get_property_reply(c_, xcb_get_property(c_, 0, w, pid_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    uint32_t pid = 0;
    if (r && xcb_get_property_value_length(r) == 4) pid = *static_cast<uint32_t*>(xcb_get_property_value(r));
    free(r);
    return pid;
  }

  bool Viewable(xcb_window_t w) {
    auto* r = xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr);
    const bool v = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    free(r);
    return v;
  }

  // Top-level windows, bottom of the stack first.
  std::vector<xcb_window_t> Stack() {
    auto* r = xcb_query_tree_reply(c_, xcb_query_tree(c_, root_), nullptr);
    std::vector<xcb_window_t> out;
    if (r) {
      const xcb_window_t* kids = xcb_query_tree_children(r);
      out.assign(kids, kids + xcb_query_tree_children_length(r));
    }
    free(r);
    return out;
  }

  int StackIndex(xcb_window_t w) {
    const auto s = Stack();
    for (size_t i = 0; i < s.size(); ++i)
      if (s[i] == w) return static_cast<int>(i);
    return -1;
  }

  // The biggest shown window of a process: its main window.
  xcb_window_t MainWindowOf(qint64 pid) {
    xcb_window_t best = 0;
    int bestArea = 0;
    for (xcb_window_t w : Stack()) {
      if (PidOf(w) != pid || !Viewable(w)) continue;
      auto* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
      const int area = g ? g->width * g->height : 0;
      free(g);
      if (area > bestArea) best = w, bestArea = area;
    }
    return best;
  }

  QRect Geometry(xcb_window_t w) {
    auto* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
    QRect r = g ? QRect(g->x, g->y, g->width, g->height) : QRect();
    free(g);
    return r;
  }

  // What a window manager does when asked to minimise: unmap, mark iconic.
  void Iconify(xcb_window_t w) {
    xcb_unmap_window(c_, w);
    const uint32_t state[2] = {3 /* IconicState */, 0};
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, wmState_, wmState_, 32, 2, state);
    xcb_flush(c_);
  }

  // Windows mapped since the last call.
  std::vector<xcb_window_t> Mapped() {
    std::vector<xcb_window_t> out;
    while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
      if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY)
        out.push_back(reinterpret_cast<xcb_map_notify_event_t*>(e)->window);
      free(e);
    }
    return out;
  }

 private:
  xcb_atom_t Atom(const char* name) {
    auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, strlen(name), name), nullptr);
    const xcb_atom_t a = r ? r->atom : 0;
    free(r);
    return a;
  }
  xcb_connection_t* c_;
  xcb_window_t root_ = 0;
  uint32_t mask_ = 0;
  xcb_atom_t pid_ = 0, wmState_ = 0;
};

struct Program {
  const char* name;
  const char* path;
  const char* refreshMark;  // what the main window's refresh leaves in the working folder
};

void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }

std::vector<Program> Programs() {
  std::vector<Program> p{{"probe", TW_GUARD_PROBE, "shown"}};
#ifdef TW_TARNWICK
  p.push_back({"tarnwick", TW_TARNWICK, "data.mdb"});
#endif
  return p;
}

// Starts under load and sanitizers can be slow; the guard itself gives up
// waiting only after ten seconds, so an end within eight is the answer's doing.
constexpr int kStartMs = 30000;
constexpr int kLaterEndsMs = 8000;

class InstanceProcessTest : public ::testing::TestWithParam<Program> {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(runtime.isValid() && firstHome.isValid() && laterHome.isValid());
#ifdef TW_TARNWICK
    if (QString(GetParam().name) == "tarnwick")
      CreateNotesDatabase(firstHome.filePath("data.mdb"), true);
#endif
  }
  void TearDown() override {
    twtest::CloseAll(queued);
    for (auto& p : processes) {
      p->kill();
      p->waitForFinished(5000);
      if (HasFailure()) std::fputs(p->readAllStandardError().constData(), stderr);
    }
  }

  // Waits until a process has written `text` to its error output.
  bool Says(QProcess* p, const char* text, int ms) {
    QByteArray& said = errors[p];
    return WaitFor([&] { return (said += p->readAllStandardError()).contains(text); }, ms);
  }

  QProcess* Start(const QTemporaryDir& home) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(home.path());
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(GetParam().path, {});
    EXPECT_TRUE(p->waitForStarted(5000));
    processes.push_back(std::move(p));
    return processes.back().get();
  }

  // Starts the first copy and waits for its main window.
  xcb_window_t StartFirst() {
    QProcess* p = Start(firstHome);
    first = p;
    xcb_window_t w = 0;
    WaitFor([&] { return (w = x.MainWindowOf(p->processId())) != 0; }, kStartMs);
    QThread::msleep(300);  // let it settle into its message loop
    return w;
  }

  // Runs a later copy to its end; false when it did not end by itself.
  bool RunLater() {
    QProcess* p = Start(laterHome);
    const bool ended = WaitFor([&] { return p->state() == QProcess::NotRunning; }, kLaterEndsMs);
    if (ended) {
      EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
      EXPECT_EQ(p->exitCode(), 0);
    }
    EXPECT_FALSE(QFile::exists(laterHome.filePath(GetParam().refreshMark)))
        << "the later copy ran its main window's refresh";
    return ended;
  }

  QTemporaryDir runtime, firstHome, laterHome;
  XView x;
  QProcess* first = nullptr;
  std::vector<std::unique_ptr<QProcess>> processes;
  std::map<QProcess*, QByteArray> errors;
  std::vector<int> queued;
};

TEST_P(InstanceProcessTest, LaterStartRaisesTheRunningCopyAndEndsUnseen) {
  const xcb_window_t main = StartFirst();
  ASSERT_NE(main, 0u) << "the first copy shows its main window";
  ASSERT_TRUE(QFile::exists(firstHome.filePath(GetParam().refreshMark)));

  QWidget cover;
  cover.setWindowTitle("cover");
  cover.setGeometry(x.Geometry(main));
  cover.show();
  const auto coverId = static_cast<xcb_window_t>(cover.winId());
  ASSERT_TRUE(WaitFor([&] { return x.Viewable(coverId); }, 5000));
  ASSERT_LT(x.StackIndex(main), x.StackIndex(coverId));
  x.Mapped();

  ASSERT_TRUE(RunLater()) << "the later copy must end by itself";
  EXPECT_TRUE(WaitFor([&] { return x.StackIndex(main) > x.StackIndex(coverId); }, 3000))
      << "the running copy's window comes above the one covering it";

  const std::set<uint32_t> known{x.Client(main), x.Client(coverId)};
  for (xcb_window_t w : x.Mapped())
    EXPECT_TRUE(known.count(x.Client(w))) << "the later copy mapped window 0x" << std::hex << w;
  EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_P(InstanceProcessTest, LaterStartRestoresAMinimisedCopy) {
  const xcb_window_t main = StartFirst();
  ASSERT_NE(main, 0u);
  x.Iconify(main);
  ASSERT_TRUE(WaitFor([&] { return !x.Viewable(main); }, 3000));
  QThread::msleep(300);  // the first copy takes note of being minimised

  ASSERT_TRUE(RunLater());
  EXPECT_TRUE(WaitFor([&] { return x.Viewable(main); }, 3000)) << "the minimised window is shown again";
}

TEST_P(InstanceProcessTest, CopyKilledOutrightDoesNotBlockTheNextStart) {
  ASSERT_NE(StartFirst(), 0u);
  first->kill();  // SIGKILL: nothing gets to clean up
  ASSERT_TRUE(first->waitForFinished(5000));
  ASSERT_TRUE(QFile::exists(runtime.filePath(kInstanceGuardName))) << "the killed copy left its socket";

  QFile::remove(firstHome.filePath("shown"));
  const xcb_window_t next = StartFirst();
  EXPECT_NE(next, 0u) << "the next start becomes the running copy and shows its window";
  EXPECT_EQ(first->state(), QProcess::Running);
  EXPECT_TRUE(RunLater()) << "and answers the start after it";
}

TEST_P(InstanceProcessTest, HungCopyKeepsItsSocketAndALaterStartSaysSo) {
  ASSERT_NE(StartFirst(), 0u);
  const QString socket = runtime.filePath(kInstanceGuardName);
  const ino_t before = twtest::InodeOf(socket);
  ASSERT_EQ(kill(static_cast<pid_t>(first->processId()), SIGSTOP), 0);
  queued = twtest::FillQueue(socket);
  ASSERT_FALSE(queued.empty());

  QProcess* later = Start(laterHome);
  EXPECT_TRUE(Says(later, "not respond", kStartMs)) << "the later copy must say why it does not start";
  EXPECT_TRUE(WaitFor([&] { return x.MainWindowOf(later->processId()) != 0; }, kStartMs))
      << "the message is shown on screen";
  EXPECT_FALSE(QFile::exists(laterHome.filePath(GetParam().refreshMark))) << "it started beside the hung copy";
  EXPECT_EQ(twtest::InodeOf(socket), before) << "the hung copy's socket was deleted";
  later->kill();

  twtest::CloseAll(queued);
  ASSERT_EQ(kill(static_cast<pid_t>(first->processId()), SIGCONT), 0);
  EXPECT_TRUE(RunLater()) << "once it wakes up the copy answers as before";
}

TEST_P(InstanceProcessTest, ForeignSocketIsReportedAndTheProgramStarts) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to play another user";
  const QString socket = runtime.filePath(kInstanceGuardName);
  const int planted = twtest::Listen(socket);
  ASSERT_GE(planted, 0);
  ASSERT_EQ(lchown(QFile::encodeName(socket).constData(), 65534, 65534), 0);

  EXPECT_NE(StartFirst(), 0u) << "the program starts rather than wait on a stranger";
  EXPECT_TRUE(Says(first, "another user", 5000)) << "and says the guard is off";
  EXPECT_FALSE(twtest::SomeoneConnected(planted)) << "it talked to another user's socket";
  close(planted);
}

#ifdef TW_TARNWICK
TEST(ProgramStart, WithoutADisplayItSaysWhatIsMissing) {
  QTemporaryDir home;
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(home.path());
  p.start(TW_TARNWICK, {});
  ASSERT_TRUE(p.waitForFinished(kStartMs));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "no crash";
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.readAllStandardError().contains("needs an X display"));
  EXPECT_FALSE(QFile::exists(home.filePath("data.mdb")));
}
#endif

INSTANTIATE_TEST_SUITE_P(Programs, InstanceProcessTest, ::testing::ValuesIn(Programs()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

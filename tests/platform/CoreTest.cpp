// The platform layer's core: forms list, error guard, messages, closing and
// modal results.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Form.h"
#include "platform/Message.h"

namespace {

int argc = 1;
char arg0[] = "platform_core_test";
char* argv[] = {arg0, nullptr};

class Probe : public TForm {
 public:
  QStringList* log = nullptr;
  bool allowClose = true;
  bool throwOnShow = false;
  void FormCreate() override { created = true; }
  bool created = false;
  void FormShow() override {
    log->append(objectName() + ":show");
    if (throwOnShow) throw EDatabaseError("no such table");
  }
  void FormCloseQuery(bool& canClose) override { canClose = allowClose; }
  void WndProc(TMessage& m) override {
    log->append(QString("msg %1 %2 %3").arg(m.Msg).arg(m.WParam).arg(m.LParam));
    m.Result = m.WParam + m.LParam;
  }
};


struct First : Probe { First() { setObjectName("first"); } };
struct Second : Probe { Second() { setObjectName("second"); } };

class PlatformCore : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<TApplication>();
    app->SetErrorDisplay([this](const QString& t) { errors << t; });
  }
  void TearDown() override { app.reset(); }
  std::unique_ptr<TApplication> app;
  QStringList errors;
};

}  // namespace

TEST_F(PlatformCore, FormsKeepCreationOrderAndFirstBecomesMain) {
  QStringList log;
  First* a = nullptr;
  Second* b = nullptr;
  app->CreateForm(a);
  a->log = &log;
  EXPECT_TRUE(a->created);
  app->CreateForm(b);
  ASSERT_EQ(app->Forms().size(), 2);
  EXPECT_EQ(app->Forms()[0], a);
  EXPECT_EQ(app->Forms()[1], b);
  EXPECT_EQ(app->MainForm(), a);
  delete b;
  EXPECT_EQ(app->Forms().size(), 1);
}

TEST_F(PlatformCore, GuardShowsTheErrorTextAndKeepsGoing) {
  EXPECT_FALSE(app->Guard([] { throw EDatabaseError("The file data.mdb was not found."); }));
  EXPECT_TRUE(app->Guard([] {}));
  EXPECT_EQ(errors, QStringList{"The file data.mdb was not found."});
}

TEST_F(PlatformCore, ShowRunsFormShowThroughTheGuard) {
  QStringList log;
  auto* f = new First;
  f->log = &log;
  f->throwOnShow = true;
  f->Show();
  EXPECT_TRUE(f->isVisible()) << "a failing refresh must not stop the window from showing";
  EXPECT_EQ(log, QStringList{"first:show"});
  EXPECT_EQ(errors, QStringList{"no such table"});
  delete f;
}

TEST_F(PlatformCore, SendIsSynchronousAndPostIsQueued) {
  QStringList log;
  auto* f = new First;
  f->log = &log;
  EXPECT_EQ(SendMessage(f, 1226, 2, 40), 42);
  EXPECT_EQ(log, QStringList{"msg 1226 2 40"});
  EXPECT_TRUE(PostMessage(f, 1227, 1, 0));
  EXPECT_EQ(log.size(), 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(log.last(), "msg 1227 1 0");
  EXPECT_EQ(SendMessage(nullptr, 1), 0);
  EXPECT_FALSE(PostMessage(nullptr, 1));
  delete f;
}

TEST_F(PlatformCore, CloseQueryCanRefuseAndMainFormCloseTerminates) {
  QStringList log;
  First* main = nullptr;
  app->CreateForm(main);
  main->log = &log;
  main->Show();
  main->allowClose = false;
  EXPECT_FALSE(main->close());
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(app->Terminated());
  main->allowClose = true;
  EXPECT_TRUE(main->close());
  EXPECT_TRUE(app->Terminated());
}

TEST_F(PlatformCore, ShowModalReturnsTheResultThatEndedIt) {
  QStringList log;
  auto* f = new Second;
  f->log = &log;
  QTimer::singleShot(0, f, [f] { f->SetModalResult(mrOk); });
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_FALSE(f->isVisible());
  QTimer::singleShot(0, f, [f] { f->close(); });
  EXPECT_EQ(f->ShowModal(), mrCancel);
  delete f;
}

TEST(ScriptedDialogs, AnswersInOrderThenCancelAndRecordsQuestions) {
  TScriptedDialogs d;
  d.answers = {mrOk, mrYes};
  TDialogsScope scope(&d);
  EXPECT_EQ(TDialogs::Current().MessageBox(nullptr, " Confirm quit？", "Tips", 0x40121), mrOk);
  TMsgDlgRequest r{"Really want to delete the record! ", "Tarnwick", TMsgDlgType::Custom,
                   {TMsgDlgBtn::Yes, TMsgDlgBtn::No}, TMsgDlgBtn::Yes, TMsgDlgBtn::No};
  EXPECT_EQ(TDialogs::Current().MessageDlg(r), mrYes);
  EXPECT_EQ(TDialogs::Current().MessageBox(nullptr, "x", "y", 0), mrCancel);
  ASSERT_EQ(d.asked.size(), 3u);
  EXPECT_EQ(d.asked[0].flags, 0x40121u);
  EXPECT_TRUE(d.asked[1].standardDialog);
  EXPECT_EQ(d.asked[1].request.escapeButton, TMsgDlgBtn::No);
}

int main(int argc_, char** argv_) {
  QApplication qapp(argc, argv);
  ::testing::InitGoogleTest(&argc_, argv_);
  return RUN_ALL_TESTS();
}

// The skin data object: what a load builds, the order of its messages, and
// the clean empty skin a failed load leaves.
#include <gtest/gtest.h>

#include <QApplication>
#include <functional>

#include "SkinFolderFixture.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twZStream.h"

using twtest::TSkinFolder;

namespace {

// Records every skin message with the state the skin data is in when the
// window receives it.
struct TLog {
  QStringList lines;
};

class TProbeForm : public TForm {
 public:
  TProbeForm(const QString& name, TLog* log) : log_(log) { setObjectName(name); }
  void WndProc(TMessage& m) override {
    auto* data = reinterpret_cast<TtwSkinData*>(m.WParam);
    log_->lines << QStringLiteral("%1 %2 %3 empty=%4 changing=%5")
                       .arg(objectName())
                       .arg(m.Msg)
                       .arg(m.LParam)
                       .arg(data->Empty())
                       .arg(data->ChangingSkin());
    if (onMessage) onMessage(m.Msg);
  }
  std::function<void(uint32_t)> onMessage;

 private:
  TLog* log_;
};

class SkinData : public ::testing::Test {
 protected:
  void SetUp() override { app = std::make_unique<TApplication>(); }
  void TearDown() override {
    qDeleteAll(forms);
    app.reset();
  }
  TProbeForm* Form(const QString& name) {
    forms.append(new TProbeForm(name, &log));
    return forms.last();
  }
  // A stored skin holding the package of `ini`, built in a skin folder.
  std::unique_ptr<TtwCompressedStoredSkin> Stored(const QByteArray& extraText = {}) {
    auto s = std::make_unique<TtwCompressedStoredSkin>();
    EXPECT_TRUE(s->LoadFromSkinFolder(folder.Standard(extraText)));
    return s;
  }
  std::unique_ptr<TtwCompressedStoredSkin> StoredPackage(const QByteArray& package) {
    auto s = std::make_unique<TtwCompressedStoredSkin>();
    s->SetCompressedData(TwCompressSkinPackage(package));
    return s;
  }
  std::unique_ptr<TApplication> app;
  QList<TProbeForm*> forms;
  TLog log;
  TSkinFolder folder;
};

TEST_F(SkinData, StartsEmptyWithZeroColoursAndClearingGivesSystemColours) {
  TtwSkinData d;
  EXPECT_TRUE(d.Empty());
  EXPECT_FALSE(d.ChangingSkin());
  EXPECT_EQ(d.SkinColors(), TtwSkinColors{});
  EXPECT_EQ(d.bgpictureindex, -1);
  EXPECT_EQ(d.PopupWindowRecord()->windowpictureindex, -1);
  EXPECT_TRUE(d.SkinnableForm() && d.EnableSkinEffects() && d.ShowButtonGlowFrames() &&
              d.ShowCaptionButtonGlowFrames());
  d.ClearSkin();
  EXPECT_EQ(d.SkinColors().cbtnface, 0xFF00000Fu);
  EXPECT_EQ(d.SkinColors().cbtnshadow, 0xFF000010u);
  EXPECT_EQ(d.FindControlIndex("button"), -1);
}

TEST_F(SkinData, LoadBuildsPicturesRecordsAndAnnouncesInOrder) {
  TProbeForm* owner = Form("owner");
  auto stored = Stored("[SKINCOLORS]\r\ncbtnface=16641763\r\n");
  TtwSkinData d(owner);
  d.SetCompressedStoredSkin(stored.get());

  EXPECT_FALSE(d.Empty());
  EXPECT_FALSE(d.ChangingSkin());
  EXPECT_EQ(d.skinname, "Test");
  EXPECT_EQ(d.PictureName(), "frame.bmp");
  EXPECT_EQ(d.MaskName(), "mask.bmp");
  EXPECT_EQ(d.ActivePictureNames(), QStringList({"a0.bmp", "a1.bmp"}));
  EXPECT_EQ(d.FormPicture().size(), QSize(12, 10));
  EXPECT_TRUE(d.FormInactivePicture().isNull());
  EXPECT_EQ(d.FormMask().size(), QSize(12, 10));
  ASSERT_EQ(d.ActivePictures().size(), 2);
  EXPECT_EQ(d.ActivePicture(1)->size(), QSize(5, 3));
  EXPECT_EQ(d.ActivePicture(2), nullptr);
  EXPECT_EQ(d.ActivePicture(-1), nullptr);
  EXPECT_EQ(d.clientrect, (TRect{2, 8, 10, 9}));
  EXPECT_EQ(d.maskrectarea, (TRect{2, 8, 10, 9}));  // a mask takes the client area in
  EXPECT_EQ(d.SkinColors().cbtnface, 16641763u);
  EXPECT_EQ(d.SkinColors().cwindow, 0xFF000005u);
  ASSERT_EQ(d.ControlRecords().size(), 1);
  ASSERT_EQ(d.ObjectRecords().size(), 1);
  EXPECT_NE(dynamic_cast<TtwDataSkinButtonControl*>(d.ControlRecords()[0]), nullptr);
  EXPECT_EQ(d.ControlRecords()[0]->skinrect, (TRect{0, 0, 8, 6}));
  EXPECT_EQ(d.FindObjectIndex("closebutton"), 0);

  EXPECT_EQ(log.lines, QStringList({"owner 1225 1000 empty=1 changing=1", "owner 1226 1000 empty=0 changing=1",
                                    "owner 1227 1000 empty=0 changing=0"}));
}

TEST_F(SkinData, BroadcastReachesTheOwnerFirstThenTheOthersInListOrder) {
  Form("first");
  TProbeForm* owner = Form("second");
  Form("third");
  TtwSkinData d(owner);
  d.BroadcastSkinMessage(SKIN_MSG_CHANGE);
  EXPECT_EQ(log.lines, QStringList({"second 1226 1000 empty=1 changing=0", "first 1226 1000 empty=1 changing=0",
                                    "third 1226 1000 empty=1 changing=0"}));

  // An owner that is not a form: every form in list order.
  log.lines.clear();
  QObject notAForm;
  TtwSkinData e(&notAForm);
  e.BroadcastSkinMessage(SKIN_MSG_AFTER_CHANGE);
  ASSERT_EQ(log.lines.size(), 3);
  EXPECT_TRUE(log.lines[0].startsWith("first 1227"));
  EXPECT_TRUE(log.lines[2].startsWith("third 1227"));
}

TEST_F(SkinData, FindControlIndexIsExactCaseSensitiveAndFirstWins) {
  auto stored = StoredPackage(TtwSkinPackage{3, {}, {}, {}, {},
                                             "[SKINCONTROLS]\r\ncount=5\r\n0=panel:panel\r\n1=button:button\r\n"
                                             "2=nocolon\r\n3=button:panel\r\n4=edit:nosuchtype\r\n5=late:edit\r\n"}
                                 .Write());
  TtwSkinData d;
  d.SetCompressedStoredSkin(stored.get());
  ASSERT_EQ(d.ControlRecords().size(), 3);  // the entry after count is not listed
  EXPECT_EQ(d.FindControlIndex("panel"), 0);
  EXPECT_EQ(d.FindControlIndex("button"), 1);  // the second "button" is at 2
  EXPECT_NE(dynamic_cast<TtwDataSkinPanelControl*>(d.ControlRecords()[2]), nullptr);
  EXPECT_EQ(d.FindControlIndex("Button"), -1);
  EXPECT_EQ(d.FindControlIndex("butto"), -1);
  EXPECT_EQ(d.FindControlIndex("edit"), -1);
  EXPECT_EQ(d.FindControlIndex(""), -1);
  EXPECT_EQ(d.FindObjectIndex("panel"), -1);
}

TEST_F(SkinData, EmptyHolderDesigningAndNoHolderChangeNothing) {
  Form("owner");
  TtwSkinData d(forms[0]);
  TtwCompressedStoredSkin empty;
  d.SetCompressedStoredSkin(&empty);
  d.SetCompressedStoredSkin(nullptr);
  EXPECT_TRUE(log.lines.isEmpty());

  auto stored = Stored();
  d.SetDesigning(true);
  d.SetCompressedStoredSkin(stored.get());
  EXPECT_TRUE(d.Empty());
  EXPECT_TRUE(log.lines.isEmpty());
  EXPECT_EQ(d.CompressedStoredSkin(), stored.get());
}

TEST_F(SkinData, AWindowMayFreeTheHolderWhileTheLoadRuns) {
  TProbeForm* owner = Form("owner");
  auto* stored = Stored().release();
  owner->onMessage = [&](uint32_t msg) {
    if (msg == SKIN_MSG_BEFORE_CHANGE) delete stored;
  };
  TtwSkinData d(owner);
  d.SetCompressedStoredSkin(stored);
  EXPECT_FALSE(d.Empty());
  EXPECT_EQ(d.CompressedStoredSkin(), nullptr);
  EXPECT_EQ(d.ControlRecords().size(), 1);
}

TEST_F(SkinData, SkinListAndIndexRules) {
  TSkinFolder other;
  TtwCompressedSkinList list;
  for (int i = 0; i < 3; ++i) list.Skins()->Add();
  list.Skins()->Items(1)->Skin()->LoadFromSkinFolder(folder.Standard());
  list.Skins()->Items(2)->Skin()->LoadFromSkinFolder(other.Standard("[VERSION]\r\nskinname=Other\r\n"));

  TtwSkinData d;
  d.SetSkinIndex(5);  // no list: stored as given
  EXPECT_EQ(d.SkinIndex(), 5);
  d.SetSkinIndex(-1);
  d.SetSkinList(&list);  // index out of range: nothing loaded
  EXPECT_TRUE(d.Empty());

  d.SetSkinIndex(5);  // out of range with a list: ignored
  EXPECT_EQ(d.SkinIndex(), -1);
  EXPECT_TRUE(d.Empty());
  d.SetSkinIndex(2);
  EXPECT_EQ(d.SkinIndex(), 2);
  EXPECT_EQ(d.skinname, "Other");
  d.SetSkinIndex(1);
  EXPECT_EQ(d.skinname, "Test");

  TtwSkinData e;
  e.SetSkinIndex(2);
  e.SetSkinList(&list);  // in range: loads at once
  EXPECT_EQ(e.skinname, "Other");
}

TEST_F(SkinData, FlagSettersAnnounceOnlyWhenTheyShould) {
  Form("owner");
  TtwSkinData d(forms[0]);
  d.SetSkinnableForm(true);  // unchanged
  EXPECT_TRUE(log.lines.isEmpty());
  d.SetLoading(true);
  d.SetSkinnableForm(false);  // changed, but the owner is being read
  EXPECT_TRUE(log.lines.isEmpty());
  EXPECT_FALSE(d.SkinnableForm());
  TtwResourceStrData strings;
  d.SetResourceStrData(&strings);  // announced even while reading
  d.SetLoading(false);
  d.SetSkinnableForm(true);
  d.SetDesigning(true);
  d.SetSkinnableForm(false);
  d.SetResourceStrData(nullptr);
  EXPECT_EQ(log.lines, QStringList({"owner 1274 1000 empty=1 changing=0", "owner 1294 1000 empty=1 changing=0"}));
}

TEST_F(SkinData, DestroyedHoldersAreForgottenButTheSkinStays) {
  auto stored = Stored();
  auto strings = std::make_unique<TtwResourceStrData>();
  auto list = std::make_unique<TtwCompressedSkinList>();
  TtwSkinData d;
  d.SetCompressedStoredSkin(stored.get());
  d.SetResourceStrData(strings.get());
  d.SetSkinList(list.get());
  stored.reset();
  strings.reset();
  list.reset();
  EXPECT_EQ(d.CompressedStoredSkin(), nullptr);
  EXPECT_EQ(d.ResourceStrData(), nullptr);
  EXPECT_EQ(d.SkinList(), nullptr);
  EXPECT_FALSE(d.Empty());
  EXPECT_EQ(d.ControlRecords().size(), 1);
  d.SetSkinIndex(3);  // no list any more: plain store
  EXPECT_EQ(d.SkinIndex(), 3);
}

// A failed load must not leave the windows with a skin half built or a
// frame that waits for ChangingSkin to end.
TEST_F(SkinData, FailedLoadsLeaveACleanEmptySkinAndTellTheWindows) {
  Form("owner");
  TtwSkinData d(forms[0]);
  auto good = Stored();
  d.SetCompressedStoredSkin(good.get());
  ASSERT_FALSE(d.Empty());

  struct Case {
    const char* what;
    std::unique_ptr<TtwCompressedStoredSkin> skin;
    bool raises;
  };
  TSkinFolder f2;
  auto badRect = std::make_unique<TtwCompressedStoredSkin>();
  ASSERT_TRUE(badRect->LoadFromSkinFolder(f2.Standard("[closebutton]\r\nskinrect=1,,3,4\r\n")));
  auto damaged = std::make_unique<TtwCompressedStoredSkin>();
  damaged->SetCompressedData(good->CompressedData().left(good->CompressedData().size() / 2));
  auto newer = StoredPackage(TtwSkinPackage{4, {}, {}, {}, {}, "[SKINCONTROLS]\r\ncount=1\r\n0=b:button\r\n"}.Write());
  auto cutPackage = StoredPackage(TwInflate(good->CompressedData()).left(20));
  Case cases[] = {{"rectangle without digits", std::move(badRect), true},
                  {"damaged zlib stream", std::move(damaged), true},
                  {"newer package version", std::move(newer), false},
                  {"package cut short", std::move(cutPackage), true}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    d.SetCompressedStoredSkin(good.get());
    log.lines.clear();
    if (c.raises) EXPECT_THROW(d.SetCompressedStoredSkin(c.skin.get()), EError);
    else EXPECT_NO_THROW(d.SetCompressedStoredSkin(c.skin.get()));
    EXPECT_TRUE(d.Empty());
    EXPECT_FALSE(d.ChangingSkin());
    EXPECT_TRUE(d.ObjectRecords().isEmpty());
    EXPECT_TRUE(d.ControlRecords().isEmpty());
    EXPECT_TRUE(d.ActivePictures().isEmpty());
    EXPECT_TRUE(d.FormPicture().isNull());
    EXPECT_EQ(d.SkinColors().cbtnface, 0xFF00000Fu);
    EXPECT_EQ(log.lines, QStringList({"owner 1225 1000 empty=1 changing=1", "owner 1226 1000 empty=1 changing=0",
                                      "owner 1227 1000 empty=1 changing=0"}));
  }
  // The rectangle error names the bad value for the user.
  try {
    d.SetCompressedStoredSkin(cases[0].skin.get());
  } catch (const EError& e) {
    EXPECT_TRUE(e.Message().contains("1,,3,4")) << e.Message().toStdString();
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// The skin data object: loads a package into pictures, form values and
// records, and tells every window before and after, even when a load fails.
#include "skin/data/twSkinData.h"

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "skin/data/twSkinBounds.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twSkinSections.h"
#include "skin/data/twZStream.h"

namespace {

template <class T>
int32_t FindByName(const QList<T*>& records, const QString& name) {
  for (qsizetype i = 0; i < records.size(); ++i)
    if (records[i]->IDName == name) return int32_t(i);
  return -1;
}

}  // namespace

TtwSkinData::TtwSkinData(QObject* owner)
    : TtwComponent(owner), description_(std::make_unique<TtwSkinDescription>()) {}

TtwSkinData::~TtwSkinData() = default;

const QImage* TtwSkinData::ActivePicture(int32_t index) const {
  if (index < 0 || index >= activePictures_.size()) return nullptr;
  return &activePictures_[index];
}

int32_t TtwSkinData::FindControlIndex(const QString& name) const { return FindByName(ControlRecords(), name); }

int32_t TtwSkinData::FindObjectIndex(const QString& name) const { return FindByName(ObjectRecords(), name); }

// ---- properties ----

void TtwSkinData::SetCompressedStoredSkin(TtwCompressedStoredSkin* skin) {
  storedSkin_ = skin;
  if (!Designing() && skin) LoadStoredSkin(skin);
}

void TtwSkinData::SetSkinList(TtwCompressedSkinList* list) {
  skinList_ = list;
  if (!Designing() && list && skinIndex_ >= 0 && skinIndex_ < list->Skins()->Count())
    LoadStoredSkin(list->Skins()->Items(skinIndex_)->Skin());
}

void TtwSkinData::SetSkinIndex(int32_t index) {
  if (index == skinIndex_) return;
  if (!skinList_) {
    skinIndex_ = index;
    return;
  }
  if (index < 0 || index >= skinList_->Skins()->Count()) return;
  skinIndex_ = index;
  if (!Designing()) LoadStoredSkin(skinList_->Skins()->Items(index)->Skin());
}

void TtwSkinData::SetSkinnableForm(bool on) {
  if (on == skinnableForm_) return;
  skinnableForm_ = on;
  if (!Designing() && !Loading()) BroadcastSkinMessage(SKIN_MSG_SKINNABLE_CHANGED);
}

void TtwSkinData::SetResourceStrData(TtwResourceStrData* data) {
  resourceStrData_ = data;
  if (!Designing()) BroadcastSkinMessage(SKIN_MSG_STRINGS_CHANGED);
}

// ---- loading ----

void TtwSkinData::ClearRecords() {
  description_->ClearRecords();
  activePictures_.clear();
  // The window records keep their other values, as they always have.
  description_->popup.windowpictureindex = -1;
  description_->hint.windowpictureindex = -1;
  activePictureNames_.clear();
  boundedValues_.clear();
  skinColors_.SetDefault();
}

void TtwSkinData::ClearSkin() {
  ClearRecords();
  formPicture_ = QImage();
  formMask_ = QImage();
  formInactivePicture_ = QImage();
  pictureName_.clear();
  maskName_.clear();
  empty_ = true;
}

void TtwSkinData::LoadPackage(const TtwSkinPackage& pkg) {
  formPicture_ = pkg.Picture.ToImage();
  formInactivePicture_ = pkg.InactivePicture.ToImage();
  formMask_ = pkg.Mask.ToImage();
  activePictures_.reserve(pkg.ActivePictures.size());
  for (const TtwBitmap& b : pkg.ActivePictures) activePictures_.append(b.ToImage());

  auto d = std::make_unique<TtwSkinDescription>();
  d->LoadFromText(TwDecodeDescription(pkg.Text));
  boundedValues_ = TwBoundSkinValues(*d, TwPackageExtent(pkg));

  const TtwSkinVersionInfo& version = d->version;
  skinname = version.skinname;
  skinauthor = version.skinauthor;
  authoremail = version.authoremail;
  authorurl = version.authorurl;
  skincomments = version.skincomments;

  const TtwSkinPicturesInfo& pictures = d->pictures;
  pictureName_ = pictures.picture;
  inactivePictureName_ = pictures.inactivepicture;
  maskName_ = pictures.mask;
  activePictureNames_ = pictures.activepictures;

  const TtwSkinFormInfo& f = d->form;
  lefttoppoint = f.lefttoppoint;
  righttoppoint = f.righttoppoint;
  leftbottompoint = f.leftbottompoint;
  rightbottompoint = f.rightbottompoint;
  clientrect = f.clientrect;
  bgpictureindex = f.bgpictureindex;
  mdibgpictureindex = f.mdibgpictureindex;
  leftstretch = f.leftstretch;
  rightstretch = f.rightstretch;
  topstretch = f.topstretch;
  bottomstretch = f.bottomstretch;
  stretcheffect = f.stretcheffect;
  stretchtype = f.stretchtype;
  mdibgstretcheffect = f.mdibgstretcheffect;
  mdibgstretchtype = f.mdibgstretchtype;
  maskrectarea = f.maskrectarea;
  hittestlefttoppoint = f.hittestlefttoppoint;
  hittestrighttoppoint = f.hittestrighttoppoint;
  hittestleftbottompoint = f.hittestleftbottompoint;
  hittestrightbottompoint = f.hittestrightbottompoint;
  buttonsrect = f.buttonsrect;
  captionrect = f.captionrect;
  buttonsoffset = f.buttonsoffset;
  buttonsinleft = f.buttonsinleft;
  mainmenupopupup = f.mainmenupopupup;
  borderwidth = f.borderwidth;
  formminwidth = f.formminwidth;
  mditabstransparent = f.mditabstransparent;
  mainmenubartransparent = f.mainmenubartransparent;
  autorenderinginactiveimage = f.autorenderinginactiveimage;
  inactiveeffect = f.inactiveeffect;

  skinColors_ = d->colors;
  description_ = std::move(d);
}

void TtwSkinData::AnnounceEmptySkin() {
  // The windows already dropped their records: leave a clean empty skin and
  // let them repaint with their plain look, rather than keep a frame that
  // stays unpainted while ChangingSkin holds.
  ClearSkin();
  changingSkin_ = false;
  BroadcastSkinMessage(SKIN_MSG_CHANGE);
  BroadcastSkinMessage(SKIN_MSG_AFTER_CHANGE);
}

void TtwSkinData::LoadStoredSkin(TtwCompressedStoredSkin* skin) {
  if (!skin || skin->IsEmpty()) return;
  // Taken now: a window answering the first message may free the holder.
  const QByteArray compressed = skin->CompressedData();
  empty_ = true;
  changingSkin_ = true;
  BroadcastSkinMessage(SKIN_MSG_BEFORE_CHANGE);
  ClearSkin();
  try {
    const TtwSkinPackage pkg = TtwSkinPackage::Read(TwInflate(compressed));
    if (!pkg.Supported()) {
      AnnounceEmptySkin();
      return;
    }
    LoadPackage(pkg);
  } catch (...) {
    AnnounceEmptySkin();
    throw;
  }
  empty_ = false;
  BroadcastSkinMessage(SKIN_MSG_CHANGE);
  changingSkin_ = false;
  BroadcastSkinMessage(SKIN_MSG_AFTER_CHANGE);
}

void TtwSkinData::BroadcastSkinMessage(uint32_t message) {
  const auto wparam = reinterpret_cast<intptr_t>(this);
  // Guarded pointers: a receiver may close (and free) a window meanwhile.
  QList<QPointer<TForm>> targets;
  TForm* owner = qobject_cast<TForm*>(Owner());
  if (owner) targets.append(owner);
  if (TApplication* app = TApplication::Instance())
    for (TForm* f : app->Forms())
      if (f != owner) targets.append(f);
  for (const QPointer<TForm>& f : targets)
    if (f) SendMessage(f, message, wparam, kSkinMessageLParam);
}

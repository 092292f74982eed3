#pragma once
// The skin data object: holds one loaded skin (pictures, form-level values,
// colours and the named skin records), serves records by name and tells
// every window, by skin messages, before and after the skin changes.
#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "skin/data/twComponent.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twResourceStrData.h"
#include "skin/data/twSkinDescription.h"
#include "skin/data/twTypes.h"

struct TtwSkinPackage;

// Skin messages: sent synchronously to every form with WParam = the sending
// TtwSkinData and LParam = 1000.
inline constexpr uint32_t SKIN_MSG_BEFORE_CHANGE = 1225;
inline constexpr uint32_t SKIN_MSG_CHANGE = 1226;
inline constexpr uint32_t SKIN_MSG_AFTER_CHANGE = 1227;
inline constexpr uint32_t SKIN_MSG_STRINGS_CHANGED = 1274;
inline constexpr uint32_t SKIN_MSG_SKINNABLE_CHANGED = 1294;
inline constexpr intptr_t kSkinMessageLParam = 1000;

class TtwSkinData : public TtwComponent {
  Q_OBJECT
 public:
  explicit TtwSkinData(QObject* owner = nullptr);
  ~TtwSkinData() override;

  // ---- published properties ----
  TtwCompressedSkinList* SkinList() const { return skinList_; }
  void SetSkinList(TtwCompressedSkinList* list);
  int32_t SkinIndex() const { return skinIndex_; }
  void SetSkinIndex(int32_t index);
  bool SkinnableForm() const { return skinnableForm_; }
  void SetSkinnableForm(bool on);
  bool EnableSkinEffects() const { return enableSkinEffects_; }
  void SetEnableSkinEffects(bool on) { enableSkinEffects_ = on; }
  TtwCompressedStoredSkin* CompressedStoredSkin() const { return storedSkin_; }
  // Loads the skin at once (unless designing), also while the owner's
  // stored properties are being read. Load errors reach the caller.
  void SetCompressedStoredSkin(TtwCompressedStoredSkin* skin);
  TtwResourceStrData* ResourceStrData() const { return resourceStrData_; }
  void SetResourceStrData(TtwResourceStrData* data);
  bool ShowButtonGlowFrames() const { return showButtonGlowFrames_; }
  void SetShowButtonGlowFrames(bool on) { showButtonGlowFrames_ = on; }
  bool ShowCaptionButtonGlowFrames() const { return showCaptionButtonGlowFrames_; }
  void SetShowCaptionButtonGlowFrames(bool on) { showCaptionButtonGlowFrames_ = on; }

  // ---- the loaded skin ----
  // True while no skin is loaded.
  bool Empty() const { return empty_; }
  // True from the start of a load until the new records exist.
  bool ChangingSkin() const { return changingSkin_; }

  const TtwSkinColors& SkinColors() const { return skinColors_; }
  TtwDataSkinPopupWindow* PopupWindowRecord() const { return &description_->popup; }
  TtwDataSkinHintWindow* HintWindowRecord() const { return &description_->hint; }

  // Null images when the package has no such picture.
  const QImage& FormPicture() const { return formPicture_; }
  const QImage& FormInactivePicture() const { return formInactivePicture_; }
  const QImage& FormMask() const { return formMask_; }
  const QList<QImage>& ActivePictures() const { return activePictures_; }
  // The values of the loaded description that were out of bounds and now
  // hold their defaults, one "[section] key: value" each.
  const QStringList& BoundedValues() const { return boundedValues_; }
  // The picture of a picture index; nullptr for -1 or any index outside.
  const QImage* ActivePicture(int32_t index) const;

  QString PictureName() const { return pictureName_; }
  QString InactivePictureName() const { return inactivePictureName_; }
  QString MaskName() const { return maskName_; }
  const QStringList& ActivePictureNames() const { return activePictureNames_; }

  // Records in list order, owned here; valid until the next load starts.
  const QList<TtwDataSkinObject*>& ObjectRecords() const { return description_->objects; }
  const QList<TtwDataSkinControl*>& ControlRecords() const { return description_->controls; }

  // Position of the first record named exactly `name` (letter case counts),
  // or -1.
  int32_t FindControlIndex(const QString& name) const;
  int32_t FindObjectIndex(const QString& name) const;

  // [FORMINFO] and [VERSION] values, named by their keys.
  TRect buttonsrect, captionrect;
  int32_t buttonsoffset = 0;
  bool buttonsinleft = false;
  bool autorenderinginactiveimage = false;
  uint8_t inactiveeffect = 0;
  TPoint lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint;
  int32_t bgpictureindex = -1;
  int32_t mdibgpictureindex = -1;
  bool mainmenupopupup = false;
  TRect maskrectarea;
  TPoint hittestlefttoppoint, hittestrighttoppoint, hittestleftbottompoint, hittestrightbottompoint;
  TRect clientrect;
  int32_t borderwidth = 0;
  int32_t formminwidth = 0;
  bool mditabstransparent = false;
  bool mainmenubartransparent = false;
  bool topstretch = false, leftstretch = false, rightstretch = false, bottomstretch = false;
  bool stretcheffect = false;
  uint8_t stretchtype = 0;
  bool mdibgstretcheffect = false;
  uint8_t mdibgstretchtype = 0;
  QString skinname, skinauthor, authorurl, authoremail, skincomments;

  // ---- operations ----
  // Loads the package of `skin`. A holder without data changes nothing.
  // On any error the skin is left cleared (Empty), ChangingSkin false, the
  // windows are told the skin changed, and the error is raised again.
  void LoadStoredSkin(TtwCompressedStoredSkin* skin);
  void ClearSkin();
  void ClearRecords();
  // Sends `message` to the owner form first, then to every other form of
  // the application in list order.
  void BroadcastSkinMessage(uint32_t message);

 private:
  void LoadPackage(const TtwSkinPackage& package);
  void AnnounceEmptySkin();

  // QPointer is the removal notification: a destroyed holder reads as none.
  QPointer<TtwCompressedSkinList> skinList_;
  int32_t skinIndex_ = 0;
  bool skinnableForm_ = true;
  bool enableSkinEffects_ = true;
  QPointer<TtwCompressedStoredSkin> storedSkin_;
  QPointer<TtwResourceStrData> resourceStrData_;
  TtwSkinColors skinColors_;
  bool showButtonGlowFrames_ = true;
  bool showCaptionButtonGlowFrames_ = true;
  // The loaded description: records, window records and what they own.
  std::unique_ptr<TtwSkinDescription> description_;
  bool empty_ = true;
  QImage formPicture_, formInactivePicture_, formMask_;
  QList<QImage> activePictures_;
  QString pictureName_, inactivePictureName_, maskName_;
  QStringList activePictureNames_;
  QStringList boundedValues_;
  bool changingSkin_ = false;
};

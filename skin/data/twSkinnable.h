#pragma once
// What every skinned widget offers whatever its Qt base (plain widget, tree,
// edit, list), so a form can walk all of them on a skin change and a hint can
// read the hinted control's title and picture.
#include <QString>

class TtwSkinData;
class TImageList;

class TtwSkinnable {
 public:
  virtual ~TtwSkinnable() = default;

  virtual TtwSkinData* SkinData() const = 0;
  // Looks the record up again and repaints from the current skin.
  virtual void ApplySkin() = 0;
  // Drops the record position before the skin data reloads.
  virtual void ForgetSkinRecord() = 0;
  // Windowed controls forget their records on the before-change message;
  // windowless ones only re-apply.
  virtual bool IsWindowedSkinControl() const = 0;

  virtual QString HintTitle() const { return {}; }
  virtual int HintImageIndex() const { return 0; }
  virtual TImageList* HintImageList() const { return nullptr; }
};

#pragma once
// A window showing one of each skinned control in its main states, for
// skin authors.
#include "platform/Form.h"

class QMenu;
class TtwSkinData;
class TtwSkinForm;
class TtwSkinHint;
class TtwSkinImagesMenu;
class TtwSkinMenu;
class TtwSkinScrollBar;
class TtwSkinToolBar;
class TtwSkinButtonEdit;
class TtwSkinComboBox;

class TGalleryForm : public TForm {
  Q_OBJECT
 public:
  explicit TGalleryForm(TtwSkinData* data, QWidget* parent = nullptr);
  ~TGalleryForm() override;
  // Puts the controls into the states they show (hot, down, focused ...);
  // call once the window is shown. An inactive window has no focused control;
  // an active one also shows an open menu with a sub-menu, and a hint.
  void SetStates(bool active);

  TtwSkinForm* Frame() const { return frame_; }

 private:
  TtwSkinData* data_;
  TtwSkinForm* frame_ = nullptr;
  QList<QWidget*> hot_;
  QWidget* focused_ = nullptr;
  QWidget* hinted_ = nullptr;
  QMenu* menuItems_ = nullptr;
  TtwSkinMenu* menu_ = nullptr;
  TtwSkinHint* hint_ = nullptr;
  TtwSkinImagesMenu* imagesMenu_ = nullptr;
  TtwSkinToolBar* scrolled_ = nullptr;
  TtwSkinButtonEdit* buttonEdit_ = nullptr;
  TtwSkinComboBox* openCombo_ = nullptr;
  TtwSkinScrollBar* hotBar_ = nullptr;
  TtwSkinScrollBar* pressedBar_ = nullptr;
};

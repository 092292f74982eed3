#pragma once
// A window showing one of each skinned control in its main states, for
// skin authors.
#include "platform/Form.h"

class TtwSkinData;
class TtwSkinForm;

class TGalleryForm : public TForm {
  Q_OBJECT
 public:
  explicit TGalleryForm(TtwSkinData* data, QWidget* parent = nullptr);
  // Puts the controls into the states they show (hot, down, focused ...);
  // call once the window is shown. An inactive window has no focused control.
  void SetStates(bool active);

  TtwSkinForm* Frame() const { return frame_; }

 private:
  TtwSkinData* data_;
  TtwSkinForm* frame_ = nullptr;
  QList<QWidget*> hot_;
  QWidget* focused_ = nullptr;
};

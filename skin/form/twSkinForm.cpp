#include "skin/form/twSkinForm.h"

#include "platform/Errors.h"
#include "platform/Form.h"
#include "skin/controls/twSkinControlBase.h"

TtwSkinForm::TtwSkinForm(QObject* owner) : QObject(owner), form_(qobject_cast<TForm*>(owner)) {
  if (!form_) throw EError(QStringLiteral("A skinned frame can only be placed on a form"));
  DefCaptionFont = TwDefaultFont();
  DefCaptionFont.setBold(true);
  DefCaptionFontColor = twDefaultColors::BtnText;
  DefInActiveCaptionFont = DefCaptionFont;
  DefInActiveCaptionFontColor = twDefaultColors::BtnShadow;
  DefMenuItemFont = TwDefaultFont();
}

TtwSkinForm::~TtwSkinForm() = default;

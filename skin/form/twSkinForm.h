#pragma once
// The component that will take over a form's frame. For now it carries the
// published settings only; the form keeps its ordinary frame.
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPixmap>

class TForm;
class TtwSkinData;
class TtwSkinStatusBar;
class QMenu;

enum TtwBorderIcon {
  biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biRollUp = 8, biMinimizeToTray = 16
};
using TtwBorderIcons = int;  // a set of TtwBorderIcon bits
enum TtwPositionInMonitor { twpDefault, twpScreenCenter, twpDesktopCenter };
enum TtwClientInActiveEffectType { twieSemiTransparent, twieBlur };

class TtwSkinForm : public QObject {
  Q_OBJECT
 public:
  // owner must be a form; anything else raises EError.
  explicit TtwSkinForm(QObject* owner);
  ~TtwSkinForm() override;

  TForm* Form() const { return form_; }

  TtwSkinData* SkinData = nullptr;
  TtwSkinData* MenusSkinData = nullptr;
  TtwBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize | biRollUp;
  bool HideCaptionButtons = false;
  bool ShowIcon = false;
  bool DisableSystemMenu = false;
  bool AlwaysResize = false;
  TtwPositionInMonitor PositionInMonitor = twpDefault;
  bool MaximizeOnFullScreen = false;
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  int ClientWidth = 0, ClientHeight = 0;
  bool Magnetic = false;
  uint8_t MagneticSize = 5;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;
  bool ClientInActiveEffect = false;
  TtwClientInActiveEffectType ClientInActiveEffectType = twieSemiTransparent;
  QPixmap LogoBitMap;
  bool LogoBitMapTransparent = false;
  bool UseFormCursorInNCArea = false;
  TtwSkinStatusBar* StatusBar = nullptr;
  QObject* TrayIcon = nullptr;
  bool AlwaysShowInTray = false, AlwaysMinimizeToTray = false;
  QObject* SkinHint = nullptr;
  bool ShowObjectHint = false, UseDefaultObjectHint = true;
  QMenu* SystemMenu = nullptr;
  bool UseDefaultSysMenu = true;
  QFont DefCaptionFont;
  QColor DefCaptionFontColor;
  QFont DefInActiveCaptionFont;
  QColor DefInActiveCaptionFontColor;
  bool UseSkinFontInMenu = true;
  int DefMenuItemHeight = 20;
  QFont DefMenuItemFont;
  int MaxMenuItemsInWindow = 0;
  bool MenusAlphaBlend = false, MenusAlphaBlendAnimation = false;
  uint8_t MenusAlphaBlendValue = 200;

 private:
  TForm* form_ = nullptr;
};

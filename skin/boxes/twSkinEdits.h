#pragma once
// Single-line edits. Qt's QLineEdit keeps the caret, selection, undo and
// input methods; these classes add the program's keys (Enter and Escape go to
// the window), read-only for every editing command, a skinned context menu,
// and a frame drawn from the skin's edit record around the text.
#include <QLineEdit>
#include <QMenu>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <functional>

#include "platform/Align.h"
#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinnable.h"
#include "skin/data/twTypes.h"

// Messages a skinned edit answers like a skinned frame: paint the frame into
// the QPainter in WParam (48203 only with LParam 16802).
inline constexpr uint32_t TW_EDIT_MSG_PAINT_FRAME = 45513;
inline constexpr uint32_t TW_EDIT_MSG_PAINT_FRAME_EX = 48203;
inline constexpr intptr_t kEditPaintFrameExKey = 16802;
inline constexpr intptr_t kEditAnswerPainted = 12851;

// ------------------------------------------------------------ geometry

// What the edit's frame geometry depends on.
struct TtwEditLayoutInput {
  int Width = 0, Height = 0;
  bool Bound = false, ButtonMode = false, UseSkinFont = true;
  int SkinWidth = 0, SkinHeight = 0;  // the piece's size
  TRect SkinClientRect;               // the record's clientrect
  TRect ButtonRect;                   // the record's buttonrect
  int RightEnd = 0;
  int LeftImageWidth = 0, RightImageWidth = 0;  // 0: no end image
};

// The frame around the text: margins of the text area (never negative, never
// wider or taller than the edit together), the text area and the button in
// window coordinates, and the two end images.
struct TtwEditLayout {
  QMargins Margins;
  QRect EditRect, ButtonArea, LeftImageArea, RightImageArea;
};

TtwEditLayout LayoutEdit(const TtwEditLayoutInput& in);

// Which part of an edit a point is over.
enum class TtwEditPart { Text, Frame, Button, LeftImage, RightImage };
TtwEditPart EditPartAt(const TtwEditLayout& l, bool buttonMode, const QPoint& p);

// ------------------------------------------------------------ plain edit

// The context menu's entries in their order (separators not counted).
struct TtwEditCommandStates {
  bool Undo = false, Cut = false, Copy = false, Paste = false, Delete = false, SelectAll = false;
  bool operator==(const TtwEditCommandStates&) const = default;
};

class TtwCustomEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TtwCustomEdit(QWidget* parent = nullptr);
  ~TtwCustomEdit() override;

  bool EditTransparent() const { return editTransparent_; }
  void SetEditTransparent(bool v);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  bool MouseDown() const { return mouseDown_; }
  // An input method is composing text that is not in the edit yet.
  bool Composing() const { return composing_; }

  // Editing commands as the menu and callers run them; all but Copy and
  // SelectAll are refused while read-only (QLineEdit's slots are not).
  void Undo();
  void Cut();
  void Copy();
  void Paste();
  void ClearSelection();
  void SelectAll();
  TtwEditCommandStates CommandStates() const;

  // An own popup menu replaces the system one.
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* m) { popupMenu_ = m; }
  // The menu of the last context-menu request (freed after its command ran
  // or when the next one is built, never inside its own command).
  QMenu* SystemPopupMenu() const { return systemPopupMenu_; }
  // Builds a fresh system menu and opens it at `globalPos` (a negative
  // position: the edit's centre, as a keyboard request asks).
  void ShowContextMenu(QPoint globalPos);

  // A typed character, Enter ('\r') and Escape ('\x1b') included; setting it
  // to the null character drops it.
  std::function<void(QObject* sender, QChar& key)> OnKeyPress;
  std::function<void(QObject* sender)> OnChange;
  std::function<void()> OnCancelMode;

 protected:
  // The skin data whose string table names the menu entries, if any.
  virtual TtwSkinData* MenuSkinData() const;
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void ApplyTransparency();

 private:
  QMenu* BuildSystemPopupMenu();
  void FreeSystemPopupMenu();

  bool editTransparent_ = false;
  bool autoSelect_ = true;
  bool mouseDown_ = false;
  bool composing_ = false;
  QPointer<QMenu> popupMenu_;
  QPointer<QMenu> systemPopupMenu_;
};

// ------------------------------------------------------------ skinned edit

// What a bound edit copies from its "edit" record.
struct TtwEditSkin {
  bool Copied = false;  // a record has been copied at least once
  QImage Picture;
  TRect PieceRect, ActivePieceRect, SkinClientRect;
  int LeftEnd = 0, RightEnd = 0;
  QString FontName = QStringLiteral("Arial");
  uint8_t FontStyle = 0;
  int FontHeight = 14;
  TColor FontColor = 0, DisabledFontColor = 0, ActiveFontColor = 0;
  TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnenabledButtonRect;
  bool StretchCentre = false;
};

enum TtwEditAlignment { twaLeft, twaRight, twaCenter };

class TtwSkinCustomEdit : public TtwCustomEdit, public TBoundsTarget, public TtwSkinnable {
  Q_OBJECT
 public:
  explicit TtwSkinCustomEdit(QWidget* parent = nullptr);
  ~TtwSkinCustomEdit() override;

  // ---- binding ----
  TtwSkinData* SkinData() const override { return skinData_; }
  void SetSkinData(TtwSkinData* data);
  QString SkinDataName() const { return skinDataName_; }
  void SetSkinDataName(const QString& n);
  int RecordIndex() const { return recordIndex_; }
  // Bound for drawing: a record found, and an edit record copied.
  bool Bound() const { return recordIndex_ != -1 && skin_.Copied; }
  const TtwEditSkin& Skin() const { return skin_; }
  void ApplySkin() override;
  void ForgetSkinRecord() override { recordIndex_ = -1; }
  bool IsWindowedSkinControl() const override { return true; }

  // ---- properties ----
  bool ButtonMode() const { return buttonMode_; }
  void SetButtonMode(bool v);
  bool ButtonDown() const { return buttonDown_; }
  bool ButtonHot() const { return buttonHot_; }
  bool MouseInControl() const { return mouseInControl_; }
  QFont DefaultFont() const { return defaultFont_; }
  void SetDefaultFont(const QFont& f);
  QColor DefaultFontColor() const { return defaultFontColor_; }
  void SetDefaultFontColor(const QColor& c);
  bool UseSkinFont() const { return useSkinFont_; }
  void SetUseSkinFont(bool v);
  int DefaultWidth() const { return defaultWidth_; }
  void SetDefaultWidth(int w);
  int DefaultHeight() const { return defaultHeight_; }
  void SetDefaultHeight(int h);
  TtwEditAlignment Alignment() const { return alignment_; }
  void SetAlignment(TtwEditAlignment a);
  QColor FillColor() const { return fillColor_; }
  void SetFillColor(const QColor& c) { fillColor_ = c; update(); }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* l);
  int LeftImageIndex() const { return leftImage_[0]; }
  void SetLeftImageIndex(int i);
  void SetLeftImageHotIndex(int i) { leftImage_[1] = i; }
  void SetLeftImageDownIndex(int i) { leftImage_[2] = i; }
  int RightImageIndex() const { return rightImage_[0]; }
  void SetRightImageIndex(int i);
  void SetRightImageHotIndex(int i) { rightImage_[1] = i; }
  void SetRightImageDownIndex(int i) { rightImage_[2] = i; }

  std::function<void(QObject*)> OnButtonClick, OnLeftButtonClick, OnRightButtonClick;
  std::function<void(QObject*)> OnMouseEnter, OnMouseLeave;

  // ---- geometry ----
  void SetBounds(int left, int top, int width, int height) override;
  TAlign Align() const { return WidgetAlign(this); }
  void SetAlign(TAlign a) { SetWidgetAlign(this, a); }
  TAnchors Anchors() const { return WidgetAnchors(this); }
  void SetAnchors(TAnchors a) { SetWidgetAnchors(this, a); }
  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool e) { setEnabled(e); }
  // The control's own visibility, whether or not its parent is shown.
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool v) { setVisible(v); }
  TtwEditLayout Layout() const;
  QRect EditRect() const { return Layout().EditRect; }
  QRect ButtonArea() const { return Layout().ButtonArea; }
  // The height a size request gets (the skin's, or the font's plus frame).
  int FittedHeight(int asked) const;

  // The frame as a paint draws it (text excluded), at ratio dpr.
  QImage RenderFrame(qreal dpr = 1.0) const;
  // The whole control as the screen shows it, text included.
  QImage RenderFace(qreal dpr = 1.0);

 protected:
  TtwSkinData* MenuSkinData() const override { return skinData_; }
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  // The button was clicked; the date edit takes this slot.
  virtual void ButtonClicked();
  // The focused look (active piece and colour); a preview may force it.
  virtual bool LooksFocused() const { return hasFocus(); }

  void Bind();
  void ApplyLook();
  void ApplyMargins();
  void PaintFrame(QPainter& p) const;
  void PaintFrameInto(QImage& face) const;
  void SetButtonState(bool hot, bool down);

  QPointer<TtwSkinData> skinData_;
  QString skinDataName_ = QStringLiteral("edit");
  int recordIndex_ = -1;
  TtwEditSkin skin_;
  bool buttonMode_ = false, buttonDown_ = false, buttonHot_ = false;
  bool mouseInControl_ = false;
  bool leftImageHot_ = false, leftImageDown_ = false, rightImageHot_ = false, rightImageDown_ = false;
  QFont defaultFont_;
  QColor defaultFontColor_ = Qt::black;
  bool useSkinFont_ = true;
  int defaultWidth_ = 0, defaultHeight_ = 0;
  TtwEditAlignment alignment_ = twaLeft;
  QColor fillColor_;
  QPointer<TImageList> images_;
  int leftImage_[3] = {-1, -1, -1}, rightImage_[3] = {-1, -1, -1};  // normal, hot, down
};

// The edit the windows place: every property published.
class TtwSkinEdit : public TtwSkinCustomEdit {
  Q_OBJECT
 public:
  explicit TtwSkinEdit(QWidget* parent = nullptr) : TtwSkinCustomEdit(parent) {}
};

// An edit with the push button at its right end, drawn from "buttonedit".
class TtwSkinButtonEdit : public TtwSkinCustomEdit {
  Q_OBJECT
 public:
  explicit TtwSkinButtonEdit(QWidget* parent = nullptr);
};

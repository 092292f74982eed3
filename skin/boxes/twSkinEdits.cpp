// The skinned single-line edits. Qt draws and edits the text (caret,
// selection, undo, input methods); we paint the frame behind it and keep the
// program's rules: Enter and Escape reach the window, read-only refuses every
// editing command, and the context menu is never freed while it runs.
#include "skin/boxes/twSkinEdits.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <algorithm>

#include "platform/ImageList.h"
#include "platform/Message.h"
#include "skin/boxes/twBoxLooks.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/twSystemColors.h"
#include "skin/draw/twUtils.h"
#include "skin/menus/twMenuMessages.h"
#include "skin/menus/twSkinMenus.h"

using namespace twBoxLooks;

// ------------------------------------------------------------ geometry

TtwEditLayout LayoutEdit(const TtwEditLayoutInput& in) {
  TtwEditLayout l;
  const int W = std::max(0, in.Width), H = std::max(0, in.Height);
  int left, top, right, bottom;
  if (!in.Bound) {
    left = top = bottom = 2;
    right = 2;
    if (in.ButtonMode) {
      // A square button as wide as the edit is high, but never wider than it.
      l.ButtonArea = QRect(std::max(0, W - H), 0, std::min(W, H), H);
      right = H + 2;
    }
    l.EditRect = QRect(QPoint(2, 2), QPoint((in.ButtonMode ? l.ButtonArea.left() : W) - 2 - 1, H - 2 - 1));
  } else {
    const TRect& cr = in.SkinClientRect;
    left = cr.Left;
    top = cr.Top;
    right = in.SkinWidth - cr.Right;
    bottom = in.SkinHeight - cr.Bottom;
    const int dw = W - in.SkinWidth, dh = in.UseSkinFont ? 0 : H - in.SkinHeight;
    l.EditRect = QRect(QPoint(cr.Left, cr.Top), QPoint(cr.Right + dw - 1, cr.Bottom + dh - 1));
    if (in.ButtonMode && !in.ButtonRect.IsEmpty()) {
      TRect b = in.ButtonRect;
      // A button in the right end follows the right edge; one in the middle stays.
      if (b.Left >= in.SkinWidth - in.RightEnd) {
        b.Left += dw;
        b.Right += dw;
      }
      b.Bottom += dh;
      l.ButtonArea = b.ToQ();
    }
  }
  // A client rectangle larger than its piece, or a button wider than the
  // edit, must not give negative margins or margins that cross.
  left = std::clamp(left, 0, W);
  right = std::clamp(right, 0, W - left);
  top = std::clamp(top, 0, H);
  bottom = std::clamp(bottom, 0, H - top);
  if (l.EditRect.width() < 0 || l.EditRect.height() < 0)
    l.EditRect = QRect(l.EditRect.topLeft(), QSize(std::max(0, l.EditRect.width()), std::max(0, l.EditRect.height())));
  // End images sit at the ends of the text area; the text moves in past them.
  if (in.LeftImageWidth > 0) {
    l.LeftImageArea = QRect(l.EditRect.left(), l.EditRect.top(), in.LeftImageWidth, l.EditRect.height());
    left = std::min(left + in.LeftImageWidth + 2, W - right);
  }
  if (in.RightImageWidth > 0) {
    l.RightImageArea = QRect(l.EditRect.right() + 1 - in.RightImageWidth, l.EditRect.top(), in.RightImageWidth,
                             l.EditRect.height());
    right = std::min(right + in.RightImageWidth + 2, W - left);
  }
  l.Margins = QMargins(left, top, right, bottom);
  return l;
}

TtwEditPart EditPartAt(const TtwEditLayout& l, bool buttonMode, const QPoint& p) {
  if (buttonMode && l.ButtonArea.contains(p)) return TtwEditPart::Button;
  if (l.LeftImageArea.contains(p)) return TtwEditPart::LeftImage;
  if (l.RightImageArea.contains(p)) return TtwEditPart::RightImage;
  return l.EditRect.contains(p) ? TtwEditPart::Text : TtwEditPart::Frame;
}

// ------------------------------------------------------------ plain edit

TtwCustomEdit::TtwCustomEdit(QWidget* parent) : QLineEdit(parent) {
  setFrame(false);
  setMouseTracking(true);
  QFont f = TwDefaultFont();
  setFont(f);
  resize(width(), 20);
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (OnChange) OnChange(this);
  });
  ApplyTransparency();
}

TtwCustomEdit::~TtwCustomEdit() { delete systemPopupMenu_.data(); }

void TtwCustomEdit::SetEditTransparent(bool v) {
  editTransparent_ = v;
  ApplyTransparency();
  update();
}

void TtwCustomEdit::ApplyTransparency() {
  QPalette pal = palette();
  const QColor base = editTransparent_ ? QColor(Qt::transparent) : C::Window;
  for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) pal.setColor(g, QPalette::Base, base);
  setPalette(pal);
  setAutoFillBackground(false);
}

void TtwCustomEdit::Undo() {
  if (!isReadOnly()) undo();
}
void TtwCustomEdit::Cut() {
  if (!isReadOnly()) cut();
}
void TtwCustomEdit::Copy() { copy(); }
void TtwCustomEdit::Paste() {
  if (!isReadOnly()) paste();
}
void TtwCustomEdit::ClearSelection() {
  if (!isReadOnly() && hasSelectedText()) del();
}
void TtwCustomEdit::SelectAll() { selectAll(); }

TtwEditCommandStates TtwCustomEdit::CommandStates() const {
  TtwEditCommandStates s;
  const bool sel = hasSelectedText(), ro = isReadOnly();
  // Undo on a read-only edit would be refused: show it so.
  s.Undo = isUndoAvailable() && !ro;
  s.Cut = s.Delete = sel && !ro;
  s.Copy = sel;
  const QClipboard* cb = QGuiApplication::clipboard();
  s.Paste = !ro && cb && !cb->text().isEmpty();
  const int len = int(text().size());
  s.SelectAll = !(selectionStart() == 0 && selectedText().size() == len);
  return s;
}

TtwSkinData* TtwCustomEdit::MenuSkinData() const { return nullptr; }

QMenu* TtwCustomEdit::BuildSystemPopupMenu() {
  // The previous menu may be the one whose command is running right now.
  if (systemPopupMenu_) {
    systemPopupMenu_->hide();
    systemPopupMenu_->deleteLater();
  }
  auto* m = new TtwSkinPopupMenu(this);
  TtwSkinData* data = MenuSkinData();
  if (!data)
    if (TtwSkinMenu* sm = m->FindSkinMenu()) data = sm->DefaultSkinData;
  m->SetSkinData(data);
  const TtwResourceStrData* strings = data ? data->ResourceStrData() : nullptr;
  auto caption = [strings](const char* key, const char* fallback) {
    const QString s = strings ? strings->GetResStr(QString::fromLatin1(key)) : QString();
    return s.isEmpty() ? QString::fromLatin1(fallback) : s;
  };
  const TtwEditCommandStates st = CommandStates();
  auto add = [&](const char* key, const char* fallback, bool enabled, void (TtwCustomEdit::*run)()) {
    QAction* a = m->addAction(caption(key, fallback));
    a->setEnabled(enabled);
    connect(a, &QAction::triggered, this, [this, run] { (this->*run)(); });
  };
  add("EDIT_UNDO", "Undo", st.Undo, &TtwCustomEdit::Undo);
  m->addSeparator();
  add("EDIT_CUT", "Cut", st.Cut, &TtwCustomEdit::Cut);
  add("EDIT_COPY", "Copy", st.Copy, &TtwCustomEdit::Copy);
  add("EDIT_PASTE", "Paste", st.Paste, &TtwCustomEdit::Paste);
  add("EDIT_DELETE", "Delete", st.Delete, &TtwCustomEdit::ClearSelection);
  m->addSeparator();
  add("EDIT_SELECTALL", "Select All", st.SelectAll, &TtwCustomEdit::SelectAll);
  // Freed once the command has returned, never while the menu is running it.
  QPointer<QMenu> guard = m;
  connect(m, &QMenu::triggered, this, [this, guard] {
    if (guard && guard == systemPopupMenu_) PostMessage(this, SKIN_MSG_MENU_DONE);
  });
  systemPopupMenu_ = m;
  return m;
}

void TtwCustomEdit::FreeSystemPopupMenu() {
  if (!systemPopupMenu_) return;
  systemPopupMenu_->deleteLater();
  systemPopupMenu_ = nullptr;
}

void TtwCustomEdit::ShowContextMenu(QPoint at) {
  if (at.x() < 0 || at.y() < 0) at = mapToGlobal(rect().center());
  if (popupMenu_) {
    popupMenu_->popup(at);
    return;
  }
  auto* m = static_cast<TtwSkinPopupMenu*>(BuildSystemPopupMenu());
  if (TtwSkinMenu* sm = m->FindSkinMenu(); sm && m->SkinData()) {
    m->PopupForControl(this, at.x(), at.y());
    if (sm->Visible()) return;
  }
  // No skinned form (or no skin): the same entries in a plain menu.
  m->popup(at);
}

bool TtwCustomEdit::event(QEvent* e) {
  if (TMessage* m = MessageOf(e); m && m->Msg == SKIN_MSG_MENU_DONE) {
    // Only the menu that ran goes; a newer one is open in its place.
    if (systemPopupMenu_ && !systemPopupMenu_->isVisible()) FreeSystemPopupMenu();
    return true;
  }
  if (e->type() == QEvent::ShortcutOverride) {
    // Enter and Escape are the window's (default and cancel buttons).
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Escape || k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      e->ignore();
      return false;
    }
  }
  return QLineEdit::event(e);
}

void TtwCustomEdit::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    QChar c = key == Qt::Key_Escape ? QChar(27) : QChar(13);
    if (OnKeyPress) OnKeyPress(this, c);
    if (key != Qt::Key_Escape) QLineEdit::keyPressEvent(e);  // returnPressed, editingFinished
    e->ignore();  // never into the text: the window's buttons act on it
    return;
  }
  const QString t = e->text();
  if (t.size() == 1 && t[0].isPrint() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    if (isReadOnly()) {
      e->accept();
      return;
    }
    QChar c = t[0];
    if (OnKeyPress) OnKeyPress(this, c);
    if (c.isNull()) {
      e->accept();
      return;
    }
    if (c != t[0]) {
      QKeyEvent swapped(e->type(), e->key(), e->modifiers(), QString(c));
      QLineEdit::keyPressEvent(&swapped);
      return;
    }
  }
  QLineEdit::keyPressEvent(e);
}

void TtwCustomEdit::contextMenuEvent(QContextMenuEvent* e) {
  ShowContextMenu(e->reason() == QContextMenuEvent::Keyboard ? QPoint(-1, -1) : e->globalPos());
  e->accept();
}

void TtwCustomEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (autoSelect_ && e->reason() != Qt::MouseFocusReason && e->reason() != Qt::PopupFocusReason) selectAll();
}

void TtwCustomEdit::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) mouseDown_ = true;
  QLineEdit::mousePressEvent(e);
}

void TtwCustomEdit::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) mouseDown_ = false;
  QLineEdit::mouseReleaseEvent(e);
}

void TtwCustomEdit::inputMethodEvent(QInputMethodEvent* e) {
  composing_ = !e->preeditString().isEmpty();
  QLineEdit::inputMethodEvent(e);
}

// ------------------------------------------------------------ skinned edit

TtwSkinCustomEdit::TtwSkinCustomEdit(QWidget* parent) : TtwCustomEdit(parent) {
  defaultFont_ = TwDefaultFont();
  fillColor_ = C::Window;
  // The frame paints every pixel behind the text.
  SetEditTransparent(true);
  ApplyLook();
}

TtwSkinCustomEdit::~TtwSkinCustomEdit() = default;

void TtwSkinCustomEdit::SetSkinData(TtwSkinData* data) {
  skinData_ = data;
  ApplySkin();
}

void TtwSkinCustomEdit::SetSkinDataName(const QString& n) {
  skinDataName_ = n;
  ApplySkin();
}

void TtwSkinCustomEdit::Bind() {
  recordIndex_ = (!skinData_ || skinData_->Empty()) ? -1 : skinData_->FindControlIndex(skinDataName_);
  if (recordIndex_ < 0) return;
  const auto& list = skinData_->ControlRecords();
  const auto* r = recordIndex_ < list.size() ? dynamic_cast<const TtwDataSkinEditControl*>(list[recordIndex_]) : nullptr;
  if (!r) return;  // not an edit record: nothing copied, the last look stays
  TtwEditSkin s;
  s.Copied = true;
  if (const QImage* pic = skinData_->ActivePicture(r->pictureindex)) s.Picture = *pic;
  s.PieceRect = r->skinrect;
  s.ActivePieceRect = r->activeskinrect.IsEmpty() ? r->skinrect : r->activeskinrect;
  s.LeftEnd = r->lefttoppoint.X;
  s.RightEnd = r->skinrect.Width() - r->righttoppoint.X;
  s.SkinClientRect = r->clientrect;
  s.FontName = r->fontname;
  s.FontStyle = r->fontstyle;
  s.FontHeight = r->fontheight;
  s.FontColor = r->fontcolor;
  s.DisabledFontColor = r->disabledfontcolor;
  s.ActiveFontColor = r->activefontcolor;
  s.ButtonRect = r->buttonrect;
  s.ActiveButtonRect = r->activebuttonrect;
  s.DownButtonRect = r->downbuttonrect.IsEmpty() ? r->activebuttonrect : r->downbuttonrect;
  s.UnenabledButtonRect = r->unenabledbuttonrect;
  s.StretchCentre = r->stretcheffect;
  skin_ = s;
}

void TtwSkinCustomEdit::ApplySkin() {
  Bind();
  ApplyLook();
  SetBounds(x(), y(), width(), height());
  update();
}

// Font and colours by state: the record's while bound, the defaults else.
void TtwSkinCustomEdit::ApplyLook() {
  const bool bound = Bound();
  QFont f = bound && useSkinFont_ ? TwSkinFont(skin_.FontName, skin_.FontHeight, skin_.FontStyle) : defaultFont_;
  if (font() != f) setFont(f);
  QColor text = defaultFontColor_, disabled = SystemColor(COLOR_GRAYTEXT);
  if (bound) {
    text = ColorToQ(LooksFocused() || mouseInControl_ ? skin_.ActiveFontColor : skin_.FontColor);
    disabled = ColorToQ(skin_.DisabledFontColor);
  }
  QPalette pal = palette();
  for (auto g : {QPalette::Active, QPalette::Inactive}) pal.setColor(g, QPalette::Text, text);
  pal.setColor(QPalette::Disabled, QPalette::Text, disabled);
  if (pal != palette()) setPalette(pal);
  const Qt::Alignment h = alignment_ == twaRight ? Qt::AlignRight : alignment_ == twaCenter ? Qt::AlignHCenter : Qt::AlignLeft;
  if (alignment() != (h | Qt::AlignVCenter)) setAlignment(h | Qt::AlignVCenter);
  ApplyMargins();
}

TtwEditLayout TtwSkinCustomEdit::Layout() const {
  TtwEditLayoutInput in;
  in.Width = width();
  in.Height = height();
  in.Bound = Bound();
  in.ButtonMode = buttonMode_;
  in.UseSkinFont = useSkinFont_;
  in.SkinWidth = skin_.PieceRect.Width();
  in.SkinHeight = skin_.PieceRect.Height();
  in.SkinClientRect = skin_.SkinClientRect;
  in.ButtonRect = skin_.ButtonRect;
  in.RightEnd = skin_.RightEnd;
  if (images_) {
    if (images_->Has(leftImage_[0])) in.LeftImageWidth = images_->Width();
    if (images_->Has(rightImage_[0])) in.RightImageWidth = images_->Width();
  }
  return LayoutEdit(in);
}

void TtwSkinCustomEdit::ApplyMargins() {
  const QMargins m = Layout().Margins;
  if (textMargins() != m) setTextMargins(m);
}

int TtwSkinCustomEdit::FittedHeight(int asked) const {
  const int pieceH = skin_.PieceRect.Height();
  if (Bound() && useSkinFont_ && pieceH > 0) return pieceH;
  const int text = QFontMetrics(font()).height();
  if (!Bound()) return defaultHeight_ > 0 && useSkinFont_ ? defaultHeight_ : std::max(asked, text + 4);
  return std::max(asked, text + (pieceH - skin_.SkinClientRect.Height()));
}

void TtwSkinCustomEdit::SetBounds(int left, int top, int w, int h) {
  if (!Bound() && defaultWidth_ > 0) w = defaultWidth_;
  h = FittedHeight(h);
  setGeometry(left, top, std::max(0, w), std::max(0, h));
}

void TtwSkinCustomEdit::SetButtonMode(bool v) {
  buttonMode_ = v;
  ApplyMargins();
  update();
}

void TtwSkinCustomEdit::SetDefaultFont(const QFont& f) {
  defaultFont_ = f;
  ApplyLook();
  if (!(Bound() && useSkinFont_)) SetBounds(x(), y(), width(), height());
}

void TtwSkinCustomEdit::SetDefaultFontColor(const QColor& c) {
  defaultFontColor_ = c;
  ApplyLook();
}

void TtwSkinCustomEdit::SetUseSkinFont(bool v) {
  useSkinFont_ = v;
  ApplySkin();
}

void TtwSkinCustomEdit::SetDefaultWidth(int w) {
  defaultWidth_ = w;
  if (!Bound() && w > 0) SetBounds(x(), y(), w, height());
}

void TtwSkinCustomEdit::SetDefaultHeight(int h) {
  defaultHeight_ = h;
  if (!Bound() && h > 0) SetBounds(x(), y(), width(), h);
}

void TtwSkinCustomEdit::SetAlignment(TtwEditAlignment a) {
  alignment_ = a;
  ApplyLook();
}

void TtwSkinCustomEdit::SetImages(TImageList* l) {
  images_ = l;
  ApplyMargins();
  update();
}

void TtwSkinCustomEdit::SetLeftImageIndex(int i) {
  leftImage_[0] = i;
  ApplyMargins();
  update();
}

void TtwSkinCustomEdit::SetRightImageIndex(int i) {
  rightImage_[0] = i;
  ApplyMargins();
  update();
}

// ---- painting

void TtwSkinCustomEdit::PaintFrameInto(QImage& face) const {
  const int W = face.width(), H = face.height();
  const TtwEditLayout l = Layout();
  QPainter p(&face);
  if (!Bound() || skin_.Picture.isNull()) {
    const int bw = buttonMode_ ? l.ButtonArea.width() : 0;
    QRect r(0, 0, std::max(0, W - bw), H);
    p.fillRect(r, isEnabled() ? fillColor_ : C::BtnFace);
    DrawBevel(p, r, C::BtnShadow, C::BtnShadow);
    DrawBevel(p, r, C::BtnFace, C::BtnFace);
    if (buttonMode_ && !l.ButtonArea.isEmpty()) DrawDropButton(p, l.ButtonArea, buttonHot_, buttonDown_, isEnabled());
  } else if (useSkinFont_) {
    const TRect piece = (LooksFocused() || mouseInControl_) ? skin_.ActivePieceRect : skin_.PieceRect;
    QImage band;
    ComposeThreePieceH(skin_.Picture, piece, skin_.LeftEnd, skin_.RightEnd, skin_.StretchCentre, W, band);
    p.end();
    CopyPixels(face, TRect{0, 0, W, band.height()}, band, TRect{0, 0, band.width(), band.height()});
    if (buttonMode_) {
      TRect state;
      if (!isEnabled() && !skin_.UnenabledButtonRect.IsEmpty()) state = skin_.UnenabledButtonRect;
      else if (buttonDown_ && buttonHot_) state = skin_.DownButtonRect;
      else if (buttonHot_) state = skin_.ActiveButtonRect;
      // The normal button is part of the piece.
      if (!state.IsEmpty()) {
        const QRect b = l.ButtonArea;
        CopyPixels(face, TRect{b.left(), b.top(), b.left() + state.Width(), b.top() + state.Height()}, skin_.Picture,
                   state);
      }
    }
  } else {
    const TRect piece = (LooksFocused() || mouseInControl_) ? skin_.ActivePieceRect : skin_.PieceRect;
    const TRect& cr = skin_.SkinClientRect;
    ComposeClientStretched(face, skin_.Picture, piece, cr, true);
    p.end();
    if (buttonMode_ && !l.ButtonArea.isEmpty()) {
      int idx = skinData_->FindControlIndex(QStringLiteral("editbutton"));
      if (idx < 0) idx = skinData_->FindControlIndex(QStringLiteral("resizebutton"));
      const auto* br = idx >= 0 ? dynamic_cast<const TtwDataSkinButtonControl*>(skinData_->ControlRecords()[idx]) : nullptr;
      if (br) {
        TRect src = br->skinrect;
        if (buttonHot_ && !br->activeskinrect.IsEmpty()) src = br->activeskinrect;
        if (buttonHot_ && buttonDown_ && !br->downskinrect.IsEmpty()) src = br->downskinrect;
        const QRect b = l.ButtonArea;
        const QImage img = ComposeRecordPiece(*skinData_, br, src, b.size());
        QPainter bp(&face);
        bp.drawImage(b.topLeft(), img);
      }
    }
  }
  // End images: the down picture while down and hot, the hot one while hot.
  if (images_) {
    QPainter ip(&face);
    auto draw = [&](const QRect& area, const int idx[3], bool hot, bool down) {
      if (area.isEmpty()) return;
      int i = idx[0];
      if (down && hot && images_->Has(idx[2])) i = idx[2];
      else if (hot && images_->Has(idx[1])) i = idx[1];
      const int y = std::max(area.top(), area.top() + (area.height() - images_->Height()) / 2);
      images_->Draw(ip, area.left(), y, i, isEnabled());
    };
    draw(l.LeftImageArea, leftImage_, leftImageHot_, leftImageDown_);
    draw(l.RightImageArea, rightImage_, rightImageHot_, rightImageDown_);
  }
}

QImage TtwSkinCustomEdit::RenderFrame(qreal) const {
  QImage face = TwNewSurface(std::max(1, width()), std::max(1, height()), QImage::Format_ARGB32_Premultiplied);
  if (face.isNull()) return face;  // too large to draw: no frame
  face.fill(Qt::transparent);
  PaintFrameInto(face);
  return face;
}

void TtwSkinCustomEdit::PaintFrame(QPainter& p) const {
  if (width() <= 0 || height() <= 0) return;
  // Skin pieces are drawn at logical size and scaled by nearest pixel.
  p.drawImage(QRect(0, 0, width(), height()), RenderFrame());
}

QImage TtwSkinCustomEdit::RenderFace(qreal dpr) {
  QImage img = TwNewSurface(QSize(std::max(1, width()), std::max(1, height())), dpr,
                             QImage::Format_ARGB32_Premultiplied);
  if (img.isNull()) return img;
  img.fill(Qt::transparent);
  render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
  return img;
}

void TtwSkinCustomEdit::paintEvent(QPaintEvent* e) {
  {
    QPainter p(this);
    PaintFrame(p);
  }
  QLineEdit::paintEvent(e);
}

bool TtwSkinCustomEdit::event(QEvent* e) {
  if (TMessage* m = MessageOf(e)) {
    if (m->Msg == TW_EDIT_MSG_PAINT_FRAME || m->Msg == TW_EDIT_MSG_PAINT_FRAME_EX) {
      const bool ex = m->Msg == TW_EDIT_MSG_PAINT_FRAME_EX;
      if (ex && m->LParam != kEditPaintFrameExKey) return false;
      bool painted = false;
      if (m->WParam) {
        PaintFrame(*reinterpret_cast<QPainter*>(m->WParam));
        painted = true;
      }
      m->Result = ex ? kEditPaintFrameExKey : (painted ? kEditAnswerPainted : 0);
      return true;
    }
  }
  return TtwCustomEdit::event(e);
}

void TtwSkinCustomEdit::resizeEvent(QResizeEvent* e) {
  TtwCustomEdit::resizeEvent(e);
  ApplyMargins();
}

// ---- state

void TtwSkinCustomEdit::enterEvent(QEnterEvent* e) {
  TtwCustomEdit::enterEvent(e);
  mouseInControl_ = true;
  ApplyLook();
  update();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TtwSkinCustomEdit::leaveEvent(QEvent* e) {
  TtwCustomEdit::leaveEvent(e);
  mouseInControl_ = false;
  leftImageHot_ = rightImageHot_ = false;
  SetButtonState(false, false);
  ApplyLook();
  update();
  if (OnMouseLeave) OnMouseLeave(this);
}

void TtwSkinCustomEdit::focusInEvent(QFocusEvent* e) {
  TtwCustomEdit::focusInEvent(e);
  ApplyLook();
  update();
}

void TtwSkinCustomEdit::focusOutEvent(QFocusEvent* e) {
  TtwCustomEdit::focusOutEvent(e);
  ApplyLook();
  update();
}

void TtwSkinCustomEdit::changeEvent(QEvent* e) {
  TtwCustomEdit::changeEvent(e);
  if (e->type() == QEvent::EnabledChange) update();
}

void TtwSkinCustomEdit::SetButtonState(bool hot, bool down) {
  if (hot == buttonHot_ && down == buttonDown_) return;
  buttonHot_ = hot;
  buttonDown_ = down;
  update();
}

void TtwSkinCustomEdit::mousePressEvent(QMouseEvent* e) {
  const TtwEditPart part = EditPartAt(Layout(), buttonMode_, e->position().toPoint());
  if (e->button() == Qt::LeftButton && part != TtwEditPart::Text && part != TtwEditPart::Frame) {
    if (part == TtwEditPart::Button) SetButtonState(true, true);
    if (part == TtwEditPart::LeftImage) leftImageDown_ = leftImageHot_ = true;
    if (part == TtwEditPart::RightImage) rightImageDown_ = rightImageHot_ = true;
    if (part != TtwEditPart::Button) setFocus(Qt::MouseFocusReason);
    update();
    e->accept();
    return;
  }
  TtwCustomEdit::mousePressEvent(e);
}

void TtwSkinCustomEdit::mouseMoveEvent(QMouseEvent* e) {
  const TtwEditPart part = EditPartAt(Layout(), buttonMode_, e->position().toPoint());
  const bool overButton = part == TtwEditPart::Button;
  if (buttonMode_) SetButtonState(overButton, buttonDown_);
  const bool lh = part == TtwEditPart::LeftImage, rh = part == TtwEditPart::RightImage;
  if (lh != leftImageHot_ || rh != rightImageHot_) {
    leftImageHot_ = lh;
    rightImageHot_ = rh;
    update();
  }
  setCursor(part == TtwEditPart::Text ? Qt::IBeamCursor : Qt::ArrowCursor);
  if (buttonDown_ || leftImageDown_ || rightImageDown_) {
    e->accept();
    return;
  }
  TtwCustomEdit::mouseMoveEvent(e);
}

void TtwSkinCustomEdit::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && (buttonDown_ || leftImageDown_ || rightImageDown_)) {
    const TtwEditPart part = EditPartAt(Layout(), buttonMode_, e->position().toPoint());
    const bool button = buttonDown_ && part == TtwEditPart::Button;
    const bool leftImage = leftImageDown_ && part == TtwEditPart::LeftImage;
    const bool rightImage = rightImageDown_ && part == TtwEditPart::RightImage;
    leftImageDown_ = rightImageDown_ = false;
    SetButtonState(part == TtwEditPart::Button, false);
    update();
    e->accept();
    if (button) {
      setFocus(Qt::MouseFocusReason);
      ButtonClicked();
    }
    if (leftImage && OnLeftButtonClick) OnLeftButtonClick(this);
    if (rightImage && OnRightButtonClick) OnRightButtonClick(this);
    return;
  }
  TtwCustomEdit::mouseReleaseEvent(e);
}

void TtwSkinCustomEdit::mouseDoubleClickEvent(QMouseEvent* e) {
  // A quick second click on the button is a second click, not a word selection.
  if (EditPartAt(Layout(), buttonMode_, e->position().toPoint()) != TtwEditPart::Text &&
      EditPartAt(Layout(), buttonMode_, e->position().toPoint()) != TtwEditPart::Frame) {
    mousePressEvent(e);
    return;
  }
  TtwCustomEdit::mouseDoubleClickEvent(e);
}

void TtwSkinCustomEdit::ButtonClicked() {
  if (OnButtonClick) OnButtonClick(this);
}

TtwSkinButtonEdit::TtwSkinButtonEdit(QWidget* parent) : TtwSkinCustomEdit(parent) {
  skinDataName_ = QStringLiteral("buttonedit");
  SetButtonMode(true);
}

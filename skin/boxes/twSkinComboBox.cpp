// The combo box: its face drawn from the "combobox" record (or the default
// look), its items shown in a skinned drop-down list. Guarantees: a cancelled
// list restores the item shown before it opened, the list always opens inside
// the work area, and the item search reads the injected clock.
#include "skin/boxes/twSkinComboBox.h"

#include <QApplication>
#include <QCollator>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "platform/ImageList.h"
#include "skin/boxes/twBoxLooks.h"
#include "skin/boxes/twSkinEdits.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"

using namespace twBoxLooks;

namespace {

// A glyph piece with its transparent colour cleared.
QImage KeyedGlyph(const QImage& pic, const TRect& g, TColor transparent) {
  QImage glyph = pic.copy(g.ToQ()).convertToFormat(QImage::Format_ARGB32);
  const QRgb key = ColorToQ(transparent).rgb() & 0xFFFFFF;
  for (int y = 0; y < glyph.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(glyph.scanLine(y));
    for (int x = 0; x < glyph.width(); ++x)
      if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
  }
  return glyph;
}

// The first button record of the skin among names.
const TtwDataSkinButtonControl* FirstButtonRecord(const TtwSkinData* d, std::initializer_list<const char*> names) {
  if (!d) return nullptr;
  for (const char* name : names) {
    const int i = d->FindControlIndex(QString::fromLatin1(name));
    if (i < 0) continue;
    if (auto* b = dynamic_cast<const TtwDataSkinButtonControl*>(d->ControlRecords()[i])) return b;
  }
  return nullptr;
}

}  // namespace

TtwComboLayout LayoutComboBox(const TtwComboLayoutInput& in) {
  const int W = std::max(in.Width, 0), H = std::max(in.Height, 0);
  TtwComboLayout out;
  if (!in.Bound) {
    out.ButtonArea = RectFromEdges(std::max(2, W - 19), 2, W - 2, H - 2);
    out.ItemArea = RectFromEdges(2, 2, out.ButtonArea.left() - 1, H - 2);
    return out;
  }
  const int dW = W - in.SkinRect.Width();
  const int dH = in.UseSkinSize ? 0 : H - in.SkinRect.Height();
  const TRect& b = in.ButtonRect;
  const int bx = b.Left >= in.SkinRect.Width() - in.RightTopX ? dW : 0;
  out.ButtonArea = RectFromEdges(b.Left + bx, b.Top, b.Right + bx, b.Bottom + dH).intersected(QRect(0, 0, W, H));
  const TRect& c = in.ClientRect;
  out.ItemArea = RectFromEdges(c.Left, c.Top, c.Right + dW, c.Bottom + dH).intersected(QRect(0, 0, W, H));
  return out;
}

// ---------------------------------------------------------------- combo box

TtwSkinComboBox::TtwSkinComboBox(QWidget* parent) : TtwSkinCustomControl(parent) {
  skinDataName_ = QStringLiteral("combobox");
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  resize(120, 20);
  list_ = new TtwPopupListBox(this, this);
  list_->SetSkinDataName(QString());
  autoScroll_.OnTimeout = [this] { AutoScrollTick(); };
}

TtwSkinComboBox::~TtwSkinComboBox() {
  // The list reports to this box: it goes first, quietly, while the box is
  // still whole.
  list_->Hide();
  delete list_;
}

QStringList TtwSkinComboBox::Items() const { return items_; }

static void SortNames(QStringList& l) {
  QCollator c{QLocale()};
  std::stable_sort(l.begin(), l.end(), [&](const QString& a, const QString& b) {
    const int r = c.compare(a, b);
    return r != 0 ? r < 0 : QString::compare(a, b) < 0;
  });
}

void TtwSkinComboBox::SetItems(const QStringList& items) {
  if (dropped_) CloseUp(false);
  items_ = items;
  if (sorted_) SortNames(items_);
  itemIndex_ = -1;
  indexBeforeDrop_ = -1;
  listDirty_ = true;
  update();
}

void TtwSkinComboBox::AddItem(const QString& item) {
  if (dropped_) CloseUp(false);
  items_.append(item);
  if (sorted_) {
    const QString current = itemIndex_ >= 0 ? items_.value(itemIndex_) : QString();
    SortNames(items_);
    if (itemIndex_ >= 0) itemIndex_ = indexBeforeDrop_ = int(items_.indexOf(current));
  }
  listDirty_ = true;
  update();
}

void TtwSkinComboBox::ClearItems() {
  if (dropped_) CloseUp(false);
  items_.clear();
  itemIndex_ = -1;
  indexBeforeDrop_ = -1;
  listDirty_ = true;
  update();
}

int TtwSkinComboBox::Count() const { return int(items_.size()); }

int TtwSkinComboBox::ItemIndex() const { return dropped_ ? list_->ItemIndex() : itemIndex_; }

void TtwSkinComboBox::SetSorted(bool v) {
  sorted_ = v;
  if (v) SortItems();
}

void TtwSkinComboBox::SortItems() {
  const QString current = itemIndex_ >= 0 ? items_.value(itemIndex_) : QString();
  SortNames(items_);
  if (itemIndex_ >= 0) itemIndex_ = indexBeforeDrop_ = int(items_.indexOf(current));
  listDirty_ = true;
  update();
}

void TtwSkinComboBox::SyncList() {
  if (!listDirty_) return;
  list_->SetItems(items_);
  listDirty_ = false;
}

void TtwSkinComboBox::SelectItem(int index, bool notify) {
  itemIndex_ = (index >= 0 && index < Count()) ? index : -1;
  if (dropped_) list_->SetItemIndex(itemIndex_);
  if (itemIndex_ >= 0 && text_ != items_[itemIndex_]) {
    text_ = items_[itemIndex_];
    if (edit_) edit_->setText(text_);
    TextChanged();
  }
  indexBeforeDrop_ = itemIndex_;
  update();
  if (notify) {
    if (OnClick) OnClick();
    emit clicked();
    Change();
  }
}

void TtwSkinComboBox::SetItemIndex(int index) { SelectItem(index, true); }

void TtwSkinComboBox::SetText(const QString& text) {
  if (style_ == twcbFixedStyle) {
    // The box shows its current item: a text naming an item selects it, any
    // other text leaves no item selected and is shown as it is.
    itemIndex_ = indexBeforeDrop_ = int(items_.indexOf(text));
  }
  if (text == text_) {
    update();
    return;
  }
  text_ = text;
  if (edit_ && edit_->text() != text) edit_->setText(text);
  update();
  TextChanged();
}

void TtwSkinComboBox::TextChanged() {
  if (OnChange) OnChange();
  emit changed();
}

void TtwSkinComboBox::EditChanged(const QString& typed) {
  int hit = -1;
  if (!typed.isEmpty())
    for (int i = 0; i < Count() && hit < 0; ++i)
      if (items_[i].startsWith(typed, Qt::CaseInsensitive)) hit = i;
  text_ = typed;
  // Completion only adds to what was typed at the end: never after a
  // deletion (the user is taking text away), never inside the text, and
  // never while an input method composes (the text is not typed yet).
  const bool complete = autoComplete_ && hit >= 0 && !deleting_ && !edit_->Composing() &&
                        edit_->cursorPosition() == typed.size() && items_[hit].size() > typed.size();
  if (complete) {
    const int n = int(typed.size());
    text_ = items_[hit];
    edit_->setText(text_);
    edit_->setSelection(int(text_.size()), n - int(text_.size()));  // the completed rest, caret after the typed part
  }
  itemIndex_ = int(items_.indexOf(text_));
  if (dropped_ && hit >= 0) {
    if (autoComplete_) list_->SetItemIndex(hit);
    list_->ScrollToItem(hit);
  }
  update();
  TextChanged();
  Change();
}

void TtwSkinComboBox::SetStyle(TtwSkinCustomComboBoxStyle s) {
  if (s == style_) return;
  style_ = s;
  if (s == twcbEditStyle && !edit_) {
    edit_ = new TtwCustomEdit(this);
    edit_->setFont(defaultFont_);
    edit_->setText(text_);
    edit_->SetAutoSelect(false);
    connect(edit_, &QLineEdit::textEdited, this, [this](const QString& t) { EditChanged(t); });
    edit_->OnCancelMode = [this] { CloseUp(false); };
    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    LayoutEdit();
    edit_->show();
  } else if (s == twcbFixedStyle && edit_) {
    setFocusProxy(nullptr);
    delete edit_;
    edit_ = nullptr;
  }
  update();
}

void TtwSkinComboBox::SetUseSkinSize(bool v) {
  useSkinSize_ = v;
  ApplySkin();
}

const TtwDataSkinComboBox* TtwSkinComboBox::ComboRecord() const {
  return dynamic_cast<const TtwDataSkinComboBox*>(Record());
}

void TtwSkinComboBox::FindSkinRecord() {
  TtwSkinCustomControl::FindSkinRecord();
  // A combobox record without a piece has no face to draw: default look.
  if (recordIndex_ != -1 && (!ComboRecord() || geo_.PieceMode == pmNone)) {
    recordIndex_ = -1;
    geo_.Unbind();
  }
}

TtwComboLayout TtwSkinComboBox::Layout() const {
  TtwComboLayoutInput in;
  in.Width = width();
  in.Height = height();
  const TtwDataSkinComboBox* r = ComboRecord();
  // The tool-button look spreads over the whole control, as unbound.
  if (r && !toolButtonStyle_) {
    in.Bound = true;
    in.UseSkinSize = useSkinSize_;
    in.SkinRect = geo_.PieceRect;
    in.ClientRect = geo_.SkinClientRect;
    in.ButtonRect = r->buttonrect;
    in.RightTopX = geo_.RightTopPoint.X;
  }
  return LayoutComboBox(in);
}

void TtwSkinComboBox::FitToSkin(int& width, int& height) {
  // Without the skin's size the box keeps any size it is given.
  if (useSkinSize_) TtwSkinCustomControl::FitToSkin(width, height);
}

void TtwSkinComboBox::UpdateRegion() {
  if (useSkinSize_) TtwSkinCustomControl::UpdateRegion();
  else if (!mask().isEmpty()) clearMask();
}

void TtwSkinComboBox::ApplySkin() {
  TtwSkinCustomControl::ApplySkin();
  const TtwDataSkinComboBox* r = ComboRecord();
  list_->SetSkinData(skinData_);
  list_->SetSkinDataName(r ? r->listboxname : QString());
  list_->ApplySkin();
  LayoutEdit();
  update();
}

void TtwSkinComboBox::LayoutEdit() {
  if (!edit_) return;
  const QRect a = ItemAreaRect();
  const int h = QFontMetrics(edit_->font()).height() + 2;
  edit_->setGeometry(a.left() + 1, a.top() + a.height() / 2 - h / 2, a.width() - 1, h);
}

// ---------------------------------------------------------------- painting

void TtwSkinComboBox::PaintDefault(QImage& bitmap) {
  if (toolButtonStyle_) {
    PaintToolButton(bitmap, false);
    return;
  }
  QPainter p(&bitmap);
  const int W = width(), H = height();
  p.fillRect(0, 0, W, H, C::BtnFace);
  QRect r(0, 0, W, H);
  const bool focused = hasFocus() && !dropped_;
  DrawBevel(p, r, focused || mouseInControl_ ? C::Highlight : C::BtnShadow,
            focused || mouseInControl_ ? C::Highlight : C::BtnShadow);
  p.fillRect(r, isEnabled() ? defaultColor_ : C::BtnFace);
  p.end();
  PaintButton(bitmap, false);
  if (!edit_) PaintItemArea(bitmap, false);
}

void TtwSkinComboBox::PaintSkin(QImage& bitmap) {
  if (toolButtonStyle_) {
    PaintToolButton(bitmap, true);
    return;
  }
  const TtwDataSkinComboBox* r = ComboRecord();
  const bool hotLook = !r->activeskinrect.IsEmpty();
  const bool active = hotLook && (mouseInControl_ || hasFocus() || (edit_ && edit_->hasFocus()));
  const TRect frame = active ? r->activeskinrect : geo_.PieceRect;
  if (useSkinSize_) {
    if (active) {
      QImage part;
      ComposeThreePieceH(geo_.SourcePicture, frame, geo_.LeftTopPoint.X, frame.Width() - geo_.RightTopPoint.X,
                         geo_.StretchEffect(), width(), part);
      DrawLogical(bitmap, QPoint(0, 0), part);
    } else {
      TtwSkinCustomControl::PaintSkin(bitmap);
    }
  } else {
    // Stretched over any size: corners kept, edges and middle stretched.
    QImage part = TwNewSurface(width(), height(), QImage::Format_RGB32);
    part.fill(C::BtnFace);
    ComposeClientStretched(part, geo_.SourcePicture, frame, geo_.SkinClientRect, true);
    DrawLogical(bitmap, QPoint(0, 0), part);
  }
  PaintButton(bitmap, true);
  if (!edit_) PaintItemArea(bitmap, true);
}

void TtwSkinComboBox::PaintButton(QImage& face, bool bound) {
  const QRect area = ButtonArea();
  if (area.isEmpty()) return;
  const bool down = buttonDown_ && buttonHot_;
  QPainter p(&face);
  if (!bound) {
    DrawDropButton(p, area, buttonHot_, down || dropped_, isEnabled());
    return;
  }
  const TtwDataSkinComboBox* r = ComboRecord();
  if (useSkinSize_) {
    const TRect piece = !isEnabled() && !r->unenabledbuttonrect.IsEmpty() ? r->unenabledbuttonrect
                        : down                                            ? r->downbuttonrect
                        : buttonHot_                                      ? r->activebuttonrect
                                                                          : TRect{};
    // The frame piece already shows the normal button.
    if (!piece.IsEmpty()) p.drawImage(area.topLeft(), geo_.SourcePicture, piece.ToQ());
    return;
  }
  // Stretched: the first button record the skin has, in its state piece.
  const TtwDataSkinButtonControl* b = FirstButtonRecord(skinData_, {"combobutton", "editbutton", "resizebutton"});
  if (!b) return;
  const QImage* pic = skinData_->ActivePicture(b->pictureindex);
  if (!pic) return;
  auto orNormal = [&](const TRect& t) { return t.IsEmpty() ? b->skinrect : t; };
  const TRect piece = !isEnabled() ? orNormal(b->disabledskinrect)
                      : down       ? orNormal(b->downskinrect.IsEmpty() ? b->activeskinrect : b->downskinrect)
                      : buttonHot_ ? orNormal(b->activeskinrect)
                                   : b->skinrect;
  const TPieceAnchors a{b->lefttoppoint, b->righttoppoint, b->leftbottompoint, b->rightbottompoint, b->clientrect};
  QImage img;
  const int kind = ::PieceMode(piece, a);
  if (kind == pmNinePiece) {
    ComposeNinePiece(*pic, piece, a, area.width(), area.height(),
                     ShiftAnchors(pmNinePiece, piece, a, area.width(), area.height()),
                     TEdgeStretch{b->leftstretch, b->topstretch, b->rightstretch, b->bottomstretch}, true,
                     b->stretcheffect, b->stretchtype, img);
  } else {
    img = TwNewSurface(area.width(), area.height(), QImage::Format_RGB32);
    ComposeClientStretched(img, *pic, piece, b->clientrect, true);
  }
  p.drawImage(area.topLeft(), img);
  if (b->menumarkerrect.IsEmpty()) {
    // A disabled box still shows that it drops down, greyed.
    const TColor c = !isEnabled() ? b->disabledfontcolor
                     : down       ? b->downfontcolor
                     : buttonHot_ ? b->activefontcolor
                                  : b->fontcolor;
    DrawArrowMark(p, TRect::FromQ(area.translated(0, down ? 2 : 0)), c, 4);
    return;
  }
  const TRect g = down && !b->menumarkerdownrect.IsEmpty()     ? b->menumarkerdownrect
                  : buttonHot_ && !b->menumarkeractiverect.IsEmpty() ? b->menumarkeractiverect
                                                                     : b->menumarkerrect;
  const QImage glyph = KeyedGlyph(*pic, g, b->menumarkertransparentcolor);
  const QPoint at(area.left() + (area.width() - glyph.width()) / 2,
                  area.top() + (area.height() - glyph.height()) / 2 + (down ? 1 : 0));
  p.drawImage(at, glyph);
}

void TtwSkinComboBox::PaintItemArea(QImage& face, bool bound) {
  const QRect area = ItemAreaRect();
  if (area.isEmpty()) return;
  const bool focused = hasFocus() && !dropped_ && isEnabled();
  const int shown = dropped_ ? indexBeforeDrop_ : itemIndex_;
  const QString text = (shown >= 0 && shown < Count()) ? items_[shown] : text_;
  QPainter p(&face);
  if (!bound) {
    QColor fg = isEnabled() ? defaultFontColor_ : C::GrayText;
    if (focused) {
      p.fillRect(area, C::Highlight);
      fg = C::HighlightText;
    }
    p.setFont(defaultFont_);
    p.setPen(fg);
    p.setClipRect(area);
    PaintItemContent(p, shown, text, area.adjusted(2, 0, -2, 0), focused);
    if (focused) DrawDottedFocus(p, TRect::FromQ(area));
    return;
  }
  const TtwDataSkinComboBox* r = ComboRecord();
  const bool hot = !r->activeskinrect.IsEmpty() && mouseInControl_ && !r->activeitemrect.IsEmpty();
  const TRect focusPiece = r->focusitemrect.IsEmpty() ? r->itemrect : r->focusitemrect;
  const TRect piece = focused ? focusPiece : hot ? r->activeitemrect : r->itemrect;
  const bool stretch = focused ? r->focusitemstretcheffect : r->itemstretcheffect;
  const int dW = area.width() - (r->itemrect.IsEmpty() ? geo_.SkinClientRect.Width() : r->itemrect.Width());
  QRect textArea;
  if (useSkinSize_) {
    if (!piece.IsEmpty()) {
      QImage img;
      ComposeThreePieceH(geo_.SourcePicture, piece, r->itemleftoffset, r->itemrightoffset, stretch, area.width(),
                         img);
      p.drawImage(area.topLeft(), img);
    }
    const TRect& t = r->itemtextrect;
    textArea = QRect(area.left() + t.Left, area.top() + t.Top, std::max(0, t.Width() + dW), t.Height());
  } else {
    if (!piece.IsEmpty()) {
      QImage img = TwNewSurface(area.width(), area.height(), QImage::Format_RGB32);
      TRect cl = r->itemtextrect;
      if (!(piece == r->itemrect)) {
        if (focused) cl = TRect{cl.Left + 1, cl.Top + 1, cl.Right - 1, cl.Bottom - 1};
        cl.Right -= r->itemrect.Width() - piece.Width();
        cl.Top -= r->itemrect.Height() - piece.Height();
      }
      ComposeClientStretched(img, geo_.SourcePicture, piece, cl, true);
      p.drawImage(area.topLeft(), img);
    }
    const TRect& t = r->itemtextrect;
    const int dH = height() - geo_.PieceRect.Height();
    textArea = QRect(area.left() + t.Left, area.top() + t.Top, std::max(0, t.Width() + dW),
                     std::max(0, t.Height() + dH));
  }
  QColor fg = ColorToQ(focused ? r->focusfontcolor : hot ? r->activefontcolor : r->fontcolor);
  if (useSkinSize_ && !isEnabled()) {
    const int e = skinData_->FindControlIndex(QStringLiteral("edit"));
    auto* edit = e >= 0 ? dynamic_cast<const TtwDataSkinEditControl*>(skinData_->ControlRecords()[e]) : nullptr;
    fg = edit ? ColorToQ(edit->disabledfontcolor) : C::GrayText;
  }
  p.setFont(WithCharSet(useSkinFont_ ? TwSkinFont(r->fontname, r->fontheight, r->fontstyle) : defaultFont_));
  p.setPen(fg);
  p.setClipRect(area);
  if (focused && r->showfocus && !OnComboBoxDrawItem) DrawDottedFocus(p, TRect::FromQ(area));
  PaintItemContent(p, shown, text, textArea, focused);
}

void TtwSkinComboBox::PaintItemContent(QPainter& p, int index, const QString& text, const QRect& textArea,
                                       bool focused) {
  if (OnComboBoxDrawItem) {
    if (index >= 0 && index < Count()) OnComboBoxDrawItem(p, index, textArea, TtwListItemState{false, focused});
    return;
  }
  const TImageList* images = list_->Images();
  int io = 0;
  if (images) {
    const int pic = list_->ImageIndex() >= 0 ? list_->ImageIndex() : index;
    if (index >= 0 && images->Has(pic))
      images->Draw(p, textArea.left(), textArea.top() + (textArea.height() - images->Height()) / 2, pic, isEnabled());
    // The text keeps the picture's room even when this item has none.
    io = images->Width() + 2;
  }
  const QList<int> tabs = list_->TabWidths();
  if (!tabs.isEmpty()) {
    // Stops count from the item area's left edge, as in the list's rows.
    DrawTabbedText(p, text, textArea.left() + io + 2, textArea, ItemAreaRect().left(), tabs);
  } else {
    p.drawText(textArea.adjusted(io, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
  }
}

void TtwSkinComboBox::PaintToolButton(QImage& face, bool bound) {
  const int W = width(), H = height();
  const bool hot = mouseInControl_ || hasFocus();
  const int shown = dropped_ ? indexBeforeDrop_ : itemIndex_;
  const QString text = (shown >= 0 && shown < Count()) ? items_[shown] : text_;
  // An open list shows the button pressed: its content sinks by 2 pixels.
  const int sink = dropped_ ? 2 : 0;
  const QRect item = RectFromEdges(2, 2, W - 17, H - 2).translated(sink, sink);
  const QRect mark = RectFromEdges(W - 15, 0, W, H).translated(sink, sink);
  QPainter p(&face);
  if (!bound) {
    const QColor frame = dropped_ || hot ? C::HotFrame : C::BtnShadow;
    const QColor fill = dropped_ ? C::DownFill : hot ? C::HotFill : C::BtnFace;
    p.fillRect(0, 0, W, H, fill);
    QRect r(0, 0, W, H);
    DrawBevel(p, r, frame, frame);
    p.setFont(defaultFont_);
    p.setPen(isEnabled() ? defaultFontColor_ : C::GrayText);
    p.save();
    p.setClipRect(item);
    PaintItemContent(p, shown, text, item, false);
    p.restore();
    DrawDropMark(p, TRect::FromQ(mark), ColorFromQ(p.pen().color()));
    return;
  }
  const TtwDataSkinButtonControl* b = FirstButtonRecord(skinData_, {"resizetoolbutton", "resizebutton"});
  const QImage* pic = b ? skinData_->ActivePicture(b->pictureindex) : nullptr;
  if (!b || !pic) return;
  auto orNormal = [&](const TRect& t) { return t.IsEmpty() ? b->skinrect : t; };
  const TRect piece = dropped_ ? orNormal(b->downskinrect) : hot ? orNormal(b->activeskinrect) : b->skinrect;
  const TPieceAnchors a{b->lefttoppoint, b->righttoppoint, b->leftbottompoint, b->rightbottompoint, b->clientrect};
  QImage img;
  if (::PieceMode(piece, a) == pmNinePiece) {
    ComposeNinePiece(*pic, piece, a, W, H, ShiftAnchors(pmNinePiece, piece, a, W, H),
                     TEdgeStretch{b->leftstretch, b->topstretch, b->rightstretch, b->bottomstretch}, true,
                     b->stretcheffect, b->stretchtype, img);
  } else {
    img = TwNewSurface(W, H, QImage::Format_RGB32);
    ComposeClientStretched(img, *pic, piece, b->clientrect, true);
  }
  p.drawImage(0, 0, img);
  const TColor fc = dropped_ ? b->downfontcolor
                    : hot    ? b->activefontcolor
                    : isEnabled() ? b->fontcolor
                                  : b->disabledfontcolor;
  p.setFont(WithCharSet(useSkinFont_ ? TwSkinFont(b->fontname, b->fontheight, b->fontstyle) : defaultFont_));
  p.setPen(ColorToQ(fc));
  p.save();
  p.setClipRect(item);
  PaintItemContent(p, shown, text, item, false);
  p.restore();
  const TRect g = dropped_ && !b->menumarkerdownrect.IsEmpty() ? b->menumarkerdownrect
                  : hot && !b->menumarkeractiverect.IsEmpty()  ? b->menumarkeractiverect
                                                               : b->menumarkerrect;
  if (g.IsEmpty()) {
    DrawDropMark(p, TRect::FromQ(mark), dropped_ ? b->downfontcolor : fc);
    return;
  }
  const QImage glyph = KeyedGlyph(*pic, g, b->menumarkertransparentcolor);
  p.drawImage(QPoint(mark.left() + (mark.width() - glyph.width()) / 2, mark.top() + (mark.height() - glyph.height()) / 2),
              glyph);
}

void TtwSkinComboBox::SetToolButtonStyle(bool v) {
  if (v == toolButtonStyle_) return;
  toolButtonStyle_ = v;
  if (v) {
    SetStyle(twcbFixedStyle);
    SetUseSkinSize(false);
  }
  update();
}

void TtwSkinComboBox::SetImages(TImageList* images) {
  list_->SetImages(images);
  update();
}

void TtwSkinComboBox::SetImageIndex(int i) {
  list_->SetImageIndex(i);
  update();
}

void TtwSkinComboBox::SetTabWidths(const QList<int>& w) {
  list_->SetTabWidths(w);
  update();
}

void TtwSkinComboBox::SetListBoxDefaultFont(const QFont& f) {
  list_->SetDefaultFont(f);
  // The list takes a new font when it applies its skin.
  list_->ApplySkin();
}

void TtwSkinComboBox::SetListBoxUseSkinFont(bool v) {
  list_->SetUseSkinFont(v);
  list_->ApplySkin();
}

// ---------------------------------------------------------------- drop-down

void TtwSkinComboBox::DropDown() {
  if (dropped_ || !isEnabled() || Count() == 0) return;
  listEntered_ = false;
  SetScrollDirection(0);
  if (OnDropDown) OnDropDown();
  SyncList();
  if (list_->SkinData() != skinData_) ApplySkin();
  const int rows = std::min(Count(), dropDownCount_);
  list_->resize(listBoxWidth_ > 0 ? listBoxWidth_ : width(), list_->height());
  list_->SetRowCount(rows);
  const QRect control(mapToGlobal(QPoint(0, 0)), size());
  const QPoint at = PlaceDropDown(control, list_->size(), GetMonitorArea(this, true).ToQ());
  if (edit_) edit_->setFocus();
  indexBeforeDrop_ = itemIndex_;
  list_->SetItemIndex(itemIndex_);
  list_->ScrollToItem(std::max(itemIndex_, 0));
  dropped_ = true;
  list_->ShowAt(at);
  update();
}

void TtwSkinComboBox::CloseUp(bool accept) {
  SetScrollDirection(0);
  trackingList_ = false;
  if (!dropped_) return;
  dropped_ = false;
  const int row = list_->ItemIndex();
  list_->Hide();
  if (accept && row >= 0 && row < Count()) {
    SelectItem(row, true);
    if (edit_) edit_->selectAll();
  } else {
    list_->SetItemIndex(indexBeforeDrop_);
    itemIndex_ = indexBeforeDrop_;
  }
  update();
  if (accept && OnCloseUp) OnCloseUp();
}

void TtwSkinComboBox::MoveListIndex(int index) {
  if (Count() == 0) return;
  const int i = std::clamp(index, 0, Count() - 1);
  list_->SetItemIndex(i);
  list_->InnerList()->scrollToItem(list_->InnerList()->item(i));
}

void TtwSkinComboBox::PopupClosed() {
  // Closed by Qt (a click elsewhere): nothing is taken.
  if (dropped_) CloseUp(false);
}

void TtwSkinComboBox::PopupMouse(QEvent::Type type, Qt::MouseButton button, const QPoint& global, bool overList) {
  if (type == QEvent::MouseButtonPress) {
    if (overList && button == Qt::LeftButton) {
      // A press in the list is followed like one that opened it.
      trackingList_ = listEntered_ = true;
      FollowList(global);
    } else if (!list_->rect().contains(list_->mapFromGlobal(global))) {
      CloseUp(false);
    }
    return;
  }
  if (type == QEvent::MouseMove) {
    if (trackingList_) FollowList(global);
    else if (overList) MoveListIndex(list_->ItemIndexAt(list_->InnerList()->viewport()->mapFromGlobal(global)));
    // The button keeps its hot look while a press that began on it is held.
    const bool hot = ButtonArea().contains(mapFromGlobal(global));
    if (hot != buttonHot_) buttonHot_ = hot, update();
    return;
  }
  if (type != QEvent::MouseButtonRelease || button != Qt::LeftButton) return;
  const bool take = trackingList_ && listEntered_;
  trackingList_ = false;
  SetScrollDirection(0);
  if (take) CloseUp(overList);
  if (buttonDown_) {
    buttonDown_ = false;
    update();
  }
}

void TtwSkinComboBox::FollowList(const QPoint& global) {
  QWidget* vp = list_->InnerList()->viewport();
  const int y = vp->mapFromGlobal(global).y();
  if (y >= 0 && y < vp->height()) {
    SetScrollDirection(0);
    // The row at the pointer's height, even with the pointer beside the list.
    const int row = list_->ItemIndexAt(QPoint(1, y));
    if (row >= 0) MoveListIndex(row);
    listEntered_ = true;
  } else if (listEntered_ && list_->VScrollVisible()) {
    SetScrollDirection(y < 0 ? 1 : 2);
  }
}

void TtwSkinComboBox::SetScrollDirection(int d) {
  if (d == scrollDirection_) return;
  scrollDirection_ = d;
  if (d == 0) autoScroll_.Stop();
  else autoScroll_.Start(kComboAutoScrollMs);
}

void TtwSkinComboBox::AutoScrollTick() {
  const int i = list_->ItemIndex();
  const int next = scrollDirection_ == 1 ? i - 1 : i + 1;
  // At either end there is nothing left to scroll to.
  if (next < 0 || next >= Count()) {
    SetScrollDirection(0);
    return;
  }
  MoveListIndex(next);
}

// ---------------------------------------------------------------- mouse

void TtwSkinComboBox::mousePressEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mousePressEvent(e);
  if (!isEnabled()) return;
  if (!edit_ && !hasFocus()) setFocus(Qt::MouseFocusReason);
  if (e->button() != Qt::LeftButton) return;
  const QPoint p = e->position().toPoint();
  buttonHot_ = ButtonArea().contains(p);
  // A tool button is one button: a press anywhere on it opens the list.
  if (!(buttonHot_ || toolButtonStyle_ || (!edit_ && ItemAreaRect().contains(p)))) {
    CloseUp(false);
    return;
  }
  buttonDown_ = true;
  update();
  if (dropped_) {
    CloseUp(false);
    return;
  }
  listEntered_ = false;
  trackingList_ = true;
  DropDown();
}

void TtwSkinComboBox::mouseMoveEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseMoveEvent(e);
  if (trackingList_ && dropped_) {
    FollowList(e->globalPosition().toPoint());
    return;
  }
  const bool hot = ButtonArea().contains(e->position().toPoint());
  if (hot != buttonHot_) {
    buttonHot_ = hot;
    update();
  }
}

void TtwSkinComboBox::mouseReleaseEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton) return;
  if (dropped_) {
    const QPoint g = e->globalPosition().toPoint();
    PopupMouse(QEvent::MouseButtonRelease, e->button(), g,
               list_->InnerList()->viewport()->rect().contains(list_->InnerList()->viewport()->mapFromGlobal(g)));
    return;
  }
  trackingList_ = false;
  if (buttonDown_) {
    buttonDown_ = false;
    update();
  }
}

// ---------------------------------------------------------------- keys

int TtwSkinComboBox::Search(QChar c, int from) {
  const qint64 now = TwClock::Current().NowMs();
  if (autoComplete_) {
    if (now - lastSearchTick_ >= kComboSearchResetMs) searchText_.clear();
    lastSearchTick_ = now;
    searchText_ += c;
  } else {
    searchText_ = c;
  }
  if (searchText_.isEmpty() || items_.isEmpty()) return -1;
  const int n = Count();
  if (searchText_.size() == 1) {
    // Repeating a letter steps through the items that begin with it.
    for (int k = 1; k <= n; ++k) {
      const int i = ((from < 0 ? -1 : from) + k) % n;
      if (items_[i].startsWith(searchText_, Qt::CaseInsensitive)) return i;
    }
    return -1;
  }
  for (int i = 0; i < n; ++i)
    if (items_[i].startsWith(searchText_, Qt::CaseInsensitive)) return i;
  return -1;
}

bool TtwSkinComboBox::HandleKey(QKeyEvent* e) {
  const int last = Count() - 1;
  const bool alt = e->modifiers() & Qt::AltModifier;
  const int index = ItemIndex();
  // Closed, a key goes through SelectItem; open, it only moves the list's
  // row, so that Esc can still bring back the item shown before.
  auto go = [&](int i) {
    if (Count() == 0) return;
    i = std::clamp(i, 0, last);
    if (dropped_) MoveListIndex(i);
    else if (i != itemIndex_) SelectItem(i, true);
    // The edit style shows the item whole and selected, ready to be typed over.
    if (edit_ && !dropped_) edit_->selectAll();
  };
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!dropped_) return false;
      CloseUp(true);
      return true;
    case Qt::Key_Escape:
      if (!dropped_) return false;
      CloseUp(false);
      return true;
    case Qt::Key_F4:
      dropped_ ? CloseUp(false) : DropDown();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Left:
      if (alt) {
        if (dropped_) CloseUp(false);
        return true;
      }
      if (index > 0) go(index - 1);
      return true;
    case Qt::Key_Down:
    case Qt::Key_Right:
      if (alt) {
        if (dropped_) CloseUp(false);
        else DropDown();
        return true;
      }
      if (index < last) go(index + 1);
      return true;
    // Page Up moves by DropDownCount + 1 and Page Down by DropDownCount - 1:
    // the two steps are not meant to be equal.
    case Qt::Key_PageUp:
      go(index - dropDownCount_ - 1);
      return true;
    case Qt::Key_PageDown:
      go(index + dropDownCount_ - 1);
      return true;
    case Qt::Key_Home:
      go(0);
      return true;
    case Qt::Key_End:
      go(last);
      return true;
    default:
      break;
  }
  if (!edit_ && !e->text().isEmpty() && e->text()[0].isPrint() && !(e->modifiers() & Qt::ControlModifier)) {
    const int hit = Search(e->text()[0], index);
    if (hit >= 0) go(hit);
    return true;
  }
  return false;
}

void TtwSkinComboBox::PopupKey(QKeyEvent* e) {
  if (!HandleKey(e)) e->ignore();
}

void TtwSkinComboBox::keyPressEvent(QKeyEvent* e) {
  if (!HandleKey(e)) TtwSkinCustomControl::keyPressEvent(e);
}

void TtwSkinComboBox::wheelEvent(QWheelEvent* e) {
  const int d = e->angleDelta().y();
  const int i = ItemIndex();
  const int next = d < 0 ? i + 1 : d > 0 ? i - 1 : i;
  if (next != i && next >= 0 && next < Count()) {
    if (dropped_) MoveListIndex(next);
    else SelectItem(next, true);
  }
  e->accept();
}

void TtwSkinComboBox::focusInEvent(QFocusEvent* e) {
  TtwSkinCustomControl::focusInEvent(e);
  update();
}

void TtwSkinComboBox::focusOutEvent(QFocusEvent* e) {
  TtwSkinCustomControl::focusOutEvent(e);
  // Opening the list moves Qt's focus to the pop-up for a while: that is
  // not the box losing the focus.
  if (e->reason() != Qt::PopupFocusReason && !edit_) CloseUp(false);
  update();
}

void TtwSkinComboBox::enterEvent(QEnterEvent* e) {
  TtwSkinCustomControl::enterEvent(e);
  mouseInControl_ = true;
  update();
}

void TtwSkinComboBox::leaveEvent(QEvent* e) {
  TtwSkinCustomControl::leaveEvent(e);
  mouseInControl_ = false;
  buttonHot_ = false;
  update();
}

void TtwSkinComboBox::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    if (!isEnabled()) CloseUp(false);
    update();
  }
  if (e->type() == QEvent::FontChange) LayoutEdit();
  TtwSkinCustomControl::changeEvent(e);
}

void TtwSkinComboBox::resizeEvent(QResizeEvent* e) {
  TtwSkinCustomControl::resizeEvent(e);
  LayoutEdit();
}

bool TtwSkinComboBox::eventFilter(QObject* watched, QEvent* e) {
  if (watched == edit_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    deleting_ = k->key() == Qt::Key_Backspace || k->key() == Qt::Key_Delete || k->matches(QKeySequence::Cut);
    // The edit keeps its own editing keys; the list keys act on the box.
    switch (k->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_F4:
        return HandleKey(k);
      default:
        break;
    }
  }
  return TtwSkinCustomControl::eventFilter(watched, e);
}

// One open level of a skinned popup menu: its entries, size, frame, scrolled
// view, painting, and the mouse and keys that reach it. Decisions that span
// levels (opening, closing, running an entry) go back to the controller.
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>
#include <QTimerEvent>
#include <QWheelEvent>
#include <algorithm>

#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/twUtils.h"
#include "skin/menus/twSkinMenus.h"

Q_DECLARE_METATYPE(TtwMenuDrawItem)

namespace {

constexpr int kDefaultColumnExtra = 2;
constexpr int kDefaultColumnNoImages = 21;
constexpr double kMorphStep = 0.2;

// Arrow directions of DrawArrowMark.
constexpr int kArrowUp = 3;
constexpr int kArrowDown = 4;

const TtwDataSkinMenuItem* FirstMenuItemRecord(const TtwSkinData* data) {
  if (!data || data->Empty()) return nullptr;
  for (auto* r : data->ObjectRecords())
    if (auto* m = dynamic_cast<const TtwDataSkinMenuItem*>(r)) return m;
  return nullptr;
}

}  // namespace

TImageList* TwMenuImages(const QMenu* menu) {
  if (!menu) return nullptr;
  return qobject_cast<TImageList*>(menu->property("Images").value<QObject*>());
}

void TwSetMenuImages(QMenu* menu, TImageList* images) {
  if (menu) menu->setProperty("Images", QVariant::fromValue<QObject*>(images));
}

void TwSetMenuDrawItem(QAction* action, TtwMenuDrawItem handler) {
  if (action) action->setProperty("twDrawItem", QVariant::fromValue(std::move(handler)));
}

// ---- construction and geometry -----------------------------------------------

TtwSkinPopupWindow::TtwSkinPopupWindow(TtwSkinMenu* menu)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), menu_(menu) {
  // A click outside closes the menu and must not reach the window under it.
  setAttribute(Qt::WA_NoMouseReplay);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_X11NetWmWindowTypePopupMenu);
  setMouseTracking(true);
}

void TtwSkinPopupWindow::Open(int level, TtwSkinData* data, QMenu* owner, const QList<QAction*>& actions,
                              bool merged) {
  level_ = level;
  data_ = data;
  owner_ = owner;
  retired_ = false;
  windowRecord_ = nullptr;
  itemRecord_ = nullptr;
  windowPicture_ = maskPicture_ = itemPicture_ = nullptr;
  entries_.clear();
  heights_.clear();
  active_ = -1;
  scrollDir_ = 0;
  lastMouse_ = QPoint(-100000, -100000);
  view_ = TtwMenuView{};
  backgroundCopy_ = QImage();
  composedValid_ = false;
  pieces_.Clear();
  hint_.clear();
  imageSpace_ = 0;
  if (!mask().isEmpty()) clearMask();
  if (windowOpacity() != 1.0) setWindowOpacity(1.0);
  if (data && !data->Empty() && data->PopupWindowRecord()) {
    windowRecord_ = data->PopupWindowRecord();
    windowPicture_ = data->ActivePicture(windowRecord_->windowpictureindex);
    if (!windowPicture_) windowRecord_ = nullptr;
    else maskPicture_ = data->ActivePicture(windowRecord_->maskpictureindex);
  }
  itemRecord_ = FirstMenuItemRecord(data);
  itemPicture_ = TwMenuItemPicture(data, itemRecord_);
  // A menu-item record without a usable picture would size entries from
  // pieces that cannot be drawn: such a level takes the default look.
  if (!itemPicture_) itemRecord_ = nullptr;
  if (!itemRecord_) windowRecord_ = nullptr, windowPicture_ = maskPicture_ = nullptr;
  images_ = TwMenuImages(owner);
  font_ = windowRecord_ && itemRecord_ && menu_->UseSkinFont
              ? TwRecordFont(itemRecord_->fontname, itemRecord_->fontheight, itemRecord_->fontstyle)
              : menu_->DefMenuItemFont;
  setFont(font_);
  const int glyphColumn = images_ ? images_->Width() + 5 : 19;
  metrics_ = TtwMenuMetrics::From(windowRecord_, itemRecord_, windowPicture_ ? windowPicture_->width() : 0,
                                  windowPicture_ ? windowPicture_->height() : 0, menu_->DefMenuItemHeight,
                                  glyphColumn);
  BuildEntries(actions);
  for (const Entry& e : entries_) {
    if (!e.Item.Bitmap.isNull()) imageSpace_ = std::max(imageSpace_, e.Item.Bitmap.width());
    else if (images_ && images_->Has(e.Item.ImageIndex)) imageSpace_ = std::max(imageSpace_, images_->Width());
  }
  // Room for captions pushed right by a picture.
  metrics_.GlyphColumn = std::max(metrics_.GlyphColumn, imageSpace_ > 0 ? imageSpace_ + 8 : 0);
  Size(merged);
}

TtwSkinPopupWindow::~TtwSkinPopupWindow() = default;

void TtwSkinPopupWindow::BuildEntries(const QList<QAction*>& actions) {
  const bool tidy = owner_ && owner_->separatorsCollapsible();
  for (QAction* a : actions) {
    if (!a || !a->isVisible()) continue;
    Entry e;
    e.Action = a;
    e.Item = TtwMenuItemData::FromAction(a);
    // No leading or doubled separators; a trailing one is dropped below.
    if (tidy && e.Item.IsSeparator() && (entries_.empty() || entries_.back().Item.IsSeparator())) continue;
    entries_.push_back(std::move(e));
  }
  if (tidy) {
    while (!entries_.empty() && entries_.back().Item.IsSeparator()) entries_.pop_back();
  }
}

void TtwSkinPopupWindow::Size(bool merged) {
  static TtwMenuWidthCache cache;
  std::vector<int> widths;
  std::vector<bool> separators;
  for (const Entry& e : entries_) {
    widths.push_back(e.Item.IsSeparator() ? 0 : cache.Width(font_, e.Item.Caption, e.Item.ShortCut));
    separators.push_back(e.Item.IsSeparator());
    heights_.push_back(MenuItemHeight(metrics_, e.Item.IsSeparator()));
  }
  sizing_ = MenuWindowSize(metrics_, widths, separators, menu_->MaxMenuItemsInWindow, menu_->WorkArea().Height(),
                           merged);
  resize(sizing_.Size);
  frame_ = MenuFrame(metrics_, width(), height());
  if (maskPicture_) {
    const TPieceAnchors a{metrics_.LT, metrics_.RT, metrics_.LB, metrics_.RB, metrics_.ItemsRect};
    const TPieceAnchors n{frame_.LT, frame_.RT, frame_.LB, frame_.RB, frame_.Items};
    const QRegion r = FrameRegionFromMask(*maskPicture_, a, n, width());
    if (!r.isEmpty()) setMask(r);
  }
  ComposeBackground();
  Relayout();
}

void TtwSkinPopupWindow::Relayout() {
  view_ = LayoutMenuView(frame_.Items, heights_, view_.FirstVisible, sizing_.Scrolling);
  for (size_t i = 0; i < entries_.size(); ++i) {
    Entry& e = entries_[i];
    e.Rect = view_.Rects[i];
    e.Shown = view_.Shown[i];
    // An entry scrolled out of the view drops its highlight at once.
    if (!e.Shown) {
      e.State.Morph = 0;
      e.State.Active = e.State.Down = false;
    }
  }
  composedValid_ = false;
  update();
}

void TtwSkinPopupWindow::ComposeBackground() {
  const int W = width(), H = height();
  if (metrics_.Skinned) {
    const TtwDataSkinPopupWindow& r = *windowRecord_;
    const TPieceAnchors a{r.lefttoppoint, r.righttoppoint, r.leftbottompoint, r.rightbottompoint, r.itemsrect};
    const TPieceAnchors n{frame_.LT, frame_.RT, frame_.LB, frame_.RB, frame_.Items};
    const TEdgeStretch edges{r.leftstretch, r.topstretch, r.rightstretch, r.bottomstretch};
    const TRect whole{0, 0, windowPicture_->width(), windowPicture_->height()};
    // The centre lies under the entries except while scrolling.
    ComposeNinePiece(*windowPicture_, whole, a, W, H, n, edges, sizing_.Scrolling, r.stretcheffect, r.stretchtype,
                     background_);
    if (itemRecord_->inactivetransparent)
      ComposeNinePiece(*windowPicture_, whole, a, W, H, n, edges, true, r.stretcheffect, r.stretchtype,
                       backgroundCopy_);
    return;
  }
  background_ = TwNewSurface(W, H, QImage::Format_RGB32);
  if (background_.isNull()) return;
  QPainter p(&background_);
  const int c = images_ || imageSpace_ > 0 ? metrics_.GlyphColumn + kDefaultColumnExtra : kDefaultColumnNoImages;
  p.fillRect(QRect(0, 0, c, H), ColorToQ(twsys::clBtnFace));
  p.fillRect(QRect(c, 0, W - c, H), ColorToQ(twsys::clWindow));
  p.setPen(ColorToQ(twsys::clBtnShadow));
  p.drawRect(0, 0, W - 1, H - 1);
  p.setPen(ColorToQ(twsys::clWindow));
  p.drawRect(1, 1, W - 3, H - 3);
}

void TtwSkinPopupWindow::PlaceAt(const TRect& anchor, const TRect& workArea, bool subMenu, bool upward) {
  TtwMenuPlaceInput in;
  in.Anchor = anchor;
  in.WorkArea = workArea;
  in.Size = size();
  in.ItemsTop = frame_.Items.Top;
  in.Scrolling = sizing_.Scrolling;
  in.Limited = sizing_.Limited;
  in.SubMenu = subMenu;
  in.Upward = upward;
  move(PlaceMenu(in));
}

void TtwSkinPopupWindow::ShowLevel(bool fade, int alpha) {
  if (menu_->AlphaBlend) {
    fadeTarget_ = alpha;
    fadeValue_ = fade ? 0 : alpha;
    setWindowOpacity(fadeValue_ / 255.0);
  }
  show();
  raise();
  // The fade runs on a timer: the menu answers input while it fades in.
  if (menu_->AlphaBlend && fade) fadeTimer_.start(kMenuFadeStepMs, this);
  mouseTimer_.start(kMenuMousePollMs, this);
  Preselect();
}

void TtwSkinPopupWindow::Preselect() {
  for (int i = 0; i < Count(); ++i) {
    if (!entries_[size_t(i)].Selectable()) continue;
    EnsureShown(i);
    active_ = i;
    entries_[size_t(i)].Preselected = true;
    ActivateEntry(i, false);
    return;
  }
}

// ---- entry states ------------------------------------------------------------

void TtwSkinPopupWindow::ActivateEntry(int i, bool byMouse) {
  if (i < 0 || i >= Count()) return;
  Entry& e = entries_[size_t(i)];
  e.State.Active = true;
  TtwMenuPaintContext ctx = Context(i);
  if (TwMenuAnimates(ctx)) e.State.Frame = 0;
  for (int k = 0; k < Count(); ++k) {
    if (k != i && entries_[size_t(k)].State.Down) SetDown(k, false);
  }
  if (e.Preselected && byMouse) {
    RedrawEntry(i);
  } else if (e.State.Down) {
    menu_->CloseLevels(level_ + 2);
    if (auto* sub = menu_->Level(level_ + 1))
      for (int k = 0; k < sub->Count(); ++k) sub->SetDown(k, false);
  } else {
    StartMorph();
    RedrawEntry(i);
    menu_->RunItem(this, i, !byMouse, false);
  }
  if (retired_) return;
  hint_ = e.Item.Hint;
  if (e.Action && byMouse) e.Action->hover();
}

void TtwSkinPopupWindow::DeactivateEntry(int i) {
  if (i < 0 || i >= Count()) return;
  Entry& e = entries_[size_t(i)];
  e.State.Active = false;
  const TtwMenuPaintContext ctx = Context(i);
  if (TwMenuAnimates(ctx)) e.State.Frame = itemRecord_->inactiveanimation ? itemRecord_->framecount + 1 : 0;
  e.Preselected = false;
  StartMorph();
  if (!e.State.Down) RedrawEntry(i);
  if (menu_->WaitingFor(this, i)) menu_->StopWaiting();
}

void TtwSkinPopupWindow::SetDown(int i, bool down) {
  if (i < 0 || i >= Count()) return;
  entries_[size_t(i)].State.Down = down;
  StartMorph();
  RedrawEntry(i);
}

void TtwSkinPopupWindow::ClickEntry(int i) {
  if (i < 0 || i >= Count()) return;
  Entry& e = entries_[size_t(i)];
  e.Preselected = false;
  if (e.Item.Enabled && !e.State.Down && !e.Item.IsSeparator()) menu_->RunItem(this, i, false, true);
}

void TtwSkinPopupWindow::ActivateFromKeyboard(int i) {
  const int prev = active_;
  active_ = i;
  if (prev >= 0 && prev != i) DeactivateEntry(prev);
  EnsureShown(i);
  ActivateEntry(i, false);
}

void TtwSkinPopupWindow::RedrawEntry(int i) {
  if (i < 0 || i >= Count() || !entries_[size_t(i)].Shown) return;
  if (composedValid_) {
    QPainter p(&composed_);
    PaintEntry(p, i);
  }
  update(entries_[size_t(i)].Rect.ToQ());
}

// ---- morphing and frames -----------------------------------------------------

void TtwSkinPopupWindow::StartMorph() {
  if (entries_.empty()) return;
  const TtwMenuPaintContext ctx = Context(0);
  const bool animates = TwMenuAnimates(ctx);
  if (!TwMenuMorphs(ctx) && !animates) return;
  const int interval = animates ? std::max(1, int(itemRecord_->animateinterval)) : kMenuMorphMs;
  if (!morphTimer_.isActive()) morphTimer_.start(interval, this);
}

void TtwSkinPopupWindow::MorphTick() {
  bool changed = false;
  const TtwMenuPaintContext ctx = Context(0);
  const bool morphs = TwMenuMorphs(ctx), animates = TwMenuAnimates(ctx);
  for (int i = 0; i < Count(); ++i) {
    TtwMenuEntryState& s = entries_[size_t(i)].State;
    const TtwMenuEntryState before = s;
    if (morphs) {
      const double target = s.ActiveLook() ? 1.0 : 0.0;
      if (s.Morph < target) s.Morph = std::min(target, s.Morph + kMorphStep);
      else if (s.Morph > target) s.Morph = std::max(target, s.Morph - kMorphStep);
    }
    if (animates) {
      const int n = itemRecord_->framecount;
      if (s.Active && s.Frame <= n) ++s.Frame;
      else if (!s.Active && s.Frame > 0) s.Frame = itemRecord_->inactiveanimation ? s.Frame - 1 : 0;
    }
    if (s.Morph != before.Morph || s.Frame != before.Frame) {
      changed = true;
      RedrawEntry(i);
    }
  }
  if (!changed) morphTimer_.stop();
}

// ---- scrolling ---------------------------------------------------------------

void TtwSkinPopupWindow::ScrollUp(bool wrap) {
  if (view_.FirstVisible > 0) view_.FirstVisible--;
  else if (wrap) view_.FirstVisible = MenuLastPageStart(frame_.Items, heights_);
  else return;
  Relayout();
}

void TtwSkinPopupWindow::ScrollDown(bool wrap) {
  if (!view_.ShowsLast()) view_.FirstVisible++;
  else if (wrap) view_.FirstVisible = 0;
  else return;
  Relayout();
}

void TtwSkinPopupWindow::EnsureShown(int i) {
  if (!sizing_.Scrolling || i < 0 || i >= Count()) return;
  while (i < view_.FirstVisible) ScrollUp(false);
  // A step that moves nothing ends the walk, whatever the entries' heights.
  for (int before = -1; !entries_[size_t(i)].Shown && !view_.ShowsLast() && view_.FirstVisible != before;) {
    before = view_.FirstVisible;
    ScrollDown(false);
  }
}

void TtwSkinPopupWindow::SetScrollDirection(int dir) {
  if (scrollDir_ == dir) return;
  scrollDir_ = dir;
  if (dir == 0) scrollTimer_.stop();
  else scrollTimer_.start(kMenuScrollMs, this);
  composedValid_ = false;
  update();
}

// ---- mouse -------------------------------------------------------------------

int TtwSkinPopupWindow::EntryAt(const QPoint& p) const {
  for (int i = 0; i < Count(); ++i) {
    const Entry& e = entries_[size_t(i)];
    if (e.Shown && e.Rect.ToQ().contains(p)) return i;
  }
  return -1;
}

void TtwSkinPopupWindow::MouseAt(const QPoint& g, bool under) {
  if (retired_ || g == lastMouse_) return;
  lastMouse_ = g;
  if (!under) {
    if (sizing_.Scrolling) SetScrollDirection(0);
    return;
  }
  HandlePoint(mapFromGlobal(g));
}

void TtwSkinPopupWindow::HandlePoint(const QPoint& local) {
  if (sizing_.Scrolling) {
    const QRect top = MenuTopBand(metrics_, frame_, width()).ToQ();
    const QRect bottom = MenuBottomBand(metrics_, frame_, width(), height()).ToQ();
    if (top.contains(local)) {
      if (view_.FirstVisible > 0 && scrollDir_ == 0) {
        menu_->CloseLevels(level_ + 1);
        SetScrollDirection(1);
      }
      return;
    }
    if (bottom.contains(local)) {
      if (!view_.ShowsLast() && scrollDir_ == 0) {
        menu_->CloseLevels(level_ + 1);
        SetScrollDirection(2);
      }
      return;
    }
    if (scrollDir_ != 0) SetScrollDirection(0);
  }
  const int i = EntryAt(local);
  if (i < 0) return;
  Entry& e = entries_[size_t(i)];
  if (i == active_) {
    if (e.Preselected) {
      e.Preselected = false;
      if (e.Item.HasSubItems) ActivateEntry(i, true);
    }
    return;
  }
  const int prev = active_;
  active_ = i;
  if (prev >= 0 && entries_[size_t(prev)].Selectable()) DeactivateEntry(prev);
  if (retired_) return;
  if (e.Selectable()) ActivateEntry(i, true);
}

void TtwSkinPopupWindow::MouseReleasedAt(const QPoint& g) {
  const QPoint local = mapFromGlobal(g);
  if (EntryAt(local) < 0) return;
  lastMouse_ = g;
  HandlePoint(local);
  if (retired_ || active_ < 0) return;
  if (!entries_[size_t(active_)].Item.IsSeparator()) ClickEntry(active_);
}

void TtwSkinPopupWindow::mousePressEvent(QMouseEvent* e) {
  e->accept();
  if (retired_) return;
  const QPoint g = e->globalPosition().toPoint();
  menu_->NotePress(g);
  if (!menu_->LevelAt(g)) menu_->CloseMenu();
}

void TtwSkinPopupWindow::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  if (retired_ || e->button() != Qt::LeftButton) return;
  const QPoint g = e->globalPosition().toPoint();
  if (!menu_->ReleaseCounts(g)) return;
  if (TtwSkinPopupWindow* w = menu_->LevelAt(g)) w->MouseReleasedAt(g);
}

void TtwSkinPopupWindow::mouseMoveEvent(QMouseEvent* e) {
  e->accept();
  if (!retired_) menu_->RouteMouse(e->globalPosition().toPoint());
}

void TtwSkinPopupWindow::Wheel(int steps) {
  if (!sizing_.Scrolling || steps == 0) return;
  menu_->CloseLevels(level_ + 1);
  for (int i = 0; i < std::abs(steps); ++i) {
    if (steps > 0) ScrollUp(false);
    else ScrollDown(false);
  }
}

void TtwSkinPopupWindow::wheelEvent(QWheelEvent* e) {
  e->accept();
  if (retired_) return;
  wheelDelta_ += e->angleDelta().y();
  const int steps = wheelDelta_ / QWheelEvent::DefaultDeltasPerStep;
  wheelDelta_ -= steps * QWheelEvent::DefaultDeltasPerStep;
  if (TtwSkinPopupWindow* w = menu_->LevelAt(e->globalPosition().toPoint())) w->Wheel(steps);
}

// ---- keys --------------------------------------------------------------------

void TtwSkinPopupWindow::keyPressEvent(QKeyEvent* e) {
  if (retired_ || !menu_->KeyDown(e->key(), e->text())) e->ignore();
}

bool TtwSkinPopupWindow::KeyDown(int key, const QString& text) {
  if (!isVisible()) return false;
  const QChar ch = text.size() == 1 ? text[0].toLower() : QChar();
  if (!ch.isNull() && ch.isPrint()) {
    for (int i = 0; i < Count(); ++i) {
      if (TwAccelerator(entries_[size_t(i)].Item.Caption) != ch) continue;
      const int prev = active_;
      EnsureShown(i);
      ActivateEntry(i, true);
      if (retired_) return true;
      active_ = i;
      if (prev >= 0 && prev != i) DeactivateEntry(prev);
      ClickEntry(i);
      return true;
    }
  }
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (active_ >= 0) ClickEntry(active_);
      return true;
    case Qt::Key_Escape:
    case Qt::Key_Left:
      if (menu_->LevelCount() <= 1) {
        if (key == Qt::Key_Escape) menu_->CloseMenu();
        return true;
      }
      if (auto* parent = menu_->Level(level_ - 1)) parent->SetDown(parent->ActiveIndex(), false);
      menu_->CloseLevels(level_);
      return true;
    case Qt::Key_Right:
      if (active_ >= 0 && entries_[size_t(active_)].Item.HasSubItems) ClickEntry(active_);
      return true;
    case Qt::Key_Up: {
      if (sizing_.Scrolling && scrollDir_ == 0 && active_ == view_.FirstVisible) ScrollUp(true);
      int start = active_ - 1;
      if (active_ < 0 || start < 0) start = Count() - 1;
      for (int i = start; i >= 0; --i) {
        if (sizing_.Scrolling && i < view_.FirstVisible) ScrollUp(false);
        if (entries_[size_t(i)].Selectable()) {
          ActivateFromKeyboard(i);
          break;
        }
      }
      return true;
    }
    case Qt::Key_Down: {
      const int lastShown = view_.FirstVisible + view_.VisibleCount - 1;
      if (sizing_.Scrolling && scrollDir_ == 0 && active_ == lastShown) ScrollDown(true);
      int start = active_ + 1;
      if (active_ < 0 || start >= Count()) start = 0;
      for (int i = start; i < Count(); ++i) {
        if (sizing_.Scrolling && !entries_[size_t(i)].Shown && i > view_.FirstVisible) ScrollDown(false);
        if (entries_[size_t(i)].Selectable()) {
          ActivateFromKeyboard(i);
          break;
        }
      }
      return true;
    }
    default:
      return false;
  }
}

// ---- timers, closing ---------------------------------------------------------

void TtwSkinPopupWindow::timerEvent(QTimerEvent* e) {
  if (retired_) return;
  const int id = e->timerId();
  if (id == mouseTimer_.timerId()) {
    const QPoint g = menu_->CursorPos ? menu_->CursorPos() : QCursor::pos();
    MouseAt(g, menu_->LevelAt(g) == this);
  } else if (id == morphTimer_.timerId()) {
    MorphTick();
  } else if (id == scrollTimer_.timerId()) {
    const bool can = scrollDir_ == 1 ? view_.FirstVisible > 0 : !view_.ShowsLast();
    if (!can) {
      scrollTimer_.stop();
      return;
    }
    if (scrollDir_ == 1) ScrollUp(false);
    else ScrollDown(false);
  } else if (id == fadeTimer_.timerId()) {
    fadeValue_ = std::min(fadeTarget_, fadeValue_ + kMenuFadeStep);
    setWindowOpacity(fadeValue_ / 255.0);
    if (fadeValue_ >= fadeTarget_) fadeTimer_.stop();
  }
}

void TtwSkinPopupWindow::closeEvent(QCloseEvent* e) {
  e->accept();
  // The platform closes popups on its own (another application taking the
  // input): the whole menu closes with them.
  if (!retired_) menu_->LevelClosedByPlatform(this);
}

void TtwSkinPopupWindow::Retire() {
  if (retired_) return;
  retired_ = true;
  mouseTimer_.stop();
  morphTimer_.stop();
  scrollTimer_.stop();
  fadeTimer_.stop();
  hide();
}

// ---- painting ----------------------------------------------------------------

TtwMenuPaintContext TtwSkinPopupWindow::Context(int i) const {
  TtwMenuPaintContext c;
  c.Record = itemRecord_;
  c.ActivePicture = itemPicture_;
  c.SkinData = data_;
  c.Images = images_;
  c.GlyphColumn = metrics_.GlyphColumn;
  c.ImageSpace = imageSpace_;
  c.Pieces = &pieces_;
  c.BackgroundCopy = backgroundCopy_.isNull() ? nullptr : &backgroundCopy_;
  c.UseSkinFont = menu_->UseSkinFont && windowRecord_;
  c.DefaultFont = menu_->DefMenuItemFont;
  c.RightToLeft = layoutDirection() == Qt::RightToLeft;
  c.Dpr = devicePixelRatioF();
  if (i >= 0 && i < Count()) {
    const Entry& e = entries_[size_t(i)];
    c.EntryOrigin = QPoint(e.Rect.Left, e.Rect.Top);
    if (e.Action) {
      const QVariant v = e.Action->property("twDrawItem");
      if (v.isValid()) c.DrawItem = v.value<TtwMenuDrawItem>();
    }
  }
  return c;
}

void TtwSkinPopupWindow::PaintEntry(QPainter& p, int i) const {
  const Entry& e = entries_[size_t(i)];
  // Entries are mostly of one size: the scratch picture is reused.
  PaintMenuEntry(scratch_, e.Rect.Width(), e.Rect.Height(), e.Item, e.State, Context(i));
  p.drawImage(e.Rect.Left, e.Rect.Top, scratch_);
}

void TtwSkinPopupWindow::PaintBands(QPainter& p) const {
  const TRect top = MenuTopBand(metrics_, frame_, width());
  const TRect bottom = MenuBottomBand(metrics_, frame_, width(), height());
  TColor normal = twsys::clBtnShadow, hot = twsys::clBtnText;
  if (metrics_.Skinned) {
    normal = windowRecord_->scrollmarkercolor;
    hot = windowRecord_->scrollmarkeractivecolor;
    // The bands and the gap above the lower band wear the plain entry look.
    TRect gap = bottom;
    int lastBottom = frame_.Items.Top + kMenuScrollBand;
    for (const Entry& e : entries_)
      if (e.Shown) lastBottom = std::max(lastBottom, e.Rect.Bottom);
    gap.Top = lastBottom;
    gap.Bottom = bottom.Top;
    for (const TRect& r : {top, bottom, gap}) {
      if (r.IsEmpty()) continue;
      if (itemRecord_->inactivetransparent && !backgroundCopy_.isNull()) {
        p.drawImage(r.Left, r.Top, backgroundCopy_, r.Left, r.Top, r.Width(), r.Height());
        continue;
      }
      int k = data_ ? data_->FindObjectIndex(QStringLiteral("menuitem")) : -1;
      if (k < 0 && data_) k = data_->FindObjectIndex(QStringLiteral("MENUITEM"));
      auto* rec = k >= 0 ? dynamic_cast<const TtwDataSkinMenuItem*>(data_->ObjectRecords().at(k)) : nullptr;
      const QImage* pic = TwMenuItemPicture(data_, rec);
      if (!rec || !pic) continue;
      QImage piece;
      ComposeThreePieceH(*pic, rec->skinrect, rec->itemleftoffset, rec->itemrightoffset, rec->inactivestretcheffect,
                         r.Width(), piece);
      p.drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), piece);
    }
  }
  DrawArrowMark(p, top, scrollDir_ == 1 ? hot : normal, kArrowUp);
  DrawArrowMark(p, bottom, scrollDir_ == 2 ? hot : normal, kArrowDown);
}

const QImage& TtwSkinPopupWindow::Render() const {
  const qreal dpr = devicePixelRatioF();
  const QSize want(qCeil(width() * dpr), qCeil(height() * dpr));
  if (composedValid_ && composed_.size() == want) return composed_;
  if (composed_.size() != want) composed_ = TwNewSurface(size(), dpr, QImage::Format_RGB32);
  // A level past the surface budget shows the plain window colour.
  if (composed_.isNull()) return composed_;
  QPainter p(&composed_);
  if (background_.hasAlphaChannel()) p.fillRect(composed_.rect(), Qt::white);
  p.drawImage(0, 0, background_);
  for (int i = 0; i < Count(); ++i)
    if (entries_[size_t(i)].Shown) PaintEntry(p, i);
  if (sizing_.Scrolling) PaintBands(p);
  composedValid_ = true;
  return composed_;
}

void TtwSkinPopupWindow::paintEvent(QPaintEvent* e) {
  // The window is composed off-screen in one piece and kept; entries redraw
  // into that copy, so no part of the window ever flickers.
  const QImage& img = Render();
  QPainter p(this);
  if (img.isNull()) {
    p.fillRect(e->rect(), ColorToQ(twsys::clWindow));
    return;
  }
  const qreal dpr = img.devicePixelRatio();
  const QRect r = e->rect();
  p.drawImage(QRectF(r), img, QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
}

#include "tools/skinmaker/Mockup.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "tools/skinmaker/Art.h"
#include "tools/skinmaker/Layout.h"

namespace skinmaker {
namespace {

QRect Q(const TRect& r) { return r.ToQ(); }

// Nine-piece fit with every edge and the centre stretched (nearest pixel),
// the way the skin fits its panels and the frame.
QImage Nine(const QImage& src, const TRect& piece, QPoint lt, QPoint rb, const TRect& cl, int W, int H) {
  QImage out(W, H, QImage::Format_RGB32);
  QPainter p(&out);
  const int pw = piece.Width(), ph = piece.Height(), dW = W - pw, dH = H - ph;
  auto cut = [&](int x0, int y0, int x1, int y1) { return QRect(piece.Left + x0, piece.Top + y0, x1 - x0, y1 - y0); };
  auto put = [&](QRect dst, QRect s) {
    if (dst.width() > 0 && dst.height() > 0 && s.width() > 0 && s.height() > 0) p.drawImage(dst, src, s);
  };
  const int xs[] = {0, lt.x(), rb.x(), pw}, xd[] = {0, lt.x(), rb.x() + dW, W};
  const int ys[] = {0, lt.y(), rb.y(), ph}, yd[] = {0, lt.y(), rb.y() + dH, H};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      put(QRect(xd[i], yd[j], xd[i + 1] - xd[i], yd[j + 1] - yd[j]), cut(xs[i], ys[j], xs[i + 1], ys[j + 1]));
  (void)cl;
  return out;
}

QImage ThreeH(const QImage& src, const TRect& piece, int left, int right, int W) {
  return Nine(src, piece, QPoint(left, 0), QPoint(piece.Width() - right, piece.Height()), piece, W, piece.Height());
}

QFont UiFont(int px, bool bold = false) {
  QFont f("Arial");
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
}

void Text(QPainter& p, const QRect& r, const QString& s, const QColor& c, int flags = Qt::AlignVCenter | Qt::AlignLeft,
          int px = 14, bool bold = false) {
  p.setFont(UiFont(px, bold));
  p.setPen(c);
  p.drawText(r, flags, s);
}

}  // namespace

QImage MockWindow(int W, int H, const SkinPictures& pics, bool active) {
  using namespace frame;
  const QImage& F = pics.frame;
  QImage win = Nine(F, TRect{0, 0, kFrameW, kFrameH}, QPoint(LTx, LTy), QPoint(RBx, RBy), Client, W, H);
  QPainter p(&win);
  const int dW = W - kFrameW, dH = H - kFrameH;
  // caption buttons from the caption rectangle's right edge, gap 2
  using namespace capbtn;
  const int rows[] = {Close, Maximize, Minimize, RollUp, Tray};
  int x = Caption.Right + dW;
  for (int i = 0; i < 5; ++i) {
    int col = active ? Normal : Inactive;
    if (active && i == 0) col = HotCol;
    const int row = rows[i] == Maximize ? Restore : rows[i];
    p.drawImage(QPoint(x - Cell, Caption.Top), pics.active[3], Q(CellRect(row, col)));
    x -= Cell + ButtonGap;
  }
  const int textRight = x + ButtonGap;
  p.drawImage(QPoint(Caption.Left, Caption.Top), pics.active[1]);
  const int textLeft = Caption.Left + kSysMenuW + ButtonGap + 2;
  QFont cf = UiFont(14, true);
  QFontMetrics fm(cf);
  const QString title = fm.elidedText("Tarnwick — 笔记  ·  工作 / 周报 ", Qt::ElideRight, textRight - textLeft);
  const QRect tr(textLeft, Caption.Top, textRight - textLeft, Caption.Height());
  Text(p, tr.translated(1, 1), title, active ? pal::CaptionShadow : QColor(0x2A, 0x43, 0x6A), Qt::AlignVCenter | Qt::AlignLeft, 14, true);
  Text(p, tr, title, active ? pal::CaptionText : pal::CaptionTextInactive, Qt::AlignVCenter | Qt::AlignLeft, 14, true);

  // client area
  const QRect client(Client.Left, Client.Top, Client.Width() + dW, Client.Height() + dH);
  const QImage& C = pics.active[4];
  const QImage& B = pics.active[0];
  using namespace ctl;
  // tool bar, 25 px, with buttons and a search box
  const int barH = 25;
  p.drawImage(client.topLeft(), Nine(C, ToolPanel, QPoint(2, 2), QPoint(38, 28), ToolPanel, client.width(), barH));
  const char* labels[] = {"新建", "修改", "删除", "类别"};
  for (int i = 0; i < 4; ++i) {
    const TRect state = i == 1 ? btn::Hot : i == 2 ? btn::Down : btn::Normal;
    const QPoint at(client.left() + i * 96, client.top());
    p.drawImage(at, ThreeH(B, state, btn::End, btn::End, 96));
    Text(p, QRect(at + QPoint(0, i == 2 ? 1 : 0), QSize(96, 25)), labels[i], pal::Text, Qt::AlignCenter);
  }
  const int comboW = 160, editW = 180;
  QPoint cpos(client.right() + 1 - editW - comboW - 12, client.top() + 1);
  p.drawImage(cpos, ThreeH(C, Combo, 3, ComboBtnW + 2, comboW));
  Text(p, QRect(cpos + QPoint(6, 3), QSize(comboW - 30, 16)), "标题和正文", pal::Text);
  QPoint epos(client.right() + 1 - editW - 6, client.top() + 1);
  p.drawImage(epos, ThreeH(C, EditActive, 3, 3, editW));
  Text(p, QRect(epos + QPoint(6, 3), QSize(editW - 12, 16)), "关键词|", pal::Text);

  // status bar, 48 px, with three panels
  const int statusH = 48;
  const QRect status(client.left(), client.bottom() + 1 - statusH, client.width(), statusH);
  p.drawImage(status.topLeft(), Nine(C, StatusBar, QPoint(3, 3), QPoint(37, 27), StatusBar, status.width(), statusH));
  const char* panels[] = {"共 12 条笔记", "类别：工作", "就绪"};
  for (int i = 0; i < 3; ++i) {
    const QPoint at(status.left() + 2 + i * 160, status.top());
    p.drawImage(at, Nine(C, StatusPanel, QPoint(3, 3), QPoint(36, 27), StatusPanel, 160, statusH));
    Text(p, QRect(at + QPoint(8, 2), QSize(148, statusH - 2)), panels[i], pal::GroupText);
  }

  // tree column | splitter | note area
  const int top = client.top() + barH, bottom = status.top();
  const QRect tree(client.left(), top, 200, bottom - top);
  p.fillRect(tree, pal::White);
  const char* items[] = {"▾ 工作", "    周报", "    会议纪要", "▾ 生活", "    购物清单", "    旅行计划", "▸ 读书"};
  for (int i = 0; i < 7; ++i) {
    const QRect row(tree.left() + 4, tree.top() + 4 + i * 20, tree.width() - 8, 20);
    if (i == 2) {
      p.drawImage(row.topLeft(), ThreeH(C, ListItemFocus, 4, 4, row.width()));
      Text(p, row.adjusted(6, 0, 0, 0), items[i], pal::SelectionText);
    } else {
      Text(p, row.adjusted(6, 0, 0, 0), items[i], pal::Text);
    }
  }
  const QRect split(tree.right() + 1, top, VSplitter.Width(), tree.height());
  {
    QImage s = Nine(C, VSplitter, QPoint(0, 2), QPoint(5, 38), VSplitter, split.width(), split.height());
    QPainter sp(&s);
    sp.drawImage(QPoint(0, s.height() / 2 - VGripper.Height() / 2), C, Q(VGripper));
    sp.end();
    p.drawImage(split.topLeft(), s);
  }
  const QRect area(split.right() + 1, top, client.right() - split.right(), bottom - top);
  p.fillRect(area, pal::Window);
  // a 56-px panel row with 54-px buttons, then a group box with the note
  const QRect row(area.left() + 8, area.top() + 8, area.width() - 16, 56);
  p.drawImage(row.topLeft(), Nine(C, Panel, QPoint(3, 3), QPoint(37, 37), Panel, row.width(), row.height()));
  const QRect lab(row.left() + 10, row.top() + 17, 60, 21);
  p.drawImage(lab.topLeft(), ThreeH(C, Label, 4, 4, lab.width()));
  Text(p, lab.adjusted(6, 0, 0, 0), "类别", pal::GroupText);
  const QPoint ccombo(lab.right() + 8, row.top() + 17);
  p.drawImage(ccombo, ThreeH(C, Combo, 3, ComboBtnW + 2, 140));
  p.drawImage(ccombo + QPoint(140 - ComboBtnW - 1, 1), C, Q(ComboBtnHot));
  Text(p, QRect(ccombo + QPoint(6, 3), QSize(110, 16)), "工作", pal::Text);
  const QPoint dis(row.right() - 96 - 10, row.top() + 15);
  p.drawImage(dis, ThreeH(B, btn::Disabled, btn::End, btn::End, 96));
  Text(p, QRect(dis, QSize(96, 25)), "保存", pal::DisabledText, Qt::AlignCenter);
  const QPoint foc(row.right() - 2 * 96 - 18, row.top() + 15);
  p.drawImage(foc, ThreeH(B, btn::Focused, btn::End, btn::End, 96));
  Text(p, QRect(foc, QSize(96, 25)), "确定", pal::Text, Qt::AlignCenter);

  const QRect group(area.left() + 8, row.bottom() + 10, area.width() - 16, area.bottom() - row.bottom() - 18);
  p.drawImage(group.topLeft(), Nine(C, GroupBox, QPoint(6, 24), QPoint(74, 54), GroupBox, group.width(), group.height()));
  Text(p, QRect(group.left() + 8, group.top(), 300, GroupCaptionH), "会议纪要  2026-12-09", pal::GroupText,
       Qt::AlignVCenter | Qt::AlignLeft, 13, true);
  Text(p, QRect(group.left() + 12, group.top() + 30, group.width() - 24, 100),
       "周三上午十点，讨论新版本的发布计划。\nThe quick brown fox jumps over the lazy dog.", pal::Text,
       Qt::AlignTop | Qt::AlignLeft);
  // a vertical scroll bar at the group's right
  const QRect vs(group.right() - 2 - SB, group.top() + 24, SB, group.height() - 26);
  p.drawImage(vs.topLeft(), Nine(C, VScroll, QPoint(0, SB), QPoint(SB, VScroll.Height() - SB - 1), VScroll, SB, vs.height()));
  p.drawImage(QRect(vs.left(), vs.top() + SB + 10, SB, 60),
              Nine(C, VThumbHot, QPoint(0, 5), QPoint(SB, 35), VThumbHot, SB, 60));

  // the system menu, open under the system-menu button
  if (active) {
    const QImage& M = pics.active[5];
    const int mw = 190;
    const char* entries[] = {"还原", "最小化", "最大化", "-", "关闭"};
    const int mh = 4 * menu::Item.Height() + menu::Divider.Height() + 4;
    QImage pop = Nine(M, TRect{0, 0, kMenusW, kMenusH}, QPoint(3, 3), QPoint(kMenusW - 3, kMenusH - 3), menu::Items, mw, mh);
    QPainter mp(&pop);
    int y = 2;
    for (int i = 0; i < 5; ++i) {
      if (entries[i][0] == '-') {
        mp.drawImage(QPoint(2, y), ThreeH(M, menu::Divider, 8, 8, mw - 4));
        y += menu::Divider.Height();
        continue;
      }
      const bool hot = i == 1;
      mp.drawImage(QPoint(2, y), ThreeH(M, hot ? menu::ItemActive : menu::Item, 6, 6, mw - 4));
      Text(mp, QRect(2 + 6 + 16, y, 120, 22), entries[i], hot ? pal::SelectionText : pal::Text);
      y += menu::Item.Height();
    }
    mp.end();
    p.drawImage(QPoint(Caption.Left, Caption.Bottom + 2), pop);
  }
  p.end();

  // cut the outline with the mask
  QImage shaped(W, H, QImage::Format_RGB32);
  shaped.fill(QColor(0x70, 0x78, 0x84));
  QImage mask = Nine(pics.mask.convertToFormat(QImage::Format_RGB32), TRect{0, 0, kFrameW, kFrameH}, QPoint(LTx, LTy),
                     QPoint(RBx, RBy), Client, W, H);
  for (int yy = 0; yy < H; ++yy)
    for (int xx = 0; xx < W; ++xx)
      if ((mask.pixel(xx, yy) & 0xFFFFFF) == 0) shaped.setPixel(xx, yy, win.pixel(xx, yy));
  return shaped;
}

}  // namespace skinmaker

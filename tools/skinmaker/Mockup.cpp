// Draws a mock-up main window from the skin's pieces.
#include "tools/skinmaker/Mockup.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "tools/skinmaker/Art.h"
#include "tools/skinmaker/Layout.h"
#include "skin/data/twSkinIni.h"
#include "skin/draw/twSystemColors.h"
#include "skin/draw/twUtils.h"

namespace skinmaker {
namespace {

// A record's piece geometry, read back from the written description so the
// mock-up shows what the description says rather than what was meant.
struct PieceDef {
  TRect rect;
  TPieceAnchors a;
  TEdgeStretch edges;
  bool stretch = false;
  int stretchType = 0;
};

PieceDef Def(const TtwSkinIni& ini, const QString& sec) {
  PieceDef d;
  d.rect = ini.ReadRect(sec, "skinrect");
  d.a = TPieceAnchors{ini.ReadPoint(sec, "lefttoppoint"), ini.ReadPoint(sec, "righttoppoint"),
                      ini.ReadPoint(sec, "leftbottompoint"), ini.ReadPoint(sec, "rightbottompoint"),
                      ini.ReadRect(sec, "clientrect")};
  d.edges = TEdgeStretch{ini.ReadBool(sec, "leftstretch"), ini.ReadBool(sec, "topstretch"),
                         ini.ReadBool(sec, "rightstretch"), ini.ReadBool(sec, "bottomstretch")};
  d.stretch = ini.ReadBool(sec, "stretcheffect");
  d.stretchType = ini.ReadStretchType(sec, "stretchtype");
  return d;
}

// Fits a piece (or one of its state rectangles) to W x H by the piece rules
// of the drawing toolkit.
QImage Fit(const QImage& pic, const PieceDef& d, int W, int H, const TRect* state = nullptr) {
  const TRect r = state ? *state : d.rect;
  QImage out;
  switch (PieceMode(r, d.a)) {
    case pmNinePiece:
      ComposeNinePiece(pic, r, d.a, W, H, ShiftAnchors(pmNinePiece, r, d.a, W, H), d.edges, true, d.stretch,
                       d.stretchType, out);
      break;
    case pmThreePieceH:
      ComposeThreePieceH(pic, r, d.a.LT.X, r.Width() - d.a.RT.X, d.stretch, W, out);
      break;
    case pmThreePieceV:
      ComposeThreePieceV(pic, r, d.a.LT.Y, r.Height() - d.a.LB.Y, d.stretch, H, out);
      break;
    default:
      out = pic.copy(r.ToQ());
  }
  return out;
}

QRect Q(const TRect& r) { return r.ToQ(); }

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

QImage MockWindow(int W, int H, const SkinPictures& pics, const TtwSkinIni& ini, bool active) {
  const QImage& F = pics.frame;
  const TRect whole{0, 0, F.width(), F.height()};
  const TRect client0 = ini.ReadRect("FORMINFO", "clientrect");
  const TPieceAnchors fa{ini.ReadPoint("FORMINFO", "lefttoppoint"), ini.ReadPoint("FORMINFO", "righttoppoint"),
                         ini.ReadPoint("FORMINFO", "leftbottompoint"), ini.ReadPoint("FORMINFO", "rightbottompoint"),
                         client0};
  const TPieceAnchors fn = ShiftAnchors(pmNinePiece, whole, fa, W, H);
  const TEdgeStretch fe{ini.ReadBool("FORMINFO", "leftstretch"), ini.ReadBool("FORMINFO", "topstretch"),
                        ini.ReadBool("FORMINFO", "rightstretch"), ini.ReadBool("FORMINFO", "bottomstretch")};
  QImage win(W, H, QImage::Format_RGB32);
  win.fill(QColor(F.pixel(client0.Left + 1, client0.Top + 1)));  // the client piece is one colour
  QImage bTop, bBottom, bLeft, bRight;
  ComposeBorderBands(F, whole, fa, fn, W, H, fe, bTop, bBottom, bLeft, bRight);
  QPainter p(&win);
  p.drawImage(0, 0, bTop);
  p.drawImage(0, bTop.height(), bLeft);
  p.drawImage(W - bRight.width(), bTop.height(), bRight);
  p.drawImage(0, H - bBottom.height(), bBottom);
  const int dW = W - F.width();

  // caption objects, laid out along the caption rectangle
  const TRect cap = ini.ReadRect("FORMINFO", "captionrect");
  const int gap = ini.ReadInteger("FORMINFO", "buttonsoffset", 0);
  int x = cap.Right + dW;
  for (const char* name : {"closebutton", "maxbutton", "minbutton", "rollupbutton", "traybutton"}) {
    const QString n = name;
    TRect r = ini.ReadRect(n, n == "maxbutton" ? "restorerect" : "skinrect");  // opens maximised
    if (!active) r = ini.ReadRect(n, n == "maxbutton" ? "restoreinactiverect" : "inactiveskinrect");
    if (active && n == "closebutton") r = ini.ReadRect(n, "activeskinrect");
    const QImage& pic = pics.active[ini.ReadInteger(n, "activepictureindex", -1)];
    p.drawImage(QPoint(x - r.Width(), cap.Top), pic, Q(r));
    x -= r.Width() + gap;
  }
  const int textRight = x + gap;
  const TRect sys = ini.ReadRect("sysmenubutton", "skinrect");
  p.drawImage(QPoint(cap.Left, cap.Top + cap.Height() / 2 - sys.Height() / 2),
              pics.active[ini.ReadInteger("sysmenubutton", "activepictureindex", -1)], Q(sys));
  const int textLeft = cap.Left + sys.Width() + gap + 2;
  QFont cf = UiFont(ini.ReadInteger("caption", "fontheight", 14), ini.ReadFontStyle("caption", "fontstyle") & 1);
  QFontMetrics fm(cf);
  const QString title = fm.elidedText("Tarnwick — 笔记  ·  工作 / 周报 ", Qt::ElideRight, textRight - textLeft);
  const QRect tr(textLeft, cap.Top, textRight - textLeft, cap.Height());
  auto wc = [&](const char* key) {
    return ColorToQ(ini.ReadColor("caption", key, 0));
  };
  p.setFont(cf);
  p.setPen(wc(active ? "activeshadowcolor" : "shadowcolor"));
  p.drawText(tr.translated(1, 1), Qt::AlignVCenter | Qt::AlignLeft, title);
  p.setPen(wc(active ? "activefontcolor" : "fontcolor"));
  p.drawText(tr, Qt::AlignVCenter | Qt::AlignLeft, title);

  const QRect client(fn.ClRect.Left, fn.ClRect.Top, fn.ClRect.Width(), fn.ClRect.Height());
  const QImage& C = pics.active[4];
  const QImage& B = pics.active[0];
  using namespace ctl;
  // tool bar, 25 px, with buttons and a search box
  const int barH = 25;
  p.drawImage(client.topLeft(), Fit(C, Def(ini, "toolpanel"), client.width(), barH));
  const PieceDef button = Def(ini, "button");
  const char* labels[] = {"新建", "修改", "删除", "类别"};
  for (int i = 0; i < 4; ++i) {
    const TRect state = ini.ReadRect("button", i == 1 ? "activeskinrect" : i == 2 ? "downskinrect" : "skinrect");
    const QPoint at(client.left() + i * 96, client.top());
    p.drawImage(at, Fit(B, button, 96, 25, &state));
    Text(p, QRect(at + QPoint(0, i == 2 ? 1 : 0), QSize(96, 25)), labels[i], pal::Text, Qt::AlignCenter);
  }
  const PieceDef combo = Def(ini, "combobox");
  const int comboW = 160, editW = 180;
  QPoint cpos(client.right() + 1 - editW - comboW - 12, client.top() + 1);
  p.drawImage(cpos, Fit(C, combo, comboW, 22));
  Text(p, QRect(cpos + QPoint(6, 3), QSize(comboW - 30, 16)), "标题和正文", pal::Text);
  const PieceDef edit = Def(ini, "edit");
  const TRect editActive = ini.ReadRect("edit", "activeskinrect");
  QPoint epos(client.right() + 1 - editW - 6, client.top() + 1);
  p.drawImage(epos, Fit(C, edit, editW, 22, &editActive));
  Text(p, QRect(epos + QPoint(6, 3), QSize(editW - 12, 16)), "关键词|", pal::Text);

  // status bar, 48 px, with three panels
  const int statusH = 48;
  const QRect status(client.left(), client.bottom() + 1 - statusH, client.width(), statusH);
  p.drawImage(status.topLeft(), Fit(C, Def(ini, "statusbar"), status.width(), statusH));
  const char* panels[] = {"共 12 条笔记", "类别：工作", "就绪"};
  const PieceDef spanel = Def(ini, "statuspanel");
  for (int i = 0; i < 3; ++i) {
    const QPoint at(status.left() + 2 + i * 160, status.top());
    p.drawImage(at, Fit(C, spanel, 160, statusH));
    const TRect a = ShiftAnchors(pmNinePiece, spanel.rect, spanel.a, 160, statusH).ClRect;
    Text(p, QRect(at + QPoint(a.Left, a.Top), QSize(a.Width(), a.Height())), panels[i], pal::GroupText);
  }

  // tree column | splitter | note area
  const int top = client.top() + barH, bottomY = status.top();
  const QRect tree(client.left(), top, 200, bottomY - top);
  p.fillRect(tree, pal::White);
  const char* items[] = {"▾ 工作", "    周报", "    会议纪要", "▾ 生活", "    购物清单", "    旅行计划", "▸ 读书"};
  const TRect focus = ini.ReadRect("listbox", "focusitemrect");
  for (int i = 0; i < 7; ++i) {
    const QRect row(tree.left() + 4, tree.top() + 4 + i * 20, tree.width() - 8, 20);
    if (i == 2) {
      QImage sel;
      ComposeThreePieceH(C, focus, ini.ReadInteger("listbox", "itemleftoffset", 0),
                         ini.ReadInteger("listbox", "itemrightoffset", 0), true, row.width(), sel);
      p.drawImage(row.topLeft(), sel);
      Text(p, row.adjusted(6, 0, 0, 0), items[i], pal::SelectionText);
    } else {
      Text(p, row.adjusted(6, 0, 0, 0), items[i], pal::Text);
    }
  }
  const PieceDef vs = Def(ini, "vsplitter");
  const QRect split(tree.right() + 1, top, vs.rect.Width(), tree.height());
  {
    QImage s = Fit(C, vs, split.width(), split.height());
    const TRect g = ini.ReadRect("vsplitter", "gripperrect");
    QPainter sp(&s);
    sp.drawImage(QPoint(s.width() / 2 - g.Width() / 2, s.height() / 2 - g.Height() / 2), C, Q(g));
    sp.end();
    p.drawImage(split.topLeft(), s);
  }
  const QRect area(split.right() + 1, top, client.right() - split.right(), bottomY - top);
  p.fillRect(area, pal::Window);
  // a 56-px panel row with 54-px buttons, then a group box with the note
  const QRect row(area.left() + 8, area.top() + 8, area.width() - 16, 56);
  p.drawImage(row.topLeft(), Fit(C, Def(ini, "panel"), row.width(), row.height()));
  const QRect lab(row.left() + 10, row.top() + 17, 60, 21);
  p.drawImage(lab.topLeft(), Fit(C, Def(ini, "label"), lab.width(), lab.height()));
  Text(p, lab.adjusted(6, 0, 0, 0), "类别", pal::GroupText);
  const QPoint ccombo(lab.right() + 8, row.top() + 17);
  p.drawImage(ccombo, Fit(C, combo, 140, 22));
  const TRect cb = ini.ReadRect("combobox", "buttonrect"), cbHot = ini.ReadRect("combobox", "activebuttonrect");
  p.drawImage(ccombo + QPoint(cb.Left + 140 - combo.rect.Width(), cb.Top), C, Q(cbHot));
  Text(p, QRect(ccombo + QPoint(6, 3), QSize(110, 16)), "工作", pal::Text);
  const TRect disabled = ini.ReadRect("button", "disabledskinrect"), focused = ini.ReadRect("button", "focusedskinrect");
  const QPoint dis(row.right() - 96 - 10, row.top() + 15);
  p.drawImage(dis, Fit(B, button, 96, 25, &disabled));
  Text(p, QRect(dis, QSize(96, 25)), "保存", pal::DisabledText, Qt::AlignCenter);
  const QPoint foc(row.right() - 2 * 96 - 18, row.top() + 15);
  p.drawImage(foc, Fit(B, button, 96, 25, &focused));
  Text(p, QRect(foc, QSize(96, 25)), "确定", pal::Text, Qt::AlignCenter);

  const QRect group(area.left() + 8, row.bottom() + 10, area.width() - 16, area.bottom() - row.bottom() - 18);
  p.drawImage(group.topLeft(), Fit(C, Def(ini, "groupbox"), group.width(), group.height()));
  const TRect gcap = ini.ReadRect("groupbox", "captionrect");
  Text(p, QRect(group.left() + gcap.Left, group.top() + gcap.Top, 300, gcap.Height()), "会议纪要  2026-12-09",
       pal::GroupText, Qt::AlignVCenter | Qt::AlignLeft, ini.ReadInteger("groupbox", "fontheight", 14), true);
  Text(p, QRect(group.left() + 12, group.top() + 30, group.width() - 24, 100),
       "周三上午十点，讨论新版本的发布计划。\nThe quick brown fox jumps over the lazy dog.", pal::Text,
       Qt::AlignTop | Qt::AlignLeft);
  // a vertical scroll bar at the group's right, its thumb hot
  const PieceDef vbar = Def(ini, "vscrollbar");
  const QRect vsr(group.right() - 2 - vbar.rect.Width(), group.top() + 24, vbar.rect.Width(), group.height() - 26);
  p.drawImage(vsr.topLeft(), Fit(C, vbar, vsr.width(), vsr.height()));
  {
    QImage thumb;
    ComposeThreePieceV(C, ini.ReadRect("vscrollbar", "activethumbrect"), ini.ReadInteger("vscrollbar", "thumboffset1", 0),
                       ini.ReadInteger("vscrollbar", "thumboffset2", 0), true, 60, thumb);
    p.drawImage(QPoint(vsr.left(), vsr.top() + 27), thumb);
  }

  // the system menu, open under the system-menu button
  if (active) {
    const QImage& M = pics.active[ini.ReadInteger("POPUPWINDOW", "windowpictureindex", -1)];
    const int mw = 190;
    const char* entries[] = {"还原", "最小化", "最大化", "-", "关闭"};
    const TRect item = ini.ReadRect("menuitem", "skinrect"), hot = ini.ReadRect("menuitem", "activeskinrect");
    const TRect div = ini.ReadRect("menuitem", "dividerrect");
    const TRect items = ini.ReadRect("POPUPWINDOW", "itemsrect");
    const int mh = 4 * item.Height() + div.Height() + (M.height() - items.Height());
    const TRect mwhole{0, 0, M.width(), M.height()};
    const TPieceAnchors ma{ini.ReadPoint("POPUPWINDOW", "lefttoppoint"), ini.ReadPoint("POPUPWINDOW", "righttoppoint"),
                           ini.ReadPoint("POPUPWINDOW", "leftbottompoint"),
                           ini.ReadPoint("POPUPWINDOW", "rightbottompoint"), items};
    QImage pop;
    ComposeNinePiece(M, mwhole, ma, mw, mh, ShiftAnchors(pmNinePiece, mwhole, ma, mw, mh), TEdgeStretch{true, true, true, true},
                     false, true, 0, pop);
    QPainter mp(&pop);
    const int il = ini.ReadInteger("menuitem", "itemleftoffset", 0), ir = ini.ReadInteger("menuitem", "itemrightoffset", 0);
    const int iw = mw - (M.width() - items.Width());
    int y = items.Top;
    for (int i = 0; i < 5; ++i) {
      QImage e;
      if (entries[i][0] == '-') {
        ComposeThreePieceH(M, div, ini.ReadInteger("menuitem", "dividerleftoffset", 0),
                           ini.ReadInteger("menuitem", "dividerrightoffset", 0), true, iw, e);
        mp.drawImage(QPoint(items.Left, y), e);
        y += div.Height();
        continue;
      }
      const bool isHot = i == 1;
      ComposeThreePieceH(M, isHot ? hot : item, il, ir, true, iw, e);
      mp.drawImage(QPoint(items.Left, y), e);
      const TRect t = ini.ReadRect("menuitem", "textrect");
      Text(mp, QRect(items.Left + t.Left + 16, y, 120, item.Height()), entries[i],
           isHot ? pal::SelectionText : pal::Text);
      y += item.Height();
    }
    mp.end();
    p.drawImage(QPoint(cap.Left, cap.Bottom + 2), pop);
  }
  p.end();

  // cut the outline with the frame region, as the window gets it
  const TPieceAnchors ma{fa.LT, fa.RT, fa.LB, fa.RB, ini.ReadRect("FORMINFO", "maskrectarea")};
  const QRegion region = FrameRegionFromMask(pics.mask.convertToFormat(QImage::Format_RGB32), ma,
                                             ShiftAnchors(pmNinePiece, whole, ma, W, H), W);
  QImage shaped(W, H, QImage::Format_RGB32);
  shaped.fill(QColor(0x70, 0x78, 0x84));
  QPainter sp(&shaped);
  sp.setClipRegion(region);
  sp.drawImage(0, 0, win);
  return shaped;
}

}  // namespace skinmaker

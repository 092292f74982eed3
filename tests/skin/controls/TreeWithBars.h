#pragma once
// The category tree as the main window holds it: a vertical skinned bar on
// the right, optionally a horizontal one below, the tree filling the rest.
#include <QWidget>

#include "platform/Align.h"
#include "skin/controls/twSkinTreeView.h"

namespace twtest {

struct TTreeWithBars {
  QWidget host;
  TtwSkinTreeView* tree = nullptr;
  TtwSkinScrollBar* vbar = nullptr;
  TtwSkinScrollBar* hbar = nullptr;

  TTreeWithBars(int w, int h, bool horizontal = true) {
    host.resize(w, h);
    if (horizontal) {
      hbar = new TtwSkinScrollBar(&host);
      SetWidgetAlign(hbar, TAlign::alBottom);
    }
    vbar = new TtwSkinScrollBar(&host);
    vbar->SetKindAsDesigned(sbVertical);
    SetWidgetAlign(vbar, TAlign::alRight);
    tree = new TtwSkinTreeView(&host);
    tree->SetAlign(TAlign::alClient);
    tree->SetVScrollBar(vbar);
    tree->SetHScrollBar(hbar);
  }
};

}  // namespace twtest

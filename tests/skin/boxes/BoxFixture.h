#pragma once
// The control fixture skin with a combo box and two list boxes added:
// "combobox" (three-piece, 40 x 10 at (0,60), button at its right end, item
// pieces below), "listbox" (nine-piece 30 x 30 at (40,60) with 10-px items)
// and "zerolist" (a list whose item piece is empty).
#include "../controls/SkinFixture.h"

namespace twtest {

inline const char kBoxRecords[] =
    "[combobox]\r\npictureindex=0\r\nskinrect=0,60,40,70\r\nlefttoppoint=3,0\r\nrighttoppoint=28,0\r\n"
    "clientrect=3,1,28,9\r\nbuttonrect=30,0,40,10\r\nactivebuttonrect=50,60,60,70\r\n"
    "downbuttonrect=60,60,70,70\r\nitemrect=0,80,20,88\r\nfocusitemrect=20,80,40,88\r\n"
    "itemleftoffset=2\r\nitemrightoffset=2\r\nitemtextrect=2,0,18,8\r\nfontcolor=255\r\n"
    "focusfontcolor=65280\r\nlistboxname=listbox\r\n"
    "[listbox]\r\npictureindex=0\r\nskinrect=40,60,70,90\r\nlefttoppoint=2,2\r\nrighttoppoint=28,2\r\n"
    "leftbottompoint=2,28\r\nrightbottompoint=28,28\r\nclientrect=2,2,28,28\r\nitemrect=70,60,90,70\r\n"
    "activeitemrect=70,70,90,80\r\nitemleftoffset=2\r\nitemrightoffset=2\r\nitemtextrect=2,0,18,10\r\n"
    "[zerolist]\r\npictureindex=0\r\nskinrect=40,60,70,90\r\nlefttoppoint=2,2\r\nrighttoppoint=28,2\r\n"
    "leftbottompoint=2,28\r\nrightbottompoint=28,28\r\nclientrect=2,2,28,28\r\nitemrect=0,0,0,0\r\n";

// The fixture skin's description with the box records in it.
inline QByteArray BoxSkinText() {
  QByteArray t(kSkinText);
  t.replace("count=12\r\n", "count=15\r\n12=combobox:combobox\r\n13=listbox:listbox\r\n14=zerolist:listbox\r\n");
  return t.replace("[button]\r\n", QByteArray(kBoxRecords) + "[button]\r\n");
}

// A loaded skin from the box fixture text.
class TBoxSkin : public TFixtureSkin {
 public:
  TBoxSkin() : TFixtureSkin(kSheetTag, QByteArray(kSkinText), BoxSkinText()) {}
};

}  // namespace twtest

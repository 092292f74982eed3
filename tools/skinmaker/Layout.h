#pragma once
// Where every piece of the built-in skin lies. The painter draws into these
// rectangles and the description writer refers to the same ones, so a piece
// can never be drawn in one place and described in another.
#include "skin/data/twTypes.h"

namespace skinmaker {

constexpr TRect Rc(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
constexpr TRect Sized(int l, int t, int w, int h) { return TRect{l, t, l + w, t + h}; }

// Picture sizes, in [PICTURES] order.
inline constexpr int kFrameW = 285, kFrameH = 210;
inline constexpr int kButtonsW = 75, kButtonsH = 263;     // 0
inline constexpr int kSysMenuW = 28, kSysMenuH = 21;      // 1 and 7
inline constexpr int kGlowW = 93, kGlowH = 55;            // 2 and 6
inline constexpr int kCapBtnW = 132, kCapBtnH = 147;      // 3
inline constexpr int kControlsW = 556, kControlsH = 410;  // 4
inline constexpr int kMenusW = 219, kMenusH = 178;        // 5

// ---- frame picture
namespace frame {
inline constexpr TRect Client = Rc(4, 27, 281, 206);
inline constexpr TRect MaskArea = Rc(4, 3, 282, 206);
inline constexpr TRect Caption = Rc(6, 3, 279, 24);   // caption buttons row
inline constexpr TRect CaptionObject = Rc(4, 3, 281, 24);
inline constexpr int CaptionBandTop = 2, CaptionBandBottom = 26;  // gradient rows
inline constexpr int CornerRadius = 5;
inline constexpr int LTx = 40, LTy = 40, RBx = 245, RBy = 170;
inline constexpr int ButtonGap = 2;
}  // namespace frame

// ---- picture 0: push and tool buttons
namespace btn {
inline constexpr int W = 75, H = 25;
inline constexpr TRect Normal = Sized(0, 0, W, H);
inline constexpr TRect Hot = Sized(0, 25, W, H);
inline constexpr TRect Down = Sized(0, 50, W, H);
inline constexpr TRect Disabled = Sized(0, 75, W, H);
inline constexpr TRect Focused = Sized(0, 100, W, H);
inline constexpr int End = 4;  // fixed ends of the three-piece button
inline constexpr TRect ToolNormal = Sized(0, 125, 25, 25);
inline constexpr TRect ToolHot = Sized(25, 125, 25, 25);
inline constexpr TRect ToolDown = Sized(50, 125, 25, 25);
inline constexpr TRect ToolDisabled = Sized(0, 150, 25, 25);
inline constexpr TRect ComboNormal = Sized(25, 150, 16, 21);
inline constexpr TRect ComboHot = Sized(41, 150, 16, 21);
inline constexpr TRect ComboDown = Sized(57, 150, 16, 21);
inline constexpr TRect MarkerArea = Sized(0, 178, 12, 8);   // magenta background
inline constexpr TRect Marker = Sized(2, 180, 7, 4);        // small down arrow
}  // namespace btn

// ---- picture 2: the push button's glow, with picture 6 its grey alpha mask.
// Where the button sits the mask is black, so the glow shows nothing of its
// own picture there: that centre holds the hint window's face, and the same
// black centre is the hint's shape. The glow's outer pixels are never black.
namespace glow {
inline constexpr int X = 9, Y = 15;  // the button's offset inside the glow
inline constexpr TRect Button = Sized(X, Y, 75, 25);
inline constexpr int ButtonRadius = 3;
}  // namespace glow
namespace hint {
inline constexpr TRect Face = glow::Button;
inline constexpr int Corner = 4;  // corner pieces keep the rounding whole
inline constexpr int LTx = Face.Left + Corner, LTy = Face.Top + Corner;
inline constexpr int RBx = Face.Right - Corner, RBy = Face.Bottom - Corner;
// Text room: 5 px inside the face sideways, 5 above and below.
inline constexpr TRect Client = Rc(Face.Left + 5, Face.Top + 5, Face.Right - 5, Face.Bottom - 5);
}  // namespace hint

// ---- picture 3: caption buttons, cells of 21 x 21 on a 22-pixel column pitch
namespace capbtn {
inline constexpr int Cell = 21, Pitch = 22;
enum Row { Close, Maximize, Restore, Minimize, RollUp, Tray, RollDown, RowCount };
enum Col { Normal, HotCol, DownCol, Inactive, DisabledCol, ColCount };
constexpr TRect CellRect(int row, int col) { return Sized(col * Pitch, row * Cell, Cell, Cell); }
}  // namespace capbtn

// ---- picture 4: the control sheet
namespace ctl {
// panels and bars
inline constexpr TRect Panel = Sized(0, 0, 40, 40);
inline constexpr TRect ToolPanel = Sized(44, 0, 40, 30);
inline constexpr TRect GroupBox = Sized(88, 0, 80, 60);
inline constexpr int GroupCaptionH = 22;
inline constexpr TRect StatusBar = Sized(172, 0, 40, 30);
inline constexpr TRect Gripper = Sized(216, 0, 12, 12);
inline constexpr TRect StatusPanel = Sized(232, 0, 40, 30);
inline constexpr TRect Label = Sized(276, 0, 60, 21);
inline constexpr TRect VSplitter = Sized(340, 0, 5, 40);
inline constexpr TRect VGripper = Sized(348, 0, 5, 24);
inline constexpr TRect HSplitter = Sized(360, 0, 40, 5);
inline constexpr TRect HGripper = Sized(360, 8, 24, 5);
inline constexpr TRect ExPanel = Sized(404, 0, 80, 60);
// up-down buttons: vertical halves up/down, horizontal halves left/right
inline constexpr TRect VUpDown = Sized(490, 0, 15, 22);
inline constexpr TRect VUpDownHot = Sized(508, 0, 15, 22);
inline constexpr TRect VUpDownDown = Sized(526, 0, 15, 22);
inline constexpr TRect HUpDown = Sized(490, 26, 22, 15);
inline constexpr TRect HUpDownHot = Sized(516, 26, 22, 15);
inline constexpr TRect HUpDownDown = Sized(490, 44, 22, 15);
// edits
inline constexpr int EditH = 22;
inline constexpr TRect Edit = Sized(0, 64, 60, EditH);
inline constexpr TRect EditActive = Sized(64, 64, 60, EditH);
inline constexpr TRect EditDisabled = Sized(128, 64, 60, EditH);
inline constexpr TRect ButtonEdit = Sized(192, 64, 60, EditH);
inline constexpr TRect ButtonEditActive = Sized(256, 64, 60, EditH);
inline constexpr TRect EditBtnHot = Sized(320, 65, 18, 20);
inline constexpr TRect EditBtnDown = Sized(342, 65, 18, 20);
inline constexpr TRect EditBtnDisabled = Sized(364, 65, 18, 20);
inline constexpr TRect SpinEdit = Sized(386, 64, 60, EditH);
inline constexpr TRect SpinEditActive = Sized(450, 64, 60, EditH);
inline constexpr TRect Memo = Sized(0, 90, 40, 40);
inline constexpr TRect MemoActive = Sized(44, 90, 40, 40);
// grid and tabs
inline constexpr TRect FixedCell = Sized(90, 90, 40, 20);
inline constexpr TRect Cell = Sized(134, 90, 40, 20);
inline constexpr TRect SelectCell = Sized(178, 90, 40, 20);
inline constexpr TRect FocusCell = Sized(222, 90, 40, 20);
inline constexpr TRect TabPage = Sized(270, 90, 60, 60);
inline constexpr TRect Tab = Sized(334, 90, 60, 22);
inline constexpr TRect TabActive = Sized(398, 90, 60, 22);
inline constexpr TRect TabHot = Sized(462, 90, 60, 22);
inline constexpr TRect HGrip = Sized(530, 90, 5, 22);
inline constexpr TRect VGrip = Sized(526, 116, 22, 5);
// combo box: frame with its button at the right end
inline constexpr TRect Combo = Sized(0, 140, 100, EditH);
inline constexpr int ComboBtnW = 18;
inline constexpr TRect ComboBtnHot = Sized(104, 141, 18, 20);
inline constexpr TRect ComboBtnDown = Sized(126, 141, 18, 20);
inline constexpr TRect ComboBtnDisabled = Sized(148, 141, 18, 20);
inline constexpr TRect ComboFocusItem = Sized(170, 143, 30, 16);
inline constexpr TRect ComboItem = Sized(204, 143, 30, 16);
// list boxes
inline constexpr TRect ListBox = Sized(0, 170, 60, 60);
inline constexpr TRect ListItem = Sized(64, 170, 60, 20);
inline constexpr TRect ListItemActive = Sized(64, 192, 60, 20);
inline constexpr TRect ListItemFocus = Sized(128, 170, 60, 20);
inline constexpr TRect CaptionListBox = Sized(192, 170, 60, 60);
inline constexpr int ListCaptionH = 20;
// scroll bars (17 px thick)
inline constexpr int SB = 17;
inline constexpr TRect VScroll = Sized(260, 170, SB, 100);
inline constexpr TRect VThumb = Sized(280, 170, SB, 40);
inline constexpr TRect VThumbHot = Sized(300, 170, SB, 40);
inline constexpr TRect VThumbDown = Sized(320, 170, SB, 40);
inline constexpr TRect VTopHot = Sized(280, 214, SB, SB);
inline constexpr TRect VTopDown = Sized(300, 214, SB, SB);
inline constexpr TRect VBottomHot = Sized(280, 234, SB, SB);
inline constexpr TRect VBottomDown = Sized(300, 234, SB, SB);
inline constexpr TRect HScroll = Sized(340, 170, 100, SB);
// The corner marker is as wide as a vertical bar, so the two meet edge to edge.
inline constexpr TRect BothHScroll = Sized(340, 190, 100 + SB, SB);
inline constexpr TRect HThumb = Sized(340, 210, 40, SB);
inline constexpr TRect HThumbHot = Sized(384, 210, 40, SB);
inline constexpr TRect HThumbDown = Sized(428, 210, 40, SB);
inline constexpr TRect HLeftHot = Sized(340, 230, SB, SB);
inline constexpr TRect HLeftDown = Sized(360, 230, SB, SB);
inline constexpr TRect HRightHot = Sized(380, 230, SB, SB);
inline constexpr TRect HRightDown = Sized(400, 230, SB, SB);
// check and radio boxes
inline constexpr TRect CheckBox = Sized(0, 240, 60, 20);
inline constexpr TRect RadioBox = Sized(64, 240, 60, 20);
inline constexpr int Mark = 13;
// check marks in the order check, uncheck, active check, active uncheck,
// disabled check, disabled uncheck, grayed, active grayed
constexpr TRect CheckMark(int i) { return Sized(i * 16, 264, Mark, Mark); }
constexpr TRect RadioMark(int i) { return Sized(i * 16, 280, Mark, Mark); }
// gauges and track bars
inline constexpr TRect Gauge = Sized(0, 300, 100, 16);
inline constexpr TRect GaugeProgress = Sized(104, 302, 20, 12);
inline constexpr TRect VGauge = Sized(130, 300, 16, 100);
inline constexpr TRect VGaugeProgress = Sized(150, 302, 12, 20);
inline constexpr TRect HTrack = Sized(170, 300, 100, 24);
inline constexpr TRect HTrackThumb = Sized(274, 302, 11, 19);
inline constexpr TRect HTrackThumbHot = Sized(290, 302, 11, 19);
inline constexpr TRect VTrack = Sized(310, 300, 24, 100);
inline constexpr TRect VTrackThumb = Sized(340, 305, 19, 11);
inline constexpr TRect VTrackThumbHot = Sized(340, 320, 19, 11);
}  // namespace ctl

// ---- picture 5: popup window frame (the whole picture) with the menu pieces
// kept inside its items area, which a popup only shows while it scrolls
namespace menu {
inline constexpr TRect Items = Rc(2, 2, kMenusW - 2, kMenusH - 2);
inline constexpr TRect Item = Sized(10, 10, 100, 22);
inline constexpr TRect ItemActive = Sized(10, 34, 100, 22);
inline constexpr TRect Divider = Sized(10, 58, 100, 7);
inline constexpr TRect BarItem = Sized(120, 10, 50, 22);
inline constexpr TRect BarItemHot = Sized(120, 34, 50, 22);
inline constexpr TRect BarItemDown = Sized(120, 58, 50, 22);
inline constexpr TRect MenuBar = Sized(176, 10, 30, 22);
// small menu-bar buttons: rows close, maximise, restore, minimise, system menu
inline constexpr int Small = 16;
constexpr TRect BarButton(int row, int col) { return Sized(10 + col * 20, 88 + row * 17, Small, Small); }
}  // namespace menu

}  // namespace skinmaker

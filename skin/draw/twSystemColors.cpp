// The system colour table and the conversions from skin colours: one place,
// so a colour named by the skin, a default look and a stock widget agree.
#include "skin/draw/twSystemColors.h"

namespace {

// A calm light theme that matches the built-in skin's palette.
constexpr QRgb kTable[kSysColorCount] = {
    0xE9EDF2,  // scroll bar
    0x36578A,  // desktop
    0x4A6FA5,  // active caption
    0x9AA9BF,  // inactive caption
    0xFFFFFF,  // menu
    0xFFFFFF,  // window
    0x2E4A75,  // window frame
    0x1E2A38,  // menu text
    0x1E2A38,  // window text
    0xFFFFFF,  // caption text
    0xC9D1DC,  // active border
    0xC9D1DC,  // inactive border
    0xE9EDF2,  // application workspace
    0x3D7BD9,  // highlight
    0xFFFFFF,  // highlight text
    0xF3F5F8,  // button face
    0xAEB8C6,  // button shadow
    0x9AA3AE,  // grey text
    0x1E2A38,  // button text
    0xE6EBF2,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x6B7785,  // 3-D dark shadow
    0xE6EBF2,  // 3-D light
    0x1E2A38,  // tooltip text
    0xFFFBE6,  // tooltip background
    0xF3F5F8,  // (unused)
    0x3D7BD9,  // hot tracking
    0x36578A,  // active caption gradient
    0xB7C3D3,  // inactive caption gradient
    0x3D7BD9,  // menu highlight
    0xF3F5F8,  // menu bar
};

}  // namespace

QColor SystemColor(int index) {
  if (index < 0 || index >= kSysColorCount) index = COLOR_BTNFACE;
  return QColor::fromRgb(kTable[index]);
}

QColor ColorToQ(TColor c) {
  if ((c >> 24) == 0xFF) return SystemColor(int(c & 0xFF));
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TColor ColorFromQ(const QColor& c) {
  return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}

QPalette SystemPalette() {
  QPalette p;
  auto set = [&p](QPalette::ColorRole role, int index) { p.setColor(role, SystemColor(index)); };
  set(QPalette::Window, COLOR_BTNFACE);
  set(QPalette::WindowText, COLOR_WINDOWTEXT);
  set(QPalette::Base, COLOR_WINDOW);
  set(QPalette::AlternateBase, COLOR_3DLIGHT);
  set(QPalette::Text, COLOR_WINDOWTEXT);
  set(QPalette::Button, COLOR_BTNFACE);
  set(QPalette::ButtonText, COLOR_BTNTEXT);
  set(QPalette::Light, COLOR_BTNHIGHLIGHT);
  set(QPalette::Midlight, COLOR_3DLIGHT);
  set(QPalette::Mid, COLOR_BTNSHADOW);
  set(QPalette::Dark, COLOR_BTNSHADOW);
  set(QPalette::Shadow, COLOR_3DDKSHADOW);
  set(QPalette::Highlight, COLOR_HIGHLIGHT);
  set(QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT);
  set(QPalette::ToolTipBase, COLOR_INFOBK);
  set(QPalette::ToolTipText, COLOR_INFOTEXT);
  set(QPalette::PlaceholderText, COLOR_GRAYTEXT);
  p.setColor(QPalette::Disabled, QPalette::Text, SystemColor(COLOR_GRAYTEXT));
  p.setColor(QPalette::Disabled, QPalette::WindowText, SystemColor(COLOR_GRAYTEXT));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, SystemColor(COLOR_GRAYTEXT));
  return p;
}

#pragma once
// The engine's one table of system colours. Skin colours with 0xFF in the
// high byte name an entry of it; default looks and the application palette
// read it too, so unskinned controls, marks and stock Qt widgets agree and
// pixel tests do not depend on the desktop's theme.
#include <QColor>
#include <QPalette>

#include "skin/data/twTypes.h"

// Indices of the table (the low byte of a system colour value).
enum TSysColorIndex : int {
  COLOR_SCROLLBAR = 0, COLOR_BACKGROUND, COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION, COLOR_MENU,
  COLOR_WINDOW, COLOR_WINDOWFRAME, COLOR_MENUTEXT, COLOR_WINDOWTEXT, COLOR_CAPTIONTEXT,
  COLOR_ACTIVEBORDER, COLOR_INACTIVEBORDER, COLOR_APPWORKSPACE, COLOR_HIGHLIGHT,
  COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_GRAYTEXT, COLOR_BTNTEXT,
  COLOR_INACTIVECAPTIONTEXT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_INFOTEXT,
  COLOR_INFOBK, COLOR_UNUSED25, COLOR_HOTLIGHT, COLOR_GRADIENTACTIVECAPTION,
  COLOR_GRADIENTINACTIVECAPTION, COLOR_MENUHILIGHT, COLOR_MENUBAR, kSysColorCount
};

// Skin-colour values that refer to a system colour.
inline constexpr TColor SysColorValue(int index) { return 0xFF000000u | TColor(index & 0xFF); }
inline constexpr TColor clBtnFace = SysColorValue(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SysColorValue(COLOR_BTNSHADOW);
inline constexpr TColor clBtnHighlight = SysColorValue(COLOR_BTNHIGHLIGHT);
inline constexpr TColor clBtnText = SysColorValue(COLOR_BTNTEXT);
inline constexpr TColor clWindow = SysColorValue(COLOR_WINDOW);
inline constexpr TColor clWindowText = SysColorValue(COLOR_WINDOWTEXT);
inline constexpr TColor clGrayText = SysColorValue(COLOR_GRAYTEXT);

// The table entry of index; indices past the table read as button face.
QColor SystemColor(int index);
// Any skin colour as a QColor, system colours resolved through the table.
QColor ColorToQ(TColor c);
// A QColor as the 0x00BBGGRR skin colour.
TColor ColorFromQ(const QColor& c);

// A palette whose roles come from the table; the program gives it to the
// application at start-up so stock widgets match the default looks.
QPalette SystemPalette();

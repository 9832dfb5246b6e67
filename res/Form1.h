// The settings dialog's form description: its design properties and its controls.
#pragma once

#include <windows.h>

#include <cstdint>

#include "res/Ids.h"

namespace perchette::form1 {

inline constexpr const wchar_t* kClassName = L"TForm1";
inline constexpr const wchar_t* kCaption = L"Perchette";
inline constexpr int kLeft = 292;
inline constexpr int kTop = 172;
inline constexpr int kClientWidth = 427;
inline constexpr int kClientHeight = 48;
// Fixed dialog frame with a title bar but no system menu, so no close, minimise or maximise box.
inline constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
inline constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

inline constexpr const wchar_t* kFontFace = L"ＭＳ Ｐゴシック";
inline constexpr BYTE kFontCharset = SHIFTJIS_CHARSET;
// Negative: the character height in pixels, as CreateFont takes it.
inline constexpr int kFontHeight = -12;

enum class ControlKind { SpinEdit, Label, Button };

struct ControlLayout {
  ControlKind kind;
  int id;
  int left, top, width, height;
  int fontHeight;
  const wchar_t* text;
  // Spin boxes only: the bounds and the laid-out value.
  int32_t minValue = 0, maxValue = 0, value = 0;
  // Takes the focus with Tab, in the order of this table.
  bool tabStop = false;
  // Spin boxes only: what a screen reader calls the arrow buttons.
  const wchar_t* arrowsName = nullptr;
};

using ids::kButton1, ids::kButton2, ids::kLabel1, ids::kLabel2, ids::kSpinEdit1, ids::kSpinEdit2;
static_assert(kButton2 == IDCANCEL);

// In creation order, which is also the tab order of the controls that take the focus. Each label
// comes just before its box: a screen reader names an edit box after the label before it, so the
// hour box is read as 時 and the minute box as 分　に回線自動切断. Labels take no focus, so the tab
// order stays SpinEdit1, SpinEdit2, Button1, Button2.
inline constexpr ControlLayout kControls[] = {
    {ControlKind::Label, kLabel1, 59, 15, 16, 16, -16, L"時"},
    {ControlKind::SpinEdit, kSpinEdit1, 7, 6, 50, 29, -19, nullptr, 0, 23, 7, true, L"時の増減"},
    {ControlKind::Label, kLabel2, 139, 15, 138, 16, -16, L"分\u3000に回線自動切断"},
    {ControlKind::SpinEdit, kSpinEdit2, 87, 6, 50, 29, -19, nullptr, 0, 59, 59, true, L"分の増減"},
    {ControlKind::Button, kButton1, 288, 16, 65, 25, kFontHeight, L"設定保存", 0, 0, 0, true},
    {ControlKind::Button, kButton2, 352, 16, 67, 25, kFontHeight, L"ｷｬﾝｾﾙ", 0, 0, 0, true},
};

// The spin box's arrow buttons: their width inside the right end of the field.
inline constexpr int kSpinButtonWidth = 15;

// The arrow pictures "SpinUp" and "SpinDown", 9 by 6 pixels; '#' is drawn in the button text
// colour.
inline constexpr int kArrowWidth = 9;
inline constexpr int kArrowHeight = 6;
inline constexpr const char* kSpinUp[kArrowHeight] = {
    ".........", "....#....", "...###...", "..#####..", ".#######.", ".........",
};
inline constexpr const char* kSpinDown[kArrowHeight] = {
    ".........", ".#######.", "..#####..", "...###...", "....#....", ".........",
};

}  // namespace perchette::form1

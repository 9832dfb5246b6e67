// The main window's form description: its design properties.
#pragma once

#include <windows.h>

namespace perchette::mainform {

inline constexpr const wchar_t* kClassName = L"TMainForm";
inline constexpr const wchar_t* kText = L"MainForm";
inline constexpr int kLeft = 419;
inline constexpr int kTop = 192;
inline constexpr int kClientWidth = 104;
inline constexpr int kClientHeight = 154;
inline constexpr UINT kClassStyle = CS_DBLCLKS;
// Borderless, maximized on showing, not visible until shown.
inline constexpr DWORD kStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MAXIMIZE;
inline constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
inline constexpr UINT kTimerInterval = 200;

// FormRgn1: the character picture at the top-left corner, sized to its picture.
inline constexpr int kPictureLeft = 0;
inline constexpr int kPictureTop = 0;
inline constexpr int kPictureWidth = 80;
inline constexpr int kPictureHeight = 150;
inline constexpr unsigned kPictureTransparentColor = 0x00FFFFFF;  // clWhite

}  // namespace perchette::mainform

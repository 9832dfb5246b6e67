// TFormRgn: a windowless picture control that cuts its parent window to the shape of its picture.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>

#include "base/Handles.h"
#include "shape/SpanScan.h"

namespace perchette {

inline constexpr uint32_t clBlack = 0;

class TFormRgn {
 public:
  TFormRgn() = default;
  TFormRgn(const TFormRgn&) = delete;
  TFormRgn& operator=(const TFormRgn&) = delete;

  // The parent's window, created on demand.
  void SetParent(std::function<HWND()> parentHandle) { parentHandle_ = std::move(parentHandle); }
  // The character picture drawn for artDpi (one of kArtDpis): the bitmap resource at the design
  // resolution, else the QOI picture drawn for artDpi. Where that cannot be had, the design
  // bitmap; PictureDpi tells which was loaded.
  void LoadPicture(HINSTANCE instance, int32_t artDpi);
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  void SetAutoSize(bool autoSize);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t PictureDpi() const { return pictureDpi_; }

  uint32_t TransparentColor = clBlack;

  // Builds a region from the picture's current pixels and gives it to the parent window.
  void ApplyRegion() { BuildRegion(); }
  // Draws the picture unchanged at the control's place in the parent's client area.
  void Paint(HDC dc) const;

 private:
  void BuildRegion();
  // Where picture pixel (0, 0) lies in the parent window's own coordinates.
  SpanOffset ParentOffset(HWND parent) const;

  std::function<HWND()> parentHandle_;
  UniqueBitmap picture_;
  int32_t pictureWidth_ = 0;
  int32_t pictureHeight_ = 0;
  int32_t pictureDpi_ = 0;
  bool pictureTopDown_ = false;
  int32_t left_ = 0;
  int32_t top_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool autoSize_ = false;
  // The region of the latest build; the window's once it has accepted it.
  HRGN FRegion = nullptr;
  // The latest build's region if the window refused it: still the control's to free.
  UniqueRegion refusedRegion_;
};

}  // namespace perchette

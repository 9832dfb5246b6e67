#pragma once

#include <cstdint>
#include <functional>

namespace perchette {

struct PerchPoint {
  int32_t left, top;
};

// How far the character's window stands left of the foreground window's right edge and above
// its top edge.
inline constexpr int32_t kPerchOffsetX = 150, kPerchOffsetY = 109;

// Where the character's window goes: foregroundRight - offsetX, foregroundTop - offsetY.
PerchPoint PerchPosition(int32_t foregroundRight, int32_t foregroundTop, int32_t offsetX,
                         int32_t offsetY);

// A rectangle in screen coordinates, right and bottom exclusive.
struct ScreenRect {
  int32_t left, top, right, bottom;
  bool operator==(const ScreenRect&) const = default;
};

// The system's answer for a rectangle: the resolution of the display that holds most of it and
// that display's bounds (empty where the system cannot tell which display it is).
struct DisplayAnswer {
  int32_t dpi;
  ScreenRect bounds;
};
using AskDisplay = std::function<DisplayAnswer(const ScreenRect&)>;

// The resolution the character is drawn for, and which news of another one she follows. She
// takes the resolution of the display that holds the window she perches on, never the one her
// own window happens to lie on: perched on a window that spans two displays, she may hang over
// the other one, and must not follow it there and back on every tick.
class PerchScale {
 public:
  explicit PerchScale(int32_t dpi) : dpi_(dpi) {}

  int32_t Dpi() const { return dpi_; }

  // Before she perches on the foreground window: true when she is to be drawn anew for its
  // display before she moves. The display is asked only when the window has left the display
  // last asked about, so the tick stays cheap while the user works on one display.
  bool Perch(const ScreenRect& foreground, const AskDisplay& ask);

  // The system's news of a new resolution for her window, which herDisplay (its bounds) holds.
  // True when she is to be drawn anew for it; never while a move or resize of her own lasts (the
  // move caused the news, and the perch has already chosen), never for the resolution she has.
  // Where her display is the one last asked about, she learns its new scale without asking again;
  // news of another display is not hers to follow: the next perch asks. Before her first perch,
  // news of any display is taken at once.
  bool Notice(int32_t dpi, const ScreenRect& herDisplay);

  // The displays or their scales have changed: the next perch asks again.
  void DisplaysChanged() { asked_ = {}; }

  // Her own move or resize, for as long as the object lives.
  class OwnMove {
   public:
    explicit OwnMove(PerchScale& scale) : scale_(scale) { ++scale_.ownMoves_; }
    OwnMove(const OwnMove&) = delete;
    OwnMove& operator=(const OwnMove&) = delete;
    ~OwnMove() { --scale_.ownMoves_; }

   private:
    PerchScale& scale_;
  };

  // Parking, for as long as the object lives: wherever the park puts her window, her scale stays.
  OwnMove Park() { return OwnMove(*this); }

 private:
  bool Take(int32_t dpi) {
    if (dpi <= 0 || dpi == dpi_) return false;
    dpi_ = dpi;
    return true;
  }

  int32_t dpi_;
  int ownMoves_ = 0;
  // The last foreground rectangle whose display was asked, and the answer (0: ask again).
  ScreenRect askedFor_{};
  DisplayAnswer asked_{};
};

}  // namespace perchette

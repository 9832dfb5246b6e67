#pragma once

#include <cstdint>

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

// The resolution the character is drawn for, and which news of another one she follows. She
// takes the resolution of the display that holds the window she perches on, never the one her
// own window happens to lie on: perched on a window that spans two displays, she may hang over
// the other one, and must not follow it there and back on every tick.
class PerchScale {
 public:
  explicit PerchScale(int32_t dpi) : dpi_(dpi) {}

  int32_t Dpi() const { return dpi_; }

  // Before she perches: the resolution of the foreground window's display. True when she is to
  // be drawn anew for it before she moves.
  bool Perch(int32_t foregroundDisplayDpi) { return Take(foregroundDisplayDpi); }

  // The system's news of a new resolution for her window. True when she is to be drawn anew for
  // it; never while a move or resize of her own lasts (the move caused the news, and the perch
  // has already chosen), never for the resolution she has.
  bool Notice(int32_t dpi) { return ownMoves_ == 0 && Take(dpi); }

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

 private:
  bool Take(int32_t dpi) {
    if (dpi <= 0 || dpi == dpi_) return false;
    dpi_ = dpi;
    return true;
  }

  int32_t dpi_;
  int ownMoves_ = 0;
};

}  // namespace perchette

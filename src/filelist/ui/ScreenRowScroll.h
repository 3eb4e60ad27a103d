#pragma once

namespace quorvane {

// While a row is dragged, the list brings the neighbour of the row just
// reached into view when the pointer stands high or low on the screen.
// The bounds are screen pixels from the top edge; both are inclusive
// limits of the band in which nothing scrolls.
enum class RowScroll { Nothing, RowAbove, RowBelow };

inline constexpr int kScrollUpBelowScreenY = 305;
inline constexpr int kScrollDownAboveScreenY = 364;

constexpr RowScroll RowScrollForScreenY(int screenY)
{
    if (screenY < kScrollUpBelowScreenY)
        return RowScroll::RowAbove;
    if (screenY > kScrollDownAboveScreenY)
        return RowScroll::RowBelow;
    return RowScroll::Nothing;
}

}  // namespace quorvane

#pragma once

// The arithmetic of the fossil history's scroll bar, which counts the history in rows of
// fossils. Pure functions, so the window's bar and the tests share them.
struct SFossilScroll {
    int nMin = 0;
    int nMax = 0;
    int nPage = 1;
    int nPos = 0;
    friend bool operator==(const SFossilScroll&, const SFossilScroll&) = default;
};

enum class EScrollRequest {
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    ThumbTrack,
    ThumbPosition,
    Top,
    Bottom,
    EndScroll,
};

// Range 0 .. rows of fossils - 1, a page of the view's rows, position 0.
SFossilScroll FossilScrollRange(int fossilCount, int cols, int rows);

// The position a request leads to, clamped to at most max - page + 1 and at least min.
int ScrollFossilPosition(const SFossilScroll& bar, EScrollRequest request, int thumbPosition);

#include "FossilScroll.h"

#include <algorithm>

SFossilScroll FossilScrollRange(int fossilCount, int cols, int rows) {
    cols = std::max(cols, 1);
    const int fossilRows = fossilCount <= 0 ? 0 : (fossilCount + cols - 1) / cols;
    return {0, fossilRows - 1, std::max(rows, 1), 0};
}

int ScrollFossilPosition(const SFossilScroll& bar, EScrollRequest request, int thumbPosition) {
    int pos = bar.nPos;
    switch (request) {
        case EScrollRequest::LineUp:
            pos = bar.nPos - 1;
            break;
        case EScrollRequest::LineDown:
            pos = bar.nPos + 1;
            break;
        case EScrollRequest::PageUp:
            if (bar.nPos > bar.nMin) {
                pos = std::max(bar.nPos - bar.nPage, bar.nMin);
            }
            break;
        case EScrollRequest::PageDown:
            if (bar.nPos < bar.nMax) {
                pos = std::min(bar.nPos + bar.nPage, bar.nMax);
            }
            break;
        case EScrollRequest::ThumbTrack:
        case EScrollRequest::ThumbPosition:
            pos = thumbPosition;
            break;
        case EScrollRequest::Top:
            pos = bar.nMin;
            break;
        case EScrollRequest::Bottom:
            pos = bar.nMax;
            break;
        case EScrollRequest::EndScroll:
            break;
    }
    pos = std::min(pos, bar.nMax - bar.nPage + 1);
    return std::max(pos, bar.nMin);
}

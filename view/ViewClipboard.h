#pragma once

#include "model/Geometry.h"
#include "platform/Clipboard.h"

class CBioMorph;
class CQuorvaleView;

// What a paste that brought no morph tells the user.
inline constexpr const char* kPasteNoData =
    "Nothing was pasted: the program holding the clipboard did not hand over its biomorph.";
inline constexpr const char* kPasteIncomplete =
    "Nothing was pasted: the biomorph on the clipboard is incomplete.";

// Copying from the view and pasting into it: a picture of part of the screen and, with a
// morph, its record in the program's clipboard format.
class CViewClipboard {
public:
    explicit CViewClipboard(CQuorvaleView& view) : m_view(view) {}

    void SetClipboard(IClipboard* clipboard) {
        m_pClipboard = clipboard ? clipboard : &m_systemClipboard;
    }
    // The picture of rect (or of the morph's box, or of the whole view without its scroll
    // bar), with the morph's record when a morph is given.
    void Copy(CBioMorph* morph, const SRect* rect);
    // Whether a morph is offered, as learnt when the clipboard last changed: it never waits
    // on another program, so menus and keys may ask it freely.
    bool HasMorph() const;
    // Reads the morph on the clipboard into morph; false (and the morph as it was, and a
    // message) when none comes or its record is cut short.
    bool PasteInto(CBioMorph& morph);

private:
    CQuorvaleView& m_view;
    CSystemClipboard m_systemClipboard;
    IClipboard* m_pClipboard = &m_systemClipboard;
};

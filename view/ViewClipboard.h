#pragma once

#include "model/Geometry.h"
#include "platform/Clipboard.h"

class CBioMorph;
class CQuorvaleView;

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
    // Whether a morph is offered; the data itself is not read.
    bool HasMorph() const;
    // Reads the morph on the clipboard into morph; false (and the morph as it was) when there
    // is none or its record is cut short.
    bool PasteInto(CBioMorph& morph);

private:
    CQuorvaleView& m_view;
    CSystemClipboard m_systemClipboard;
    IClipboard* m_pClipboard = &m_systemClipboard;
};

#pragma once

#include "model/Geometry.h"
#include "platform/Clipboard.h"

class CBioMorph;
class CQuorvaleView;

// What a paste that brought no morph tells the user: in the status bar when the owner did not
// answer (it may answer next time), in a message when the block is not a morph's.
inline constexpr const char* kPasteNoAnswer =
    QT_TRANSLATE_NOOP("CQuorvaleView", "The clipboard's owner did not answer; nothing was pasted.");
inline constexpr const char* kPasteIncomplete =
    "Nothing was pasted: the biomorph on the clipboard is incomplete.";
// How long a paste waits for an answer already on its way: long enough for a live owner,
// short enough that the window never seems to stop.
inline constexpr int kPasteWaitMs = 50;

// Copying from the view and pasting into it: a picture of part of the screen and, with a
// morph, its record in the program's clipboard format.
class CViewClipboard {
public:
    explicit CViewClipboard(CQuorvaleView& view);

    void SetClipboard(IClipboard* clipboard) {
        m_pClipboard = clipboard ? clipboard : &m_systemClipboard;
    }
    // The picture of rect (or of the morph's box, or of the whole view without its scroll
    // bar), with the morph's record when a morph is given.
    void Copy(CBioMorph* morph, const SRect* rect);
    // Whether a paste may bring a morph, from what was learnt when the clipboard last changed:
    // a block that can hold one, or an owner that has not answered (a paste then says so). It
    // never waits on another program, so menus and keys may ask it freely.
    bool HasMorph() const;
    SClipboardOffer Offer() const { return m_pClipboard->Offer(); }
    // Reads the morph on the clipboard into morph; false (and the morph as it was, and a
    // message) when none comes or its record is cut short.
    bool PasteInto(CBioMorph& morph);

private:
    CQuorvaleView& m_view;
    CSystemClipboard m_systemClipboard;
    IClipboard* m_pClipboard = &m_systemClipboard;
};

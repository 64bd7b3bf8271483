#pragma once

class CBioMorph;

// The gene bar as the core sees it. Mutation, the document and the view tell it what to
// show; with no window the default display does nothing.
class IGeneDisplay {
public:
    virtual ~IGeneDisplay() = default;
    virtual void ShowGenes(const CBioMorph* /*morph*/) {}
    virtual void ClearGenes() {}
    virtual void RefreshIndicators() {}
    virtual void SetRepeatChecked(bool /*bChecked*/) {}
    virtual bool IsRepeatChecked() const { return false; }
    // Shows or hides the boxes of the special genes after the switches changed.
    virtual void ShowSpecialGeneBoxes() {}
    // Gene engineering by mouse on the bar.
    virtual void SetEditable(bool /*bEditable*/) {}
    // The Hopeful button and the Repeat box, configured by the view for each mode.
    virtual void ShowHopeful(bool /*bShown*/) {}
    virtual void ShowRepeat(bool /*bShown*/) {}
    virtual void EnableRepeat(bool /*bEnabled*/) {}
    virtual bool IsRepeatEnabled() const { return false; }
};

IGeneDisplay& GeneDisplay();
// Installs the display (null restores the silent default); the caller keeps ownership.
void SetGeneDisplay(IGeneDisplay* display);

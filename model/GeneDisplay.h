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
    // Shows or hides the boxes of the special genes after the switches changed.
    virtual void ShowSpecialGeneBoxes() {}
};

IGeneDisplay& GeneDisplay();
// Installs the display (null restores the silent default); the caller keeps ownership.
void SetGeneDisplay(IGeneDisplay* display);

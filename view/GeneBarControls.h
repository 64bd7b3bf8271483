#pragma once

class CBioMorph;

// The gene bar's controls as the view sets them for each mode: editing by mouse, the Hopeful
// button and the Repeat box. With no bar the default does nothing and Repeat is off.
class IGeneBarControls {
public:
    virtual ~IGeneBarControls() = default;
    virtual void SetEditable(bool /*bEditable*/) {}
    virtual void ShowHopeful(bool /*bShown*/) {}
    virtual void ShowRepeat(bool /*bShown*/) {}
    virtual void EnableRepeat(bool /*bEnabled*/) {}
    virtual bool IsRepeatEnabled() const { return false; }
    virtual void SetRepeatChecked(bool /*bChecked*/) {}
    virtual bool IsRepeatChecked() const { return false; }
};

// Where the view shows a genome: the gene bar in the window, nothing without one. The view
// tells it when the document or the pointer changes what is to be seen; the model never does.
class IGeneDisplay {
public:
    virtual ~IGeneDisplay() = default;
    virtual void ShowGenes(const CBioMorph* /*morph*/) {}
    virtual void ClearGenes() {}
    virtual void RefreshIndicators() {}
    // Shows or hides the boxes of the special genes after the switches changed.
    virtual void ShowSpecialGeneBoxes() {}
};

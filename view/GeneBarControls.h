#pragma once

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

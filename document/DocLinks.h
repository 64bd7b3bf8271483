#pragma once

#include <string>
#include <vector>

// The tools of the family tree.
enum class EFamilyTool : int {
    Create = 0,
    Destroy = 1,
};

// The view as the document reaches it when a new document or a load must reset it. With no
// window the document has no view link and skips these steps.
class IViewLink {
public:
    virtual ~IViewLink() = default;
    virtual void SetFamilyTool(EFamilyTool tool) = 0;
    virtual void SetGridSize(int cols, int rows) = 0;
    virtual void SetFirstFossil(int first) = 0;
    virtual void SetLastEvolve(int evolve) = 0;
    // The document is now in the mode: the view enters it.
    virtual void EnterMode(int mode) = 0;
    // The history changed size: the view sizes its scroll bar to it.
    virtual void FossilScrollRangeChanged() = 0;
    virtual void UpdateAllViews() = 0;
    // New, load and save switch Repeat off.
    virtual void StopRepeat() = 0;
    // New and load put another creature in the document: what could be undone belonged to
    // the one before.
    virtual void DocumentReplaced() {}
    // The current morph took other genes (new, load, save, fresh offspring): the gene bar
    // shows it again.
    virtual void CurrentChanged() {}
    // The special genes' switches changed: the bar shows or hides their boxes.
    virtual void SpecialGenesChanged() {}
};

// Where the document's messages go: message boxes in the window, a list when headless.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual void ShowError(const std::string& text) = 0;
};

// Keeps every message; the headless default and what the tests read.
class CMessageLog : public IMessageSink {
public:
    void ShowError(const std::string& text) override { m_messages.push_back(text); }
    std::vector<std::string> m_messages;
};

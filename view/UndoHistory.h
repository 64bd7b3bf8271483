#pragma once

#include <QString>
#include <QUndoCommand>
#include <QUndoStack>
#include <optional>

#include "document/DocState.h"

// The kinds of change to the creature that can be taken back.
enum class EUndoKind {
    Breed,           // a breeding choice in the grid
    Engineer,        // a mutation by a click (or Space) in Engineer mode
    GeneEdit,        // a gene or gradient stepped on the gene bar
    HopefulMonster,  // Hopeful monster
    Paste,           // the current morph pasted over
    Corner,          // a triangle corner pasted over or loaded from a file
    TrianglePick,    // a morph left in the triangle by a click
    TriangleClear,   // the triangle's morphs cleared
    FamilyEdit,      // a child made, a node moved, a line destroyed or a link cut
    FamilyClear,     // the family trees cleared
    Grid,            // a row or column added or removed
    Repeat,          // one run of Repeat, however many steps it took
};

// What a kind of change may touch and how the Edit menu names it. A change never takes back
// more than its kind's parts, whatever else happened to differ meanwhile.
struct SUndoKindInfo {
    EUndoKind kind;
    unsigned parts;
    const char* text;
};
const SUndoKindInfo& UndoKindInfo(EUndoKind kind);

// What the history works on: the document's state as undo keeps it, and putting parts of it
// back. The view is the target in the program; tests may use a document alone.
class IUndoTarget {
public:
    virtual ~IUndoTarget() = default;
    virtual SDocState CaptureState() const = 0;
    virtual void RestoreState(const SDocState& state, unsigned parts) = 0;
    // The mode the document is shown in, and showing a change made in a mode: where the
    // parts it changes cannot be seen in the current mode, the target goes back to that mode,
    // so nothing is taken back or made again out of sight.
    virtual int CurrentMode() const = 0;
    virtual void ShowChangeFrom(int mode, unsigned parts) = 0;
    // Whether Repeat is switched on, and switching it off.
    virtual bool IsRepeatOn() const = 0;
    virtual void StopRepeat() = 0;
};

// One change as undo keeps it: the parts of the document it changed, before and after.
class CStateCommand : public QUndoCommand {
public:
    CStateCommand(IUndoTarget& target, SDocState before, SDocState after, unsigned parts,
                  const QString& text, int mode);
    void undo() override;
    void redo() override;
    unsigned Parts() const { return m_nParts; }
    int Mode() const { return m_nMode; }
    const SDocState& Before() const { return m_before; }
    const SDocState& After() const { return m_after; }

private:
    IUndoTarget& m_target;
    SDocState m_before;
    SDocState m_after;
    unsigned m_nParts;
    // The mode the change was made in.
    int m_nMode;
    // The change was already made when the command was pushed: the first redo does nothing.
    bool m_bDone = true;
};

// The undo history. What changes the creature is bracketed: Begin before it (the state is
// taken then), Commit after it (a command is pushed if its parts changed); CUndoScope does
// both around a block. A run of Repeat is one bracket from its first step to its stop;
// whatever happens inside it belongs to it.
class CUndoHistory {
public:
    static constexpr int kUndoLimit = 200;

    explicit CUndoHistory(IUndoTarget& target);

    QUndoStack& Stack() { return m_stack; }
    // Before an action that may change the creature. A bracket already open is kept.
    void Begin();
    // After it: pushes what changed as a command of the kind. With bKeepOpen, a bracket in
    // which nothing changed yet stays open (a press whose release may still change something).
    void Commit(EUndoKind kind, bool bKeepOpen = false);
    // The action was abandoned: the bracket closes and nothing is pushed.
    void Cancel() { m_before.reset(); }
    bool IsOpen() const { return m_before.has_value(); }

    // A press that spans several events (a gene-bar button or key held down): everything it
    // edits is one change. Starting one while another is open ends the earlier one.
    void BeginPress(EUndoKind kind);
    void EndPress();
    bool InPress() const { return m_pressKind.has_value(); }

    // Repeat: each step calls Step (the first opens the run); the run ends when Repeat stops.
    void RepeatStep();
    void EndRun();
    // Ends the run if Repeat is no longer on.
    void SyncRun();
    bool InRun() const { return m_runBefore.has_value(); }

    bool CanUndo() const { return m_stack.canUndo() || InRun(); }
    bool CanRedo() const { return m_stack.canRedo() && !InRun(); }
    void Undo();
    void Redo();
    // New and Open end the history.
    void Clear();

private:
    void Push(EUndoKind kind, SDocState before, SDocState after, int steps = 0);

    IUndoTarget& m_target;
    QUndoStack m_stack;
    std::optional<SDocState> m_before;
    std::optional<SDocState> m_runBefore;
    std::optional<EUndoKind> m_pressKind;
    int m_nRunSteps = 0;
};

// One change around a block: the history's bracket opens here and is committed as the kind
// when the scope ends, however the block is left. No kind: nothing is bracketed.
class CUndoScope {
public:
    CUndoScope(CUndoHistory& history, std::optional<EUndoKind> kind)
        : m_history(history), m_kind(kind) {
        if (m_kind) {
            m_history.Begin();
        }
    }
    ~CUndoScope() {
        if (m_kind) {
            m_history.Commit(*m_kind);
        }
    }
    CUndoScope(const CUndoScope&) = delete;
    CUndoScope& operator=(const CUndoScope&) = delete;

private:
    CUndoHistory& m_history;
    std::optional<EUndoKind> m_kind;
};

#pragma once

#include <QString>
#include <QUndoCommand>
#include <QUndoStack>
#include <memory>
#include <optional>

#include "document/DocState.h"

class CQuorvaleView;

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

// One change as undo keeps it: the parts of the document it changed, before and after. Each
// kind of change is a class of its own, naming itself for the Edit menu and saying which
// parts it may change, so a change can never take back more than its kind touches.
class CStateCommand : public QUndoCommand {
public:
    CStateCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts,
                  const QString& text);
    void undo() override;
    void redo() override;
    unsigned Parts() const { return m_nParts; }
    const SDocState& Before() const { return m_before; }
    const SDocState& After() const { return m_after; }

private:
    CQuorvaleView& m_view;
    SDocState m_before;
    SDocState m_after;
    unsigned m_nParts;
    // The change was already made when the command was pushed: the first redo does nothing.
    bool m_bDone = true;
};

class CBreedCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartCurrent | kPartOffspring;
    CBreedCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CEngineerCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartCurrent;
    CEngineerCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CGeneEditCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartCurrent;
    CGeneEditCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CHopefulMonsterCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartCurrent;
    CHopefulMonsterCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CPasteCommand : public CStateCommand {
public:
    // In Breed mode the offspring are bred anew from what was pasted.
    static constexpr unsigned kParts = kPartCurrent | kPartOffspring;
    CPasteCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CCornerCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartCorners;
    CCornerCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CTrianglePickCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartTriangle;
    CTrianglePickCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CTriangleClearCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartTriangle;
    CTriangleClearCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CFamilyEditCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartFamilies;
    CFamilyEditCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CFamilyClearCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartFamilies;
    CFamilyClearCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CGridCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartOffspring;
    CGridCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts);
};

class CRepeatCommand : public CStateCommand {
public:
    static constexpr unsigned kParts = kPartCurrent | kPartOffspring;
    CRepeatCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts,
                   int steps);
};

// The view's undo history. What changes the creature is bracketed: Begin before it (the state
// is taken then), Commit after it (a command is pushed if its parts changed). A run of Repeat
// is one bracket from its first step to its stop; whatever happens inside it belongs to it.
class CUndoHistory {
public:
    static constexpr int kUndoLimit = 200;

    explicit CUndoHistory(CQuorvaleView& view);

    QUndoStack& Stack() { return m_stack; }
    // Before an action that may change the creature. A bracket already open is kept.
    void Begin();
    // After it: pushes what changed as a command of the kind. With bKeepOpen, a bracket in
    // which nothing changed yet stays open (a press whose release may still change something).
    void Commit(EUndoKind kind, bool bKeepOpen = false);
    // The action was abandoned: the bracket closes and nothing is pushed.
    void Cancel() { m_before.reset(); }
    bool IsOpen() const { return m_before.has_value(); }

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
    SDocState Now() const;
    std::unique_ptr<CStateCommand> Make(EUndoKind kind, SDocState before, SDocState after,
                                        unsigned parts) const;

    CQuorvaleView& m_view;
    QUndoStack m_stack;
    std::optional<SDocState> m_before;
    std::optional<SDocState> m_runBefore;
    int m_nRunSteps = 0;
};

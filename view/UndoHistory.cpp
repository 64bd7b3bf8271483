#include "view/UndoHistory.h"

#include <QCoreApplication>
#include <utility>

namespace {

// Every kind of change: the parts it may take back and its name in the Edit menu.
constexpr SUndoKindInfo kUndoKinds[] = {
    {EUndoKind::Breed, kPartCurrent | kPartOffspring, QT_TRANSLATE_NOOP("Undo", "breeding choice")},
    {EUndoKind::Engineer, kPartCurrent, QT_TRANSLATE_NOOP("Undo", "mutation")},
    {EUndoKind::GeneEdit, kPartCurrent, QT_TRANSLATE_NOOP("Undo", "gene edit")},
    {EUndoKind::HopefulMonster, kPartCurrent, QT_TRANSLATE_NOOP("Undo", "hopeful monster")},
    // In Breed mode the offspring are bred anew from what was pasted.
    {EUndoKind::Paste, kPartCurrent | kPartOffspring, QT_TRANSLATE_NOOP("Undo", "paste")},
    {EUndoKind::Corner, kPartCorners, QT_TRANSLATE_NOOP("Undo", "new triangle corner")},
    {EUndoKind::TrianglePick, kPartTriangle, QT_TRANSLATE_NOOP("Undo", "triangle pick")},
    {EUndoKind::TriangleClear, kPartTriangle, QT_TRANSLATE_NOOP("Undo", "clear triangle")},
    {EUndoKind::FamilyEdit, kPartFamilies, QT_TRANSLATE_NOOP("Undo", "family tree edit")},
    {EUndoKind::FamilyClear, kPartFamilies, QT_TRANSLATE_NOOP("Undo", "clear family trees")},
    {EUndoKind::Grid, kPartOffspring, QT_TRANSLATE_NOOP("Undo", "rows and columns")},
    {EUndoKind::Repeat, kPartCurrent | kPartOffspring, QT_TRANSLATE_NOOP("Undo", "repeat")},
};

QString KindText(EUndoKind kind, int steps) {
    if (kind == EUndoKind::Repeat) {
        return steps == 1 ? QCoreApplication::translate("Undo", "repeat (1 step)")
                          : QCoreApplication::translate("Undo", "repeat (%1 steps)").arg(steps);
    }
    return QCoreApplication::translate("Undo", UndoKindInfo(kind).text);
}

}  // namespace

const SUndoKindInfo& UndoKindInfo(EUndoKind kind) {
    for (const SUndoKindInfo& info : kUndoKinds) {
        if (info.kind == kind) {
            return info;
        }
    }
    return kUndoKinds[0];
}

CStateCommand::CStateCommand(IUndoTarget& target, SDocState before, SDocState after, unsigned parts,
                             const QString& text, int mode)
    : m_target(target),
      m_before(std::move(before)),
      m_after(std::move(after)),
      m_nParts(parts),
      m_nMode(mode) {
    m_before.KeepOnly(parts);
    m_after.KeepOnly(parts);
    setText(text);
}

void CStateCommand::undo() {
    m_target.ShowChangeFrom(m_nMode, m_nParts);
    m_target.RestoreState(m_before, m_nParts);
}

void CStateCommand::redo() {
    if (m_bDone) {
        m_bDone = false;
        return;
    }
    m_target.ShowChangeFrom(m_nMode, m_nParts);
    m_target.RestoreState(m_after, m_nParts);
}

// ---------------------------------------------------------------------------------------

CUndoHistory::CUndoHistory(IUndoTarget& target) : m_target(target) {
    m_stack.setUndoLimit(kUndoLimit);
}

void CUndoHistory::SyncRun() {
    // Repeat was switched off by a way that did not say so (its box): the run ends before
    // anything else can join it.
    if (InRun() && !m_target.IsRepeatOn()) {
        EndRun();
    }
}

void CUndoHistory::Begin() {
    SyncRun();
    if (InRun() || m_before) {
        return;
    }
    m_before = m_target.CaptureState();
}

void CUndoHistory::Push(EUndoKind kind, SDocState before, SDocState after, int steps) {
    const unsigned kept = before.DifferingParts(after) & UndoKindInfo(kind).parts;
    if (kept == 0) {
        return;
    }
    m_stack.push(new CStateCommand(m_target, std::move(before), std::move(after), kept,
                                   KindText(kind, steps), m_target.CurrentMode()));
}

void CUndoHistory::Commit(EUndoKind kind, bool bKeepOpen) {
    if (InRun() || !m_before || m_pressKind) {
        // Inside a press, the press is the change.
        return;
    }
    SDocState after = m_target.CaptureState();
    if (bKeepOpen && m_before->DifferingParts(after) == 0) {
        return;
    }
    SDocState before = std::move(*m_before);
    m_before.reset();
    Push(kind, std::move(before), std::move(after));
}

void CUndoHistory::BeginPress(EUndoKind kind) {
    EndPress();
    Begin();
    m_pressKind = kind;
}

void CUndoHistory::EndPress() {
    if (!m_pressKind) {
        return;
    }
    const EUndoKind kind = *m_pressKind;
    m_pressKind.reset();
    Commit(kind);
}

void CUndoHistory::RepeatStep() {
    if (!InRun()) {
        // Whatever was half done when Repeat started belongs to the run.
        m_runBefore = m_before ? std::move(*m_before) : m_target.CaptureState();
        m_before.reset();
        m_pressKind.reset();
        m_nRunSteps = 0;
    }
    ++m_nRunSteps;
}

void CUndoHistory::EndRun() {
    if (!InRun()) {
        return;
    }
    SDocState before = std::move(*m_runBefore);
    m_runBefore.reset();
    Push(EUndoKind::Repeat, std::move(before), m_target.CaptureState(), m_nRunSteps);
    m_nRunSteps = 0;
}

void CUndoHistory::Undo() {
    if (InRun()) {
        // Undo while Repeat runs stops it and takes back the whole run.
        m_target.StopRepeat();
        EndRun();
    }
    m_before.reset();
    m_pressKind.reset();
    m_stack.undo();
}

void CUndoHistory::Redo() {
    SyncRun();
    if (InRun()) {
        return;
    }
    m_before.reset();
    m_pressKind.reset();
    m_stack.redo();
}

void CUndoHistory::Clear() {
    m_before.reset();
    m_runBefore.reset();
    m_pressKind.reset();
    m_nRunSteps = 0;
    m_stack.clear();
}

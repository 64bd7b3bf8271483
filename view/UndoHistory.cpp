#include "view/UndoHistory.h"

#include <utility>

#include "view/QuorvaleView.h"

CStateCommand::CStateCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts,
                             const QString& text)
    : m_view(view), m_before(std::move(before)), m_after(std::move(after)), m_nParts(parts) {
    m_before.KeepOnly(parts);
    m_after.KeepOnly(parts);
    setText(text);
}

void CStateCommand::undo() {
    m_view.RestoreState(m_before, m_nParts);
}

void CStateCommand::redo() {
    if (m_bDone) {
        m_bDone = false;
        return;
    }
    m_view.RestoreState(m_after, m_nParts);
}

CBreedCommand::CBreedCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    QObject::tr("breeding choice")) {}

CEngineerCommand::CEngineerCommand(CQuorvaleView& view, SDocState before, SDocState after,
                                   unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts, QObject::tr("mutation")) {}

CGeneEditCommand::CGeneEditCommand(CQuorvaleView& view, SDocState before, SDocState after,
                                   unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts, QObject::tr("gene edit")) {}

CHopefulMonsterCommand::CHopefulMonsterCommand(CQuorvaleView& view, SDocState before,
                                               SDocState after, unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    QObject::tr("hopeful monster")) {}

CPasteCommand::CPasteCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts, QObject::tr("paste")) {}

CCornerCommand::CCornerCommand(CQuorvaleView& view, SDocState before, SDocState after,
                               unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    QObject::tr("new triangle corner")) {}

CTrianglePickCommand::CTrianglePickCommand(CQuorvaleView& view, SDocState before, SDocState after,
                                           unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    QObject::tr("triangle pick")) {}

CTriangleClearCommand::CTriangleClearCommand(CQuorvaleView& view, SDocState before, SDocState after,
                                             unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    QObject::tr("clear triangle")) {}

CFamilyEditCommand::CFamilyEditCommand(CQuorvaleView& view, SDocState before, SDocState after,
                                       unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    QObject::tr("family tree edit")) {}

CFamilyClearCommand::CFamilyClearCommand(CQuorvaleView& view, SDocState before, SDocState after,
                                         unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    QObject::tr("clear family trees")) {}

CGridCommand::CGridCommand(CQuorvaleView& view, SDocState before, SDocState after, unsigned parts)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    QObject::tr("rows and columns")) {}

CRepeatCommand::CRepeatCommand(CQuorvaleView& view, SDocState before, SDocState after,
                               unsigned parts, int steps)
    : CStateCommand(view, std::move(before), std::move(after), parts,
                    steps == 1 ? QObject::tr("repeat (1 step)")
                               : QObject::tr("repeat (%1 steps)").arg(steps)) {}

// ---------------------------------------------------------------------------------------

CUndoHistory::CUndoHistory(CQuorvaleView& view) : m_view(view) {
    m_stack.setUndoLimit(kUndoLimit);
}

SDocState CUndoHistory::Now() const {
    return SDocState::Capture(m_view.Doc(), m_view.Cols(), m_view.Rows());
}

void CUndoHistory::SyncRun() {
    // Repeat was switched off by a way that did not say so (its box): the run ends before
    // anything else can join it.
    if (InRun() && !m_view.Bar().IsRepeatChecked()) {
        EndRun();
    }
}

void CUndoHistory::Begin() {
    SyncRun();
    if (InRun() || m_before) {
        return;
    }
    m_before = Now();
}

std::unique_ptr<CStateCommand> CUndoHistory::Make(EUndoKind kind, SDocState before, SDocState after,
                                                  unsigned parts) const {
    const auto make = [&]<typename T>() -> std::unique_ptr<CStateCommand> {
        const unsigned kept = parts & T::kParts;
        if (kept == 0) {
            return nullptr;
        }
        return std::make_unique<T>(m_view, std::move(before), std::move(after), kept);
    };
    switch (kind) {
        case EUndoKind::Breed:
            return make.operator()<CBreedCommand>();
        case EUndoKind::Engineer:
            return make.operator()<CEngineerCommand>();
        case EUndoKind::GeneEdit:
            return make.operator()<CGeneEditCommand>();
        case EUndoKind::HopefulMonster:
            return make.operator()<CHopefulMonsterCommand>();
        case EUndoKind::Paste:
            return make.operator()<CPasteCommand>();
        case EUndoKind::Corner:
            return make.operator()<CCornerCommand>();
        case EUndoKind::TrianglePick:
            return make.operator()<CTrianglePickCommand>();
        case EUndoKind::TriangleClear:
            return make.operator()<CTriangleClearCommand>();
        case EUndoKind::FamilyEdit:
            return make.operator()<CFamilyEditCommand>();
        case EUndoKind::FamilyClear:
            return make.operator()<CFamilyClearCommand>();
        case EUndoKind::Grid:
            return make.operator()<CGridCommand>();
        case EUndoKind::Repeat: {
            const unsigned kept = parts & CRepeatCommand::kParts;
            if (kept == 0) {
                return nullptr;
            }
            return std::make_unique<CRepeatCommand>(m_view, std::move(before), std::move(after),
                                                    kept, m_nRunSteps);
        }
    }
    return nullptr;
}

void CUndoHistory::Commit(EUndoKind kind, bool bKeepOpen) {
    if (InRun() || !m_before) {
        return;
    }
    SDocState after = Now();
    const unsigned parts = m_before->DifferingParts(after);
    if (parts == 0 && bKeepOpen) {
        return;
    }
    SDocState before = std::move(*m_before);
    m_before.reset();
    if (auto command = Make(kind, std::move(before), std::move(after), parts)) {
        m_stack.push(command.release());
    }
}

void CUndoHistory::RepeatStep() {
    if (!InRun()) {
        // Whatever was half done when Repeat started belongs to the run.
        m_runBefore = m_before ? std::move(*m_before) : Now();
        m_before.reset();
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
    SDocState after = Now();
    const unsigned parts = before.DifferingParts(after);
    if (auto command = Make(EUndoKind::Repeat, std::move(before), std::move(after), parts)) {
        m_stack.push(command.release());
    }
    m_nRunSteps = 0;
}

void CUndoHistory::Undo() {
    if (InRun()) {
        // Undo while Repeat runs stops it and takes back the whole run.
        m_view.StopRepeat();
        EndRun();
    }
    m_before.reset();
    m_stack.undo();
}

void CUndoHistory::Redo() {
    SyncRun();
    if (InRun()) {
        return;
    }
    m_before.reset();
    m_stack.redo();
}

void CUndoHistory::Clear() {
    m_before.reset();
    m_runBefore.reset();
    m_nRunSteps = 0;
    m_stack.clear();
}

#include "frame/CommandRules.h"

namespace {
bool GridMode(int mode) {
    return mode == kModeBreed || mode == kModeFossils;
}
}  // namespace

SCommandRule RuleFor(ECommand command, const SCommandState& s) {
    const int m = s.nMode;
    switch (command) {
        case ECommand::FileSaveAs:
        case ECommand::EditCopy:
            return {m != 3 && m != 4 && m != 5, false};
        case ECommand::EditPaste:
            return {m != 3 && m != 4 && s.bClipboardHasMorph, false};
        case ECommand::PasteTriangleTop:
        case ECommand::PasteTriangleLeft:
        case ECommand::PasteTriangleRight:
            return {s.bClipboardHasMorph, false};
        case ECommand::AddRow:
            return {GridMode(m) && s.nRows <= 6, false};
        case ECommand::RemoveRow:
            return {GridMode(m) && s.nRows >= 2, false};
        case ECommand::AddColumn:
            return {GridMode(m) && s.nCols <= 8, false};
        case ECommand::RemoveColumn:
            return {GridMode(m) && s.nCols >= 2, false};
        case ECommand::Breed:
            return {true, m == kModeBreed};
        case ECommand::Engineer:
            return {true, m == kModeEngineer};
        case ECommand::Repeat:
            return {m == kModeBreed || m == kModeEngineer, s.bRepeatChecked};
        case ECommand::HopefulMonster:
            return {m == kModeEngineer, false};
        case ECommand::GeneSpace:
            return {true, m == kModeTriangle};
        case ECommand::TriangleNewTop:
        case ECommand::TriangleNewLeft:
        case ECommand::TriangleNewRight:
        case ECommand::TriangleClear:
            return {m == kModeTriangle, false};
        case ECommand::FamilyTree:
            return {true, m == kModeFamily};
        case ECommand::FamilyCreate:
            return {m == kModeFamily, s.nFamilyTool == EFamilyTool::Create};
        case ECommand::FamilyDestroy:
            return {m == kModeFamily, s.nFamilyTool == EFamilyTool::Destroy};
        case ECommand::FossilHistory:
            return {true, m == kModeFossils};
        case ECommand::FossilNewHistory:
            return {s.nFossils > 0, false};
        case ECommand::FossilRecord:
            return {!s.bRecording, false};
        case ECommand::FossilStop:
            return {s.bRecording, false};
        case ECommand::ViewFullScreen:
            return {true, s.bFullScreen};
        case ECommand::EditUndo:
            return {s.bCanUndo && !s.bAnimating, false};
        case ECommand::EditRedo:
            return {s.bCanRedo && !s.bAnimating, false};
        // The family tree is drawn at one size whatever the zoom.
        case ECommand::ViewZoomIn:
            return {m != kModeFamily && s.nZoom < kMaxZoom, false};
        case ECommand::ViewZoomOut:
            return {m != kModeFamily && s.nZoom > 1, false};
        case ECommand::ViewActualSize:
            return {m != kModeFamily && s.nZoom != 1, false};
        default:
            return {true, false};
    }
}

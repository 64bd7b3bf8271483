#pragma once

#include <cstddef>

#include "document/QuorvaleDoc.h"
#include "view/ViewGeometry.h"

// Every command of the menus, accelerators and context menu.
enum class ECommand {
    FileNew,
    FileOpen,
    FileSave,  // Ctrl+S: save to the document's own path
    FileSaveAs,
    FilePrint,
    FilePrintPreview,
    FilePrintSetup,
    FileExit,
    EditCopy,
    EditCopyScreen,
    EditPaste,
    PasteTriangleTop,
    PasteTriangleLeft,
    PasteTriangleRight,
    AddRow,
    RemoveRow,
    AddColumn,
    RemoveColumn,
    Breed,
    Engineer,
    Repeat,
    HopefulMonster,
    Rotate,
    SpecialGenes,
    MutationRate,
    GeneSpace,
    TriangleNewTop,
    TriangleNewLeft,
    TriangleNewRight,
    TriangleClear,
    FamilyTree,
    FamilyCreate,
    FamilyDestroy,
    FamilyClear,
    FossilHistory,
    FossilNewHistory,
    FossilRecord,
    FossilStop,
    HelpTopics,
    HelpAbout,
    ContextSave,
    ContextCopy,
    // Beyond the menus the program always had: pictures out.
    FileExportPicture,
    ContextExport,
    ViewFullScreen,
    // Beyond them too: for the classroom.
    EditUndo,
    EditRedo,
    ViewZoomIn,
    ViewZoomOut,
    ViewActualSize,
    Count
};

// What the rules look at.
struct SCommandState {
    int nMode = 0;
    bool bRecording = true;
    size_t nFossils = 0;
    int nRows = 3;
    int nCols = 5;
    bool bClipboardHasMorph = false;
    bool bRepeatChecked = false;
    EFamilyTool nFamilyTool = EFamilyTool::Create;
    bool bFullScreen = false;
    bool bCanUndo = false;
    bool bCanRedo = false;
    bool bAnimating = false;
    int nZoom = 1;
};

struct SCommandRule {
    bool bEnabled = true;
    bool bChecked = false;
    friend bool operator==(const SCommandRule&, const SCommandRule&) = default;
};

// The enabled and checked state of a command. A command whose rule disables it is not carried
// out, from the menu or from its key.
SCommandRule RuleFor(ECommand command, const SCommandState& state);

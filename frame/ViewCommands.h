#pragma once

#include <array>
#include <cstdint>

#include "model/GeneTables.h"

class CBioMorph;
class CGeneBar;
class CQuorvaleDoc;
class CQuorvaleView;
class IFrameDialogs;

// The commands that act on the creature and the view: the modes, evolution, the genes'
// settings, the clipboard, the triangle and the family trees, and the gene bar's edits. Each
// is carried out through the command table's door, which checks its rule and brackets undo.
class CViewCommands {
public:
    CViewCommands(CQuorvaleDoc& doc, CQuorvaleView& view, CGeneBar& geneBar,
                  IFrameDialogs*& dialogs);

    void Breed();
    void Engineer();
    // Evolve > Repeat (Ctrl+R) and the Repeat box: switches Repeat on or off.
    void ToggleRepeat();
    void HopefulMonster();
    void Rotate();
    void SpecialGenes();
    void MutationRate();
    void FossilHistory();
    void NewHistory();
    void Copy();
    void Paste();
    void PasteInto(CBioMorph& corner);
    void GeneSpace();
    void TriangleClear();
    void FamilyTree();
    void FamilyClear();
    // The morph under the point where the context menu was opened (null: none).
    CBioMorph* ContextMorph() const;
    void ContextCopy();

    // The gene bar's edits of the current morph.
    void ApplyGenes(const std::array<int32_t, kGeneCount>& genes);
    void ApplyGradients(const GeneArray& gradients);

private:
    CQuorvaleDoc& m_doc;
    CQuorvaleView& m_view;
    CGeneBar& m_geneBar;
    IFrameDialogs*& m_rDialogs;
};

#include "frame/ViewCommands.h"

#include "document/QuorvaleDoc.h"
#include "frame/FrameDialogs.h"
#include "frame/GeneBar.h"
#include "view/QuorvaleView.h"

CViewCommands::CViewCommands(CQuorvaleDoc& doc, CQuorvaleView& view, CGeneBar& geneBar,
                             IFrameDialogs*& dialogs)
    : m_doc(doc), m_view(view), m_geneBar(geneBar), m_rDialogs(dialogs) {}

// ---------------------------------------------------------------------------------------
// Modes and evolution

void CViewCommands::Breed() {
    if (m_doc.Mode() == kModeBreed) {
        return;
    }
    m_view.SetMode(kModeBreed);
    m_view.ShowBreedingScreen();
}

void CViewCommands::Engineer() {
    if (m_doc.Mode() == kModeEngineer) {
        return;
    }
    m_view.SetMode(kModeEngineer);
    m_view.Invalidate();
}

void CViewCommands::ToggleRepeat() {
    m_geneBar.SetRepeatChecked(!m_geneBar.IsRepeatChecked());
    if (m_geneBar.IsRepeatChecked()) {
        m_view.RepeatStep();
    }
    m_view.ScheduleRepeat();
    m_view.setFocus();
}

void CViewCommands::HopefulMonster() {
    m_doc.MakeHopefulMonster();
    if (!m_geneBar.IsRepeatEnabled()) {
        m_geneBar.EnableRepeat(true);
    }
    m_view.SetLastEvolve(evolveMonster);
    m_view.RecordFossil(*m_doc.m_pCurrent);
    m_view.Invalidate();
    m_view.activateWindow();
    m_view.setFocus();
}

void CViewCommands::Rotate() {
    m_doc.Rotate();
    if (m_doc.Mode() == kModeTriangle) {
        m_view.TriangleChanged();
    }
    m_view.Invalidate();
}

void CViewCommands::SpecialGenes() {
    if (m_doc.RunSpecialGenesDialog([this] { return m_rDialogs->RunSpecialGenes(); }) &&
        m_doc.Mode() == kModeTriangle) {
        m_view.TriangleChanged();
    }
    m_geneBar.update();
    m_view.Invalidate();
}

void CViewCommands::MutationRate() {
    m_doc.OnMutationRate([this](float rate) { return m_rDialogs->RunMutationRate(rate); });
}

void CViewCommands::FossilHistory() {
    m_view.SetMode(kModeFossils);
    m_view.Invalidate();
}

void CViewCommands::NewHistory() {
    m_doc.DeleteFossils();
    m_view.Invalidate();
}

// ---------------------------------------------------------------------------------------
// Clipboard

void CViewCommands::Copy() {
    if (m_doc.Mode() == kModeBreed) {
        const SRect cell = m_view.ParentCellRect();
        m_view.CopyToClipboard(m_doc.m_pCurrent.get(), &cell);
    } else {
        m_view.CopyToClipboard(m_doc.m_pCurrent.get(), nullptr);
    }
}

void CViewCommands::Paste() {
    m_view.PasteInto(*m_doc.m_pCurrent);
    m_geneBar.ShowGenes(m_doc.m_pCurrent.get());
}

void CViewCommands::PasteInto(CBioMorph& corner) {
    m_view.PasteInto(corner);
}

CBioMorph* CViewCommands::ContextMorph() const {
    return m_view.MorphAt(m_view.mapFromGlobal(m_view.ContextMenuPoint()));
}

void CViewCommands::ContextCopy() {
    // The morph under the point where the menu was opened; over nothing, the whole view.
    m_view.CopyToClipboard(ContextMorph(), nullptr);
}

// ---------------------------------------------------------------------------------------
// Triangle and family tree

void CViewCommands::GeneSpace() {
    m_view.SetMode(kModeTriangle);
    m_doc.ClearTrianglePoints();
    m_view.TriangleChanged();
    m_view.Invalidate();
}

void CViewCommands::TriangleClear() {
    m_doc.ClearTrianglePoints();
    m_view.TriangleCleared();
    m_geneBar.ClearGenes();
    m_view.Invalidate();
}

void CViewCommands::FamilyTree() {
    if (m_doc.m_listFamilies.empty()) {
        m_view.NewFamilyRoot();
    } else if (m_doc.HasLoneFamilyRoot()) {
        // A lone root follows the current morph.
        m_doc.DeleteFamilies();
        m_view.NewFamilyRoot();
    }
    m_view.SetMode(kModeFamily);
    m_view.Invalidate();
}

void CViewCommands::FamilyClear() {
    m_doc.DeleteFamilies();
    m_view.NewFamilyRoot();
    if (m_doc.Mode() == kModeFamily) {
        m_view.SetMode(kModeFamily);
        m_view.Invalidate();
    }
}

// ---------------------------------------------------------------------------------------
// The gene bar's edits

void CViewCommands::ApplyGenes(const std::array<int32_t, kGeneCount>& genes) {
    m_doc.SetCurrentGenes(genes);
    m_view.Invalidate();
}

void CViewCommands::ApplyGradients(const GeneArray& gradients) {
    m_doc.SetCurrentGradients(gradients);
    m_view.Invalidate();
}

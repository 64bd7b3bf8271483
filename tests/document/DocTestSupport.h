#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../model/TestSupport.h"
#include "document/QuorvaleDoc.h"

// Stands in for the view: keeps what the document asks of it.
class CFakeView : public IViewLink {
public:
    explicit CFakeView(CQuorvaleDoc* doc = nullptr) : m_pDoc(doc) {}
    void SetFamilyTool(EFamilyTool tool) override { m_nFamilyTool = static_cast<int>(tool); }
    void SetGridSize(int cols, int rows) override {
        m_nCols = cols;
        m_nRows = rows;
    }
    void SetFirstFossil(int first) override { m_nFirstFossil = first; }
    void SetLastEvolve(int evolve) override { m_nLastEvolve = evolve; }
    void SetMode(int mode) override { m_modes.push_back(mode); }
    void FossilScrollRangeChanged() override {
        m_rangeCounts.push_back(m_pDoc ? m_pDoc->m_listFossils.size() : 0);
    }
    void UpdateAllViews() override { ++m_nUpdates; }
    void StopRepeat() override { m_bRepeat = false; }

    CQuorvaleDoc* m_pDoc;
    int m_nFamilyTool = -1;
    int m_nCols = -1;
    int m_nRows = -1;
    int m_nFirstFossil = -1;
    int m_nLastEvolve = -1;
    std::vector<int> m_modes;
    std::vector<size_t> m_rangeCounts;
    int m_nUpdates = 0;
    bool m_bRepeat = true;
};

// Stands in for the gene bar.
class CFakeGeneBar : public IGeneDisplay {
public:
    void ShowGenes(const CBioMorph* morph) override {
        m_pShown = morph;
        ++m_nShows;
    }
    void ShowSpecialGeneBoxes() override { ++m_nBoxUpdates; }

    const CBioMorph* m_pShown = nullptr;
    int m_nShows = 0;
    int m_nBoxUpdates = 0;
};

class CDocTest : public CModelTest {
protected:
    void SetUp() override {
        CModelTest::SetUp();
        SetGeneDisplay(&m_geneBar);
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_view.m_pDoc = m_doc.get();
        m_doc->SetViewLink(&m_view);
        m_doc->OnNewDocument();
    }
    void TearDown() override {
        m_doc.reset();
        CModelTest::TearDown();
    }

    std::vector<std::string> Messages() const { return m_doc->MessageLog().m_messages; }

    CFakeGeneBar m_geneBar;
    CFakeView m_view;
    std::unique_ptr<CQuorvaleDoc> m_doc;
};

inline std::vector<int32_t> GenesOf(const CBioMorph& m) {
    auto g = m.GetGenes();
    return {g.begin(), g.end()};
}

inline std::vector<int32_t> GradientsOf(const CBioMorph& m) {
    return {m.m_Gradients.begin() + 1, m.m_Gradients.end()};
}

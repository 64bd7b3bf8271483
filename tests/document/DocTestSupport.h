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
    void EnterMode(int mode) override { m_modes.push_back(mode); }
    void FossilScrollRangeChanged() override {
        m_rangeCounts.push_back(m_pDoc ? m_pDoc->m_listFossils.size() : 0);
    }
    void UpdateAllViews() override { ++m_nUpdates; }
    void StopRepeat() override { m_bRepeat = false; }
    // What the gene bar would be told to show.
    void CurrentChanged() override {
        m_pShown = m_pDoc ? m_pDoc->m_pCurrent.get() : nullptr;
        ++m_nShows;
    }
    void SpecialGenesChanged() override { ++m_nBoxUpdates; }

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
    const CBioMorph* m_pShown = nullptr;
    int m_nShows = 0;
    int m_nBoxUpdates = 0;
};

class CDocTest : public CModelTest {
protected:
    void SetUp() override {
        CModelTest::SetUp();
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

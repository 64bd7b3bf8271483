#include "document/QuorvaleDoc.h"

#include <algorithm>

#include "document/BioFile.h"
#include "document/ClipboardRecord.h"
#include "document/FileIo.h"
#include "model/Archive.h"

int g_bMutationRateOpen = 0;

namespace {

struct SPreset {
    std::array<int32_t, kGeneCount> genes;
    std::array<int32_t, kGeneCount> gradients;
};

constexpr SPreset kTriTop = {
    {-10, 30, 20, -20, 20, -10, -20, -20, 7, 1, 50, 0, 0, 230, 3, 43, 43, 1, 0},
    {-2, 0, 2, 0, 2, 2}};
constexpr SPreset kTriLeft = {
    {-10, -20, -20, -15, -20, 0, 10, 15, 8, 2, -23, 1, 0, 200, 3, 10, 29, 10, -1},
    {0, 0, 0, -2, -2}};
constexpr SPreset kTriRight = {
    {50, 50, -50, 20, -90, -30, 50, 10, 7, 1, 10, 0, 0, 100, 3, 1, 60, 0, 0}, {-2, 0, 2, 0, 2, 2}};

void ApplyPreset(CBioMorph& morph, const SPreset& preset) {
    // Field by field: the laid-out flag is left alone (the triangle develops its corners
    // directly, which does not consult it).
    for (int g = 1; g <= kGeneCount; ++g) {
        morph.m_Genes[g] = preset.genes[g - 1];
        morph.m_Gradients[g] = preset.gradients[g - 1];
    }
}

}  // namespace

std::string FileTitleOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return ReadableName(slash == std::string::npos ? path : path.substr(slash + 1));
}

CQuorvaleDoc::CQuorvaleDoc() {
    m_nMode = kModeEngineer;
    m_nOrientation = 0;
    m_bRecording = 1;
    m_fMutationRate = 1.0f;
    m_bSpecialGenesOpen = 0;
    m_pCurrent = std::make_unique<CBioMorph>();
    m_pTriTop = std::make_unique<CBioMorph>();
    m_pTriLeft = std::make_unique<CBioMorph>();
    m_pTriRight = std::make_unique<CBioMorph>();
    m_pTriMorph = std::make_unique<CBioMorph>();
    ResetTriangle();
    for (int i = 0; i < kStartOffspring; ++i) {
        AddOffspring();
    }
    m_strSignature = kBioSignature;
    m_nVersion = kBioVersion;
    m_cfBiomorph = kClipboardFormatName;
    SetDefaultGeneTables();
}

CQuorvaleDoc::~CQuorvaleDoc() {
    DeleteFossils();
    DeleteOffspring();
    DeleteFamilies();
}

bool CQuorvaleDoc::OnNewDocument() {
    m_strPathName.clear();
    m_pCurrent->SetGenes(kBasicGenes);
    m_pCurrent->ClearGradients();
    NotifyCurrentChanged();
    m_nMode = kModeBreed;
    m_nOrientation = 0;
    DeleteFossils();
    ClearTrianglePoints();
    DeleteFamilies();
    DeleteOffspring();
    for (int i = 0; i < kStartOffspring; ++i) {
        AddOffspring();
    }
    RespawnOffspring();
    m_strTitle = "Untitled";
    m_listFossils.push_back(std::make_unique<CBioMorph>());
    m_bRecording = 1;
    ResetTriangle();
    ResetView(true);
    StopRepeat();
    MarkClean();
    return true;
}

bool CQuorvaleDoc::IsModified() const {
    GeneArray gradients{};
    m_pCurrent->GetGradients(gradients);
    return m_pCurrent->GetGenes() != m_savedGenes || gradients != m_savedGradients;
}

void CQuorvaleDoc::MarkClean() {
    m_savedGenes = m_pCurrent->GetGenes();
    m_pCurrent->GetGradients(m_savedGradients);
}

void CQuorvaleDoc::StopRepeat() {
    if (m_pView) {
        m_pView->StopRepeat();
    }
}

void CQuorvaleDoc::ResetView(bool bResetFirstFossil) {
    if (!m_pView) {
        return;
    }
    m_pView->DocumentReplaced();
    m_pView->SetFamilyTool(EFamilyTool::Create);
    m_pView->SetGridSize(5, 3);
    if (bResetFirstFossil) {
        m_pView->SetFirstFossil(0);
    }
    m_pView->SetLastEvolve(evolveNone);
    m_pView->EnterMode(m_nMode);
}

CBioMorph* CQuorvaleDoc::AddOffspring() {
    m_listOffspring.push_back(std::make_unique<CBioMorph>());
    return m_listOffspring.back().get();
}

void CQuorvaleDoc::DeleteOffspring() {
    while (!m_listOffspring.empty()) {
        m_listOffspring.pop_back();
    }
}

void CQuorvaleDoc::DeleteFossils() {
    while (!m_listFossils.empty()) {
        m_listFossils.pop_back();
    }
}

void CQuorvaleDoc::SetCurrentGenes(const std::array<int32_t, kGeneCount>& genes) {
    m_pCurrent->SetGenes(genes);
}

void CQuorvaleDoc::SetCurrentGradients(const GeneArray& gradients) {
    m_pCurrent->SetGradients(gradients);
}

void CQuorvaleDoc::MakeHopefulMonster() {
    m_pCurrent->HopefulMonster();
    NotifyCurrentChanged();
}

void CQuorvaleDoc::DeleteFamilies() {
    while (!m_listFamilies.empty()) {
        CFamilyList& family = *m_listFamilies.back();
        // Unlink before deleting, so no node is left pointing at a deleted parent meanwhile.
        for (auto& node : family) {
            node->m_pParent = nullptr;
            node->m_Children.clear();
        }
        while (!family.empty()) {
            family.pop_back();
        }
        m_listFamilies.pop_back();
    }
}

void CQuorvaleDoc::ResetTriangle() {
    ApplyPreset(*m_pTriTop, kTriTop);
    ApplyPreset(*m_pTriLeft, kTriLeft);
    ApplyPreset(*m_pTriRight, kTriRight);
}

void CQuorvaleDoc::RespawnOffspring() {
    const std::array<int32_t, kGeneCount> genes = m_pCurrent->GetGenes();
    GeneArray gradients{};
    m_pCurrent->GetGradients(gradients);
    for (auto& child : m_listOffspring) {
        child->SetGenes(genes);
        child->SetGradients(gradients);
        child->Mutate(m_fMutationRate);
    }
    // Each mutant showed itself on the gene bar: the bar goes back to the parent it edits.
    NotifyCurrentChanged();
}

void CQuorvaleDoc::NewDocumentFromFramework() {
    m_strPathName.clear();
    OnNewDocument();
    m_strTitle = "Untitled";
}

void CQuorvaleDoc::FinishOpen() {
    if (m_bLoadRejected) {
        NewDocumentFromFramework();
        return;
    }
    DeleteFossils();
    ClearTrianglePoints();
    DeleteFamilies();
}

CFamilyMorph* CQuorvaleDoc::NewFamilyRoot(int x, int y) {
    auto root = std::make_unique<CFamilyMorph>(*m_pCurrent);
    root->m_ptNode = {x, y};
    CFamilyMorph* node = root.get();
    auto family = std::make_unique<CFamilyList>();
    family->push_back(std::move(root));
    m_listFamilies.push_back(std::move(family));
    return node;
}

CFamilyMorph* CQuorvaleDoc::AddFamilyChild(CFamilyMorph* parent, int x, int y) {
    CFamilyList* tree = parent ? FindFamilyOf(parent) : nullptr;
    if (!tree) {
        return nullptr;
    }
    tree->push_back(std::make_unique<CFamilyMorph>(*parent, x, y));
    CFamilyMorph& child = *tree->back();
    child.Mutate(m_fMutationRate);
    child.m_pParent = parent;
    parent->AddChild(&child);
    RecordFossil(child);
    child.Measure(x, y, m_nOrientation);
    return &child;
}

bool CQuorvaleDoc::DestroyFamilyLine(CFamilyMorph* node) {
    if (!node || (m_listFamilies.size() == 1 && !node->m_pParent)) {
        return false;
    }
    node->DeleteDescendants(m_listFamilies);
    if (node->m_pParent) {
        node->m_pParent->RemoveChild(node);
    }
    CFamilyList* family = FindFamilyOf(node);
    if (!family) {
        return true;
    }
    family->erase(std::find_if(family->begin(), family->end(),
                               [node](const auto& p) { return p.get() == node; }));
    if (family->empty()) {
        m_listFamilies.erase(std::find_if(m_listFamilies.begin(), m_listFamilies.end(),
                                          [family](const auto& p) { return p.get() == family; }));
    }
    return true;
}

int CQuorvaleDoc::CutFamilyLinks(int x, int y) {
    int cuts = 0;
    // Only the trees there were before the first cut are searched.
    const size_t trees = m_listFamilies.size();
    for (size_t t = 0; t < trees; ++t) {
        CFamilyList& source = *m_listFamilies[t];  // stays put: trees are owned by pointer
        if (source.empty()) {
            continue;
        }
        auto [parent, child] = source.front()->FindLink(x, y);
        if (!parent) {
            continue;
        }
        parent->RemoveChild(child);
        child->m_pParent = nullptr;
        m_listFamilies.push_back(std::make_unique<CFamilyList>());
        CFamilyList& target = *m_listFamilies.back();
        auto it = std::find_if(source.begin(), source.end(),
                               [child = child](const auto& p) { return p.get() == child; });
        if (it != source.end()) {
            target.push_back(std::move(*it));
            source.erase(it);
        }
        child->MoveDescendants(source, target);
        ++cuts;
    }
    return cuts;
}

void CQuorvaleDoc::TakeChildGenome(int k) {
    if (k < 0 || static_cast<size_t>(k) >= m_listOffspring.size()) {
        return;
    }
    const CBioMorph& child = *m_listOffspring[static_cast<size_t>(k)];
    GeneArray gradients{};
    child.GetGradients(gradients);
    m_pCurrent->SetGenes(child.GetGenes());
    m_pCurrent->SetGradients(gradients);
}

void CQuorvaleDoc::AddParentCopies(int count) {
    const std::array<int32_t, kGeneCount> genes = m_pCurrent->GetGenes();
    for (int i = 0; i < count; ++i) {
        AddOffspring()->SetGenes(genes);
    }
}

void CQuorvaleDoc::RemoveLastOffspring(int count) {
    for (int i = 0; i < count && !m_listOffspring.empty(); ++i) {
        m_listOffspring.pop_back();
    }
}

CFamilyList* CQuorvaleDoc::FindFamilyOf(const CFamilyMorph* node) const {
    return ::FindFamilyOf(m_listFamilies, node);
}

CFamilyMorph* CQuorvaleDoc::FamilyNodeAt(int x, int y) const {
    return FamilyNodeAtEx(x, y, nullptr, nullptr);
}

CFamilyMorph* CQuorvaleDoc::FamilyNodeAtEx(int x, int y, int* familyIndex, int* nodeIndex) const {
    for (size_t f = 0; f < m_listFamilies.size(); ++f) {
        const CFamilyList& family = *m_listFamilies[f];
        for (size_t n = 0; n < family.size(); ++n) {
            if (family[n]->HitNode(x, y)) {
                if (familyIndex) {
                    *familyIndex = static_cast<int>(f);
                }
                if (nodeIndex) {
                    *nodeIndex = static_cast<int>(n);
                }
                return family[n].get();
            }
        }
    }
    return nullptr;
}

CFamilyMorph* CQuorvaleDoc::FamilyFrameAt(int x, int y) const {
    for (const auto& family : m_listFamilies) {
        for (const auto& node : *family) {
            if (node->HitFrame(x, y)) {
                return node.get();
            }
        }
    }
    return nullptr;
}

bool CQuorvaleDoc::RecordFossil(const CBioMorph& morph) {
    if (m_bRecording == 0) {
        return false;
    }
    m_listFossils.push_back(std::make_unique<CBioMorph>());
    m_listFossils.back()->CopyGenome(morph);
    if (m_listFossils.size() == kFossilLimit) {
        m_listFossils.erase(m_listFossils.begin(),
                            m_listFossils.begin() + static_cast<std::ptrdiff_t>(kFossilTrim));
    }
    // Told after the trim, so the scroll bar describes the history as it now is.
    if (m_pView) {
        m_pView->FossilScrollRangeChanged();
    }
    return true;
}

bool CQuorvaleDoc::RunSpecialGenesDialog(
    const std::function<std::optional<CSpecialGeneChoices>()>& runDialog) {
    m_bSpecialGenesOpen = 1;
    const std::optional<CSpecialGeneChoices> choices = runDialog();
    if (!choices) {
        m_bSpecialGenesOpen = 0;
        return false;
    }
    ApplySpecialGenes(*choices);
    m_bSpecialGenesOpen = 0;
    return true;
}

void CQuorvaleDoc::ApplySpecialGenes(const CSpecialGeneChoices& choices) {
    for (int g = 10; g <= kGeneCount; ++g) {
        // The segment distance is expressed with the segmentation; it has no Present box.
        if (g != kGeneSegmentDistance) {
            g_SpecialGenes[g].bPresent = choices[g].bPresent ? 1 : 0;
        }
        g_SpecialGenes[g].bCanMutate = choices[g].bCanMutate ? 1 : 0;
    }
    if (m_pView) {
        m_pView->SpecialGenesChanged();
        m_pView->UpdateAllViews();
    }
    m_pCurrent->m_bLaidOut = 0;
}

void CQuorvaleDoc::OnMutationRate(const std::function<std::optional<float>(float)>& runDialog) {
    g_bMutationRateOpen = 1;
    const std::optional<float> rate = runDialog(m_fMutationRate);
    g_bMutationRateOpen = 0;
    if (rate) {
        m_fMutationRate = *rate;
    }
}

// ---------------------------------------------------------------------------------------
// .bio files

void CQuorvaleDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        StoreDocument(ar);
    } else {
        LoadDocument(ar);
    }
}

void CQuorvaleDoc::StoreDocument(CArchive& ar) {
    StopRepeat();
    m_bLoadRejected = 0;
    WriteBioHeader(ar, m_strSignature, m_nVersion);
    m_pCurrent->Serialize(ar);
    NotifyCurrentChanged();
    if (m_nMode != kModeEngineer) {
        m_nMode = kModeBreed;
        RespawnOffspring();
    }
    // The morphs are measured afresh in the orientation they go back to.
    if (m_nOrientation != 0) {
        g_bRemeasure = 1;
    }
    m_nOrientation = 0;
}

void CQuorvaleDoc::LoadDocument(CArchive& ar) {
    StopRepeat();
    m_bLoadRejected = 0;
    ReadBioHeader(ar, m_strSignature, m_nVersion);
    const EBioLoad check = CheckBioHeader(m_strSignature, m_nVersion);
    if (check != EBioLoad::Ok) {
        m_bLoadRejected = 1;
        ReportError(BioLoadMessage(check));
        OnNewDocument();
        m_strSignature = kBioSignature;
        m_nVersion = kBioVersion;
    } else {
        m_pCurrent->Serialize(ar);
        NotifyCurrentChanged();
    }
    if (m_nMode != kModeEngineer) {
        m_nMode = kModeBreed;
        RespawnOffspring();
    }
    // The morphs are measured afresh in the orientation they go back to.
    if (m_nOrientation != 0) {
        g_bRemeasure = 1;
    }
    m_nOrientation = 0;
    ResetView(false);
    DeleteFamilies();
    DeleteFossils();
    DeleteOffspring();
    RecordFossil(*m_pCurrent);
    m_bRecording = 1;
    for (int i = 0; i < kStartOffspring; ++i) {
        AddOffspring();
    }
    RespawnOffspring();
}

std::vector<uint8_t> CQuorvaleDoc::SaveToBytes() {
    CArchive ar;
    Serialize(ar);
    return ar.TakeBuffer();
}

bool CQuorvaleDoc::CheckOpenable(const std::vector<uint8_t>& bytes, const std::string& path) {
    // A file that is empty, of the wrong type or version, or cut short, is refused before
    // anything changes: the creature being bred and its history are never thrown away for it.
    if (bytes.empty()) {
        ReportError("Could not open " + ReadableName(path) + ": the file is empty.");
        return false;
    }
    CBioMorph probe;
    const EBioLoad check = LoadMorphFromFile(bytes.data(), bytes.size(), probe);
    if (check != EBioLoad::Ok) {
        ReportError("Could not open " + ReadableName(path) + ".\n\n" + BioLoadMessage(check));
        return false;
    }
    return true;
}

bool CQuorvaleDoc::ReadOpenable(const std::string& path, std::vector<uint8_t>& bytes) {
    std::string error;
    if (!ReadFileBytes(path, bytes, error)) {
        ReportError(error);
        return false;
    }
    return CheckOpenable(bytes, path);
}

bool CQuorvaleDoc::OpenFromBytes(const std::vector<uint8_t>& bytes, const std::string& path) {
    if (!CheckOpenable(bytes, path)) {
        return false;
    }
    CArchive ar(bytes.data(), bytes.size());
    try {
        Serialize(ar);
    } catch (const CArchiveException&) {
        // Checked above; kept so that no reading error can escape.
        ReportError(BioLoadMessage(EBioLoad::Truncated));
        NewDocumentFromFramework();
        return false;
    }
    MarkClean();
    m_strPathName = path;
    m_strTitle = FileTitleOf(path);
    return true;
}

bool CQuorvaleDoc::OpenFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(path, bytes, error)) {
        ReportError(error);
        return false;
    }
    return OpenFromBytes(bytes, path);
}

bool CQuorvaleDoc::OpenAndFinish(const std::string& path) {
    return OpenFile(path) && FinishOpened();
}

bool CQuorvaleDoc::OpenAndFinish(const std::vector<uint8_t>& bytes, const std::string& path) {
    return OpenFromBytes(bytes, path) && FinishOpened();
}

bool CQuorvaleDoc::FinishOpened() {
    FinishOpen();
    if (m_pView) {
        m_pView->UpdateAllViews();
    }
    return true;
}

bool CQuorvaleDoc::SaveFile(const std::string& path) {
    std::string error;
    if (!WriteFileAtomically(
            path, [this] { return SaveToBytes(); }, error)) {
        ReportError(error.empty() ? "Failed to save document." : error);
        return false;
    }
    MarkClean();
    return true;
}

bool CQuorvaleDoc::SaveAs(const std::string& path) {
    const bool bSaved = SaveFile(path);
    m_strTitle = FileTitleOf(path);
    if (m_pView) {
        m_pView->UpdateAllViews();
    }
    return bSaved;
}

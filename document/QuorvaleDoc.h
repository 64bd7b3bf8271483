#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/DocLinks.h"
#include "model/BioMorph.h"
#include "model/FamilyMorph.h"
#include "model/Geometry.h"

class CArchive;

// The file's name without its folder, as a title (readable text whatever bytes the name has).
std::string FileTitleOf(const std::string& path);

// Modes of the document.
enum EMode : int {
    kModeBreed = 0,
    kModeEngineer = 1,
    kModeFossils = 3,
    kModeTriangle = 4,
    kModeFamily = 5,
};

// What Repeat repeats.
enum EEvolve : int {
    evolveNone = 5,
    evolveMutate = 6,
    evolveMonster = 7,
};

// True while the mutation-rate dialog is open, so that F1 opens its help topic.
extern int g_bMutationRateOpen;

using CMorphList = std::vector<std::unique_ptr<CBioMorph>>;

// The choices of the special-gene dialog: the Present and Can Mutate switches of genes 1-19
// (only 10-19 are the user's).
using CSpecialGeneChoices = std::array<SSpecialGene, kGeneCount + 1>;

// The one document: the current morph, its offspring, the fossil history, the family trees,
// the triangle's morphs and points, the mode and the global settings. Runs without a window.
class CQuorvaleDoc {
public:
    static constexpr int kStartOffspring = 14;
    static constexpr size_t kFossilLimit = 1000;
    static constexpr size_t kFossilTrim = 200;

    CQuorvaleDoc();
    ~CQuorvaleDoc();
    CQuorvaleDoc(const CQuorvaleDoc&) = delete;
    CQuorvaleDoc& operator=(const CQuorvaleDoc&) = delete;

    void SetViewLink(IViewLink* view) { m_pView = view; }
    void SetMessageSink(IMessageSink* sink) { m_pMessages = sink ? sink : &m_log; }
    // An error for the user, through the window's message box when there is one.
    void ReportError(const std::string& text) { m_pMessages->ShowError(text); }
    const CMessageLog& MessageLog() const { return m_log; }

    bool OnNewDocument();

    CBioMorph* AddOffspring();
    void DeleteOffspring();
    void DeleteFossils();
    void DeleteFamilies();
    void ClearTrianglePoints() { m_listTrianglePoints.clear(); }
    void ResetTriangle();
    void RespawnOffspring();
    void FinishOpen();

    // The family trees as their tools change them.
    // A new tree whose root is a copy of the current morph, its node at (x, y).
    CFamilyMorph* NewFamilyRoot(int x, int y);
    // A mutant of parent at (x, y), joined to it, recorded and measured there; null when the
    // parent belongs to no tree.
    CFamilyMorph* AddFamilyChild(CFamilyMorph* parent, int x, int y);
    // Destroys a node with its whole line of descent. The last tree keeps its root: false,
    // and nothing changes.
    bool DestroyFamilyLine(CFamilyMorph* node);
    // Cuts the links under (x, y), one per tree at most: each cut-off child takes its
    // descendants into a tree of its own. The number of links cut.
    int CutFamilyLinks(int x, int y);

    // Breeding: the current morph takes the genes and gradients of offspring k.
    void TakeChildGenome(int k);
    // The grid grows or shrinks: exact copies of the parent join the offspring (they become
    // mutants at the next generation), or the last offspring go.
    void AddParentCopies(int count);
    void RemoveLastOffspring(int count);

    CFamilyList* FindFamilyOf(const CFamilyMorph* node) const;
    CFamilyMorph* FamilyNodeAt(int x, int y) const;
    // Also gives the positions of the node's family in the family list and of the node in it.
    CFamilyMorph* FamilyNodeAtEx(int x, int y, int* familyIndex, int* nodeIndex) const;
    CFamilyMorph* FamilyFrameAt(int x, int y) const;

    // Appends a copy of the morph to the history while recording is on, trimming the oldest
    // entries when the history reaches its limit. True if a copy was made.
    bool RecordFossil(const CBioMorph& morph);

    void OnRecord() { m_bRecording = 1; }
    void OnStop() { m_bRecording = 0; }
    static bool CanSaveAs(int mode) {
        return mode != kModeFossils && mode != kModeTriangle && mode != kModeFamily;
    }

    // Runs the special-gene dialog through the given function (it returns the choices on OK,
    // nothing on Cancel) and applies the choices.
    bool RunSpecialGenesDialog(
        const std::function<std::optional<CSpecialGeneChoices>()>& runDialog);
    void ApplySpecialGenes(const CSpecialGeneChoices& choices);
    // Runs the mutation-rate dialog (given the rate, it returns the new one on OK).
    void OnMutationRate(const std::function<std::optional<float>(float)>& runDialog);

    // The .bio file: writes or reads the document through the archive. Reading throws
    // CArchiveException when the data ends early.
    void Serialize(CArchive& ar);
    // Saving: the file's bytes, with the document's steps of writing.
    std::vector<uint8_t> SaveToBytes();
    // Whether a file's bytes can be opened: an empty file, one of the wrong type or version,
    // or one cut short is reported (the message names the file) and refused.
    bool CheckOpenable(const std::vector<uint8_t>& bytes, const std::string& path);
    // Reads a file and checks it as above; false (reported) if it cannot be opened.
    bool ReadOpenable(const std::string& path, std::vector<uint8_t>& bytes);
    // Opening from bytes: a file that cannot be opened is refused and changes nothing.
    bool OpenFromBytes(const std::vector<uint8_t>& bytes, const std::string& path);
    // Reads the file and opens it; a file that cannot be read is reported and changes nothing.
    bool OpenFile(const std::string& path);
    // Saves to the path, keeping the old file whole if the save fails (reported, false).
    bool SaveFile(const std::string& path);
    // The Save as command after its dialog: saves and takes the file's name as the title.
    bool SaveAs(const std::string& path);
    // The Open command after its dialog: opens, then clears what a fresh file should not keep.
    bool OpenAndFinish(const std::string& path);
    bool OpenAndFinish(const std::vector<uint8_t>& bytes, const std::string& path);

    // Whether the current morph differs from what its file holds (or, untitled, from the
    // morph a new document starts with). The file holds the current morph alone: the fossil
    // history, the family trees and the triangle are never saved, so they do not count.
    bool IsModified() const;
    // The current morph is what the file holds now.
    void MarkClean();

    int Mode() const { return m_nMode; }
    // The mode the document is shown in (the view enters it).
    void SetMode(int mode) { m_nMode = mode; }
    // A quarter turn of every morph.
    void Rotate() {
        m_nOrientation = (m_nOrientation + 1) % 4;
        // Every morph is laid out afresh in its new orientation.
        g_bRemeasure = 1;
    }
    // The current morph takes genes or gradients (an edit on the gene bar), or becomes a
    // hopeful monster.
    void SetCurrentGenes(const std::array<int32_t, kGeneCount>& genes);
    void SetCurrentGradients(const GeneArray& gradients);
    void MakeHopefulMonster();
    // True while the family trees hold nothing but one root (it follows the current morph).
    bool HasLoneFamilyRoot() const {
        return m_listFamilies.size() == 1 && m_listFamilies.front()->size() == 1;
    }
    float MutationRate() const { return m_fMutationRate; }
    const std::string& Title() const { return m_strTitle; }
    const std::string& PathName() const { return m_strPathName; }
    void SetTitle(const std::string& title) { m_strTitle = title; }
    // After a save to a path of the document's own: the path and its name become the document's.
    void SetPathName(const std::string& path) {
        m_strPathName = path;
        m_strTitle = FileTitleOf(path);
    }

    std::string m_strSignature;
    int32_t m_nVersion = 1;
    std::string m_cfBiomorph;
    int32_t m_nMode = 1;
    int32_t m_nOrientation = 0;
    float m_fMutationRate = 1.0f;
    int32_t m_bRecording = 1;
    int32_t m_bSpecialGenesOpen = 0;
    CFamilyLists m_listFamilies;
    CMorphList m_listOffspring;
    CMorphList m_listFossils;
    std::vector<SPoint> m_listTrianglePoints;
    std::unique_ptr<CBioMorph> m_pCurrent;
    std::unique_ptr<CBioMorph> m_pTriTop;
    std::unique_ptr<CBioMorph> m_pTriLeft;
    std::unique_ptr<CBioMorph> m_pTriRight;
    std::unique_ptr<CBioMorph> m_pTriMorph;
    int32_t m_bLoadRejected = 0;

private:
    void ResetView(bool bResetFirstFossil);
    bool FinishOpened();
    void NotifyCurrentChanged() {
        if (m_pView) {
            m_pView->CurrentChanged();
        }
    }
    void StopRepeat();
    void StoreDocument(CArchive& ar);
    void LoadDocument(CArchive& ar);
    // The framework's File New: the base step clears the path and title.
    void NewDocumentFromFramework();

    std::array<int32_t, kGeneCount> m_savedGenes{};
    GeneArray m_savedGradients{};
    IViewLink* m_pView = nullptr;
    CMessageLog m_log;
    IMessageSink* m_pMessages = &m_log;
    std::string m_strTitle = "Untitled";
    std::string m_strPathName;
};

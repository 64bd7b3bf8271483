#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "model/GeneTables.h"

class CBioMorph;

enum class EIndicator { Flat, Rising, Falling, Blank, Unchanged };

// What the gene bar shows and edits, free of any window: the values of the boxes, the two
// symmetry texts and the gradients. The widget draws it and turns presses into its steps.
class CGeneBarState {
public:
    struct SChanges {
        std::bitset<kGeneCount + 1> boxes;
        std::bitset<kGeneCount + 1> pictures;
    };

    // Takes a morph's genome; reports which boxes and pictures changed. Null changes nothing.
    SChanges ShowGenes(const CBioMorph* morph);
    void ClearGenes();
    // One step of gene k (left adds, right subtracts, Ctrl ten steps); true when the value
    // had to be clamped (the caller beeps). The symmetry boxes toggle or cycle their text.
    bool StepGene(int k, bool bLeftButton, bool bCtrl);
    // -2 -> 0 -> 2 -> -2; 1 and -1 stay.
    void CycleGradient(int k);

    // The genome as the bar shows it, genes 12 and 13 taken from their texts.
    std::array<int32_t, kGeneCount> Genome() const;
    // What box k reads.
    std::string BoxText(int k) const;
    // The picture for gene k's gradient.
    EIndicator Indicator(int k) const;
    // Gene 12 and 13 as the bar reads them: -1 for a text that names no value.
    int MirrorValue() const { return m_strMirror == "Bilat" ? 0 : 1; }
    int SpokesValue() const;

    std::array<int32_t, kGeneCount + 1> m_nValue{};
    std::string m_strMirror = "Asym";
    std::string m_strSpokes = "Radial";
    GeneArray m_nGradient{};
};

#pragma once

#include <array>
#include <vector>

#include "model/GeneTables.h"
#include "model/Geometry.h"

class CBioMorph;
class CQuorvaleDoc;

// One morph as undo keeps it: its genome, and where it was last measured, so a restored
// morph is hit and framed where it was until it is next drawn.
struct SMorphState {
    GeneArray genes{};
    GeneArray gradients{};
    SRect bounds{};
    SPoint offset{};

    static SMorphState Of(const CBioMorph& morph);
    void ApplyTo(CBioMorph& morph) const;
    // The same creature: genes and gradients (the measurement follows from them).
    bool SameGenome(const SMorphState& other) const {
        return genes == other.genes && gradients == other.gradients;
    }
};

// A family tree node: its morph, its place and its links, by index in its tree's list.
struct SFamilyNodeState {
    SMorphState morph;
    SPoint node{};
    int parent = -1;
    std::vector<int> children;
    bool operator==(const SFamilyNodeState& other) const {
        return morph.SameGenome(other.morph) && node == other.node && parent == other.parent &&
               children == other.children;
    }
};
using SFamilyTreeState = std::vector<SFamilyNodeState>;

// The parts of the document that what the user does to the creature can change.
enum EDocPart : unsigned {
    kPartCurrent = 1u << 0,    // the current morph
    kPartOffspring = 1u << 1,  // the offspring list, and the grid that shows it
    kPartFamilies = 1u << 2,   // the family trees
    kPartTriangle = 1u << 3,   // the triangle's points
    kPartCorners = 1u << 4,    // the triangle's corner morphs
};

// The creature-making state of the document at one moment: what undo takes back. The fossil
// record is not in it (it stays as the user recorded it), nor the settings, the mode or the
// orientation.
struct SDocState {
    SMorphState current;
    std::vector<SMorphState> offspring;
    int cols = 5;
    int rows = 3;
    std::vector<SFamilyTreeState> families;
    std::vector<SPoint> trianglePoints;
    std::array<SMorphState, 3> corners;  // top, left, right

    static SDocState Capture(const CQuorvaleDoc& doc, int cols, int rows);
    // The parts in which two states differ.
    unsigned DifferingParts(const SDocState& other) const;
    // Puts the given parts back into the document (the grid size is the caller's to set).
    void RestoreInto(CQuorvaleDoc& doc, unsigned parts) const;
    // Drops what is not in the parts, so a kept state costs only what it restores.
    void KeepOnly(unsigned parts);
};

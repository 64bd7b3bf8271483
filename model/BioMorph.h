#pragma once

#include <array>
#include <cstdint>

#include "model/GeneTables.h"
#include "model/Geometry.h"

class CArchive;
class IDrawSurface;

// Every drawing made after a rotation measures its morph again, since the bounds depend on
// the orientation; the view clears it after its next complete repaint.
extern int g_bRemeasure;

// A biomorph: 19 genes and 19 gradients, grown into a branching line drawing.
class CBioMorph {
public:
    // Segments beyond this many are not developed. Gene 10 comes unchecked from files and the
    // clipboard; its limit is 9 (mutation, editing and the gene table keep to it), so this
    // changes no genome within its limits and leaves room for a file's modest excess, while a
    // wild value costs at most a little over twice the largest legal morph to draw.
    static constexpr int kMaxSegments = 20;

    CBioMorph();
    virtual ~CBioMorph() = default;
    CBioMorph(const CBioMorph&) = delete;
    CBioMorph& operator=(const CBioMorph&) = delete;

    void CopyGenome(const CBioMorph& source);
    void SetGenes(const int32_t* genes);  // 19 values, gene order
    void SetGenes(const std::array<int32_t, kGeneCount>& genes) { SetGenes(genes.data()); }
    void GetGenes(int32_t* genes) const;  // 19 outputs
    std::array<int32_t, kGeneCount> GetGenes() const;
    void SetGradients(const GeneArray& gradients);  // elements 1-19
    void GetGradients(GeneArray& gradients) const;  // element 0 untouched
    void ClearGradients();

    int32_t Gene(int g) const { return m_Genes[g]; }
    int32_t Gradient(int g) const { return m_Gradients[g]; }
    void SetGene(int g, int32_t v) {
        m_Genes[g] = v;
        m_bLaidOut = 0;
    }
    void SetGradient(int g, int32_t v) {
        m_Gradients[g] = v;
        m_bLaidOut = 0;
    }

    // Development: grows the morph from the origin (x, y) in orientation o (quarter turns).
    // With draw = 0 it measures (the surface, if any, only gets the origin pixel).
    int Develop(IDrawSurface* surface, int x, int y, int o, int draw);
    void Measure(int x, int y, int o);
    void Draw(IDrawSurface& surface, int x, int y, int o);

    // Mutation passes at the given rate, then the gene display shows the morph.
    void Mutate(float rate);
    // Replaces every mutable gene (and gradient) by a random value.
    void HopefulMonster();

    // The 35-integer archive record (genes, gradients 1-9, 11, 14-19).
    virtual void Serialize(CArchive& ar);

    int32_t m_bLaidOut = 0;
    GeneArray m_Genes{};      // element 0 unused
    GeneArray m_Gradients{};  // element 0 unused
    int32_t m_DirX[8]{};
    int32_t m_DirY[8]{};
    int32_t m_bAltSide = 0;
    SRect m_rcBounds{};
    SPoint m_ptOffset{-30000, 0};
    int32_t m_nTurn[4][4]{};

private:
    // The box a measurement grows, kept apart from m_rcBounds so it can live in registers.
    struct SBox {
        int64_t left, top, right, bottom;
        void Include(int64_t x, int64_t y) {
            left = x < left ? x : left;
            top = y < top ? y : top;
            right = x > right ? x : right;
            bottom = y > bottom ? y : bottom;
        }
    };

    void SetDirections(const int64_t e[9]);
    int64_t ScaleAt(int j) const;
    void StrokeEnd(int64_t x, int64_t y, int64_t n, int c, int a, int64_t s, int64_t& x1,
                   int64_t& y1) const;
    void DrawTree(IDrawSurface* surface, int64_t x, int64_t y, int64_t n, int c, int a,
                  int64_t outline, int64_t body, int64_t width, int j, bool bXor);
    struct SDirections {
        int64_t l[8];
        int64_t m[8];
    };
    void Turn(int c, int a, int64_t& l, int64_t& m) const;
    void MeasureTree(SBox& box, int64_t x, int64_t y, int64_t n, int c, int a, int64_t s) const;
    void MeasureBranch(SBox& box, const SDirections& dirs, int64_t x, int64_t y, int64_t n, int c,
                       int64_t s, int64_t oneSidedDepth) const;
    void DrawStroke(IDrawSurface& surface, int x, int y, int x1, int y1, int64_t outline,
                    int64_t body, int64_t width, int j, bool bXor);
    static void DrawLeaf(IDrawSurface& surface, int x, int y, int x1, int y1);

    bool m_bGrew = false;  // the last development grew at least one segment
};

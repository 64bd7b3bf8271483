#include "frame/GeneBarState.h"

#include <algorithm>

#include "model/BioMorph.h"

CGeneBarState::SChanges CGeneBarState::ShowGenes(const CBioMorph* morph) {
    SChanges changes;
    if (!morph) {
        return changes;
    }
    for (int k = 1; k <= kGeneCount; ++k) {
        if (k == kGeneMirror || k == kGeneRotation) {
            continue;
        }
        if (morph->m_Genes[k] != m_nValue[k]) {
            m_nValue[k] = morph->m_Genes[k];
            changes.boxes.set(k);
        }
    }
    const int32_t mirror = morph->m_Genes[kGeneMirror];
    if (mirror == 0 || mirror == 1) {
        const char* text = mirror == 1 ? "Asym" : "Bilat";
        if (m_strMirror != text) {
            m_strMirror = text;
            changes.boxes.set(kGeneMirror);
        }
    }
    const int32_t spokes = morph->m_Genes[kGeneRotation];
    if (spokes >= 0 && spokes <= 2) {
        static const char* const kTexts[] = {"Single", "Double", "Radial"};
        if (m_strSpokes != kTexts[spokes]) {
            m_strSpokes = kTexts[spokes];
            changes.boxes.set(kGeneRotation);
        }
    }
    for (int k = 1; k <= kGeneCount; ++k) {
        if (morph->m_Gradients[k] != m_nGradient[k]) {
            m_nGradient[k] = morph->m_Gradients[k];
            changes.pictures.set(k);
        }
    }
    return changes;
}

void CGeneBarState::ClearGenes() {
    m_nValue.fill(0);
    m_strMirror.clear();
    m_strSpokes.clear();
}

int CGeneBarState::SpokesValue() const {
    if (m_strSpokes == "Single") {
        return 0;
    }
    if (m_strSpokes == "Double") {
        return 1;
    }
    if (m_strSpokes == "Radial") {
        return 2;
    }
    return -1;
}

bool CGeneBarState::StepGene(int k, bool bLeftButton, bool bCtrl) {
    if (k == kGeneMirror) {
        m_strMirror = m_strMirror != "Bilat" ? "Bilat" : "Asym";
        return false;
    }
    if (k == kGeneRotation) {
        if (m_strSpokes == "Single") {
            m_strSpokes = "Double";
        } else if (m_strSpokes == "Double") {
            m_strSpokes = "Radial";
        } else if (m_strSpokes == "Radial") {
            m_strSpokes = "Single";
        }
        return false;
    }
    if (k < 1 || k > kGeneCount) {
        return false;
    }
    const SGeneLimit& lim = g_GeneLimits[k];
    int64_t step = lim.nStep * (bCtrl ? 10 : 1);
    int64_t v = int64_t{m_nValue[k]} + (bLeftButton ? step : -step);
    bool bClamped = false;
    if (v > lim.nMax) {
        v = lim.nMax;
        bClamped = true;
    }
    if (v < lim.nMin) {
        v = lim.nMin;
        bClamped = true;
    }
    m_nValue[k] = static_cast<int32_t>(v);
    return bClamped;
}

void CGeneBarState::CycleGradient(int k) {
    if (k < 1 || k > kGeneCount) {
        return;
    }
    int32_t& g = m_nGradient[k];
    if (g == -2) {
        g = 0;
    } else if (g == 0) {
        g = 2;
    } else if (g == 2) {
        g = -2;
    }
}

std::array<int32_t, kGeneCount> CGeneBarState::Genome() const {
    std::array<int32_t, kGeneCount> genes{};
    for (int k = 1; k <= kGeneCount; ++k) {
        genes[k - 1] = m_nValue[k];
    }
    genes[kGeneMirror - 1] = MirrorValue();
    // A box that names no value (blank after clearing) writes 0, as "Single" would.
    genes[kGeneRotation - 1] = std::max(SpokesValue(), 0);
    return genes;
}

std::string CGeneBarState::BoxText(int k) const {
    if (k == kGeneMirror) {
        return m_strMirror;
    }
    if (k == kGeneRotation) {
        return m_strSpokes;
    }
    return std::to_string(m_nValue[k]);
}

EIndicator CGeneBarState::Indicator(int k) const {
    if (k == kGeneSegments || k == kGeneMirror || k == kGeneRotation) {
        return EIndicator::Blank;
    }
    switch (m_nGradient[k]) {
        case 0:
            return EIndicator::Flat;
        case 1:
        case 2:
            return EIndicator::Rising;
        case -1:
        case -2:
            return EIndicator::Falling;
        default:
            return EIndicator::Unchanged;
    }
}

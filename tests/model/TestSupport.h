#pragma once

#include <gtest/gtest.h>

#include "BioMorph.h"
#include "GeneDisplay.h"
#include "GeneTables.h"
#include "Random.h"

// Restores the global switches, tables, generator and display around every test, so no
// test leaks a setting into the next.
class CModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDefaultGeneTables();
        SeedRandom(1);
        g_bRemeasure = 0;
    }
    void TearDown() override {
        SetDefaultGeneTables();
        SeedRandom(1);
        g_bRemeasure = 0;
        SetGeneDisplay(nullptr);
    }

    static void SetAllPresent(bool bPresent) {
        for (int g = 10; g <= kGeneCount; ++g) {
            g_SpecialGenes[g].bPresent = bPresent ? 1 : 0;
        }
    }
    static void SetAllMutable(bool bMutable) {
        for (int g = 10; g <= kGeneCount; ++g) {
            g_SpecialGenes[g].bCanMutate = bMutable ? 1 : 0;
        }
    }
};

#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/GeneTables.h"

// A genome as the tool prints it: {"genes":[g1,...,g19],"gradients":[d1,...,d19]}, so that
// what one command prints is what the next one reads. Both fields are required; other
// fields are ignored (their values must still be JSON). Every value is a whole number within
// 32 bits, written without a fraction or exponent; genes beyond their usual limits are kept,
// as a file may hold them too.
struct SGenomeJson {
    std::array<int32_t, kGeneCount> genes{};  // gene 1 first
    std::array<int32_t, kGeneCount> gradients{};
};

// Reads the text; `what` names its source in messages ("--genome-json"). Throws CUsageError
// with a message that names the field and what is wrong with it.
SGenomeJson ParseGenomeJson(const std::string& text, const std::string& what);

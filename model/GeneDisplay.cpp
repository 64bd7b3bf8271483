#include "model/GeneDisplay.h"

namespace {
IGeneDisplay g_silentDisplay;
IGeneDisplay* g_pGeneDisplay = &g_silentDisplay;
}  // namespace

IGeneDisplay& GeneDisplay() {
    return *g_pGeneDisplay;
}

void SetGeneDisplay(IGeneDisplay* display) {
    g_pGeneDisplay = display ? display : &g_silentDisplay;
}

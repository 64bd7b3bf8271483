#include "model/DrawSurface.h"

float g_fPrintScale = 1.0f;

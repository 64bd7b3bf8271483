#pragma once

#include <QString>

// What the program says about each gene (1 to 19) and its gradient: a line for tips and
// screen readers, and the help page's own section for What's This.
QString GeneTip(int gene);
QString GradientTip(int gene);
// The help's own words on a gene and on its gradient (the tip if the help is not there).
QString GeneWhatsThis(int gene);
QString GradientWhatsThis(int gene);

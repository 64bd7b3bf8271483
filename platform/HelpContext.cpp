#include "platform/HelpContext.h"

#include <iterator>

// Ids of the table, by kind. Commands are listed in menu order; their topics follow that order.
const std::array<SHelpContext, kHelpContextCount> g_HelpContextMap = {{
    // File, Edit, Evolve, Genes, Triangle and Family commands: topics 1 to 28.
    {57600, 1},   // New
    {57601, 2},   // Open
    {57603, 3},   // Save
    {57604, 4},   // Save as
    {57607, 5},   // Print
    {57609, 6},   // Print preview
    {57606, 7},   // Print setup
    {32798, 8},   // Copy screen
    {57634, 9},   // Copy
    {57637, 10},  // Paste
    {32799, 11},  // Add row
    {32800, 12},  // Remove row
    {32801, 13},  // Add column
    {32802, 14},  // Remove column
    {32813, 15},  // Breed
    {32811, 16},  // Engineer
    {32778, 17},  // Rotate
    {32812, 18},  // Special genes
    {32819, 19},  // Mutation rate
    {32781, 20},  // Gene space
    {32782, 21},  // New top
    {32783, 22},  // New left
    {32784, 23},  // New right
    {32792, 24},  // Clear triangle
    {32814, 25},  // Family tree
    {32816, 26},  // Create
    {32815, 27},  // Destroy
    {32818, 28},  // Clear family
    // Gene bar gradient pictures of genes 1 to 19.
    {11086, 1001},
    {11087, 1002},
    {11088, 1003},
    {11089, 1004},
    {11090, 1005},
    {11091, 1006},
    {11092, 1007},
    {11093, 1008},
    {11094, 1009},
    {11095, 1010},
    {11096, 1011},
    {11097, 1012},
    {11098, 1013},
    {11099, 1014},
    {11100, 1015},
    {11101, 1016},
    {11102, 1017},
    {11103, 1018},
    {11104, 1019},
    // Gene bar value boxes of genes 1 to 19.
    {11024, 1021},
    {11025, 1022},
    {11026, 1023},
    {11027, 1024},
    {11028, 1025},
    {11029, 1026},
    {11030, 1027},
    {11031, 1028},
    {11032, 1029},
    {11033, 1030},
    {11034, 1031},
    {11035, 1032},
    {11036, 1033},
    {11037, 1034},
    {11038, 1035},
    {11039, 1036},
    {11040, 1037},
    {11041, 1038},
    {11042, 1039},
    // Special-gene dialog, Present boxes: Segmentation, then the rows from Scaling to
    // Rotational symmetry.
    {1224, 1010},
    {1225, 1012},
    {1226, 1013},
    {1227, 1014},
    {1228, 1015},
    {1229, 1016},
    {1230, 1017},
    {1231, 1018},
    {1232, 1019},
    // Special-gene dialog, Can Mutate boxes, Segmentation to Rotational symmetry.
    {1233, 1020},
    {1234, 1021},
    {1235, 1022},
    {1236, 1023},
    {1237, 1024},
    {1238, 1025},
    {1239, 1026},
    {1240, 1027},
    {1241, 1028},
    {1242, 1029},
    // The gene bar and special-gene dialog templates, and the mutation-rate dialog.
    {138, 1503},
    {147, 1504},
    {159, 1505},
    {1255, 1505},
    {1220, 1505},
    {1203, 1505},
    // Gene bar buttons.
    {1056, 1501},  // Repeat
    {1055, 1502},  // Hopeful
}};

int HelpTopicForMode(int mode) {
    switch (mode) {
        case 1:
            return kHelpTopicEngineerMode;
        case 3:
            return kHelpTopicFossilMode;
        case 4:
            return kHelpTopicTriangleMode;
        case 5:
            return kHelpTopicFamilyMode;
        default:
            return kHelpTopicBreedMode;
    }
}

int HelpTopicForContext(uint32_t data, int mode) {
    // The high half carries the kind of request (command, control, dialog); only the id counts.
    const uint32_t id = data & 0xFFFFu;
    switch (id) {
        case kHelpIdExportPicture:
            return kHelpTopicExportPicture;
        case kHelpIdUndo:
            return kHelpTopicUndo;
        case kHelpIdZoom:
            return kHelpTopicZoom;
        case kHelpIdFullScreen:
            return kHelpTopicFullScreen;
        default:
            break;
    }
    for (const SHelpContext& entry : g_HelpContextMap) {
        if (entry.nId == id) {
            return entry.nTopic;
        }
    }
    return HelpTopicForMode(mode);
}

namespace {

// Commands 1 to 28, in menu order.
constexpr const char* kCommandPages[] = {
    "qrc:/help/files.html#new",
    "qrc:/help/files.html#open",
    "qrc:/help/files.html#save",
    "qrc:/help/files.html#saveas",
    "qrc:/help/printing.html#print",
    "qrc:/help/printing.html#preview",
    "qrc:/help/printing.html#setup",
    "qrc:/help/clipboard.html#copyscreen",
    "qrc:/help/clipboard.html#copy",
    "qrc:/help/clipboard.html#paste",
    "qrc:/help/grid.html#addrow",
    "qrc:/help/grid.html#removerow",
    "qrc:/help/grid.html#addcolumn",
    "qrc:/help/grid.html#removecolumn",
    "qrc:/help/breeding.html#breed",
    "qrc:/help/engineering.html#engineer",
    "qrc:/help/rotate.html#rotate",
    "qrc:/help/settings.html#specialgenes",
    "qrc:/help/settings.html#mutationrate",
    "qrc:/help/triangle.html#genespace",
    "qrc:/help/triangle.html#newtop",
    "qrc:/help/triangle.html#newleft",
    "qrc:/help/triangle.html#newright",
    "qrc:/help/triangle.html#clear",
    "qrc:/help/family.html#familytree",
    "qrc:/help/family.html#create",
    "qrc:/help/family.html#destroy",
    "qrc:/help/family.html#clear",
};

// The gradient picture of gene k (topic 1000 + k) lands on the gradient paragraph of that gene.
constexpr const char* kGradientPages[] = {
    "qrc:/help/genes.html#gradient1",  "qrc:/help/genes.html#gradient2",
    "qrc:/help/genes.html#gradient3",  "qrc:/help/genes.html#gradient4",
    "qrc:/help/genes.html#gradient5",  "qrc:/help/genes.html#gradient6",
    "qrc:/help/genes.html#gradient7",  "qrc:/help/genes.html#gradient8",
    "qrc:/help/genes.html#gradient9",  "qrc:/help/genes.html#gradient10",
    "qrc:/help/genes.html#gradient11", "qrc:/help/genes.html#gradient12",
    "qrc:/help/genes.html#gradient13", "qrc:/help/genes.html#gradient14",
    "qrc:/help/genes.html#gradient15", "qrc:/help/genes.html#gradient16",
    "qrc:/help/genes.html#gradient17", "qrc:/help/genes.html#gradient18",
    "qrc:/help/genes.html#gradient19",
};

// The value box of gene k (topic 1020 + k) lands on that gene's section.
constexpr const char* kGenePages[] = {
    "qrc:/help/genes.html#gene1",  "qrc:/help/genes.html#gene2",  "qrc:/help/genes.html#gene3",
    "qrc:/help/genes.html#gene4",  "qrc:/help/genes.html#gene5",  "qrc:/help/genes.html#gene6",
    "qrc:/help/genes.html#gene7",  "qrc:/help/genes.html#gene8",  "qrc:/help/genes.html#gene9",
    "qrc:/help/genes.html#gene10", "qrc:/help/genes.html#gene11", "qrc:/help/genes.html#gene12",
    "qrc:/help/genes.html#gene13", "qrc:/help/genes.html#gene14", "qrc:/help/genes.html#gene15",
    "qrc:/help/genes.html#gene16", "qrc:/help/genes.html#gene17", "qrc:/help/genes.html#gene18",
    "qrc:/help/genes.html#gene19",
};

constexpr int kCommandTopicCount = static_cast<int>(std::size(kCommandPages));
constexpr int kGeneTopicCount = static_cast<int>(std::size(kGenePages));
static_assert(kCommandTopicCount == 28);
static_assert(std::size(kGradientPages) == 19 && kGeneTopicCount == 19);

}  // namespace

const char* HelpPageForTopic(int topic) {
    if (topic >= 1 && topic <= kCommandTopicCount) {
        return kCommandPages[topic - 1];
    }
    if (topic >= 1001 && topic <= 1000 + kGeneTopicCount) {
        return kGradientPages[topic - 1001];
    }
    if (topic >= 1021 && topic <= 1020 + kGeneTopicCount) {
        return kGenePages[topic - 1021];
    }
    switch (topic) {
        case 1020:  // the Can Mutate box of Segmentation, which has no gene-bar twin
            return "qrc:/help/settings.html#canmutate";
        case kHelpTopicBreedMode:
            return "qrc:/help/breeding.html";
        case kHelpTopicEngineerMode:
            return "qrc:/help/engineering.html";
        case kHelpTopicFamilyMode:
            return "qrc:/help/family.html";
        case kHelpTopicFossilMode:
            return "qrc:/help/fossils.html";
        case kHelpTopicTriangleMode:
            return "qrc:/help/triangle.html";
        case kHelpTopicRepeat:
            return "qrc:/help/repeat.html";
        case kHelpTopicHopeful:
            return "qrc:/help/monsters.html";
        case kHelpTopicGeneBar:
            return "qrc:/help/engineering.html#genebar";
        case kHelpTopicSpecialGenes:
            return "qrc:/help/settings.html#specialgenes";
        case kHelpTopicMutationRate:
            return "qrc:/help/settings.html#mutationrate";
        case kHelpTopicExportPicture:
            return "qrc:/help/printing.html#export";
        case kHelpTopicUndo:
            return "qrc:/help/classroom.html#undo";
        case kHelpTopicZoom:
            return "qrc:/help/classroom.html#zoom";
        case kHelpTopicFullScreen:
            return "qrc:/help/classroom.html#fullscreen";
        default:
            return kHelpIndexPage;
    }
}

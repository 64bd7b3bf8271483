#pragma once

#include <array>
#include <cstdint>

// Help routing: which help topic a command, a control or a dialog asks for, and which page of the
// help pages shows that topic. Standard C++ only, so that the table can be checked without a
// window.

// One entry of the context table: a command id, a control id or a dialog template id, and the
// topic number it opens.
struct SHelpContext {
    uint32_t nId;
    int nTopic;
};

inline constexpr int kHelpContextCount = 93;

// Scanned in order; the first entry whose id matches wins.
extern const std::array<SHelpContext, kHelpContextCount> g_HelpContextMap;

// Topics with a name of their own. Commands are 1 to 28 in menu order, the gene bar's gradient
// pictures 1001 to 1019 and its value boxes 1021 to 1039 (gene k at 1000 + k and 1020 + k).
enum EHelpTopic : int {
    kHelpTopicDefault = 0,
    kHelpTopicBreedMode = 101,
    kHelpTopicEngineerMode = 102,
    kHelpTopicFamilyMode = 103,
    kHelpTopicFossilMode = 105,
    kHelpTopicTriangleMode = 106,
    kHelpTopicRepeat = 1501,
    kHelpTopicHopeful = 1502,
    kHelpTopicGeneBar = 1503,
    kHelpTopicSpecialGenes = 1504,
    kHelpTopicMutationRate = 1505,
    kHelpTopicExportPicture = 1601,
    kHelpTopicUndo = 1602,
    kHelpTopicZoom = 1603,
    kHelpTopicFullScreen = 1604,
};

// The command id of File > Export picture (and the context menu's), which help routes to its
// own topic.
inline constexpr uint32_t kHelpIdExportPicture = 32900;
// The same for Undo and Redo, the zoom commands and Full screen.
inline constexpr uint32_t kHelpIdUndo = 32901;
inline constexpr uint32_t kHelpIdZoom = 32902;
inline constexpr uint32_t kHelpIdFullScreen = 32903;

// The topic shown when a help request names nothing the table knows: the page of the document
// mode (0 Breed, 1 Engineer, 3 Fossil history, 4 Gene-space triangle, 5 Family tree). Any other
// mode gives the Breed topic.
int HelpTopicForMode(int mode);

// The topic for a context help request: the low 16 bits of data are looked up among the ids of
// g_HelpContextMap; an id the table does not hold gives HelpTopicForMode(mode).
int HelpTopicForContext(uint32_t data, int mode);

// The help page that shows a topic, as a resource URL with the anchor of the topic's section
// ("qrc:/help/genes.html#gene3"). Topic 0 and topics the help does not know give the welcome
// page.
const char* HelpPageForTopic(int topic);

// The welcome page and the list of every help page.
inline constexpr const char* kHelpIndexPage = "qrc:/help/index.html";
inline constexpr const char* kHelpContentsPage = "qrc:/help/contents.html";

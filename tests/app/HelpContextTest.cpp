#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/HelpContext.h"

namespace {

namespace fs = std::filesystem;

const fs::path kHelpDir = QUORVALE_HELP_DIR;

// The table written out as runs of consecutive ids and topics, in table order.
std::vector<SHelpContext> ExpectedTable() {
    std::vector<SHelpContext> table;
    const uint32_t kCommands[] = {57600, 57601, 57603, 57604, 57607, 57609, 57606,
                                  32798, 57634, 57637, 32799, 32800, 32801, 32802,
                                  32813, 32811, 32778, 32812, 32819, 32781, 32782,
                                  32783, 32784, 32792, 32814, 32816, 32815, 32818};
    int topic = 1;
    for (uint32_t id : kCommands) {
        table.push_back({id, topic++});
    }
    auto addRun = [&table](uint32_t firstId, int firstTopic, int count) {
        for (int i = 0; i < count; ++i) {
            table.push_back({firstId + static_cast<uint32_t>(i), firstTopic + i});
        }
    };
    addRun(11086, 1001, 19);  // gradient pictures
    addRun(11024, 1021, 19);  // value boxes
    addRun(1224, 1010, 1);    // Present: Segmentation
    addRun(1225, 1012, 8);    // Present: Scaling .. Rotational symmetry
    addRun(1233, 1020, 10);   // Can Mutate
    table.push_back({138, 1503});
    table.push_back({147, 1504});
    table.push_back({159, 1505});
    table.push_back({1255, 1505});
    table.push_back({1220, 1505});
    table.push_back({1203, 1505});
    table.push_back({1056, 1501});
    table.push_back({1055, 1502});
    return table;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool HasAnchor(const std::string& html, const std::string& anchor) {
    return html.find("name=\"" + anchor + "\"") != std::string::npos;
}

// "qrc:/help/genes.html#gene3" -> ("genes.html", "gene3").
std::pair<std::string, std::string> SplitPage(const std::string& url) {
    const std::string prefix = "qrc:/help/";
    if (url.rfind(prefix, 0) != 0) {
        return {};
    }
    const std::string rest = url.substr(prefix.size());
    const size_t hash = rest.find('#');
    if (hash == std::string::npos) {
        return {rest, ""};
    }
    return {rest.substr(0, hash), rest.substr(hash + 1)};
}

TEST(CHelpContextTest, TableHoldsTheNinetyThreeEntriesInOrder) {
    const std::vector<SHelpContext> expected = ExpectedTable();
    ASSERT_EQ(expected.size(), 93u);
    ASSERT_EQ(g_HelpContextMap.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g_HelpContextMap[i].nId, expected[i].nId);
        EXPECT_EQ(g_HelpContextMap[i].nTopic, expected[i].nTopic);
    }
}

TEST(CHelpContextTest, EveryIdAppearsOnce) {
    std::set<uint32_t> ids;
    for (const SHelpContext& entry : g_HelpContextMap) {
        EXPECT_TRUE(ids.insert(entry.nId).second) << entry.nId;
    }
}

TEST(CHelpContextTest, ContextRequestsFindTheirTopicOrFallBackToTheMode) {
    struct SCase {
        uint32_t data;
        int mode;
        int topic;
    };
    const SCase kCases[] = {
        {32799, 0, 11},    // Add row
        {11026, 0, 1023},  // value box of gene 3
        {11026, 5, 1023},  // the mode does not matter when the id is known
        {12345, 1, 102},   // not in the table: the Engineer topic
        {12345, 4, 106},
        {0x10000u | 32799u, 1, 11},  // the kind of request in the high half is ignored
        {0x50000u | 11026u, 0, 1023},
        {0xABCD0000u | 1056u, 3, 1501},
        {32799u << 16, 5, 103},  // an id in the high half is not looked up
        {0, 3, 105},
        {1224, 0, 1010},  // Segmentation Present shares a topic with gene 10's gradient picture
        {1234, 0, 1021},  // Segment distance Can Mutate shares one with gene 1's value box
        {159, 0, 1505},
        {1203, 1, 1505},
        // The commands added beyond the table route by their own ids.
        {kHelpIdExportPicture, 1, kHelpTopicExportPicture},
        {kHelpIdUndo, 0, kHelpTopicUndo},
        {kHelpIdZoom, 3, kHelpTopicZoom},
        {0x10000u | kHelpIdFullScreen, 4, kHelpTopicFullScreen},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "data " << c.data << " mode " << c.mode);
        EXPECT_EQ(HelpTopicForContext(c.data, c.mode), c.topic);
    }
}

TEST(CHelpContextTest, ModesFallBackToTheirOwnTopics) {
    const std::pair<int, int> kCases[] = {{0, 101}, {1, 102}, {2, 101},  {3, 105},
                                          {4, 106}, {5, 103}, {-1, 101}, {6, 101}};
    for (const auto& [mode, topic] : kCases) {
        EXPECT_EQ(HelpTopicForMode(mode), topic) << "mode " << mode;
    }
}

// Each command topic must land on the section of its own command, not on a neighbour's.
TEST(CHelpContextTest, CommandTopicsLandOnTheirCommand) {
    const char* kPages[] = {
        "files.html#new",
        "files.html#open",
        "files.html#save",
        "files.html#saveas",
        "printing.html#print",
        "printing.html#preview",
        "printing.html#setup",
        "clipboard.html#copyscreen",
        "clipboard.html#copy",
        "clipboard.html#paste",
        "grid.html#addrow",
        "grid.html#removerow",
        "grid.html#addcolumn",
        "grid.html#removecolumn",
        "breeding.html#breed",
        "engineering.html#engineer",
        "rotate.html#rotate",
        "settings.html#specialgenes",
        "settings.html#mutationrate",
        "triangle.html#genespace",
        "triangle.html#newtop",
        "triangle.html#newleft",
        "triangle.html#newright",
        "triangle.html#clear",
        "family.html#familytree",
        "family.html#create",
        "family.html#destroy",
        "family.html#clear",
    };
    for (int topic = 1; topic <= 28; ++topic) {
        EXPECT_EQ(std::string(HelpPageForTopic(topic)),
                  std::string("qrc:/help/") + kPages[topic - 1])
            << "topic " << topic;
    }
}

TEST(CHelpContextTest, GeneTopicsLandOnTheirGene) {
    EXPECT_STREQ(HelpPageForTopic(1023), "qrc:/help/genes.html#gene3");
    for (int gene = 1; gene <= 19; ++gene) {
        SCOPED_TRACE(gene);
        EXPECT_EQ(std::string(HelpPageForTopic(1020 + gene)),
                  "qrc:/help/genes.html#gene" + std::to_string(gene));
        EXPECT_EQ(std::string(HelpPageForTopic(1000 + gene)),
                  "qrc:/help/genes.html#gradient" + std::to_string(gene));
    }
}

TEST(CHelpContextTest, EveryTopicHasAPageWithItsAnchor) {
    std::set<int> topics = {kHelpTopicBreedMode,    kHelpTopicEngineerMode,  kHelpTopicFamilyMode,
                            kHelpTopicFossilMode,   kHelpTopicTriangleMode,  kHelpTopicSpecialGenes,
                            kHelpTopicMutationRate, kHelpTopicExportPicture, kHelpTopicUndo,
                            kHelpTopicZoom,         kHelpTopicFullScreen};
    for (const SHelpContext& entry : g_HelpContextMap) {
        topics.insert(entry.nTopic);
    }
    for (int topic : topics) {
        SCOPED_TRACE(topic);
        const std::string url = HelpPageForTopic(topic);
        EXPECT_NE(url, kHelpIndexPage) << "falls back to the welcome page";
        const auto [file, anchor] = SplitPage(url);
        ASSERT_FALSE(file.empty()) << url;
        const fs::path path = kHelpDir / file;
        ASSERT_TRUE(fs::exists(path)) << path;
        if (!anchor.empty()) {
            EXPECT_TRUE(HasAnchor(ReadFile(path), anchor)) << url;
        }
    }
}

TEST(CHelpContextTest, DefaultAndUnknownTopicsOpenTheWelcomePage) {
    for (int topic : {0, -1, 29, 100, 104, 107, 1000, 1040, 1500, 1506, 99999}) {
        EXPECT_STREQ(HelpPageForTopic(topic), kHelpIndexPage) << "topic " << topic;
    }
    EXPECT_TRUE(fs::exists(kHelpDir / "index.html"));
    EXPECT_TRUE(fs::exists(kHelpDir / "contents.html"));
}

// Every link and picture of every page must lead somewhere: a page that exists and, for a link
// with an anchor, a section that exists.
TEST(CHelpContextTest, LinksAndPicturesOfEveryPageResolve) {
    ASSERT_TRUE(fs::is_directory(kHelpDir)) << kHelpDir;
    const std::regex reference(R"re((href|src)="([^"]*)")re");
    for (const fs::directory_entry& entry : fs::directory_iterator(kHelpDir)) {
        if (entry.path().extension() != ".html") {
            continue;
        }
        const std::string html = ReadFile(entry.path());
        for (auto it = std::sregex_iterator(html.begin(), html.end(), reference);
             it != std::sregex_iterator(); ++it) {
            const std::string target = (*it)[2];
            SCOPED_TRACE(entry.path().filename().string() + " -> " + target);
            ASSERT_EQ(target.find("://"), std::string::npos) << "the help stays inside itself";
            const size_t hash = target.find('#');
            const std::string file = target.substr(0, hash);
            const fs::path path = file.empty() ? entry.path() : kHelpDir / file;
            ASSERT_TRUE(fs::exists(path));
            if (hash != std::string::npos) {
                EXPECT_TRUE(HasAnchor(ReadFile(path), target.substr(hash + 1)));
            }
        }
    }
}

}  // namespace

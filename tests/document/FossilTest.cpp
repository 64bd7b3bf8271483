#include <gtest/gtest.h>

#include "DocTestSupport.h"
#include "document/FossilScroll.h"

namespace {

TEST_F(CDocTest, HistoryTrimsFrom1000To800AndTellsTheViewAfterTheTrim) {
    ASSERT_EQ(m_doc->m_listFossils.size(), 1u);
    CBioMorph* second = nullptr;
    for (int i = 0; i < 999; ++i) {
        m_doc->m_pCurrent->SetGene(1, i);
        m_doc->RecordFossil(*m_doc->m_pCurrent);
        if (i == 199) {
            second = m_doc->m_listFossils[200].get();
        }
    }
    ASSERT_EQ(m_doc->m_listFossils.size(), 800u);
    // The oldest 200 are gone: the starting entry and recordings 0..198.
    EXPECT_EQ(m_doc->m_listFossils.front().get(), second);
    EXPECT_EQ(m_doc->m_listFossils.front()->Gene(1), 199);
    EXPECT_EQ(m_doc->m_listFossils.back()->Gene(1), 998);
    EXPECT_EQ(m_view.m_rangeCounts.back(), 800u);
    EXPECT_EQ(*std::max_element(m_view.m_rangeCounts.begin(), m_view.m_rangeCounts.end()), 999u);

    for (int i = 0; i < 199; ++i) {
        m_doc->RecordFossil(*m_doc->m_pCurrent);
    }
    EXPECT_EQ(m_doc->m_listFossils.size(), 999u);
    m_doc->RecordFossil(*m_doc->m_pCurrent);
    EXPECT_EQ(m_doc->m_listFossils.size(), 800u);
}

TEST(FossilScroll, RangeFollowsTheHistoryInRows) {
    struct SCase {
        int count, cols, rows;
        SFossilScroll expected;
    } cases[] = {
        {16, 5, 3, {0, 3, 3, 0}}, {40, 5, 3, {0, 7, 3, 0}}, {15, 5, 3, {0, 2, 3, 0}},
        {0, 5, 3, {0, -1, 3, 0}}, {1, 9, 7, {0, 0, 7, 0}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(FossilScrollRange(c.count, c.cols, c.rows), c.expected);
    }
}

TEST(FossilScroll, RequestsAreClampedToTheLastFullPage) {
    using R = EScrollRequest;
    const SFossilScroll of16{0, 3, 3, 0};
    const SFossilScroll of40{0, 7, 3, 2};
    const SFossilScroll empty{0, -1, 3, 0};
    struct SCase {
        SFossilScroll bar;
        R request;
        int thumb;
        int expected;
    } cases[] = {
        {of16, R::PageDown, 0, 1},   {of16, R::LineDown, 0, 1},      {of16, R::Bottom, 0, 1},
        {of16, R::LineUp, 0, 0},     {of40, R::PageDown, 0, 5},      {of40, R::PageUp, 0, 0},
        {of40, R::LineDown, 0, 3},   {of40, R::Bottom, 0, 5},        {of40, R::Top, 0, 0},
        {of40, R::ThumbTrack, 4, 4}, {of40, R::ThumbPosition, 7, 5}, {of40, R::ThumbTrack, -3, 0},
        {of40, R::EndScroll, 0, 2},  {empty, R::LineDown, 0, 0},     {empty, R::Bottom, 0, 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.request));
        EXPECT_EQ(ScrollFossilPosition(c.bar, c.request, c.thumb), c.expected);
    }
}

}  // namespace

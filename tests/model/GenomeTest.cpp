#include "TestSupport.h"

TEST_F(CModelTest, Placeholder) { CBioMorph m; EXPECT_EQ(m.Gene(9), 7); }

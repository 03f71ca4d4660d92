// What the program tells the page at start-up, against the facts as the
// page's own test (page_test.js) also takes them: tests/data/page_facts.json.
#include "web/page_facts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace rallix::web {
namespace {

TEST(PageFacts, AreTheScreenKeysRunsRequestsSourcesDemoLimitAndSoundsThePageTakes) {
  std::ifstream file(std::string(RALLIX_SOURCE_DIR) + "/tests/data/page_facts.json");
  std::string expected;
  ASSERT_TRUE(std::getline(file, expected));
  EXPECT_EQ(PageFacts(), expected);
}

}  // namespace
}  // namespace rallix::web

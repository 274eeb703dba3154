#include "support/KeyedModel.h"

#include <gtest/gtest.h>

// Random insertions (keeping or assigning), removals and lookups by content
// (heterogeneous for text) on the typed containers agree with the model
// after every step, give each entry the key pointer that put it there, walk
// as the model says from const containers, match their classic twins
// exactly, and survive every allocation failure.
template <class H> void runKeyed(const char* name) {
  EXPECT_EQ(runSeeds<H>(name, 8, scaled(1500, 400)), "") << name;
}
TEST(Keyed, AgreesWithModelAndClassicTwinUnderRandomOperationsAndFailures) {
  runKeyed<TextHashHarness>("ptrbox::Hash<const char*>");
  runKeyed<StringHashHarness>("ptrbox::Hash<std::string>");
  runKeyed<IntOrderListHarness>("ptrbox::OrderList<int>");
  runKeyed<StringOrderListHarness>("ptrbox::OrderList<std::string>");
  runKeyed<DescendingTreeHarness>("ptrbox::Tree<int>");
  runKeyed<RankedTreeHarness>("ptrbox::Tree<Ranked>");
  runKeyed<StringTreeHarness>("ptrbox::Tree<std::string>");
}

// The default text hash reads every byte of every length (a byte it skipped
// would leave keys differing there in one bucket), and any form of the same
// text hashes alike.
TEST(Keyed, TextHashReachesEveryByteAndAgreesAcrossForms) {
  const ptrbox::TextHash h;
  std::string text;
  for (std::size_t n = 0; n <= 40; text += char('a' + n % 26), ++n) {
    const std::size_t base = h(text);
    EXPECT_EQ(base, h(text.c_str()));
    EXPECT_EQ(base, (ptrbox::KeyHash<std::string>{}(std::string_view(text))));
    for (std::size_t i = 0; i < n; ++i) {
      std::string flipped = text;
      flipped[i] = char(flipped[i] ^ 0x10);
      EXPECT_NE(h(flipped), base) << "length " << n << ", byte " << i;
    }
    EXPECT_NE(h(text + '\0'), base) << "length " << n;
  }
}

#include "core/model/typed_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace lumera {
namespace {

TEST(TypedNumberTest, ReadsEveryFieldsText) {
  struct Case {
    std::string_view text;
    std::uint32_t number;
  };
  const Case cases[] = {
      {"", 0},           {"0042", 42}, {"4a", 0},
      {"    ", 0},   // the blanks a refresh leaves for number 0
      {"    5", 5},  // digits typed after them
      {" 5", 5},         {"1 2", 0},   {"4294967295", 4294967295u},
      {"4294967296", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadTypedNumber(c.text), c.number) << "'" << c.text << "'";
  }
}

}  // namespace
}  // namespace lumera

#include "core/model/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace lumera {
namespace {

TEST(Sha256Test, KnownSumsAcrossBlockBoundariesAndPieces) {
  const struct {
    std::string input;
    const char* sum;
  } known[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc",
       "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 55 bytes: the padding byte and the length just fill the block.
      {std::string(55, 'a'),
       "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      // 56 bytes: the length no longer fits the first block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(63, 'a'),
       "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {std::string(64, 'a'),
       "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      // 55 in the second block.
      {std::string(119, 'a'),
       "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
  };
  for (const auto& k : known) {
    EXPECT_EQ(Sha256Hex(std::string_view(k.input)), k.sum)
        << k.input.size() << " bytes";
  }
  // A million bytes fed in uneven pieces.
  Sha256 sum;
  const std::string piece(997, 'a');
  std::size_t left = 1000000;
  while (left > 0) {
    const std::size_t n = std::min(left, piece.size());
    sum.Update(std::string_view(piece).substr(0, n));
    left -= n;
  }
  const Sha256Digest digest = sum.Finish();
  EXPECT_EQ(digest[0], 0xcd);
  EXPECT_EQ(digest[31], 0xd0);
}

}  // namespace
}  // namespace lumera

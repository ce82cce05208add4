// SHA-256 through CNG against the FIPS 180-2 examples, fed whole and in
// pieces, and the digest-text rule.

#include "sys/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Sha256Test, KnownDigests) {
  const struct { std::string input; const char* digest; } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    Sha256 whole;
    ASSERT_TRUE(whole.IsValid());
    ASSERT_TRUE(whole.Update(c.input.data(), c.input.size()));
    EXPECT_EQ(whole.HexDigest(), c.digest) << c.input.substr(0, 20);
    // The same bytes in uneven pieces, as a download delivers them.
    Sha256 pieces;
    for (size_t at = 0, step = 1; at < c.input.size(); at += step, step = step * 3 + 1)
      ASSERT_TRUE(pieces.Update(c.input.data() + at, std::min(step, c.input.size() - at)));
    EXPECT_EQ(pieces.HexDigest(), c.digest) << c.input.substr(0, 20);
  }
}

TEST(Sha256Test, DigestTextRule) {
  const struct { std::string text; bool hex; } cases[] = {
      {std::string(64, '0'), true},
      {std::string(32, 'a') + std::string(32, 'F'), true},
      {std::string(63, 'a'), false},
      {std::string(65, 'a'), false},
      {std::string(63, 'a') + "g", false},
      {std::string(63, 'a') + " ", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSha256Hex(c.text), c.hex) << c.text;
  EXPECT_EQ(LowerHex("ABCdef09"), "abcdef09");
}

}  // namespace

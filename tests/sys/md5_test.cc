// MD5 against the RFC 1321 test suite, and input fed in pieces.

#include "sys/md5.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace {

TEST(MD5Test, Rfc1321Suite) {
  const struct { const char* input; const char* hex; } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) EXPECT_EQ(MD5(std::string(c.input)).HexDigest(), c.hex) << c.input;
}

TEST(MD5Test, PiecesEqualTheWholeAndEmbeddedZerosCount) {
  std::string text(1000, 'q');
  text[500] = '\0';
  MD5 pieces;
  for (size_t at = 0; at < text.size(); at += 37)
    pieces.Update(text.data() + at, std::min<size_t>(37, text.size() - at));
  EXPECT_EQ(pieces.HexDigest(), MD5(text.data(), text.size()).HexDigest());
  EXPECT_NE(MD5(text).HexDigest(), MD5(std::string(text.c_str())).HexDigest());
}

TEST(MD5Test, InputAfterDigestContinuesTheMessage) {
  MD5 md5(std::string("a"));
  EXPECT_EQ(md5.HexDigest(), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(md5.HexDigest(), "0cc175b9c0f1b6a831c399e269772661");
  md5.Update("bc", 2);
  EXPECT_EQ(md5.HexDigest(), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace

#include "sync/Md5Digest.h"

#include <gtest/gtest.h>

namespace {
QByteArray HexDigest(QByteArrayView bytes) {
    return Md5Digest(bytes).toHex();
}
} // namespace

TEST(Md5DigestTest, ReproducesTheRfc1321TestSuite) {
    const std::pair<const char*, const char*> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
         "0",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : suite)
        EXPECT_EQ(HexDigest(text), digest) << text;
}

TEST(Md5DigestTest, DigestsExactlyTheGivenBytes) {
    EXPECT_EQ(Md5Digest("abc").size(), 16);
    EXPECT_EQ(HexDigest(QByteArrayView("abc", 2)), "187ef4436122d1cc2f40dc2b92f0eba0");
    EXPECT_EQ(HexDigest(QByteArrayView("a\0", 2)), "4144e195f46de78a3623da7364d04f11");
}

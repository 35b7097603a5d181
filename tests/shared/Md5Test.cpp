#include "shared/Md5.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Md5Case {
    std::string input;
    const char* digest;
};

// RFC 1321's suite, then the lengths around the one-block limit (55 data bytes fit with the
// padding and the length, 56 need a second block, 64 fill one block exactly).
const Md5Case kCases[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
    {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
    {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
    {std::string(57, 'a'), "652b906d60af96844ebd21b674f35e93"},
    {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
    {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
    {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
    {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
    {std::string(120, 'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
    // Code-page-936 bytes of 中文 and a byte above 0x7F in every position of a word.
    {"\xD6\xD0\xCE\xC4", "bcce109775e8e1972e9f5fcda3e12895"},
    {"\xFF\xFF\xFF\xFF", "a54f0041a9e15b050f25c463f1db7449"},
};

TEST(Md5, KnownDigests)
{
    for (size_t i = 0; i < std::size(kCases); ++i)
        EXPECT_EQ(Md5Hex(kCases[i].input), kCases[i].digest) << "row " << i;
}

} // namespace

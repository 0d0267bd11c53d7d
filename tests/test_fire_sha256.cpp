#include "sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kelvane::fire::Sha256;

namespace {

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

struct Vector {
    std::string message;
    const char* digest;
};

class FireSha256 : public testing::TestWithParam<Vector> {};

TEST_P(FireSha256, MatchesThePublishedDigest)
{
    EXPECT_EQ(Sha256::HexOf(Bytes(GetParam().message)), GetParam().digest);
}

TEST_P(FireSha256, PiecesOfAnySizeGiveTheSameDigest)
{
    const std::string& message = GetParam().message;
    for (std::size_t piece : {1u, 3u, 63u, 64u, 65u}) {
        Sha256 sha;
        for (std::size_t at = 0; at < message.size(); at += piece)
            sha.Update(Bytes(message.substr(at, piece)));
        EXPECT_EQ(Sha256::Hex(sha.Finish()), GetParam().digest) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, FireSha256,
    testing::Values(
        Vector{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        Vector{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        Vector{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
               "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        Vector{"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
               "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        Vector{std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}));

TEST(FireSha256Reuse, FinishStartsANewMessage)
{
    Sha256 sha;
    sha.Update(Bytes("junk"));
    (void)sha.Finish();
    sha.Update(Bytes("abc"));
    EXPECT_EQ(Sha256::Hex(sha.Finish()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

} // namespace

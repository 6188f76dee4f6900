#include "text/line_list.h"
#include "text/written_form.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace qv::text {
namespace {

// The written form copied block by block must be what joining the text's
// lines gives, whatever the blocks: breaks of every kind cut anywhere, NUL,
// texts that end with and without a break, runs already in CR LF form.
TEST(WrittenFormCopier, MatchesTheJoinedLinesForAnyBlocks)
{
    static const std::string alphabet = "ab\xB0\xA1\r\n\r\n\r\r\n\n";
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const std::size_t length = random() % 40;
        for (std::size_t i = 0; i < length; ++i)
            bytes += random() % 60 == 0 ? '\0' : alphabet[random() % alphabet.size()];
        const std::string expected = joinLines(LineList::fromBytes(bytes));

        WrittenFormCopier copier;
        std::string out;
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t size = std::min<std::size_t>(1 + random() % 6, bytes.size() - at);
            copier.feed(std::string_view(bytes).substr(at, size), out);
            at += size;
        }
        copier.finish(out);
        ASSERT_EQ(out, expected) << ::testing::PrintToString(bytes);
    }
}

} // namespace
} // namespace qv::text

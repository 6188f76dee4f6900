// The charset converters alone, on about 60 MB of mixed Chinese and ASCII
// lines held in memory, cut into 64 KiB pieces at character boundaries as
// the charset run cuts them: ICU converting each piece with the UTF-8 side
// written one unit at a time (BM_*Icu, how the run converted before the
// tables) against the table converters (BM_*Tables). The figures are bytes
// of input per second; compare with `iconv` through bench/charset_bench.sh.

#include "content/charset_convert.h"
#include "platform/code_page.h"
#include "text/bytes.h"

#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace qv {
namespace {

constexpr std::size_t pieceSize = std::size_t{1} << 16;

struct Data {
    std::string gbk, utf8;
    std::vector<std::string_view> gbkPieces, utf8Pieces;
};

// Pieces of at most pieceSize bytes, each as long as `cut(rest)` says.
template <typename Cut> std::vector<std::string_view> piecesOf(std::string_view text, Cut cut)
{
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        const std::size_t length = text.size() <= pieceSize ? text.size() : cut(text);
        pieces.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return pieces;
}

const Data& data()
{
    static const Data d = [] {
        Data made;
        std::mt19937 random(1);
        const char* const words[] = {"中文", "测试", "数据", "文件",   "批量", "处理",
                                     "编码", "内容", "行号", "关键字", "北京", "上海"};
        std::string block;
        for (int line = 0; line < 20000; ++line) {
            std::string chinese;
            for (int k = static_cast<int>(random() % 6); k >= 0; --k) chinese += words[random() % std::size(words)];
            std::string ascii;
            for (int k = 3 + static_cast<int>(random() % 18); k > 0; --k)
                ascii += "abcdefghijklmnopqrstuvwxyz0123456789"[random() % 36];
            block += line % 2 ? ascii + ";" + chinese + " " + std::to_string(line) + "\r\n"
                              : "ID" + std::to_string(100000 + line) + ";" + chinese + ";" + ascii + "\r\n";
        }
        while (made.utf8.size() < 60'000'000) made.utf8 += block;
        made.gbk = CodePage::gbk().fromUtf8(made.utf8);
        made.gbkPieces = piecesOf(made.gbk, [](std::string_view text) {
            std::size_t at = 0;
            while (at + text::charLength(text, at) <= pieceSize) at += text::charLength(text, at);
            return at;
        });
        made.utf8Pieces = piecesOf(made.utf8, [](std::string_view text) {
            std::size_t at = pieceSize;
            while ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
            return at;
        });
        return made;
    }();
    return d;
}

struct Converter {
    struct Closer {
        void operator()(UConverter* c) const { ucnv_close(c); }
    };
    std::unique_ptr<UConverter, Closer> gbk;
    Converter()
    {
        UErrorCode status = U_ZERO_ERROR;
        gbk.reset(ucnv_open("windows-936-2000", &status));
        ucnv_setSubstChars(gbk.get(), "?", 1, &status);
    }
};

// Converts every piece of `input` onto the end of one output string, as the
// charset run does; `append(piece, out)` converts one piece. The figures are
// bytes of input.
template <typename Append>
void convertPieces(benchmark::State& state, const std::string& input, const std::vector<std::string_view>& pieces,
                   std::size_t outputReserve, Append append)
{
    for (auto _ : state) {
        std::string out;
        out.reserve(outputReserve);
        for (std::string_view piece : pieces) append(piece, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void BM_ToUtf8Icu(benchmark::State& state)
{
    const Data& d = data();
    Converter icu;
    std::u16string units;
    convertPieces(state, d.gbk, d.gbkPieces, d.gbk.size() * 3 / 2, [&](std::string_view piece, std::string& out) {
        units.resize(piece.size() + 1);
        UErrorCode status = U_ZERO_ERROR;
        units.resize(ucnv_toUChars(icu.gbk.get(), units.data(), units.size(), piece.data(), piece.size(), &status));
        appendUtf8(units, out);
    });
}

void BM_ToUtf8Tables(benchmark::State& state)
{
    const Data& d = data();
    convertPieces(state, d.gbk, d.gbkPieces, d.gbk.size() * 3 / 2, appendCodePageAsUtf8);
}

void BM_ToAnsiIcu(benchmark::State& state)
{
    const Data& d = data();
    Converter icu;
    std::u16string units;
    std::string bytes;
    convertPieces(state, d.utf8, d.utf8Pieces, d.utf8.size(), [&](std::string_view piece, std::string& out) {
        units.clear();
        decodeUtf8(piece, units);
        bytes.resize(units.size() * 2 + 1);
        UErrorCode status = U_ZERO_ERROR;
        bytes.resize(ucnv_fromUChars(icu.gbk.get(), bytes.data(), bytes.size(), units.data(), units.size(), &status));
        out += bytes;
    });
}

void BM_ToAnsiTables(benchmark::State& state)
{
    const Data& d = data();
    convertPieces(state, d.utf8, d.utf8Pieces, d.utf8.size(), appendUtf8AsCodePage);
}

BENCHMARK(BM_ToUtf8Icu)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToUtf8Tables)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToAnsiIcu)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToAnsiTables)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qv

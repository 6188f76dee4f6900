// Template evaluations per second on realistic GBK lines of about 60 bytes.
// Reported as items_per_second: one item is one evaluation of one line.
// The nesting benchmarks time one evaluation of a template whose calls are
// nested N deep (or stand N side by side) in one argument text; the time
// per call should stay flat as N grows.
// The prepared benchmarks apply one template to a million lines, as a
// content job does, once through PreparedTemplate into a reused buffer and
// once through full evaluation per line; items_per_second is lines.

#include "platform/code_page.h"
#include "template/evaluator.h"
#include "template/prepared_template.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A fixed clock keeps Date/Time out of the measurement's noise.
class FixedClock final : public qv::Clock {
public:
    qv::LocalDateTime now() const override { return {2026, 12, 8, 9, 30, 15, 250}; }
};

const std::vector<std::string>& lines()
{
    static const std::vector<std::string> corpus = [] {
        const char* utf8[] = {
            "2026-12-08 订单编号 A1024 客户 张三 金额 305.50 元 状态 已发货",
            "user=li_si; 地址: 北京市海淀区中关村大街 27 号; phone=13800138000",
            "第一百零五章 归来 The Return, chapter 105 ---- page 2031",
            "[INFO] 服务启动完成, port=8080, 耗时 1532 ms, 线程 12 个",
            "商品名称: 无线鼠标 M330 / 型号 abcABC / 库存 一千二百 件",
        };
        std::vector<std::string> out;
        for (const char* line : utf8) out.push_back(qv::CodePage::gbk().fromUtf8(line));
        return out;
    }();
    return corpus;
}

void BM_Evaluate(benchmark::State& state, const char* templ)
{
    static const FixedClock clock;
    const std::string t = templ;
    const auto& subjects = lines();
    std::size_t i = 0;
    for (auto _ : state) {
        std::string result = qv::EvaluateTemplate(subjects[i], t, clock);
        benchmark::DoNotOptimize(result);
        if (++i == subjects.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

// A million lines cycling through the corpus, each ending in its number so
// that no two are the same.
const std::vector<std::string>& millionLines()
{
    static const std::vector<std::string> corpus = [] {
        std::vector<std::string> out;
        out.reserve(1'000'000);
        for (std::size_t i = 0; i < 1'000'000; ++i)
            out.push_back(lines()[i % lines().size()] + " #" + std::to_string(i));
        return out;
    }();
    return corpus;
}

void BM_MillionPrepared(benchmark::State& state, const char* templ)
{
    static const FixedClock clock;
    const qv::PreparedTemplate prepared(templ, clock);
    const auto& subjects = millionLines();
    std::string out;
    for (auto _ : state) {
        for (const std::string& subject : subjects) {
            prepared.applyTo(subject, out);
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(subjects.size()));
}

void BM_MillionFull(benchmark::State& state, const char* templ)
{
    static const FixedClock clock;
    const std::string t = templ;
    const auto& subjects = millionLines();
    for (auto _ : state) {
        for (const std::string& subject : subjects) {
            std::string result = qv::EvaluateTemplate(subject, t, clock);
            benchmark::DoNotOptimize(result.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(subjects.size()));
}

// ${AddLeft(a${AddLeft(a...)})}: each level's result holds the one below.
std::string deepAddLeft(std::int64_t depth)
{
    std::string templ;
    for (std::int64_t i = 0; i < depth; ++i) templ += "${AddLeft(a";
    for (std::int64_t i = 0; i < depth; ++i) templ += ")}";
    return templ;
}

// ${Len(${Len(...)})}: short results, so the cost is the resolution itself.
std::string deepLen(std::int64_t depth)
{
    std::string templ;
    for (std::int64_t i = 0; i < depth; ++i) templ += "${Len(";
    templ += "x";
    for (std::int64_t i = 0; i < depth; ++i) templ += ")}";
    return templ;
}

// ${AddLeft(${Len(1)}${Len(12)}...)}: N different calls side by side.
std::string wideLen(std::int64_t width)
{
    std::string templ = "${AddLeft(";
    for (std::int64_t i = 0; i < width; ++i) templ += "${Len(" + std::to_string(i) + ")}";
    return templ + ")}";
}

void BM_Nested(benchmark::State& state, std::string (*build)(std::int64_t))
{
    static const FixedClock clock;
    const std::string templ = build(state.range(0));
    const std::string subject = "IMG_0001"; // a file's base name, as rename hands it over
    for (auto _ : state) {
        std::string result = qv::EvaluateTemplate(subject, templ, clock);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK_CAPTURE(BM_Nested, AddLeft, deepAddLeft)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Nested, Len, deepLen)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Nested, SideBySideLen, wideLen)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Evaluate, GetMid, "${GetMid(3,8)}");
BENCHMARK_CAPTURE(BM_Evaluate, RepStr, "${RepStr(a,b)}");
BENCHMARK_CAPTURE(BM_Evaluate, AddLeftNested, "${AddLeft(${GetLeft(4)}_)}");
BENCHMARK_CAPTURE(BM_Evaluate, AddMid2Nested, "${AddMid2(=,${Len(ab)},<${Pos(r)}>)}");
BENCHMARK_CAPTURE(BM_Evaluate, Chs2Num, "${Chs2Num(${GetMid(1,16)})}");
BENCHMARK_CAPTURE(BM_Evaluate, Date, "${Date(yyyy-mm-dd)}");
BENCHMARK_CAPTURE(BM_MillionPrepared, GetMid, "${GetMid(3,8)}")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MillionFull, GetMid, "${GetMid(3,8)}")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MillionPrepared, AddLeft, "${AddLeft(x)}")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MillionFull, AddLeft, "${AddLeft(x)}")->Unit(benchmark::kMillisecond);

// A prepared template must give exactly what full evaluation gives, the
// same text or the same error, for any subject and template. Most inputs
// drive the template grammar of template/random_template.h byte by byte;
// one in four is taken raw, split into subject and template at its first
// NUL byte. The prepared template's buffer is reused from run to run, as a
// content job reuses it from line to line. Any difference aborts.

#include "template/evaluator.h"
#include "template/prepared_template.h"
#include "template/random_template.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

class FixedClock final : public qv::Clock {
public:
    qv::LocalDateTime now() const override { return {2026, 12, 8, 23, 59, 59, 999}; }
};

// Choices read from the fuzz input, one byte each; 0 once it is used up.
class ByteSource {
public:
    explicit ByteSource(std::string_view bytes) : bytes_(bytes) { }

    std::size_t pick(std::size_t n)
    {
        if (at_ == bytes_.size()) return 0;
        return static_cast<unsigned char>(bytes_[at_++]) % n;
    }

    std::string_view rest() const { return bytes_.substr(at_); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// The text an evaluation gives, or a mark for the error it ends with.
template <typename Evaluate> std::string outcome(Evaluate evaluate)
{
    try {
        return "=" + evaluate();
    } catch (const qv::EvaluatedTextTooLong&) {
        return "!too long";
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const FixedClock clock;
    static std::string out;
    ByteSource source(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string subject, templ;
    if (source.pick(4) == 0) {
        const std::string_view raw = source.rest();
        const std::size_t cut = raw.find('\0');
        subject = raw.substr(0, cut);
        templ = cut == std::string_view::npos ? std::string_view() : raw.substr(cut + 1);
    } else {
        templ = qv::testing::randomTemplate(source);
        subject = qv::testing::randomSubject(source);
    }
    const qv::PreparedTemplate prepared(templ, clock);
    const std::string full = outcome([&] { return qv::EvaluateTemplate(subject, templ, clock); });
    const std::string applied = outcome([&] {
        prepared.applyTo(subject, out);
        return out;
    });
    if (applied != full) {
        std::fprintf(stderr, "prepared template differs\ntemplate: %s\nsubject: %s\nfull: %s\nprepared: %s\n",
                     templ.c_str(), subject.c_str(), full.c_str(), applied.c_str());
        std::abort();
    }
    return 0;
}

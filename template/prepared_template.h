#pragma once
// A template made ready once for a run that applies it to many subjects
// (every line of a file, every file of a list).
//
// Preparing converts the escape sequences, finds the template's call, its
// function and the values of its numeric arguments once; applying it to a
// subject then only runs the function into a buffer the caller reuses, with
// the same function code full evaluation runs. Templates whose result
// depends on more than the subject and the fixed arguments (nested calls,
// Date and Time) are applied by full evaluation instead, so the result is
// always the one EvaluateTemplate gives.

#include "platform/clock.h"

#include <memory>
#include <string>
#include <string_view>

namespace qv {

class PreparedTemplate {
public:
    // `templ` is the template as EvaluateTemplate takes it; `clock` must
    // outlive this object. Cost: one pass over the template.
    explicit PreparedTemplate(std::string templ, const Clock& clock = systemClock());

    // Replaces `out` with EvaluateTemplate(subject, template, clock), reusing
    // its memory: for the common per-line functions nothing is allocated
    // once `out` has grown. `subject` must not view `out`. Throws what
    // EvaluateTemplate throws.
    void applyTo(std::string_view subject, std::string& out) const;

    const std::string& text() const { return templ_; }

private:
    struct Plan;

    std::string templ_;
    const Clock* clock_;
    std::shared_ptr<const Plan> plan_; // shared by copies; views its own converted template
};

} // namespace qv

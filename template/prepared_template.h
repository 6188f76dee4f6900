#pragma once
// A template made ready once for a run that applies it to many subjects
// (every line of a file, every file of a list).
//
// Preparing finds the template's call, its function and the numeric
// arguments once; applying it to a subject then only runs the function into
// a buffer the caller reuses. Templates whose result depends on more than
// the subject and the typed arguments in a way that cannot be fixed up front
// (nested calls, Date and Time) are applied by full evaluation instead, so
// the result is always the one EvaluateTemplate gives.

#include "platform/clock.h"

#include <string>
#include <string_view>

namespace qv {

class PreparedTemplate {
public:
    // `templ` is the template as EvaluateTemplate takes it; `clock` must
    // outlive this object.
    explicit PreparedTemplate(std::string templ, const Clock& clock = systemClock());

    // Replaces `out` with EvaluateTemplate(subject, template, clock), reusing
    // its memory. Throws what EvaluateTemplate throws.
    void applyTo(std::string_view subject, std::string& out) const;

    const std::string& text() const { return templ_; }

private:
    std::string templ_;
    const Clock* clock_;
};

} // namespace qv

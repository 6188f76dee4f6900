#include "template/prepared_template.h"

#include "template/evaluator.h"

namespace qv {

PreparedTemplate::PreparedTemplate(std::string templ, const Clock& clock) : templ_(std::move(templ)), clock_(&clock) {}

void PreparedTemplate::applyTo(std::string_view subject, std::string& out) const
{
    out = EvaluateTemplate(subject, templ_, *clock_);
}

} // namespace qv

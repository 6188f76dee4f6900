#include "template/prepared_template.h"

#include "template/evaluator.h"
#include "template/evaluator_functions.h"

#include <algorithm>

namespace qv {

// What every application of the template shares. `call` and `args` view
// `converted`, which the Plan owns and never changes.
struct PreparedTemplate::Plan {
    std::string converted;
    evaluator::Call call;
    evaluator::ReadArguments args;
    bool fullEvaluation = false;
};

namespace {

// Date and Time read the clock at each application and nested calls are
// evaluated against each subject: those templates go through EvaluateTemplate.
bool needsFullEvaluation(const evaluator::Call& call)
{
    using evaluator::Function;
    return call.kind == evaluator::Call::Kind::Nested || call.function == Function::Date ||
           call.function == Function::Time;
}

} // namespace

PreparedTemplate::PreparedTemplate(std::string templ, const Clock& clock) : templ_(std::move(templ)), clock_(&clock)
{
    auto plan = std::make_shared<Plan>();
    plan->converted = templ_.find('\\') == std::string::npos ? templ_ : evaluator::convertEscapes(templ_);
    plan->call = evaluator::readCall(plan->converted);
    plan->fullEvaluation = needsFullEvaluation(plan->call);
    if (plan->call.kind == evaluator::Call::Kind::Function)
        plan->args = evaluator::readArguments(plan->call.function, evaluator::splitArguments(plan->call.args));
    plan_ = std::move(plan);
}

void PreparedTemplate::applyTo(std::string_view subject, std::string& out) const
{
    const Plan& plan = *plan_;
    if (plan.fullEvaluation) {
        out = EvaluateTemplate(subject, templ_, *clock_);
        return;
    }
    if (plan.call.kind == evaluator::Call::Kind::Text) {
        out.assign(plan.call.text);
        return;
    }
    evaluator::applyFunction(plan.call.function, subject, plan.args, *clock_,
                             evaluator::evaluationBound(subject.size(), templ_.size()), out);
}

} // namespace qv

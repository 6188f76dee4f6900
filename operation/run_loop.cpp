#include "operation/run_loop.h"

#include "operation/host.h"
#include "platform/disk_name.h"

namespace qv {

RunLoop::RunLoop(Workspace& ws, Host& host, OperationResult& result, std::int64_t total)
    : ws_(ws), host_(host), result_(result), total_(total)
{
    ws_.counters.stChangeCount = 0;
    result_.status = OperationResult::Status::Done;
    result_.marked = total;
}

bool RunLoop::goOn()
{
    host_.processEvents();
    if (!host_.stopRequested()) return true;
    stop();
    return false;
}

void RunLoop::processed()
{
    ++ws_.counters.stChangeCount;
    ++result_.processed;
}

void RunLoop::skipped(std::string_view path, std::string reason)
{
    result_.skipped.push_back({shownPath(path), std::move(reason)});
}

void RunLoop::advance()
{
    host_.reportProgress(++done_, total_);
}

} // namespace qv

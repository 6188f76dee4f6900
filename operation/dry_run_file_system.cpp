#include "operation/dry_run_file_system.h"

namespace qv {
namespace {

class DroppingWriter final : public AtomicFileWriter {
public:
    DroppingWriter(DryRunFileSystem& fs, std::vector<DryRunFileSystem::Output>& outputs, std::string_view path)
        : fs_(fs), outputs_(outputs), path_(path)
    { }
    void write(std::string_view) override { }
    void commit() override { commitAs(path_); }
    void commitAs(std::string_view path) override { outputs_.push_back({std::string(path), fs_.exists(path)}); }

private:
    DryRunFileSystem& fs_;
    std::vector<DryRunFileSystem::Output>& outputs_;
    std::string path_;
};

} // namespace

const DryRunFileSystem::Output* DryRunFileSystem::output(std::string_view path) const
{
    for (const Output& output : outputs_)
        if (output.path == path) return &output;
    return nullptr;
}

std::unique_ptr<AtomicFileWriter> DryRunFileSystem::createAtomically(std::string_view path)
{
    return std::make_unique<DroppingWriter>(*this, outputs_, path);
}

} // namespace qv

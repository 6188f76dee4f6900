#pragma once
// A fast 64-bit hash of a byte stream (the XXH64 algorithm), for telling
// whether a file still holds exactly the bytes a run wrote, and for the
// journal's record checksums. A non-cryptographic hash is enough: it has to
// notice changes made by people and programs, which do not aim at a
// collision; anyone able to forge one could as well edit the journal.

#include <cstdint>
#include <string_view>

namespace qv {

class ContentHash {
public:
    explicit ContentHash(std::uint64_t seed = 0);

    // Adds the next bytes of the stream. Cost: about one multiply per 8
    // bytes, no allocation.
    void update(std::string_view bytes);
    // The hash of everything added so far; the stream may go on after.
    std::uint64_t digest() const;

private:
    std::uint64_t lanes_[4];
    std::uint64_t seed_;
    std::uint64_t total_ = 0;
    unsigned char pending_[32];
    std::size_t pendingSize_ = 0;
};

// The hash of `bytes` in one go.
std::uint64_t hashBytes(std::string_view bytes, std::uint64_t seed = 0);

} // namespace qv

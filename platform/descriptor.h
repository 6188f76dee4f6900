#pragma once
// A file descriptor owned by one object and closed when it goes, and a write
// that goes on until every byte is written: what the code that calls the
// system directly shares.

#include <string_view>
#include <utility>

namespace qv {

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) { }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) { }
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Descriptor() { closeNow(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and tells whether the close succeeded (a network file
    // system may report a failed write only here).
    bool closeNow();

private:
    int fd_ = -1;
};

// Writes all of `bytes` to `fd`, going on after an interrupted or short
// write; false, with errno set, when a write fails.
bool writeAll(int fd, std::string_view bytes);

} // namespace qv

// Lets the file writes of this process fail beyond a size while it lives: a
// failing write that holds for root too, where a read-only folder stops only
// an ordinary user.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace vt::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        // A write past the limit then fails with EFBIG instead of killing the process.
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = old_;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};

} // namespace vt::test

#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace sw::test {

// While it lives, writes past bytes into any file fail with EFBIG, as writes to a full disk fail
// with ENOSPC (the process ignores the signal such a write would raise).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &signal_);
        ::getrlimit(RLIMIT_FSIZE, &limit_);
        rlimit limited = limit_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &limit_);
        ::sigaction(SIGXFSZ, &signal_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    struct sigaction signal_ {};
    rlimit limit_{};
};

}  // namespace sw::test

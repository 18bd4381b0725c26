#include "driver/stdin_source.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

StdinSource::StdinSource() {
    is_file_ = GetFileType(GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_DISK;
}

int StdinSource::read(char* buffer, int size) {
    DWORD got = 0;
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, static_cast<DWORD>(size), &got, nullptr))
        return 0; // a closed pipe is the end of input
    return static_cast<int>(got);
}

int StdinSource::read_available(char* buffer, int size) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    switch (GetFileType(in)) {
    case FILE_TYPE_PIPE: {
        DWORD available = 0;
        if (!PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr) || available == 0)
            return 0;
        DWORD want = available < static_cast<DWORD>(size) ? available : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(in, buffer, want, &got, nullptr)) return 0;
        return static_cast<int>(got);
    }
    case FILE_TYPE_CHAR:
        // A console keeps typed input as events; dropping them is all there is to do.
        FlushConsoleInputBuffer(in);
        return 0;
    default:
        return 0;
    }
}

#else

StdinSource::StdinSource() {
    struct stat st;
    is_file_ = fstat(0, &st) == 0 && S_ISREG(st.st_mode);
}

int StdinSource::read(char* buffer, int size) {
    for (;;) {
        ssize_t got = ::read(0, buffer, static_cast<size_t>(size));
        if (got >= 0) return static_cast<int>(got);
        if (errno != EINTR) return 0; // an unreadable input ends the session like EOF
    }
}

int StdinSource::read_available(char* buffer, int size) {
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || (p.revents & (POLLIN | POLLHUP)) == 0) return 0;
    ssize_t got = ::read(0, buffer, static_cast<size_t>(size));
    return got > 0 ? static_cast<int>(got) : 0;
}

#endif

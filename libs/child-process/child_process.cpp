#include "child_process.h"

#include <algorithm>
#include <cstring>
#include <thread>

#ifdef _WIN32
#include <mutex>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#endif

namespace dabtools {

std::vector<std::string> split_command(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) words.push_back(word);
    return words;
}

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess() {
    kill();
}

bool ChildProcess::take_line(std::string& line) {
    // A child that writes without line ends must not make the reader hold all of it.
    const size_t longest = 65536;
    size_t end = buffer_.find('\n');
    if (end == std::string::npos && buffer_.size() < longest) return false;
    size_t skip = end == std::string::npos ? 0 : 1;
    if (end == std::string::npos) end = longest;
    line.assign(buffer_, 0, end);
    buffer_.erase(0, end + skip);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

ChildProcess::Read ChildProcess::read_line(std::string& line, Clock::time_point deadline) {
    for (;;) {
        if (take_line(line)) return Read::Line;
        if (eof_) {
            if (buffer_.empty()) return Read::Eof;
            line.swap(buffer_);
            buffer_.clear();
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return Read::Line;
        }
        if (!started_) {
            eof_ = true;
            continue;
        }
        if (!fill(deadline) && !eof_) return Read::Timeout;
    }
}

bool ChildProcess::wait_exit(Clock::time_point deadline) {
    for (;;) {
        if (poll_exit()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

#ifdef _WIN32

namespace {

// Quotes one argument so that the child's runtime splits it back unchanged.
std::string quote_argument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

void close_handle(void*& h) {
    if (h) CloseHandle(static_cast<HANDLE>(h));
    h = nullptr;
}

} // namespace

std::string program_directory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return "";
    std::string s(path, n);
    size_t cut = s.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : s.substr(0, cut);
}

bool ChildProcess::start(const std::vector<std::string>& argv, std::string& error) {
    if (started_ || argv.empty()) {
        error = argv.empty() ? "empty command" : "already started";
        return false;
    }
    // The child's ends are inheritable until they are closed below: a process started by
    // another thread in between would hold them open, and its sibling's end of stream would
    // never come. Starts are therefore one at a time.
    static std::mutex starting;
    std::lock_guard<std::mutex> lock(starting);
    SECURITY_ATTRIBUTES sa{};
    sa.nLength = sizeof sa;
    sa.bInheritHandle = TRUE;
    HANDLE child_in = nullptr, our_in = nullptr, our_out = nullptr, child_out = nullptr;
    if (!CreatePipe(&child_in, &our_in, &sa, 0)) {
        error = "cannot create a pipe";
        return false;
    }
    if (!CreatePipe(&our_out, &child_out, &sa, 0)) {
        CloseHandle(child_in);
        CloseHandle(our_in);
        error = "cannot create a pipe";
        return false;
    }
    // Our ends stay private, or a second child would hold them open.
    SetHandleInformation(our_in, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(our_out, HANDLE_FLAG_INHERIT, 0);

    std::string command;
    for (const std::string& a : argv) {
        if (!command.empty()) command += ' ';
        command += quote_argument(a);
    }
    std::vector<char> buf(command.begin(), command.end());
    buf.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = child_in;
    si.hStdOutput = child_out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    BOOL ok = CreateProcessA(nullptr, buf.data(), nullptr, nullptr, TRUE,
                             hide_console_ ? CREATE_NO_WINDOW : 0, nullptr, nullptr, &si, &pi);
    CloseHandle(child_in);
    CloseHandle(child_out);
    if (!ok) {
        CloseHandle(our_in);
        CloseHandle(our_out);
        error = "cannot start " + argv[0] + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    in_ = our_in;
    out_ = our_out;
    started_ = true;
    eof_ = false;
    buffer_.clear();
    exit_ = Exit{};
    return true;
}

bool ChildProcess::write_line(const std::string& line) {
    if (!in_) return false;
    std::string data = line + "\n";
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(static_cast<HANDLE>(in_), p, static_cast<DWORD>(left), &written, nullptr))
            return false;
        p += written;
        left -= written;
    }
    return true;
}

bool ChildProcess::fill(Clock::time_point deadline) {
    for (;;) {
        DWORD avail = 0;
        if (!PeekNamedPipe(static_cast<HANDLE>(out_), nullptr, 0, nullptr, &avail, nullptr)) {
            eof_ = true;
            return false;
        }
        if (avail > 0) {
            char chunk[4096];
            DWORD got = 0;
            DWORD want = std::min<DWORD>(avail, sizeof chunk);
            if (!ReadFile(static_cast<HANDLE>(out_), chunk, want, &got, nullptr) || got == 0) {
                eof_ = true;
                return false;
            }
            buffer_.append(chunk, got);
            return true;
        }
        if (Clock::now() >= deadline) return false;
        Sleep(1);
    }
}

bool ChildProcess::poll_exit() {
    if (exit_.exited) return true;
    if (!process_) return false;
    if (WaitForSingleObject(static_cast<HANDLE>(process_), 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(static_cast<HANDLE>(process_), &code);
    exit_.exited = true;
    exit_.code = static_cast<int>(code);
    close_handle(process_);
    return true;
}

void ChildProcess::kill() {
    if (process_ && !poll_exit()) {
        TerminateProcess(static_cast<HANDLE>(process_), 1);
        WaitForSingleObject(static_cast<HANDLE>(process_), INFINITE);
        poll_exit();
    }
    close_handle(in_);
    close_handle(out_);
    eof_ = true;
}

#else

std::string program_directory() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "";
    std::string s(path, static_cast<size_t>(n));
    size_t cut = s.rfind('/');
    return cut == std::string::npos ? std::string() : s.substr(0, cut);
}

bool ChildProcess::start(const std::vector<std::string>& argv, std::string& error) {
    if (started_ || argv.empty()) {
        error = argv.empty() ? "empty command" : "already started";
        return false;
    }
    // A child that stops reading must fail our write, not end the tool.
    signal(SIGPIPE, SIG_IGN);
    int to_child[2], from_child[2], report[2];
    if (pipe2(to_child, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    if (pipe2(from_child, O_CLOEXEC) != 0) {
        close(to_child[0]);
        close(to_child[1]);
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    if (pipe2(report, O_CLOEXEC) != 0) {
        for (int fd : {to_child[0], to_child[1], from_child[0], from_child[1]}) close(fd);
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = fork();
    if (pid == 0) {
#ifdef __linux__
        // Should the tool itself be killed, its children go with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
        dup2(to_child[0], 0);
        dup2(from_child[1], 1);
        signal(SIGPIPE, SIG_DFL);
        execvp(args[0], args.data());
        int err = errno;
        ssize_t ignored = write(report[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
    }
    close(to_child[0]);
    close(from_child[1]);
    close(report[1]);
    if (pid < 0) {
        close(to_child[1]);
        close(from_child[0]);
        close(report[0]);
        error = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    // The report pipe closes unread on a successful exec; otherwise it carries errno.
    int err = 0;
    ssize_t n;
    do n = read(report[0], &err, sizeof err);
    while (n < 0 && errno == EINTR);
    close(report[0]);
    pid_ = pid;
    in_ = to_child[1];
    out_ = from_child[0];
    started_ = true;
    eof_ = false;
    buffer_.clear();
    exit_ = Exit{};
    if (n == static_cast<ssize_t>(sizeof err)) {
        kill();
        started_ = false;
        error = "cannot start " + argv[0] + ": " + std::strerror(err);
        return false;
    }
    return true;
}

bool ChildProcess::write_line(const std::string& line) {
    if (in_ < 0) return false;
    std::string data = line + "\n";
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = write(in_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool ChildProcess::fill(Clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        int timeout = static_cast<int>(std::max<long long>(0, left.count()));
        pollfd p{out_, POLLIN, 0};
        int r = poll(&p, 1, timeout);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        char chunk[4096];
        ssize_t n = read(out_, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            eof_ = true;
            return false;
        }
        buffer_.append(chunk, static_cast<size_t>(n));
        return true;
    }
}

bool ChildProcess::poll_exit() {
    if (exit_.exited) return true;
    if (pid_ <= 0) return false;
    int status = 0;
    pid_t r;
    do r = waitpid(pid_, &status, WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r == 0) return false;
    exit_.exited = true;
    if (r == pid_) {
        if (WIFEXITED(status)) exit_.code = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) exit_.signal = WTERMSIG(status);
    }
    pid_ = -1;
    return true;
}

void ChildProcess::kill() {
    if (pid_ > 0 && !poll_exit()) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        pid_t r;
        do r = waitpid(pid_, &status, 0);
        while (r < 0 && errno == EINTR);
        exit_.exited = true;
        if (r == pid_ && WIFSIGNALED(status)) exit_.signal = WTERMSIG(status);
        pid_ = -1;
    }
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    in_ = out_ = -1;
    eof_ = true;
}

#endif

} // namespace dabtools

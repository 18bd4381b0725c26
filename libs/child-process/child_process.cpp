#include "child_process.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <condition_variable>
#include <mutex>
#include <windows.h>
#else
#include <thread>
#include <sys/syscall.h>
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

#ifdef _WIN32

struct ChildProcess::Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() { CloseHandle(h); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
};

struct ChildProcess::Output {
    explicit Output(HANDLE read_end) : pipe(read_end) {}
    std::mutex mutex;
    std::condition_variable changed;
    std::string data;      // read from the pipe, not yet taken
    bool ended = false;    // the pipe reported its end (or the read was cancelled)
    bool stopping = false; // nobody takes data any more
    Handle pipe;           // our end of the child's standard output; only the thread reads it
    std::function<void()> notify;
};

namespace {

// What the reading thread holds back before it waits for the reader, as a full pipe would
// make the child wait.
const size_t kQueueLimit = 1 << 20;

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

DWORD milliseconds_until(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<DWORD>(std::clamp<long long>(left.count(), 0, 0x7fffffff));
}

} // namespace

// The reading thread: plain blocking reads until the pipe ends. It holds its own share of
// the queue, so a thread still blocked when its process object goes away stays sound.
DWORD WINAPI ChildProcess::read_output(void* param) {
    using Output = std::shared_ptr<ChildProcess::Output>;
    std::unique_ptr<Output> hold(static_cast<Output*>(param));
    ChildProcess::Output& o = **hold;
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        const BOOL ok = ReadFile(o.pipe.h, chunk, sizeof chunk, &got, nullptr);
        {
            std::unique_lock<std::mutex> lock(o.mutex);
            if (ok)
                o.data.append(chunk, got);
            else
                o.ended = true;
            o.changed.notify_all();
            if (ok) o.changed.wait(lock, [&] { return o.data.size() < kQueueLimit || o.stopping; });
        }
        if (o.notify && (!ok || got > 0)) o.notify();
        if (!ok) return 0;
    }
}

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
    Handle child_in_end(child_in), our_in_end(our_in);
    if (!CreatePipe(&our_out, &child_out, &sa, 0)) {
        error = "cannot create a pipe";
        return false;
    }
    Handle child_out_end(child_out);
    auto output = std::make_shared<Output>(our_out);
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
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, TRUE,
                        hide_console_ ? DETACHED_PROCESS : 0, nullptr, nullptr, &si, &pi)) {
        error = "cannot start " + argv[0] + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = std::make_unique<Handle>(pi.hProcess);
    in_ = std::make_unique<Handle>(our_in_end.h);
    our_in_end.h = nullptr;
    started_ = true;
    eof_ = false;
    buffer_.clear();
    exit_ = Exit{};
    output->notify = notify_;
    auto* share = new std::shared_ptr<Output>(output);
    HANDLE thread = CreateThread(nullptr, 0, read_output, share, 0, nullptr);
    if (!thread) {
        delete share;
        kill();
        error = "cannot start the thread that reads " + argv[0];
        return false;
    }
    reader_ = std::make_unique<Handle>(thread);
    output_ = std::move(output);
    return true;
}

bool ChildProcess::write_line(const std::string& line) {
    if (!in_) return false;
    std::string data = line + "\n";
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(in_->h, p, static_cast<DWORD>(left), &written, nullptr)) return false;
        p += written;
        left -= written;
    }
    return true;
}

bool ChildProcess::fill(Clock::time_point deadline) {
    if (!output_) {
        eof_ = true;
        return false;
    }
    Output& o = *output_;
    std::unique_lock<std::mutex> lock(o.mutex);
    o.changed.wait_until(lock, deadline, [&] { return !o.data.empty() || o.ended; });
    if (!o.data.empty()) {
        buffer_ += o.data;
        o.data.clear();
        o.changed.notify_all(); // a reading thread held back by a full queue goes on
        return true;
    }
    if (o.ended) eof_ = true;
    return false;
}

bool ChildProcess::wait_exit(Clock::time_point deadline) {
    if (poll_exit()) return true;
    if (!process_) return false;
    WaitForSingleObject(process_->h, milliseconds_until(deadline));
    return poll_exit();
}

bool ChildProcess::poll_exit() {
    if (exit_.exited) return true;
    if (!process_) return false;
    if (WaitForSingleObject(process_->h, 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(process_->h, &code);
    exit_.exited = true;
    exit_.code = static_cast<int>(code);
    process_.reset();
    return true;
}

void ChildProcess::kill() {
    if (process_ && !poll_exit()) {
        TerminateProcess(process_->h, 1);
        WaitForSingleObject(process_->h, INFINITE);
        poll_exit();
    }
    in_.reset();
    if (reader_) {
        {
            std::lock_guard<std::mutex> lock(output_->mutex);
            output_->stopping = true;
            output_->changed.notify_all();
        }
        // The child's end of the pipe closed with it, which ends the read; a program it
        // started may still hold that end open, so a read still waiting is cancelled. A
        // thread that will not end keeps its own share of the queue and ends with the pipe.
        for (int tries = 0; tries < 20; ++tries) {
            if (WaitForSingleObject(reader_->h, tries == 0 ? 0 : 50) == WAIT_OBJECT_0) break;
            CancelSynchronousIo(reader_->h);
        }
        reader_.reset();
    }
    output_.reset();
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
        // Rounded up: a wait that ended before the deadline would look like a timeout.
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
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

bool ChildProcess::wait_exit(Clock::time_point deadline) {
    if (poll_exit()) return true;
    if (pid_ <= 0) return false;
#ifdef SYS_pidfd_open
    // The process's own descriptor becomes readable when it ends: one poll with the deadline.
    int fd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    if (fd >= 0) {
        for (;;) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd p{fd, POLLIN, 0};
            int r = poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count())));
            if (r < 0 && errno == EINTR) continue;
            break;
        }
        close(fd);
        return poll_exit();
    }
#endif
    // Kernels without process descriptors: look again every few milliseconds.
    for (;;) {
        if (poll_exit()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
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

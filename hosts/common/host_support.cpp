#include "host_support.h"

#include "child_process.h"

namespace win32_host {

std::string ProgramDir() {
    return dabtools::program_directory();
}

std::vector<std::string> SplitCommas(const std::string& list) {
    std::vector<std::string> items;
    for (size_t start = 0; start <= list.size();) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        if (comma > start) items.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

void PumpMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

int RunMessageLoop() {
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return static_cast<int>(m.wParam);
}

} // namespace win32_host

#include "SystemError.h"

#include "foundation/win32/Handles.h"

namespace nvjvm {

void reportError(const std::string& text) {
    const std::string line = "jvm unpacker: " + text + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void throwSystemError(const std::string& what, DWORD code) {
    nv::LocalMemory buffer;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPSTR>(buffer.receive()), 0, nullptr);
    std::string text = length > 0 ? std::string(static_cast<const char*>(buffer.get()), length) : std::string();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) text = "system error " + std::to_string(code);
    throw SystemError(what + ": " + text);
}

}  // namespace nvjvm

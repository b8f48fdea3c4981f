// Put in place of a Wine prefix's netsh.exe by the installer's test: appends
// each command line it is run with (its arguments, UTF-8) to
// netsh-record.txt beside itself and ends with 0, changing nothing.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

int main() {
    std::wstring line = GetCommandLineW();
    // The program's own name first, quoted or not.
    std::size_t start = 0;
    if (!line.empty() && line[0] == L'"') {
        start = line.find(L'"', 1);
        start = start == std::wstring::npos ? line.size() : start + 1;
    } else {
        start = line.find(L' ');
        if (start == std::wstring::npos) start = line.size();
    }
    while (start < line.size() && line[start] == L' ') ++start;
    const std::wstring arguments = line.substr(start);

    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring record(self, length);
    record = record.substr(0, record.find_last_of(L'\\') + 1) + L"netsh-record.txt";

    const int size =
        WideCharToMultiByte(CP_UTF8, 0, arguments.c_str(), static_cast<int>(arguments.size()),
                            nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, arguments.c_str(), static_cast<int>(arguments.size()),
                        utf8.data(), size, nullptr, nullptr);
    const std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(record.c_str(), L"ab"), std::fclose);
    if (!file) return 2;
    std::fwrite(utf8.data(), 1, utf8.size(), file.get());
    std::fputc('\n', file.get());
    return 0;
}

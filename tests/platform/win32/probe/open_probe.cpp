// A program that the shell's "open" verb can start harmlessly: it leaves
// "<its own path>.opened" behind and ends.
#include <windows.h>

int main() {
    wchar_t path[MAX_PATH + 16] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    lstrcatW(path, L".opened");
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, "opened", 6, &written, nullptr);
    CloseHandle(file);
    return 0;
}

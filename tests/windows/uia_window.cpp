// How far UI Automation (what Narrator and NVDA read) reaches the editor: starts the program,
// finds its window by the title it starts with, and prints what UI Automation says of it (name,
// control type, framework). Exits with 0 when the window was reached and named.
//   uia_window.exe ORVANE.EXE
//
// mingw-w64's headers declare none of the node functions of uiautomationcore.dll and ship no
// import library for it, so they are looked up at run time.

#include <windows.h>

#include <oleauto.h>
#include <uiautomationclient.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

using Node = void*;
using NodeFromHandle = HRESULT(WINAPI*)(HWND, Node*);
using GetPropertyValue = HRESULT(WINAPI*)(Node, PROPERTYID, VARIANT*);
using NodeRelease = BOOL(WINAPI*)(Node);

const wchar_t Title[] = L"Orvane   Corvel Electronics co.";

HWND found = nullptr;

template <typename Function> Function lookup(HMODULE module, const char* name) {
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

BOOL CALLBACK visit(HWND window, LPARAM) {
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    if (IsWindowVisible(window) && std::wcsncmp(title, Title, std::wcslen(Title)) == 0) {
        found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring text(const VARIANT& value) {
    if (value.vt == VT_BSTR && value.bstrVal)
        return value.bstrVal;
    if (value.vt == VT_I4)
        return std::to_wstring(value.lVal);
    return L"(none)";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: uia_window ORVANE.EXE\n", stderr);
        return 2;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION editor = {};
    std::string command = std::string("\"") + argv[1] + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &editor)) {
        std::fprintf(stderr, "FAILED: cannot start %s\n", argv[1]);
        return 1;
    }
    for (int i = 0; i < 300 && !found; ++i) {
        Sleep(100);
        EnumWindows(visit, 0);
    }
    int status = 1;
    HMODULE core = LoadLibraryA("uiautomationcore.dll");
    const auto fromHandle = lookup<NodeFromHandle>(core, "UiaNodeFromHandle");
    const auto property = lookup<GetPropertyValue>(core, "UiaGetPropertyValue");
    const auto release = lookup<NodeRelease>(core, "UiaNodeRelease");
    Node node = nullptr;
    if (!found) {
        std::puts("FAILED: no window titled \"Orvane   Corvel Electronics co. ...\" in 30 s");
    } else if (!fromHandle || !property || !release) {
        std::puts("FAILED: uiautomationcore.dll lacks UiaNodeFromHandle or UiaGetPropertyValue");
    } else if (FAILED(fromHandle(found, &node)) || !node) {
        std::puts("FAILED: UiaNodeFromHandle gave no node for the window");
    } else {
        const std::pair<PROPERTYID, const char*> asked[] = {
            {UIA_NamePropertyId, "name"},
            {UIA_ControlTypePropertyId, "control type"},
            {UIA_FrameworkIdPropertyId, "framework"},
        };
        std::wstring name;
        for (const auto& [id, what] : asked) {
            VARIANT value;
            VariantInit(&value);
            const HRESULT result = property(node, id, &value);
            const std::wstring shown = SUCCEEDED(result) ? text(value) : L"(refused)";
            std::printf("%s: %ls\n", what, shown.c_str());
            if (id == UIA_NamePropertyId)
                name = shown;
            VariantClear(&value);
        }
        release(node);
        status = name.compare(0, std::wcslen(Title), Title) == 0 ? 0 : 1;
        std::puts(status == 0 ? "ok: the window is reached and named through UI Automation"
                              : "FAILED: the window's name is not its title");
    }
    TerminateProcess(editor.hProcess, 0);
    WaitForSingleObject(editor.hProcess, 5000);
    CloseHandle(editor.hProcess);
    CloseHandle(editor.hThread);
    return status;
}

// Test harness shared by the tests that run tidewell.exe for real.
#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int folderCounter = 0;

std::string MakeFreshFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%stw-%lu-%d", temp, GetCurrentProcessId(),
                      ++folderCounter);
        if (CreateDirectoryA(name, nullptr))
            return name;
    }
}

void RemoveFolder(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

ProgramCopy::ProgramCopy() : ProgramCopy("tidewell.exe") {}

ProgramCopy::ProgramCopy(const std::string& exeName, const std::string& source)
{
    dir = MakeFreshFolder();
    exe = dir + "\\" + exeName;
    CopyFileA((BinaryDir() + "\\" + source).c_str(), exe.c_str(), FALSE);
    std::string base = exeName.substr(0, exeName.find_last_of('.'));
    ini = dir + "\\" + base + ".ini";
}

ProgramCopy::~ProgramCopy()
{
    RemoveFolder(dir);
}

void ProgramCopy::WriteSettings(const std::string& content) const
{
    HANDLE file = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

bool ProgramCopy::SettingsExist() const
{
    return GetFileAttributesA(ini.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<SettingsLine> ReadSettingsLines(const std::string& bytes)
{
    std::vector<SettingsLine> lines;
    std::string section;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        SettingsLine line = {};
        line.text = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.text.empty() && line.text.back() == '\r')
            line.text.pop_back();
        if (line.text.empty())
            continue;
        line.isHeader = line.text.front() == '[';
        if (line.isHeader)
            section = line.text.substr(1, line.text.find(']') == std::string::npos ? std::string::npos
                                                                                    : line.text.find(']') - 1);
        line.section = section;
        size_t equals = line.text.find('=');
        line.isKey = !line.isHeader && equals != std::string::npos;
        if (line.isKey) {
            line.key = line.text.substr(0, equals);
            line.value = line.text.substr(equals + 1);
        }
        lines.push_back(line);
    }
    return lines;
}

std::wstring FromShiftJis(const std::string& text)
{
    int length = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::wstring WideWindowText(HWND window)
{
    WCHAR text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

std::string ProgramCopy::ReadSettings() const
{
    return ReadFileBytes(ini);
}

int RunToEnd(const std::string& exe, const std::string& args, DWORD timeoutMs, const std::string& folder)
{
    Process process = StartProcess(exe, args, folder);
    DWORD exitCode = 0;
    if (!WaitProcess(process, timeoutMs, &exitCode)) {
        KillProcess(process);
        return -1;
    }
    return static_cast<int>(exitCode);
}

TestWindows::TestWindows(const std::vector<std::string>& specs, const std::string& exe)
{
    char eventName[64];
    static int counter = 0;
    std::snprintf(eventName, sizeof eventName, "TwTestReady-%lu-%d", GetCurrentProcessId(),
                  ++counter);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName);
    std::string args = eventName;
    for (const std::string& spec : specs)
        args += " " + spec;
    process = StartProcess(exe.empty() ? BinaryDir() + "\\testwin.exe" : exe, args);
    HANDLE handles[2] = {ready, process.handle};
    DWORD result = process.handle != nullptr
                       ? WaitForMultipleObjects(2, handles, FALSE, 15000)
                       : WAIT_FAILED;
    if (result != WAIT_OBJECT_0)
        KillProcess(process);
    CloseHandle(ready);
}

TestWindows::~TestWindows()
{
    Close();
}

HWND TestWindows::Find(const std::string& name) const
{
    HWND window = FindWindowA(("TwTest_" + name).c_str(), nullptr);
    return window != nullptr ? window : FindWindowA(name.c_str(), name.c_str());
}

void TestWindows::Close()
{
    KillProcess(process);
}

WindowState StateOf(HWND window)
{
    if (window == nullptr || !IsWindow(window))
        return kGone;
    if (IsIconic(window))
        return kMinimized;
    if (IsZoomed(window))
        return kMaximized;
    return kNormal;
}

const char* StateName(WindowState state)
{
    switch (state) {
    case kGone: return "gone";
    case kNormal: return "normal";
    case kMaximized: return "maximized";
    case kMinimized: return "minimized";
    }
    return "?";
}

WindowState WaitForState(HWND window, WindowState state, DWORD timeoutMs)
{
    WaitUntil([&] { return StateOf(window) == state; }, timeoutMs);
    return StateOf(window);
}

bool HandForeground(HWND window, DWORD timeoutMs)
{
    return WaitUntil(
        [&] {
            SetForegroundWindow(window);
            return WaitUntil([&] { return GetForegroundWindow() == window; }, 500) &&
                   HoldsFor([&] { return GetForegroundWindow() == window; }, 300);
        },
        timeoutMs);
}

HWND FindMainWindow()
{
    return FindWindowA("TidewellApp", "TidewellApp");
}

HWND StartResident(const ProgramCopy& copy, Process* process, DWORD timeoutMs,
                   const std::string& folder)
{
    *process = StartProcessWithCommandLine(copy.exe, "\"" + copy.exe + "\"", folder);
    if (process->handle == nullptr)
        return nullptr;
    HWND window = nullptr;
    WaitUntil([&] {
        window = FindMainWindow();
        return window != nullptr ||
               WaitForSingleObject(process->handle, 0) == WAIT_OBJECT_0;
    }, timeoutMs);
    return window;
}

bool Resident::Running() const
{
    return process_.handle != nullptr && WaitForSingleObject(process_.handle, 0) == WAIT_TIMEOUT;
}

bool Resident::Responds() const
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

long Resident::WaitForExit(DWORD timeoutMs)
{
    DWORD exitCode = 0;
    if (!WaitProcess(process_, timeoutMs, &exitCode))
        return -1;
    return static_cast<long>(exitCode);
}

void Resident::End()
{
    if (!Running()) {
        KillProcess(process_);
        return;
    }
    if (HWND menu = FindOpenMenu(process_.id))
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    HWND window = FindMainWindow();
    DWORD owner = 0;
    if (window != nullptr && GetWindowThreadProcessId(window, &owner) && owner == process_.id) {
        PostMessageA(window, WM_CANCELMODE, 0, 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        if (WaitProcess(process_, 5000, &exitCode))
            return;
    }
    KillProcess(process_);
}

std::string HostProgram(const char* unixPath)
{
    typedef WCHAR*(CDECL * ToDosName)(const char*);
    ToDosName toDos = reinterpret_cast<ToDosName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR* wide = toDos != nullptr ? toDos(unixPath) : nullptr;
    if (wide == nullptr)
        return std::string();
    char path[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, path, sizeof path, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, wide);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return std::string();
    return path;
}

std::string HostXdotool()
{
    return HostProgram("/usr/bin/xdotool");
}

bool StartHostProgram(const std::string& program, const std::string& commandLine)
{
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hThread != nullptr)
        CloseHandle(info.hThread);
    if (info.hProcess != nullptr)
        CloseHandle(info.hProcess);
    return true;
}

bool PressKeysOver(const std::string& xdotool, HWND window, const std::string& keys)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    return StartHostProgram(xdotool, "xdotool mousemove " + std::to_string((rect.left + rect.right) / 2) +
                                         " " + std::to_string((rect.top + rect.bottom) / 2) + " key " + keys);
}

std::string UnixPath(const std::string& path)
{
    typedef char*(CDECL * ToUnixName)(const WCHAR*);
    ToUnixName toUnix = reinterpret_cast<ToUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    if (toUnix == nullptr || MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0)
        return std::string();
    char* unix = toUnix(wide);
    if (unix == nullptr)
        return std::string();
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

namespace {

const char kPointerScript[] = R"(import ctypes, os, sys
class Image(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong))]
try:
    x11, xfixes = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(Image)
    image = xfixes.XFixesGetCursorImage(x11.XOpenDisplay(None)).contents
    names = {0: ".", 0xFF000000: "#", 0xFFFFFFFF: "o"}
    text = "%dx%d hot %d,%d\n" % (image.width, image.height, image.xhot, image.yhot) + "".join(
        "".join(names.get(image.pixels[y * image.width + x] & 0xFFFFFFFF, "?") for x in range(image.width)) + "\n"
        for y in range(image.height))
except OSError as error:
    text = "unavailable: %s\n" % error
with open(sys.argv[1] + ".part", "w") as out:
    out.write(text)
os.rename(sys.argv[1] + ".part", sys.argv[1])
)";

}  // namespace

std::string HostPointerPicture(const std::string& folder)
{
    const std::string python = HostProgram("/usr/bin/python3"), script = folder + "\\pointer.py",
                      picture = folder + "\\pointer.txt";
    if (python.empty())
        return "unavailable: python3 is not installed on the host";
    HANDLE file = CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, kPointerScript, sizeof kPointerScript - 1, &written, nullptr);
    CloseHandle(file);
    DeleteFileA(picture.c_str());
    if (!StartHostProgram(python, "python3 " + UnixPath(script) + " " + UnixPath(picture)) ||
        !WaitUntil([&] { return GetFileAttributesA(picture.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
        return "unavailable: python3 gave no answer";
    return ReadFileBytes(picture);
}

std::vector<DWORD> ScreenPixels(const RECT& rect)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (bitmap != nullptr && BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY))
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<const DWORD*>(bits)[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// ---- version blocks and registry values ---------------------------------------

namespace {

std::string Utf16(const std::string& text)  // from Shift-JIS, with the terminator
{
    std::wstring wide(text.size() + 1, L'\0');
    int length = MultiByteToWideChar(932, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    return std::string(reinterpret_cast<const char*>(wide.data()), 2 * length);
}

std::string Aligned(std::string bytes)
{
    bytes.resize((bytes.size() + 3) & ~size_t(3), '\0');
    return bytes;
}

// One node of a version block: its length, its value's length and its type,
// then its key, its value and its children, each on a 4-byte boundary.
std::string Node(const std::string& key, const std::string& value, size_t valueLength, WORD type,
                 const std::string& children = std::string())
{
    std::string node = Aligned(std::string(6, '\0') + Utf16(key)) + Aligned(value) + children;
    WORD header[3] = {static_cast<WORD>(node.size()), static_cast<WORD>(valueLength), type};
    std::memcpy(&node[0], header, sizeof header);
    return node;
}

struct ResourceCopy {
    HANDLE update;
    bool ok;
};

BOOL CALLBACK CopyLanguage(HMODULE from, LPCSTR type, LPCSTR name, WORD language, LONG_PTR param)
{
    ResourceCopy* copy = reinterpret_cast<ResourceCopy*>(param);
    HRSRC found = FindResourceExA(from, type, name, language);
    if (type != RT_VERSION)
        copy->ok = UpdateResourceA(copy->update, type, name, language, LockResource(LoadResource(from, found)),
                                   SizeofResource(from, found)) && copy->ok;
    return TRUE;
}

BOOL CALLBACK CopyName(HMODULE from, LPCSTR type, LPSTR name, LONG_PTR param)
{
    return EnumResourceLanguagesA(from, type, name, CopyLanguage, param);
}

BOOL CALLBACK CopyType(HMODULE from, LPSTR type, LONG_PTR param)
{
    return EnumResourceNamesA(from, type, CopyName, param);
}

}  // namespace

std::string VersionBlock(const char* translation, const std::vector<std::pair<std::string, std::string>>& strings)
{
    std::string table;
    for (const auto& entry : strings)
        table += Node(entry.first, Utf16(entry.second), Utf16(entry.second).size() / 2, 1);
    const unsigned long id = std::strtoul(translation, nullptr, 16);
    const DWORD languageAndCodePage = MAKELONG(HIWORD(id), LOWORD(id));
    VS_FIXEDFILEINFO fixed = {};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    const std::string translations(reinterpret_cast<const char*>(&languageAndCodePage), 4);
    return Node("VS_VERSION_INFO", std::string(reinterpret_cast<const char*>(&fixed), sizeof fixed), sizeof fixed, 0,
                Node("StringFileInfo", "", 0, 1, Node(translation, "", 0, 1, table)) +
                    Node("VarFileInfo", "", 0, 1, Node("Translation", translations, 4, 0)));
}

// Every other resource of tidewell.exe is written anew: Wine's UpdateResourceA
// does not remove a resource.
bool ProgramCopy::SetVersionBlock(const std::string& block) const
{
    HMODULE from = LoadLibraryExA((BinaryDir() + "\\tidewell.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ResourceCopy resources = {BeginUpdateResourceA(exe.c_str(), TRUE), from != nullptr};
    EnumResourceTypesA(from, CopyType, reinterpret_cast<LONG_PTR>(&resources));
    FreeLibrary(from);
    if (!block.empty())
        resources.ok = UpdateResourceA(resources.update, RT_VERSION, MAKEINTRESOURCEA(1), 0,
                                       const_cast<char*>(block.data()), static_cast<DWORD>(block.size())) &&
                       resources.ok;
    return EndUpdateResourceA(resources.update, FALSE) && resources.ok;
}

std::string VersionString(const std::string& file, const char* key)
{
    DWORD handle = 0, size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    std::vector<char> block(size + 1);
    WORD* translation = nullptr;
    char *value = nullptr, path[80];
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length))
        return "(no version block)";
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], key);
    return VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &length) ? value : "(none)";
}

RegistryValue::RegistryValue(HKEY root, const char* path, const char* name, const std::string& value) : name_(name)
{
    char old[1024] = "";
    DWORD size = sizeof old - 1;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) != ERROR_SUCCESS)
        return;
    existed_ = RegQueryValueExA(key_, name_, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
    old_ = old;
    Set(value);
}

RegistryValue::~RegistryValue()
{
    if (key_ == nullptr)
        return;
    if (existed_)
        Set(old_);
    else
        RegDeleteValueA(key_, name_);
    RegCloseKey(key_);
}

void RegistryValue::Set(const std::string& value)
{
    RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

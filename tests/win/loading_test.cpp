// Where the program loads its libraries from, and the manifest it carries.
// Stand-in libraries (standin_library.cpp) lie beside a copy of the program,
// in its current folder and in a folder on PATH, and Wine is told to prefer a
// comctl32.dll of its own over the builtin one for that program alone: no
// stand-in may be loaded, whatever the program does.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "harness.h"
#include "standin_taskbar.h"
#include "resources/resource_ids.h"

namespace {

const char kExeName[] = "tidewell-loading.exe";
const char kLoaderName[] = "plain_loader.exe";
const char* const kLibraries[] = {"comctl32.dll", "rsrc32.dll"};

std::string AppDefaults(const std::string& exe, const char* key)
{
    return "Software\\Wine\\AppDefaults\\" + exe + "\\" + key;
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The folders a library is searched for in, each with both stand-ins, and
// Wine's load order for the program and the plain loader.
class LibrarySearch : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        places_ = new Places();
        char path[32767] = "";
        GetEnvironmentVariableA("PATH", path, sizeof path);
        oldPath_ = path;
        SetEnvironmentVariableA("PATH", (places_->onPath.dir + ";" + oldPath_).c_str());
    }
    static void TearDownTestSuite()
    {
        SetEnvironmentVariableA("PATH", oldPath_.c_str());
        delete places_;
    }

    struct Places {
        ProgramCopy program{kExeName}, current, onPath, loaderOnly;
        const std::string loader = loaderOnly.dir + "\\" + kLoaderName;
        // Native first for comctl32: the way Windows searches for any library.
        RegistryValue programOrder{HKEY_CURRENT_USER, AppDefaults(kExeName, "DllOverrides").c_str(), "comctl32",
                                   "native,builtin"};
        RegistryValue loaderOrder{HKEY_CURRENT_USER, AppDefaults(kLoaderName, "DllOverrides").c_str(), "comctl32",
                                  "native,builtin"};
        // Dialogs that end are hidden at once (see the dialog tests).
        RegistryValue unmanaged{HKEY_CURRENT_USER, AppDefaults(kExeName, "X11 Driver").c_str(), "Managed", "N"};
        bool ok = Put();

        bool Put() const
        {
            bool put = CopyFileA((BinaryDir() + "\\" + kLoaderName).c_str(), loader.c_str(), FALSE) != FALSE;
            for (const std::string& dir : {program.dir, current.dir, onPath.dir})
                for (const char* name : kLibraries)
                    put = CopyFileA((BinaryDir() + "\\standin\\comctl32.dll").c_str(), (dir + "\\" + name).c_str(),
                                    FALSE) && put;
            return put;
        }
    };

    // The stand-ins that announced a load, and no marker left behind.
    static std::vector<std::string> TakeMarkers()
    {
        std::vector<std::string> loaded;
        for (const std::string& dir : {places_->program.dir, places_->current.dir, places_->onPath.dir})
            for (const char* name : kLibraries)
                if (DeleteFileA((dir + "\\" + name + ".loaded").c_str()))
                    loaded.push_back(dir + "\\" + name);
        return loaded;
    }

    static Places* places_;
    static std::string oldPath_;
};
LibrarySearch::Places* LibrarySearch::places_ = nullptr;
std::string LibrarySearch::oldPath_;

TEST_F(LibrarySearch, StandinsReachAProgramThatSearchesTheUsualWay)
{
    ASSERT_TRUE(places_->ok);
    TakeMarkers();
    const Places& at = *places_;
    // Beside the program: the imported comctl32.dll and rsrc32.dll by name.
    const std::string besideLoader = at.program.dir + "\\" + kLoaderName;
    ASSERT_TRUE(CopyFileA(at.loader.c_str(), besideLoader.c_str(), FALSE));
    EXPECT_EQ(RunToEnd(besideLoader, "", 30000, at.current.dir), 0);
    EXPECT_EQ(TakeMarkers(), (std::vector<std::string>{at.program.dir + "\\comctl32.dll", at.program.dir + "\\rsrc32.dll"}));
    DeleteFileA(besideLoader.c_str());
    // rsrc32.dll, which the system folder lacks, from the current folder, then from PATH.
    EXPECT_EQ(RunToEnd(at.loader, "", 30000, at.current.dir), 0);
    EXPECT_EQ(TakeMarkers(), std::vector<std::string>{at.current.dir + "\\rsrc32.dll"});
    EXPECT_EQ(RunToEnd(at.loader, "", 30000, at.loaderOnly.dir), 0);
    EXPECT_EQ(TakeMarkers(), std::vector<std::string>{at.onPath.dir + "\\rsrc32.dll"});
}

TEST_F(LibrarySearch, NoStandinIsLoadedIntoTheProgram)
{
    ASSERT_TRUE(places_->ok);
    TakeMarkers();
    const Places& at = *places_;
    EXPECT_EQ(RunToEnd(at.program.exe, "/min", 30000, at.current.dir), 0);
    EXPECT_EQ(TakeMarkers(), std::vector<std::string>()) << "the switch path";

    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Process process;
    HWND main = StartResident(at.program, &process, 15000, at.current.dir);
    ASSERT_NE(main, nullptr);
    WaitUntil([&] { return GetPriorityClass(process.handle) == IDLE_PRIORITY_CLASS; }, 10000);
    EXPECT_EQ(TakeMarkers(), std::vector<std::string>()) << "the resident start";

    Dialog about = Dialog::Open(IDM_ABOUT, std::string());
    ASSERT_TRUE(about.ok());
    EXPECT_EQ(about.Text(101), "Tidewell ver. " + VersionString(at.program.exe, "ProductVersion"));
    about.Click(IDOK);
    EXPECT_TRUE(about.WaitGone());

    Dialog hotkeys = Dialog::Open(IDM_HOTKEY_SETTINGS, "ﾎｯﾄｷｰ の設定");
    ASSERT_TRUE(hotkeys.ok());
    for (int id = 1035; id <= 1039; ++id)
        EXPECT_EQ(ClassOf(hotkeys.Item(id)), HOTKEY_CLASSA) << id;
    hotkeys.Click(IDCANCEL);
    EXPECT_TRUE(hotkeys.WaitGone());

    Dialog autoRun = Dialog::Open(IDM_AUTORUN_SETTINGS, "自動実行の設定");
    ASSERT_TRUE(autoRun.ok());
    const int spins[4][2] = {{1047, 1043}, {1049, 1044}, {1051, 1045}, {1052, 1046}};
    for (const auto& spin : spins) {
        EXPECT_EQ(ClassOf(autoRun.Item(spin[0])), UPDOWN_CLASSA) << spin[0];
        EXPECT_EQ(reinterpret_cast<HWND>(SendAndWait(autoRun.Item(spin[0]), UDM_GETBUDDY)), autoRun.Item(spin[1]));
    }
    autoRun.Click(IDCANCEL);
    EXPECT_TRUE(autoRun.WaitGone());

    PostMessageA(main, WM_CLOSE, 0, 0);
    if (!WaitProcess(process, 10000))
        KillProcess(process);
    EXPECT_EQ(TakeMarkers(), std::vector<std::string>()) << "the about box or the dialogs";
}

// The application manifest (resource type 24, id 1) of the program as built.
TEST(Manifest, AsInvokerOnEveryWindowsFromVistaDpiAwareWithCommonControls6)
{
    HMODULE program = LoadLibraryExA((BinaryDir() + "\\tidewell.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                               SizeofResource(program, found));
    FreeLibrary(program);
    for (const char* part : {
             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
             "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
             "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
         })
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

}  // namespace

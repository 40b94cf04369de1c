// The settings file name built from the executable's name, and its limits.
#include "settings/settings_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Build(const std::string& module, bool* ok)
{
    char path[kPathBufferSize];
    std::memset(path, 'x', sizeof path);
    *ok = BuildSettingsPath(module.c_str(), ".ini", path, sizeof path);
    return path;
}

TEST(BuildSettingsPath, ReplacesExtensionAndLowerCases)
{
    bool ok = false;
    EXPECT_EQ(Build("C:\\Tools\\Prog.EXE", &ok), "c:\\tools\\prog.ini");
    EXPECT_TRUE(ok);
    EXPECT_EQ(Build("C:\\My.Tools\\PROG", &ok), "c:\\my.tools\\prog.ini");
    EXPECT_EQ(Build("C:\\Tools\\a.b.c.exe", &ok), "c:\\tools\\a.b.c.ini");
    EXPECT_EQ(Build("C:\\T\\a.b\x95\x5C", &ok), "c:\\t\\a.ini");
    EXPECT_EQ(Build("C:\\T\\\x83\x41.EXE", &ok), "c:\\t\\\x83\x41.ini");
}

TEST(BuildSettingsPath, RefusesWhatDoesNotFit)
{
    bool ok = true;
    // 256 characters ending in ".exe": the ".ini" name has the same length.
    std::string fits = "C:\\" + std::string(249, 'a') + ".exe";
    ASSERT_EQ(fits.size(), 256u);
    EXPECT_EQ(Build(fits, &ok).size(), 256u);
    EXPECT_TRUE(ok);

    // 257 characters without an extension: 261 with ".ini", one too many.
    std::string tooLong = "C:\\" + std::string(254, 'a');
    EXPECT_EQ(Build(tooLong, &ok), "");
    EXPECT_FALSE(ok);

    // Exactly 260 with ".ini".
    std::string exact = "C:\\" + std::string(253, 'a');
    EXPECT_EQ(Build(exact, &ok).size(), 260u);
    EXPECT_TRUE(ok);

    EXPECT_EQ(Build("", &ok), "");
    EXPECT_FALSE(ok);
}

TEST(BuildSettingsPath, UnterminatedModuleNameIsRefused)
{
    char module[kPathBufferSize];
    std::memset(module, 'a', sizeof module);
    char path[kPathBufferSize];
    EXPECT_FALSE(BuildSettingsPath(module, ".ini", path, sizeof path));
    EXPECT_EQ(path[0], '\0');
}

}  // namespace

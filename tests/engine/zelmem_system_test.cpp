// The configuration store, the search path, case-insensitive path matching
// and driver module names.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "engine/zelmem/zelmem.h"

namespace {

namespace fs = std::filesystem;

// A directory made with mkdtemp, removed with its contents afterwards.
struct TempDir {
    std::string path;
    TempDir()
    {
        char pattern[] = "/tmp/zelmem_test_XXXXXX";
        path = mkdtemp(pattern) ? pattern : "/nonexistent";
    }
    ~TempDir() { std::error_code ec; fs::remove_all(path, ec); }
    std::string file(const std::string& rel, const std::string& text = "x") const
    {
        std::string full = path + "/" + rel;
        fs::create_directories(fs::path(full).parent_path());
        std::ofstream(full) << text;
        return full;
    }
};

// Sets (value) or unsets (null) an environment variable for one scope.
struct EnvVar {
    const char* name;
    std::optional<std::string> saved;
    EnvVar(const char* n, const char* value) : name(n)
    {
        if (const char* old = std::getenv(n))
            saved = old;
        value ? setenv(n, value, 1) : unsetenv(n);
    }
    ~EnvVar() { saved ? setenv(name, saved->c_str(), 1) : unsetenv(name); }
};

struct WorkingDir {
    fs::path saved = fs::current_path();
    explicit WorkingDir(const std::string& dir) { fs::current_path(dir); }
    ~WorkingDir() { fs::current_path(saved); }
};

std::string get(const char* key, const char* def = "def", int size = 64)
{
    char out[64];
    return ZelSystem::GetRegistryString(key, def, out, size);
}

TEST(ZelSystemRegistry, SetValueBeatsEnvironmentBeatsFileBeatsDefault)
{
    TempDir dir;
    std::string ini = dir.file("test.ini", "; comment = no\n# zt_key = no\n[zt_key]\n"
                                           "  ZT_Key  =  from file  \r\nzt_key = later line\n");
    EnvVar config("ZEL_CONFIG", ini.c_str());
    EnvVar clean("ZEL_zt_key", nullptr);
    EXPECT_EQ(get("zt_key"), "from file");
    {
        EnvVar env("ZEL_zt_key", "from env");
        EXPECT_EQ(get("zt_key"), "from env");
        EXPECT_EQ(get("ZT_KEY"), "from file");  // the variable is spelled as the key
        ZelSystem::SetRegistryString("zt_key", "set here");
        EXPECT_EQ(get("zt_key"), "set here");
        ZelSystem::SetRegistryString("zt_key", nullptr);
        EXPECT_EQ(get("zt_key"), "from env");
    }
    EXPECT_EQ(get("comment"), "def");
    EXPECT_EQ(get("zt_missing", nullptr), "");
}

TEST(ZelSystemRegistry, DefaultFileAndTruncation)
{
    TempDir dir;
    dir.file("zel.ini", "zt_long = 0123456789\n");
    WorkingDir cwd(dir.path);
    EnvVar config("ZEL_CONFIG", nullptr);
    EXPECT_EQ(get("zt_long"), "0123456789");
    EXPECT_EQ(get("zt_long", "def", 5), "0123");
    EXPECT_EQ(get("zt_long", "def", 1), "");
    EXPECT_EQ(get("zt_missing", "default text", 8), "default");
    char out[4] = "abc";
    EXPECT_EQ(ZelSystem::GetRegistryString("zt_long", "def", out, 0), out);
    EXPECT_STREQ(out, "abc");
    // A named file replaces zel.ini even when it does not exist.
    EnvVar named("ZEL_CONFIG", (dir.path + "/none.ini").c_str());
    EXPECT_EQ(get("zt_long"), "def");
}

TEST(ZelSystemPaths, SearchPathOrderCaseAndLength)
{
    TempDir dir;
    const std::string& d = dir.path;
    dir.file("one/FILE.dat");
    dir.file("two/file.dat");
    dir.file("two/Both.dat");
    dir.file("two/both.dat");
    fs::create_directories(d + "/one/dir.dat");
    std::string deep = d + "/" + std::string(250, 'a') + "/" + std::string(250, 'b');
    fs::create_directories(deep);
    std::ofstream(deep + "/both.dat") << "x";

    char saved[ZelSystem::AppendPathSize];
    std::memcpy(saved, ZelSystem::AppendPath, sizeof saved);
    std::snprintf(ZelSystem::AppendPath, sizeof saved, "%s/missing:%s::%s/one:%s/two", d.c_str(),
                  deep.c_str(), d.c_str(), d.c_str());
    char out[ZelSystem::FoundPathSize];
    auto search = [&](const char* name) -> std::string {
        return ZelSystem::SearchPath(out, name) ? out : "(none)";
    };
    EXPECT_EQ(search("file.dat"), d + "/one/FILE.dat");  // earlier directory first
    EXPECT_EQ(search("both.dat"), d + "/two/both.dat");  // deep path too long: skipped
    EXPECT_EQ(search("BOTH.dat"), d + "/two/Both.dat");  // exact name beats a variant
    EXPECT_EQ(search("dir.dat"), "(none)");              // not a regular file
    EXPECT_EQ(search(""), "(none)");
    EXPECT_EQ(search(nullptr), "(none)");
    std::memcpy(ZelSystem::AppendPath, saved, sizeof saved);
}

TEST(ZelSystemPaths, MatchPathNoCase)
{
    TempDir dir;
    const std::string& d = dir.path;
    dir.file("Sub/Dir/File.TXT");
    for (const char* name : {"Sub/abc", "Sub/ABC", "Sub/Abc"})
        dir.file(name);
    EXPECT_EQ(ZelSystem::MatchPathNoCase(d + "/sub/DIR/file.txt"), d + "/Sub/Dir/File.TXT");
    EXPECT_EQ(ZelSystem::MatchPathNoCase(d + "/sub/Abc"), d + "/Sub/Abc");  // exact first
    EXPECT_EQ(ZelSystem::MatchPathNoCase(d + "/sub/aBC"), d + "/Sub/ABC");  // then byte order
    EXPECT_EQ(ZelSystem::MatchPathNoCase(d + "/sub/nothing"), "");
    EXPECT_EQ(ZelSystem::MatchPathNoCase(d + "/sub/abc/below"), "");
    WorkingDir cwd(d);
    EXPECT_EQ(ZelSystem::MatchPathNoCase("SUB/dir/FILE.txt"), "Sub/Dir/File.TXT");
}

TEST(ZelSystemPaths, AsDeviceName)
{
    char out[80];
    EXPECT_STREQ(ZelSystem::AsDeviceName(out, "vga"), "vga.drv");
    EXPECT_STREQ(ZelSystem::AsDeviceName(out, "vga.so"), "vga.so");
    EXPECT_STREQ(ZelSystem::AsDeviceName(out, "drv.d/vga"), "drv.d/vga.drv");
    EXPECT_STREQ(ZelSystem::AsDeviceName(out, nullptr), "");
    std::string n75(75, 'n'), n76(76, 'n'), n200(200, 'n');
    EXPECT_EQ(std::string(ZelSystem::AsDeviceName(out, n75.c_str())), n75 + ".drv");
    EXPECT_EQ(std::string(ZelSystem::AsDeviceName(out, n76.c_str())), n76);  // no room
    EXPECT_EQ(std::string(ZelSystem::AsDeviceName(out, n200.c_str())), std::string(79, 'n'));
}

} // namespace

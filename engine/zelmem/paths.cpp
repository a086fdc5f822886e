// The search path, case-insensitive path resolution and driver module names.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/zelmem/internal.h"
#include "engine/zelmem/zelmem.h"

char ZelSystem::AppendPath[ZelSystem::AppendPathSize] = {};

namespace {

using zelmem::equalNoCase;
using zelmem::lowerAscii;

constexpr size_t kDeviceNameMax = 79;


bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string join(const std::string& dir, std::string_view name)
{
    if (dir.empty())
        return std::string(name);
    std::string out = dir;
    if (out.back() != '/')
        out += '/';
    out += name;
    return out;
}

// The entry of dir equal to name without regard to ASCII case; the first in
// byte order when several are, "" when none is.
std::string matchEntry(const std::string& dir, std::string_view name)
{
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return {};
    std::vector<std::string> matches;
    while (const dirent* e = ::readdir(d))
        if (equalNoCase(e->d_name, name))
            matches.emplace_back(e->d_name);
    ::closedir(d);
    if (matches.empty())
        return {};
    return *std::min_element(matches.begin(), matches.end());
}

} // namespace

std::string ZelSystem::MatchPathNoCase(const std::string& path)
{
    if (path.empty())
        return {};
    std::string resolved = path[0] == '/' ? "/" : "";
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        std::string_view part = std::string_view(path).substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty())
            continue;
        std::string exact = join(resolved, part);
        if (exists(exact)) {
            resolved = std::move(exact);
            continue;
        }
        std::string entry = matchEntry(resolved, part);
        if (entry.empty())
            return {};
        resolved = join(resolved, entry);
    }
    // A matched entry may still be a dangling link.
    return exists(resolved) ? resolved : std::string();
}

std::string ZelSystem::FindRegularFile(const std::string& path)
{
    if (isRegularFile(path))
        return path;
    std::string matched = MatchPathNoCase(path);
    return isRegularFile(matched) ? matched : std::string();
}

char* ZelSystem::SearchPath(char* out, const char* name)
{
    if (!out || !name || !*name)
        return nullptr;
    std::string_view dirs(AppendPath, strnlen(AppendPath, AppendPathSize));
    size_t pos = 0;
    while (pos <= dirs.size()) {
        size_t colon = dirs.find(':', pos);
        if (colon == std::string_view::npos)
            colon = dirs.size();
        std::string dir(dirs.substr(pos, colon - pos));
        pos = colon + 1;
        if (dir.empty())
            continue;
        const std::string found = FindRegularFile(join(dir, name));
        if (found.empty())
            continue;
        if (found.size() >= size_t(FoundPathSize))
            continue;
        std::memcpy(out, found.c_str(), found.size() + 1);
        return out;
    }
    return nullptr;
}

char* ZelSystem::AsDeviceName(char* out, const char* name)
{
    if (!out)
        return out;
    const char* src = name ? name : "";
    size_t len = strnlen(src, kDeviceNameMax);
    std::memcpy(out, src, len);
    out[len] = '\0';
    const char* slash = std::strrchr(out, '/');
    const char* last = slash ? slash + 1 : out;
    // An empty last component ("" or "dir/") names no module: left alone.
    if (*last && !std::strchr(last, '.') && len + 4 <= kDeviceNameMax)
        std::memcpy(out + len, ".drv", 5);
    return out;
}

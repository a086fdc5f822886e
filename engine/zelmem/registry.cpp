// The configuration store: process-local values, then the environment, then
// an INI file, then the caller's default.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "engine/zelmem/internal.h"
#include "engine/zelmem/zelmem.h"

namespace {

using zelmem::equalNoCase;
using zelmem::lowerAscii;


std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::string_view trimmed(std::string_view s)
{
    const char* space = " \t\r\n\f\v";
    size_t b = s.find_first_not_of(space);
    if (b == std::string_view::npos)
        return {};
    size_t e = s.find_last_not_of(space);
    return s.substr(b, e - b + 1);
}

// Values set with SetRegistryString, keyed by the lower-cased key so they
// match like the file's keys do. Never destroyed: usable during exit.
std::mutex g_valuesLock;
std::map<std::string, std::string>& values()
{
    static auto* map = new std::map<std::string, std::string>;
    return *map;
}

std::optional<std::string> fromFile(const char* key)
{
    const char* named = std::getenv("ZEL_CONFIG");
    std::ifstream in(named && *named ? named : "zel.ini");
    if (!in)
        return std::nullopt;
    std::string line;
    while (std::getline(in, line)) {
        std::string_view text = trimmed(line);
        if (text.empty() || text[0] == ';' || text[0] == '#' || text[0] == '[')
            continue;
        size_t eq = text.find('=');
        if (eq == std::string_view::npos)
            continue;
        if (equalNoCase(trimmed(text.substr(0, eq)), key))
            return std::string(trimmed(text.substr(eq + 1)));
    }
    return std::nullopt;
}

} // namespace

char* ZelSystem::GetRegistryString(const char* key, const char* def, char* out, int size)
{
    if (!out || size <= 0)
        return out;
    std::optional<std::string> found;
    if (key && *key) {
        {
            std::lock_guard lock(g_valuesLock);
            auto it = values().find(lowered(key));
            if (it != values().end())
                found = it->second;
        }
        if (!found) {
            std::string name = std::string("ZEL_") + key;
            if (const char* env = std::getenv(name.c_str()))
                found = env;
        }
        if (!found)
            found = fromFile(key);
    }
    const char* text = found ? found->c_str() : (def ? def : "");
    size_t len = std::min(std::strlen(text), size_t(size - 1));
    std::memmove(out, text, len);  // def may be out itself
    out[len] = '\0';
    return out;
}

void ZelSystem::SetRegistryString(const char* key, const char* value)
{
    if (!key)
        return;
    std::lock_guard lock(g_valuesLock);
    if (value)
        values()[lowered(key)] = value;
    else
        values().erase(lowered(key));
}

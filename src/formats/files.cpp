#include "formats/files.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace formats {

namespace fs = std::filesystem;

std::string AbsoluteFolder(const std::string& folder) {
    std::error_code error;
    std::string whole = fs::absolute(NativePath(folder), error).lexically_normal().string();
    if (error) whole = NativePath(folder);
    if (whole.empty() || whole.back() != '/') whole += '/';
    return whole;
}

std::string NativePath(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out.push_back(c);
    }
    return out;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(NativePath(path), ec);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

namespace {

bool WildcardMatch(const char* pattern, const char* name) {
    for (;;) {
        if (*pattern == '\0') return *name == '\0';
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (WildcardMatch(pattern + 1, rest)) return true;
                if (*rest == '\0') return false;
            }
        }
        if (*name == '\0') return false;
        if (*pattern != '?' && std::tolower(static_cast<unsigned char>(*pattern)) !=
                                   std::tolower(static_cast<unsigned char>(*name))) {
            return false;
        }
        ++pattern;
        ++name;
    }
}

}  // namespace

std::vector<std::string> FindFiles(const std::string& directory, const std::string& pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(NativePath(directory), ec);
    if (ec) return names;
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        if (WildcardMatch(pattern.c_str(), name.c_str())) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path) {
    std::error_code ec;
    const std::string native = NativePath(path);
    if (!fs::is_regular_file(native, ec)) return std::nullopt;
    std::ifstream in(native, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

namespace {
std::function<void()> g_writeObserver;
}  // namespace

void SetWriteObserver(std::function<void()> observer) { g_writeObserver = std::move(observer); }

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string target = NativePath(path);
    // Renaming over a file the user made read-only would silently ignore that.
    if (access(target.c_str(), F_OK) == 0 && access(target.c_str(), W_OK) != 0) return false;
    const std::string temporary = target + ".tmp";
    FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool flushed = std::fflush(out) == 0 && fsync(fileno(out)) == 0;
    const bool closed = std::fclose(out) == 0;
    if (!written || !flushed || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    if (g_writeObserver) g_writeObserver();
    return true;
}

bool MakeDirectories(const std::string& path) {
    std::error_code ec;
    fs::create_directories(NativePath(path), ec);
    return fs::is_directory(NativePath(path), ec);
}

bool RemoveFile(const std::string& path) {
    std::error_code ec;
    if (!fs::remove(NativePath(path), ec)) return false;
    if (g_writeObserver) g_writeObserver();
    return true;
}

std::string ExecutableDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    std::string dir = exe.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
}

}  // namespace formats

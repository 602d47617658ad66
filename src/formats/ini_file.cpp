#include "formats/ini_file.h"

#include <cctype>
#include <cstring>
#include <filesystem>

#include "formats/files.h"

namespace formats {

namespace {

std::string Trim(const std::string& s) {
    size_t begin = 0, end = s.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(s[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(s[end - 1]))) --end;
    return s.substr(begin, end - begin);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The section name of a header line "[name]", if it is one.
std::optional<std::string> SectionName(const std::string& line) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    const size_t close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

bool IsComment(const std::string& line) {
    const std::string t = Trim(line);
    return t.empty() || t[0] == ';';
}

std::string KeyOf(const std::string& line) {
    const size_t eq = line.find('=');
    return Trim(eq == std::string::npos ? line : line.substr(0, eq));
}

std::string ValueOf(const std::string& line) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return {};
    std::string value = Trim(line.substr(eq + 1));
    // Quotes around a whole value are not part of it.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::optional<int32_t> ParseIniInteger(const std::string& raw) {
    std::string text = raw;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, 1, '$');
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size()) return std::nullopt;
    if (text[i] == '$') {
        ++i;
        if (i >= text.size()) return std::nullopt;
        uint64_t value = 0;
        for (; i < text.size(); ++i) {
            const int c = std::tolower(static_cast<unsigned char>(text[i]));
            int digit;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else {
                return std::nullopt;
            }
            value = value * 16 + digit;
            if (value > 0xFFFFFFFFull) return std::nullopt;
        }
        // Hexadecimal fills all 32 bits, so $FFFFFFFF is -1.
        const uint32_t bits = negative ? uint32_t(0u - uint32_t(value)) : uint32_t(value);
        return static_cast<int32_t>(bits);
    }
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

IniFile IniFile::FromText(const std::string& text) {
    IniFile ini;
    ini.newline_ =
        text.find("\r\n") != std::string::npos || text.find('\n') == std::string::npos ? "\r\n" : "\n";
    ini.endsWithNewline_ = text.empty() || text.back() == '\n';
    for (std::string& line : SplitLines(text)) ini.lines_.push_back({std::move(line)});
    return ini;
}

std::optional<IniFile> IniFile::Load(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(NativePath(path), ec)) return IniFile();
    // Anything in its place that is not a readable file is a read failure.
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    return FromText(std::string(bytes->begin(), bytes->end()));
}

int IniFile::FindSection(const std::string& section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (auto name = SectionName(lines_[i].text); name && SameName(*name, section)) return int(i);
    }
    return -1;
}

int IniFile::SectionEnd(int header) const {
    size_t i = size_t(header) + 1;
    while (i < lines_.size() && !SectionName(lines_[i].text)) ++i;
    return int(i);
}

int IniFile::FindKey(int header, const std::string& key) const {
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const std::string& line = lines_[size_t(i)].text;
        if (!IsComment(line) && SameName(KeyOf(line), key)) return i;
    }
    return -1;
}

bool IniFile::HasSection(const std::string& section) const { return FindSection(section) >= 0; }

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i].text);
        if (name && FindSection(*name) == int(i)) names.push_back(*name);
    }
    return names;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    const int header = FindSection(section);
    if (header < 0) return fallback;
    const int line = FindKey(header, key);
    if (line < 0) return fallback;
    return ValueOf(lines_[size_t(line)].text);
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const {
    const std::string text = ReadString(section, key, "");
    if (text.empty()) return fallback;
    return ParseIniInteger(text).value_or(fallback);
}

std::vector<std::string> IniFile::ReadSectionKeys(const std::string& section, size_t bufferSize) const {
    std::vector<std::string> keys;
    const int header = FindSection(section);
    if (header < 0 || bufferSize < 2) return keys;
    // Names are packed with a terminating zero each; the buffer keeps room for
    // the final zero, and a name that does not fit is cut.
    size_t room = bufferSize - 2;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end && room > 0; ++i) {
        const std::string& line = lines_[size_t(i)].text;
        if (IsComment(line)) continue;
        std::string key = KeyOf(line);
        if (key.empty()) continue;
        if (key.size() + 1 > room) {
            key.resize(room);
            room = 0;
        } else {
            room -= key.size() + 1;
        }
        if (!key.empty()) keys.push_back(key);
    }
    return keys;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    int header = FindSection(section);
    if (header < 0) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back({""});
        lines_.push_back({"[" + section + "]"});
        lines_.push_back({key + "=" + value});
        return;
    }
    if (const int line = FindKey(header, key); line >= 0) {
        const std::string& old = lines_[size_t(line)].text;
        lines_[size_t(line)].text =
            old.substr(0, old.find('=') == std::string::npos ? old.size() : old.find('=')) + "=" + value;
        return;
    }
    // After the section's last non-empty line, so blank separators stay below.
    int insertAt = SectionEnd(header);
    while (insertAt > header + 1 && Trim(lines_[size_t(insertAt - 1)].text).empty()) --insertAt;
    lines_.insert(lines_.begin() + insertAt, Line{key + "=" + value});
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

std::string IniFile::ToText() const {
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i].text;
        if (i + 1 < lines_.size() || endsWithNewline_) text += newline_;
    }
    return text;
}

bool IniFile::Save(const std::string& path) const {
    const std::string text = ToText();
    return WriteFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace formats

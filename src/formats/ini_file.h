// INI files with the desktop's rules: section and key names compare without
// regard to case, the first of two equal names wins, values are trimmed, and
// an integer is decimal or, after "$" or a longer-than-two "0x", hexadecimal.
// Writing changes the keys in place and keeps every other line as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace formats {

class IniFile {
public:
    // An empty file: what a missing file reads as.
    IniFile() = default;
    // Parses text; never fails.
    static IniFile FromText(const std::string& text);
    // nullopt when the file exists but cannot be read; a missing file is empty.
    static std::optional<IniFile> Load(const std::string& path);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
    // The key names of a section in file order, as read through a buffer of
    // `bufferSize` bytes: names that together exceed it are cut there.
    std::vector<std::string> ReadSectionKeys(const std::string& section, size_t bufferSize = 8192) const;
    bool HasSection(const std::string& section) const;
    // Every section name in file order; a name that comes again is left out.
    std::vector<std::string> SectionNames() const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);

    std::string ToText() const;
    // Replaces the file atomically; false when it cannot be written.
    bool Save(const std::string& path) const;

private:
    struct Line {
        std::string text;  // without its line ending
    };
    // Index of the section's header line, or -1.
    int FindSection(const std::string& section) const;
    // Index of the key's line within the section starting at `header`, or -1.
    int FindKey(int header, const std::string& key) const;
    int SectionEnd(int header) const;

    std::vector<Line> lines_;
    std::string newline_ = "\r\n";
    bool endsWithNewline_ = true;
};

// The integer rules of the settings and level files.
std::optional<int32_t> ParseIniInteger(const std::string& text);

}  // namespace formats

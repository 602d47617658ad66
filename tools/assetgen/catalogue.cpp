// Cross-checks assets/Munchora.ini against what the generator made, and
// installs the fonts with their licences.
#include <set>
#include <stdexcept>

#include "context.h"
#include "formats/ini_file.h"

namespace assetgen {

void CheckCatalogue(const Context& cx) {
    // Read as the game reads it: where a name comes twice, the first wins.
    const formats::IniFile ini = formats::IniFile::FromText(ReadText(cx.Source() / "Munchora.ini"));
    constexpr size_t kWholeSection = size_t(-1);
    std::set<std::string> used;
    for (const std::string& section : ini.SectionNames()) {
        if (section.rfind("Scene", 0) == 0 || section == "MorePictures") {
            for (const std::string& name : ini.ReadSectionKeys(section, kWholeSection)) {
                const auto parts = Split(ini.ReadString(section, name, ""), ',');
                if (parts.size() != 3)
                    throw std::runtime_error("Munchora.ini: " + name + " needs a file and two pattern sizes");
                const Picture* pic = nullptr;
                for (const Picture& p : cx.Pictures())
                    if (p.file == parts[0]) pic = &p;
                if (!pic) throw std::runtime_error("Munchora.ini: no picture is made for " + parts[0]);
                if (std::stoi(parts[1]) != pic->patternWidth || std::stoi(parts[2]) != pic->patternHeight)
                    throw std::runtime_error("Munchora.ini: " + name + " has pattern size " + parts[1] + "," +
                                             parts[2] + " but the picture is cut " +
                                             std::to_string(pic->patternWidth) + "," +
                                             std::to_string(pic->patternHeight));
                used.insert(pic->file);
            }
        } else if (section == "Sounds") {
            for (const std::string& name : ini.ReadSectionKeys(section, kWholeSection))
                if (!fs::exists(cx.Output() / CataloguePath(ini.ReadString(section, name, ""))))
                    throw std::runtime_error("Munchora.ini: no sound file for " + name);
        }
    }
    for (const Picture& p : cx.Pictures())
        if (p.file.rfind("Data\\", 0) == 0 && !used.count(p.file))
            throw std::runtime_error("picture not in Munchora.ini: " + p.file);
}

void CopyFonts(Context& cx) {
    const fs::path src = cx.Source() / "fonts";
    const std::pair<const char*, const char*> files[] = {
        {"LeagueSpartan-Black.otf", "Shotgun BT.ttf"},
        {"Comfortaa-Bold.ttf", "Bauhaus Hv BT.ttf"},
        {"LeagueSpartan-copyright.txt", "Shotgun BT - League Spartan licence.txt"},
        {"Comfortaa-copyright.txt", "Bauhaus Hv BT - Comfortaa licence.txt"},
        {"Comfortaa-OFL.txt", "Bauhaus Hv BT - Comfortaa OFL.txt"},
        {"README.txt", "README.txt"},
    };
    for (const auto& [from, to] : files) {
        const std::string bytes = ReadText(src / from);
        WriteBytes(cx.Output() / "Data" / "Fonts" / to, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
}

}  // namespace assetgen

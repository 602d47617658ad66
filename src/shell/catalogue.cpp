// The picture and sound catalogue: which files the names stand for is data
// of the settings file, one picture section per screen and one for sounds.
#include <cctype>

#include "formats/errors.h"
#include "formats/ini_file.h"
#include "game/globals.h"
#include "shell/main_form.h"

namespace shell {

namespace {

// Key names of one section are read through a buffer of this size.
constexpr size_t kSectionKeyBuffer = 8192;

// "key=value" for every key of the section, in file order; false when the
// settings file cannot be read.
bool ReadSectionEntries(const std::string& section, std::vector<std::string>& entries) {
    const auto ini = formats::IniFile::Load(game::Setup.ProgramDir + kSettingsFile);
    if (!ini) return false;
    for (const std::string& key : ini->ReadSectionKeys(section, kSectionKeyBuffer)) {
        entries.push_back(key + "=" + ini->ReadString(section, key, ""));
    }
    return true;
}

// A whole decimal number, spaces around it allowed.
bool ParseDecimal(std::string text, int& value) {
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    while (!text.empty() && text.back() == ' ') text.pop_back();
    size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (i >= text.size() || text.size() > 10) return false;
    for (size_t j = i; j < text.size(); ++j) {
        if (!std::isdigit(static_cast<unsigned char>(text[j]))) return false;
    }
    value = std::stoi(text);
    return true;
}

std::string FieldAfterComma(const std::string& value, int commas) {
    size_t start = 0;
    for (int i = 0; i < commas; ++i) {
        start = value.find(',', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    return value.substr(start, value.find(',', start) - start);
}

}  // namespace

void TMainForm::LoadImages(int screen) {
    media_.SetCaption("Loading images, please wait...");
    media_.SetCursor(platform::Cursor::Hourglass);
    std::vector<std::string> entries;
    if (!ReadSectionEntries("Scene" + std::to_string(screen), entries)) {
        ShowMessage("Error of loading INI file");
        Close();
    }
    for (const std::string& entry : entries) AddImageEntry(entry);
    media_.SetCaption(kApplicationTitle);
    media_.SetCursor(media_.FullScreen() ? platform::Cursor::Hidden : platform::Cursor::Arrow);
}

void TMainForm::LoadMorePictures() {
    std::vector<std::string> entries;
    ReadSectionEntries("MorePictures", entries);
    for (const std::string& entry : entries) AddImageEntry(entry);
}

void TMainForm::AddImageEntry(const std::string& entry) {
    const size_t equals = entry.find('=');
    const std::string name = entry.substr(0, equals);
    if (ImageList.IndexOf(name) >= 0) return;  // the first entry of a name wins
    const std::string value = equals == std::string::npos ? std::string() : entry.substr(equals + 1);
    const std::string file = value.substr(0, value.find(','));
    try {
        // Another level set's pictures are named by their whole path.
        auto picture = media_.LoadPicture(file.rfind('/', 0) == 0 ? file : game::Setup.ProgramDir + file);
        int patternWidth = 0, patternHeight = 0;
        if (!ParseDecimal(FieldAfterComma(value, 1), patternWidth) ||
            !ParseDecimal(FieldAfterComma(value, 2), patternHeight)) {
            throw formats::GameError("bad pattern size");
        }
        media::ImageEntry& image = ImageList.Add(name, std::move(picture));
        // Only a size smaller than the picture cuts it into patterns.
        image.SetPatternWidth(patternWidth);
        image.SetPatternHeight(patternHeight);
    } catch (const formats::GameError&) {
        ShowMessage("Can't load image " + entry);
        Close();
    }
}

const media::ImageEntry* TMainForm::ReplaceImage(const std::string& entry) {
    const std::string name = entry.substr(0, entry.find('='));
    const int old = ImageList.IndexOf(name);
    if (old >= 0) ImageList.Delete(old);
    AddImageEntry(entry);
    return ImageList.IndexOf(name) >= 0 ? &ImageList.Find(name) : nullptr;
}

void TMainForm::LoadSounds() {
    media_.SetCaption("Loading sounds, please wait...");
    media_.SetCursor(platform::Cursor::Hourglass);
    std::vector<std::string> entries;
    if (!ReadSectionEntries("Sounds", entries)) {
        ShowMessage("Error of loading INI file");
        Close();
    }
    for (const std::string& entry : entries) {
        AddSoundEntry(entry);
        if (closing_) break;  // a broken sound stops the loading
    }
    media_.SetCaption(kApplicationTitle);
    media_.SetCursor(media_.FullScreen() ? platform::Cursor::Hidden : platform::Cursor::Arrow);
}

void TMainForm::AddSoundEntry(const std::string& entry) {
    const size_t equals = entry.find('=');
    const std::string name = entry.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : entry.substr(equals + 1);
    const std::string file = value.substr(0, value.find(','));
    try {
        DXWaveList.Add(name, media_.LoadWave(game::Setup.ProgramDir + file));
    } catch (const formats::GameError&) {
        ShowMessage("Can't load sound " + entry);
        Close();
    }
}

}  // namespace shell

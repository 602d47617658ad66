#include "media/image_list.h"

#include <strings.h>

#include "formats/errors.h"

namespace media {

namespace {
bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }
}  // namespace

int ImageList::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (SameName(entries_[i]->Name(), name)) return int(i);
    }
    return -1;
}

ImageEntry& ImageList::Find(const std::string& name) const {
    const int index = IndexOf(name);
    if (index < 0) throw formats::GameError("Image '" + name + "' not found");
    return *entries_[size_t(index)];
}

ImageEntry& ImageList::Add(const std::string& name, std::shared_ptr<const Picture> picture) {
    entries_.push_back(std::make_unique<ImageEntry>(name, std::move(picture)));
    return *entries_.back();
}

void ImageList::Delete(int index) {
    if (index >= 0 && index < Count()) entries_.erase(entries_.begin() + index);
}

Wave& WaveList::Find(const std::string& name) const {
    for (const auto& [entryName, wave] : entries_) {
        if (SameName(entryName, name)) return *wave;
    }
    throw formats::GameError("Wave '" + name + "' not found");
}

void WaveList::Add(const std::string& name, std::shared_ptr<Wave> wave) {
    entries_.emplace_back(name, std::move(wave));
}

}  // namespace media

// The named picture catalogue of the current screen.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/image.h"
#include "media/wave.h"

namespace media {

class ImageList {
public:
    // Names compare without regard to case. Throws GameError
    // "Image '<name>' not found" when absent.
    ImageEntry& Find(const std::string& name) const;
    int IndexOf(const std::string& name) const;  // -1 when absent
    ImageEntry& Add(const std::string& name, std::shared_ptr<const Picture> picture);
    void Delete(int index);
    void Clear() { entries_.clear(); }
    int Count() const { return int(entries_.size()); }
    ImageEntry& Item(int index) const { return *entries_.at(size_t(index)); }

private:
    std::vector<std::unique_ptr<ImageEntry>> entries_;
};

// A named wave sound catalogue; adding never replaces, finding takes the first.
class WaveList {
public:
    Wave& Find(const std::string& name) const;  // throws "Wave '<name>' not found"
    void Add(const std::string& name, std::shared_ptr<Wave> wave);
    int Count() const { return int(entries_.size()); }

private:
    std::vector<std::pair<std::string, std::shared_ptr<Wave>>> entries_;
};

}  // namespace media

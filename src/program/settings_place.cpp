#include "program/settings_place.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "formats/files.h"

namespace program {

std::string FindProgramDirectory(const std::string& executableDir, const std::string& installedData) {
    std::error_code ec;
    if (std::filesystem::exists(executableDir + "Munchora.ini", ec) || installedData.empty())
        return executableDir;
    std::string installed = executableDir + installedData;
    if (installed.back() != '/') installed.push_back('/');
    if (!std::filesystem::exists(installed + "Munchora.ini", ec)) return executableDir;
    return std::filesystem::path(installed).lexically_normal().string();
}

// Trying it answers for permissions, read-only mounts and the like at once.
bool CanWriteInto(const std::string& directory) {
    const std::string probe = directory + ".munchora-write-test";
    const int fd = ::open(probe.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::string ChooseSettingsDirectory(const std::string& programDir, const std::string& userDir,
                                    bool programDirWritable) {
    if (userDir.empty() || programDirWritable) return programDir;
    std::error_code ec;
    std::filesystem::create_directories(userDir, ec);
    const std::string settings = userDir + "Munchora.ini";
    if (!std::filesystem::exists(settings, ec)) {
        std::filesystem::copy_file(programDir + "Munchora.ini", settings, ec);
    }
    return userDir;
}

}  // namespace program

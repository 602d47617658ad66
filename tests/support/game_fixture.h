// A main window on the headless platform over an empty program directory,
// for tests of the screens and of the game as the shell runs it. Pictures
// are made in memory rather than loaded, so no data files are needed.
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include "game/globals.h"
#include "platform/headless/headless_backend.h"
#include "shell/main_form.h"
#include "support/form_probe.h"
#include "support/program_fixture.h"

namespace testing_support {

class GameFixture : public ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // A picture of `patterns` patterns of w x h in one row, every pixel set.
    media::ImageEntry& AddImage(const std::string& name, int patterns = 1, int w = 32, int h = 32);
    // The events the platform noted so far ("sound EatDot -5000", ...).
    std::string Events() const { return events_.str(); }
    FormProbe Probe() { return FormProbe(*form_); }

    std::ostringstream events_;
    std::unique_ptr<platform::HeadlessBackend> machine_;
    std::unique_ptr<platform::Platform> media_;
    std::unique_ptr<shell::TMainForm> form_;
};

}  // namespace testing_support

// Errors that end the handler in progress. The frame loop and the other
// handlers catch them, show their text in a message box, and go on.
#pragma once

#include <stdexcept>
#include <string>

namespace formats {

class GameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace formats

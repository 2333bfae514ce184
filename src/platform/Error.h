// The one exception type tavik throws for input it cannot use: a file that
// cannot be read, a malformed setting, an element set that cannot be
// propagated. The message is meant for the user as it stands.
#pragma once

#include <stdexcept>
#include <string>

namespace tavik {

class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace tavik

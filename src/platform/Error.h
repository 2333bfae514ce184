// The exception types tavik throws. InputError: input it cannot use (a file
// that cannot be read, a malformed setting, an element set that cannot be
// propagated). OutputError: a file that cannot be written. The message is
// meant for the user as it stands.
#pragma once

#include <stdexcept>
#include <string>

namespace tavik {

class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};

class OutputError : public std::runtime_error {
public:
    explicit OutputError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace tavik

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <system_error>
#include <type_traits>

namespace vexalo {

// The writer's own reasons not to write, beside the system's errno values.
enum class WriteError {
    ForeignLink = 1, // the name is, or leads through, a link another user owns
    DanglingLink,    // the name is a link to nothing
};

// The system's errno value as a code: core reports every failure as a std::error_code.
inline std::error_code SystemError(int error)
{
    return {error, std::generic_category()};
}

// The errno value the last failed call left.
std::error_code LastError();

// Returns the category of WriteError codes.
const std::error_category& WriteCategory();

// Returns `error` as a code of WriteCategory().
std::error_code make_error_code(WriteError error);

// A failure of one of the tool's operations, reported once to the user. what() reads
// "<subject>: <description>", the description in the locale's language and encoding, e.g.
// "config.txt: Permission denied"; code() keeps the cause, so callers and tests decide by the
// code and never by the words.
class Error : public std::system_error {
public:
    Error(const std::string& subject, std::error_code code) : std::system_error(code, subject) {}

    // A failure the system reported through errno.
    Error(const std::string& subject, int error)
        : Error(subject, std::error_code(error, std::generic_category()))
    {
    }

    // A failure whose description says more than the code's own words: which folder, which
    // interpreter, what another program printed.
    Error(const std::string& subject, std::error_code code, const std::string& description)
        : std::system_error(code, subject), text_(subject + ": " + description)
    {
    }

    const char* what() const noexcept override
    {
        return text_.empty() ? std::system_error::what() : text_.c_str();
    }

private:
    std::string text_;
};

} // namespace vexalo

template <> struct std::is_error_code_enum<vexalo::WriteError> : std::true_type {
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace halvane::render
{

// A failure reported to the user as one line; the exit status is 1, or 2 for misuse of the
// command line.
class RenderError : public std::runtime_error
{
public:
    explicit RenderError(const std::string& what, int exitCode = 1)
        : std::runtime_error(what), code(exitCode)
    {
    }
    int exitCode() const { return code; }

private:
    int code;
};

inline RenderError usageError(const std::string& what)
{
    return RenderError(what, 2);
}

} // namespace halvane::render

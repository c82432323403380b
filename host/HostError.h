// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace halvane::host
{

// Thrown for anything that stops a module or instance from being usable; the message is
// one line meant for the user.
class HostError : public std::runtime_error
{
public:
    explicit HostError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace halvane::host

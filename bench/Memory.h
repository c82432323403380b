// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace bench
{

// Resident memory of this process in bytes, split as the kernel counts it: anonymous pages
// (heap: what an instance allocates) and file pages (mapped code and read-only data, such
// as the response bank inside the bundle's shared object).
struct Resident
{
    double total = 0.0;
    double anonymous = 0.0;
    double file = 0.0;

    Resident operator-(const Resident& other) const
    {
        return {total - other.total, anonymous - other.anonymous, file - other.file};
    }
};

Resident residentNow();

} // namespace bench

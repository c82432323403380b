// SPDX-License-Identifier: GPL-3.0-or-later
#include "Memory.h"

#include <fstream>
#include <string>

namespace bench
{

Resident residentNow()
{
    Resident r;
    std::ifstream status("/proc/self/status");
    std::string key;
    double kb = 0.0;
    while (status >> key)
    {
        if (key == "VmRSS:" || key == "RssAnon:" || key == "RssFile:")
        {
            status >> kb;
            const double bytes = kb * 1024.0;
            if (key == "VmRSS:")
                r.total = bytes;
            else if (key == "RssAnon:")
                r.anonymous = bytes;
            else
                r.file = bytes;
        }
        status.ignore(1 << 12, '\n');
    }
    return r;
}

} // namespace bench

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace halvane::render
{

// A file written under a temporary name beside its target and renamed over it only on
// commit(); dropped otherwise, also when the process is interrupted by SIGINT or SIGTERM.
class PendingFile
{
public:
    explicit PendingFile(std::string target);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& path() const { return temp; }
    const std::string& target() const { return final; }
    void commit();

    // Throws unless `target` is missing or a regular file (followed through symbolic links):
    // a device node or FIFO must never be replaced by a file.
    static void checkReplaceable(const std::string& target);

    // Installs the interrupt handlers that remove pending files.
    static void installSignalCleanup();

private:
    std::string final;
    std::string temp;
    int slot = -1;
    bool committed = false;
};

} // namespace halvane::render

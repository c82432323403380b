// SPDX-License-Identifier: GPL-3.0-or-later
#include "PendingFile.h"

#include "RenderError.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace halvane::render
{

namespace
{

// Paths the signal handler may unlink; fixed storage because the handler cannot allocate.
constexpr int kSlots = 8;
constexpr size_t kPathMax = 4096;
char pendingPaths[kSlots][kPathMax];
volatile std::sig_atomic_t pendingUsed[kSlots];

int claimSlot(const std::string& path)
{
    if (path.size() >= kPathMax) return -1;
    for (int i = 0; i < kSlots; ++i)
    {
        if (!pendingUsed[i])
        {
            std::memcpy(pendingPaths[i], path.c_str(), path.size() + 1);
            // The handler may run between any two stores: the path must be complete before
            // the slot counts as used, and the compiler may otherwise sink the copy below.
            std::atomic_signal_fence(std::memory_order_seq_cst);
            pendingUsed[i] = 1;
            return i;
        }
    }
    return -1;
}

void releaseSlot(int slot)
{
    if (slot >= 0) pendingUsed[slot] = 0;
}

extern "C" void removePendingAndExit(int sig)
{
    for (int i = 0; i < kSlots; ++i)
        if (pendingUsed[i]) ::unlink(pendingPaths[i]);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

} // namespace

PendingFile::PendingFile(std::string target) : final(std::move(target))
{
    const std::filesystem::path t(final);
    std::string dir = t.parent_path().string();
    if (dir.empty()) dir = ".";
    std::string pattern = dir + "/." + t.filename().string() + ".tmp-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) throw RenderError("cannot write " + final + ": " + std::strerror(errno));
    temp = buffer.data();
    slot = claimSlot(temp);

    // mkstemp makes the file private; give it the permissions a new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
}

PendingFile::~PendingFile()
{
    if (!committed) ::unlink(temp.c_str());
    releaseSlot(slot);
}

void PendingFile::checkReplaceable(const std::string& target)
{
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) return;
    if (!S_ISREG(st.st_mode))
        throw RenderError(target + " is not a regular file; only regular files are replaced");
}

void PendingFile::commit()
{
    // Checked again at the last moment: the path may have changed since the render began.
    checkReplaceable(final);
    if (::rename(temp.c_str(), final.c_str()) != 0)
        throw RenderError("cannot write " + final + ": " + std::strerror(errno));
    committed = true;
    releaseSlot(slot);
    slot = -1;
}

void PendingFile::installSignalCleanup()
{
    std::signal(SIGINT, removePendingAndExit);
    std::signal(SIGTERM, removePendingAndExit);
    std::signal(SIGHUP, removePendingAndExit);
}

} // namespace halvane::render

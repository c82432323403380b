// SPDX-License-Identifier: GPL-3.0-or-later
#include "Grain.h"

namespace imagegen
{

double Grain::next()
{
    // xorshift64*: plenty for texture and identical on every platform.
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const std::uint64_t x = state_ * 0x2545F4914F6CDD1Dull;
    return static_cast<double>(x >> 11) * (1.0 / 9007199254740992.0);
}

} // namespace imagegen

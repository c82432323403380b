// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/source/fobject.h"
#include "public.sdk/source/common/memorystream.h"

#include <cstdint>
#include <vector>

namespace halvane::host
{

using Bytes = std::vector<std::uint8_t>;

// A fresh in-memory stream holding a copy of the bytes, read position at the start.
Steinberg::IPtr<Steinberg::MemoryStream> makeStream(const Bytes& bytes);
// Everything written to the stream, whatever its read position.
Bytes streamBytes(Steinberg::MemoryStream& stream);

} // namespace halvane::host

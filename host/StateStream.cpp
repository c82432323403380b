// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/StateStream.h"

using namespace Steinberg;

namespace halvane::host
{

IPtr<MemoryStream> makeStream(const Bytes& bytes)
{
    auto stream = owned(new MemoryStream());
    if (!bytes.empty())
    {
        int32 written = 0;
        stream->write(const_cast<std::uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()),
                      &written);
    }
    stream->seek(0, IBStream::kIBSeekSet, nullptr);
    return stream;
}

Bytes streamBytes(MemoryStream& stream)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(stream.getData());
    if (!data) return {};
    return Bytes(data, data + stream.getSize());
}

} // namespace halvane::host

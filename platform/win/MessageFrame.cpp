#include "MessageFrame.h"

#include <cstring>

namespace platform::win {
namespace {

constexpr uint8_t kMagic[4] = {'N', 'V', 'W', 'M'};
constexpr uint8_t kVersion = 1;

void Put(uint8_t* p, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t Get(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

}  // namespace

void EncodeFrame(const MessageFrame& frame, uint8_t* out) {
    std::memset(out, 0, kFrameBytes);
    std::memcpy(out, kMagic, 4);
    out[4] = kVersion;
    out[5] = static_cast<uint8_t>(frame.kind);
    Put(out + 8, frame.lngMsg, 4);
    Put(out + 16, frame.wParam, 8);
    Put(out + 24, static_cast<uint64_t>(frame.lParam), 8);
}

bool blnDecodeFrame(const uint8_t* data, std::size_t size, MessageFrame& out) {
    if (!data || size != kFrameBytes || std::memcmp(data, kMagic, 4) != 0 || data[4] != kVersion)
        return false;
    if (data[5] < static_cast<uint8_t>(FrameKind::Post) ||
        data[5] > static_cast<uint8_t>(FrameKind::Reply))
        return false;
    if (Get(data + 6, 2) != 0 || Get(data + 12, 4) != 0) return false;
    out.kind = static_cast<FrameKind>(data[5]);
    out.lngMsg = static_cast<uint32_t>(Get(data + 8, 4));
    out.wParam = Get(data + 16, 8);
    out.lParam = static_cast<int64_t>(Get(data + 24, 8));
    return true;
}

}  // namespace platform::win

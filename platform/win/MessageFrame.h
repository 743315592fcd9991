// The frame a message travels in between processes: fixed size, so the
// reader never allocates on what a peer claims. Little-endian:
//   "NVWM" | version 1 | kind | 2 zero bytes | message (u32) | 4 zero bytes
//   | wParam (u64) | lParam (i64)
// A reply carries the handler's result in lParam.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::win {

inline constexpr std::size_t kFrameBytes = 32;

enum class FrameKind : uint8_t { Post = 1, Send = 2, Reply = 3 };

struct MessageFrame {
    FrameKind kind = FrameKind::Post;
    uint32_t lngMsg = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

void EncodeFrame(const MessageFrame& frame, uint8_t* out);
// False for anything but exactly one well-formed frame.
bool blnDecodeFrame(const uint8_t* data, std::size_t size, MessageFrame& out);

}  // namespace platform::win

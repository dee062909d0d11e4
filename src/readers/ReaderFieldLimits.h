#pragma once

namespace lms::Readers {

// Byte limits of the reader's typed fields (GBK text, a Chinese character takes two).
inline constexpr int kNameBytes = 20;
inline constexpr int kIdNumberBytes = 18;
inline constexpr int kPhoneBytes = 18;
inline constexpr int kRemarkBytes = 255;

} // namespace lms::Readers

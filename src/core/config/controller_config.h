// The controller's 64-byte configuration record. It travels as the last 64
// bytes of the program image, so the image stays the one copy: a
// ControllerConfig is a view onto those bytes, never a second buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "core/model/program_types.h"

namespace lumera {

inline constexpr int kTempoMultiplierCount = 8;
inline constexpr int kReceiverTypeCount = 5;  // types 0 to 4
inline constexpr int kConfigOutputCount = 4;
inline constexpr int kStartPointCount = 16;
inline constexpr std::uint8_t kConfigMarker = 75;  // the letter "K"

// Byte positions inside the 64-byte record (0 = first byte of the general
// block, 32 = first byte of the start-point block).
inline constexpr std::size_t kControllerNumberByte = 0;
inline constexpr std::size_t kMarkerByte = 31;
constexpr std::size_t TempoMultiplierByte(int n) {  // n = 1..8
  return static_cast<std::size_t>(n);
}
constexpr std::size_t ReceiverXByte(int type) {  // type = 0..4
  return 9 + 2 * static_cast<std::size_t>(type);
}
constexpr std::size_t ReceiverYByte(int type) {
  return ReceiverXByte(type) + 1;
}
constexpr std::size_t OutputTypeByte(int n) {  // n = 1..4
  return 19 + 3 * static_cast<std::size_t>(n - 1);
}
constexpr std::size_t OutputLimitByte(int n) { return OutputTypeByte(n) + 1; }
constexpr std::size_t OutputStateByte(int n) { return OutputTypeByte(n) + 2; }
constexpr std::size_t StartPointSegmentByte(int n) {  // n = 1..16
  return kConfigBlockSize + 2 * static_cast<std::size_t>(n - 1);
}
constexpr std::size_t StartPointCommandByte(int n) {
  return StartPointSegmentByte(n) + 1;
}
static_assert(OutputStateByte(kConfigOutputCount) + 1 == kMarkerByte);
static_assert(StartPointCommandByte(kStartPointCount) + 1 == kConfigBytes);

struct ReceiverTypeParams {
  std::uint8_t x = 0;
  std::uint8_t y = 0;
  friend bool operator==(const ReceiverTypeParams&,
                         const ReceiverTypeParams&) = default;
};

struct OutputSetup {
  std::uint8_t receiver_type = 0;
  std::uint8_t limit = 0;
  std::uint8_t state = 0;
  friend bool operator==(const OutputSetup&, const OutputSetup&) = default;
};

// Both indexes 0-based, as in the record and on the wire.
struct StartPoint {
  std::uint8_t segment_index = 0;
  std::uint8_t command_index = 0;
  friend bool operator==(const StartPoint&, const StartPoint&) = default;
};

// View of the configuration bytes of an image. `Byte` is std::uint8_t for
// a writable view and const std::uint8_t for a read-only one. Field
// numbers out of range are the caller's fault and are not checked beyond
// the span's own bounds.
template <typename Byte>
class BasicControllerConfig {
 public:
  using Image = std::conditional_t<std::is_const_v<Byte>, const ProgramImage,
                                   ProgramImage>;

  explicit BasicControllerConfig(Image& image)
      : bytes_(image.data() + kGeneralConfigOffset, kConfigBytes) {}

  std::span<Byte, kConfigBytes> Bytes() const { return bytes_; }
  std::span<Byte, kConfigBlockSize> GeneralBlock() const {
    return bytes_.template first<kConfigBlockSize>();
  }
  std::span<Byte, kConfigBlockSize> StartPointBlock() const {
    return bytes_.template last<kConfigBlockSize>();
  }

  std::uint8_t ControllerNumber() const {
    return bytes_[kControllerNumberByte];
  }
  std::uint8_t TempoMultiplier(int n) const {
    return bytes_[TempoMultiplierByte(n)];
  }
  ReceiverTypeParams ReceiverType(int type) const {
    return {bytes_[ReceiverXByte(type)], bytes_[ReceiverYByte(type)]};
  }
  OutputSetup Output(int n) const {
    return {bytes_[OutputTypeByte(n)], bytes_[OutputLimitByte(n)],
            bytes_[OutputStateByte(n)]};
  }
  std::uint8_t Marker() const { return bytes_[kMarkerByte]; }
  StartPoint GetStartPoint(int n) const {
    return {bytes_[StartPointSegmentByte(n)], bytes_[StartPointCommandByte(n)]};
  }

  void SetControllerNumber(std::uint8_t value) const
      requires(!std::is_const_v<Byte>) {
    bytes_[kControllerNumberByte] = value;
  }
  void SetTempoMultiplier(int n, std::uint8_t value) const
      requires(!std::is_const_v<Byte>) {
    bytes_[TempoMultiplierByte(n)] = value;
  }
  void SetReceiverType(int type, ReceiverTypeParams value) const
      requires(!std::is_const_v<Byte>) {
    bytes_[ReceiverXByte(type)] = value.x;
    bytes_[ReceiverYByte(type)] = value.y;
  }
  void SetOutput(int n, OutputSetup value) const
      requires(!std::is_const_v<Byte>) {
    bytes_[OutputTypeByte(n)] = value.receiver_type;
    bytes_[OutputLimitByte(n)] = value.limit;
    bytes_[OutputStateByte(n)] = value.state;
  }
  void SetMarker(std::uint8_t value) const requires(!std::is_const_v<Byte>) {
    bytes_[kMarkerByte] = value;
  }
  void SetStartPoint(int n, StartPoint value) const
      requires(!std::is_const_v<Byte>) {
    bytes_[StartPointSegmentByte(n)] = value.segment_index;
    bytes_[StartPointCommandByte(n)] = value.command_index;
  }

 private:
  std::span<Byte, kConfigBytes> bytes_;
};

using ControllerConfig = BasicControllerConfig<std::uint8_t>;
using ConstControllerConfig = BasicControllerConfig<const std::uint8_t>;

// Writes the start-up record into the configuration bytes of `image`; the
// command bytes are left alone.
void WriteConfigDefaults(ProgramImage& image);

// Marker := 75, as every configuration write sends it.
void SetConfigMarker(ProgramImage& image);

}  // namespace lumera

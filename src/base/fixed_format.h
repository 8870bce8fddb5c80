// Number-to-text conversions for the output writer: printf's "%f" and "%d",
// without printf's cost on the values the converters write.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrun {

/// Room format_fixed needs: sign, 309 integer digits, point, 6 decimals, NUL.
inline constexpr std::size_t kMaxFixedLength = 320;

/// Room format_integer needs: "-9223372036854775808".
inline constexpr std::size_t kMaxIntegerLength = 20;

/// Writes `value` exactly as printf("%f") does (fixed notation, six decimals,
/// "-0.000000", ...) into `out`, which has kMaxFixedLength bytes of room.
/// A value that is not finite, which no Maya file may hold, is written as
/// the largest float of its sign (an infinity) or as 0 (NaN), and counted in
/// `*replaced` if that is given. Returns the end of the text written; no NUL
/// is added.
char* format_fixed(double value, char* out, std::size_t* replaced = nullptr) noexcept;

/// Writes `value` with at most six decimals and no trailing zeros ("0.5",
/// "-12", and "0" for anything that rounds to zero, -0 and -1e-7 too),
/// rounded as printf("%f") rounds; values beyond 10^12 and
/// doubles that are no float go in their shortest round-trip form instead.
/// Values that are not finite are written and counted as format_fixed
/// writes them. Returns the end of the text written; the room needed is
/// kMaxFixedLength.
char* format_trimmed(double value, char* out, std::size_t* replaced = nullptr) noexcept;

/// Writes `value` in decimal as printf("%lld") does; returns the end of the text.
char* format_integer(std::int64_t value, char* out) noexcept;

}  // namespace kestrun

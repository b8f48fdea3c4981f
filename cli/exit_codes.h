#pragma once
// The exit codes of vimbrel-cli.

namespace vimbrel::cli {

inline constexpr int kExitOk = 0;
// Something asked for did not happen: a target no camera answered for, a
// device left without an address, a device that did not answer from its new
// address.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitNoCamera = 2;  // no camera answered the search
// The search listed what it could, but replies were lost: dropped at the
// queue's bound, or by the system on a full socket (a flood). Cameras may be
// missing from the list.
inline constexpr int kExitIncomplete = 3;
inline constexpr int kExitUsage = 64;  // bad command line; nothing was sent

}  // namespace vimbrel::cli

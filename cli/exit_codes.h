#pragma once
// The exit codes of vimbrel-cli.

namespace vimbrel::cli {

inline constexpr int kExitOk = 0;
// Something asked for did not happen: a target no camera answered for, a
// device left without an address, a device that did not answer from its new
// address, a search none of whose rounds could go out.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitNoCamera = 2;  // no camera answered the search
// The search listed what it could, but replies were lost: dropped at the
// queue's bound, or by the system on a full socket (a flood). Cameras may be
// missing from the list.
inline constexpr int kExitIncomplete = 3;
// Bad command line, or an assignment that would move cameras off the network
// they answered through without --yes; nothing was sent.
inline constexpr int kExitUsage = 64;

}  // namespace vimbrel::cli

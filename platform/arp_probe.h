#pragma once
// Asks the local network whether a host answers for an IPv4 address, one
// address at a time or many at once.
//
// What a platform provides: MakeArpProbe and MakeSystemArpProbe, returning an
// ArpProbe whose HostAnswers keeps the rules below. OpenBatch may be left as
// it is: the default runs HostAnswers on worker threads (at most
// kArpBatchWorkers, started as probes need them), which suits a blocking
// system call such as SendARP. Linux overrides it with probes of its own that
// share one socket.
//
// A batch takes a wave of at most WaveBound() probes under way at once:
// kArpWaveBound for requests of our own (1024 requests of 60 bytes are 61 KB
// on the link, sent in paced slices, and their answers fit the socket's
// buffer), kKernelNeighbourWave for the kernel's resolution (every probe is
// an entry of the neighbour table, which the kernel by default caps at 1024
// for all its network namespaces together: half of it leaves room for the
// entries it holds already), and the workers for the threaded batch.
//
// The rules, for both forms: an address this computer holds itself counts as
// answered; an address outside every directly connected network counts as
// not answered at once, with nothing sent; no answer, or any failure, counts
// as not answered. A candidate nobody answers for costs about one second.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vimbrel::platform {

// What the probe of one address found.
struct ArpVerdict {
    std::uint32_t address = 0;  // host order
    bool answered = false;  // some host holds the address
};

// Probes under way for many addresses at once, each with its own deadline of
// about one second from its Start. Used by one thread at a time. Going away
// abandons the probes still under way (the threaded form first lets each
// running system call end).
class ArpProbeBatch {
public:
    virtual ~ArpProbeBatch() = default;
    // Begins probing `address` (host order) without waiting on the network.
    // Its verdict comes from a later Wait, exactly once. An address should be
    // started only once per batch.
    virtual void Start(std::uint32_t address) = 0;
    // Waits up to `wait` for verdicts and returns all that came in since the
    // last call, in no particular order; empty when none came in time.
    // Returns at once when verdicts are ready or nothing is under way. The
    // probes may only make progress (repeat requests, reach deadlines) inside
    // this call: call it at least every few tens of milliseconds while
    // anything is under way.
    virtual std::vector<ArpVerdict> Wait(std::chrono::milliseconds wait) = 0;
    // The most probes to have under way at once; a caller starts no more.
    virtual std::size_t WaveBound() const;
};

// The wave bounds (above).
inline constexpr std::size_t kArpWaveBound = 1024;
inline constexpr std::size_t kKernelNeighbourWave = 512;

// The most worker threads of the default batch: Windows' SendARP holds its
// thread for the whole wait, so the workers are the wave. 256 take every
// candidate of a counter's run (at most 256) at once; their stacks are
// address space reserved, not memory used.
inline constexpr std::size_t kArpBatchWorkers = 256;

class ArpProbe {
public:
    virtual ~ArpProbe() = default;
    // True when some host answered an ARP request for `address` (host
    // order); blocks until the verdict is in. Rules above.
    virtual bool HostAnswers(std::uint32_t address) = 0;
    // A batch that keeps the same rules; this probe must outlive it. By
    // default HostAnswers on worker threads.
    virtual std::unique_ptr<ArpProbeBatch> OpenBatch();
};

// A batch that runs `probe.HostAnswers` on up to `workers` threads, started
// as addresses come and joined when the batch goes. An address waits for a
// free worker when all are busy. `probe` must be safe to call from several
// threads at once and must outlive the batch.
std::unique_ptr<ArpProbeBatch> MakeThreadedArpProbeBatch(ArpProbe& probe, std::size_t workers);

// How the probe reaches the wire where the system offers more than one way.
enum class ArpProbeMode {
    Automatic,  // the raw request where permitted, else the kernel's
    RawRequest,  // an ARP request of our own (needs CAP_NET_RAW on Linux)
    KernelNeighbour,  // the kernel's own neighbour resolution (no privilege)
};

// The system's probe: SendARP on Windows; on Linux a raw ARP request where
// the process may open one, else the kernel's neighbour resolution.
std::unique_ptr<ArpProbe> MakeSystemArpProbe();
std::unique_ptr<ArpProbe> MakeArpProbe(ArpProbeMode mode);

}  // namespace vimbrel::platform

#include "platform/arp_probe.h"

#include <utility>

#include "platform/arp_probe_rules.h"
#include "platform/linux/connected_interface.h"
#include "platform/linux/link_probes.h"

namespace vimbrel::platform {

namespace {

// The Linux batch: settles what the rules settle without traffic at once
// (an address off every link, one of our own, one on a link without ARP)
// and hands the rest to the link probes of the chosen way.
class LinuxArpProbeBatch final : public ArpProbeBatch {
public:
    explicit LinuxArpProbeBatch(std::unique_ptr<LinkProbes> link) : m_link(std::move(link)) {}

    void Start(std::uint32_t address) override {
        const auto via = FindConnectedInterface(address);
        switch (RuleOnAddress(via.has_value(), via && IsOwnAddress(address),
                              via && via->usesArp && m_link)) {
        case ArpRuling::NotAnswered: return Settle(address, false);
        case ArpRuling::Answered: return Settle(address, true);
        case ArpRuling::Ask: return m_link->Start(*via, address);
        }
    }

    std::vector<ArpVerdict> Wait(std::chrono::milliseconds wait) override {
        std::vector<ArpVerdict> verdicts = std::exchange(m_settled, {});
        if (m_link) m_link->Wait(verdicts.empty() ? wait : std::chrono::milliseconds(0), verdicts);
        return verdicts;
    }

    std::size_t WaveBound() const override { return m_link ? m_link->WaveBound() : kArpWaveBound; }

private:
    void Settle(std::uint32_t address, bool answered) { m_settled.push_back({address, answered}); }

    std::unique_ptr<LinkProbes> m_link;  // null: nothing can be asked
    std::vector<ArpVerdict> m_settled;
};

class LinuxArpProbe final : public ArpProbe {
public:
    explicit LinuxArpProbe(ArpProbeMode mode) : m_mode(mode) {}

    bool HostAnswers(std::uint32_t address) override {
        const auto batch = OpenBatch();
        batch->Start(address);
        // Every candidate settles by its deadline; the bound only guards
        // against a clock that stands still.
        for (int round = 0; round < 10; ++round) {
            const auto verdicts = batch->Wait(kAnswerWait);
            if (!verdicts.empty()) return verdicts.front().answered;
        }
        return false;
    }

    std::unique_ptr<ArpProbeBatch> OpenBatch() override {
        std::unique_ptr<LinkProbes> link;
        if (m_mode != ArpProbeMode::KernelNeighbour)
            link = OpenRawArpProbes();  // null without CAP_NET_RAW
        if (!link && m_mode != ArpProbeMode::RawRequest) link = OpenKernelNeighbourProbes();
        return std::make_unique<LinuxArpProbeBatch>(std::move(link));
    }

private:
    ArpProbeMode m_mode;
};

}  // namespace

std::unique_ptr<ArpProbe> MakeArpProbe(ArpProbeMode mode) {
    return std::make_unique<LinuxArpProbe>(mode);
}

std::unique_ptr<ArpProbe> MakeSystemArpProbe() { return MakeArpProbe(ArpProbeMode::Automatic); }

}  // namespace vimbrel::platform

#include "cli/target_selection.h"

#include <algorithm>

#include "cli/utf8_text.h"
#include "protocol/device_identity.h"

namespace vimbrel::cli {

namespace {

bool Names(const NamedTarget& target, const TableRow& camera) {
    if (target.kind == NamedTarget::Kind::Serial)
        return camera.device.serial == FromUtf8(target.text);
    const auto wanted = protocol::CheckMacIdentity(std::string_view(target.text));
    const auto have = protocol::CheckMacIdentity(camera.device.mac);
    return wanted && have && *wanted == *have;
}

}  // namespace

Selection SelectTargets(const std::vector<NamedTarget>& targets, bool all,
                        const std::vector<TableRow>& found) {
    Selection selection;
    if (all) {
        selection.cameras = found;
        return selection;
    }
    for (const NamedTarget& target : targets) {
        bool any = false;
        for (const TableRow& camera : found) {
            if (!Names(target, camera)) continue;
            any = true;
            const bool chosen =
                std::any_of(selection.cameras.begin(), selection.cameras.end(),
                            [&](const TableRow& c) { return c.device.mac == camera.device.mac; });
            if (!chosen) selection.cameras.push_back(camera);
        }
        if (!any)
            selection.absent.push_back(
                (target.kind == NamedTarget::Kind::Serial ? "serial " : "MAC ") +
                EchoText(target.text));
    }
    return selection;
}

}  // namespace vimbrel::cli

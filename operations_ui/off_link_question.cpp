#include "operations_ui/off_link_question.h"

#include "platform/ipv4_text.h"

namespace vimbrel {

wxString OffLinkQuestion(const std::vector<OffLinkGroup>& groups,
                         const std::vector<std::wstring>& names) {
    wxString question;
    for (const OffLinkGroup& group : groups) {
        if (!question.empty()) question += "\n\n";
        question += wxString::Format(
            _(L"%zu 台设备经 %s 收到，新地址不在该网段，分配后本机将无法直接访问它们。仍然分配？"),
            group.targets.size(), wxString(platform::FormatIPv4(group.localAddress)));
        question += "\n";
        for (std::size_t k = 0; k < group.targets.size(); ++k)
            question += (k ? _(L"、") : wxString()) + wxString(names[group.targets[k]]);
    }
    return question;
}

bool AgreedToOffLinkMoves(const std::vector<MoveTarget>& targets,
                          const std::vector<std::wstring>& names, const AskUser& ask) {
    const std::vector<OffLinkGroup> groups = OffLinkMoves(targets);
    return groups.empty() || ask(OffLinkQuestion(groups, names));
}

}  // namespace vimbrel

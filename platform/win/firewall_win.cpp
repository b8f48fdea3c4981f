// Windows Defender Firewall: asked through INetFwPolicy2 (COM, no
// administrator needed); changed by netsh, run as an administrator.
#include <windows.h>
// The firewall's class and interface ids are defined here: no library has them.
#include <initguid.h>
#include <netfw.h>
#include <shellapi.h>

#include <memory>
#include <utility>

#include "platform/firewall.h"
#include "platform/socket_error_state.h"
#include "platform/utf8_text.h"

namespace vimbrel::platform {

namespace {

constexpr long kAnyProtocol = 256;  // NET_FW_IP_PROTOCOL_ANY

// One reference to a COM object, released at the end.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (m_p) m_p->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    // For a call that hands out a new reference.
    T** put() {
        if (m_p) m_p->Release();
        m_p = nullptr;
        return &m_p;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

private:
    T* m_p = nullptr;
};

// COM for the calling thread as long as it lives (the window thread has it
// already; a second start only counts up).
class ComScope {
public:
    ComScope() : m_started(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (m_started) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_started;
};

class Bstr {
public:
    Bstr() = default;
    ~Bstr() { SysFreeString(m_s); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* put() {
        SysFreeString(m_s);
        m_s = nullptr;
        return &m_s;
    }
    std::wstring Text() const { return m_s ? std::wstring(m_s, SysStringLen(m_s)) : L""; }

private:
    BSTR m_s = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&m_v); }
    ~Variant() { VariantClear(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &m_v; }
    void Clear() { VariantClear(&m_v); }

private:
    VARIANT m_v;
};

std::wstring Expanded(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsW(path.c_str(), buffer, MAX_PATH * 2);
    return length > 0 && length <= MAX_PATH * 2 ? std::wstring(buffer) : path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Public before private before domain: the strictest of the current ones.
std::pair<FirewallProfile, NET_FW_PROFILE_TYPE2> StrictestProfile(long types) {
    if (types & NET_FW_PROFILE2_PUBLIC) return {FirewallProfile::kPublic, NET_FW_PROFILE2_PUBLIC};
    if (types & NET_FW_PROFILE2_PRIVATE)
        return {FirewallProfile::kPrivate, NET_FW_PROFILE2_PRIVATE};
    return {FirewallProfile::kDomain, NET_FW_PROFILE2_DOMAIN};
}

// Reads the rules that name the program into `state`; false when they
// could not be read.
bool ReadRules(INetFwPolicy2& policy, NET_FW_PROFILE_TYPE2 profile, const std::wstring& program,
               FirewallState& state) {
    ComRef<INetFwRules> rules;
    if (FAILED(policy.get_Rules(rules.put())) || !rules.get()) return false;
    ComRef<IUnknown> unknown;
    if (FAILED(rules->get__NewEnum(unknown.put())) || !unknown.get()) return false;
    ComRef<IEnumVARIANT> items;
    if (FAILED(unknown->QueryInterface(IID_IEnumVARIANT, items.putVoid())) || !items.get())
        return false;
    Variant item;
    ULONG fetched = 0;
    while (items->Next(1, item.get(), &fetched) == S_OK && fetched == 1) {
        ComRef<INetFwRule> rule;
        const bool isRule =
            item.get()->vt == VT_DISPATCH && item.get()->pdispVal &&
            SUCCEEDED(item.get()->pdispVal->QueryInterface(IID_INetFwRule, rule.putVoid()));
        item.Clear();
        if (!isRule) continue;
        VARIANT_BOOL enabled = VARIANT_FALSE;
        NET_FW_RULE_DIRECTION direction = NET_FW_RULE_DIR_OUT;
        long protocol = 0, profiles = 0;
        NET_FW_ACTION action = NET_FW_ACTION_ALLOW;
        Bstr application;
        if (FAILED(rule->get_Enabled(&enabled)) || enabled == VARIANT_FALSE) continue;
        if (FAILED(rule->get_Direction(&direction)) || direction != NET_FW_RULE_DIR_IN) continue;
        if (FAILED(rule->get_Protocol(&protocol)) ||
            (protocol != NET_FW_IP_PROTOCOL_UDP && protocol != kAnyProtocol))
            continue;
        if (FAILED(rule->get_Profiles(&profiles)) || (profiles & profile) == 0) continue;
        if (FAILED(rule->get_ApplicationName(application.put())) ||
            !SamePath(Expanded(application.Text()), program))
            continue;
        if (FAILED(rule->get_Action(&action))) continue;
        if (action == NET_FW_ACTION_BLOCK) state.blockRule = true;
        if (action == NET_FW_ACTION_ALLOW) state.allowRule = true;
    }
    return true;
}

bool IsAdministrator() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                  0, 0, 0, 0, 0, &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using ProcessHandle = std::unique_ptr<void, HandleCloser>;

// Waits for a process and gives its exit code; -1 when it is not known.
long WaitForExit(const ProcessHandle& process) {
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    return GetExitCodeProcess(process.get(), &code) ? static_cast<long>(code) : -1;
}

// netsh with `arguments`, hidden; its exit code, or -1 when it did not start.
long RunNetsh(const std::wstring& arguments) {
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring netsh = std::wstring(system, length) + L"\\netsh.exe";
    std::wstring line = L"\"" + netsh + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(netsh.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &info))
        return -1;
    CloseHandle(info.hThread);
    return WaitForExit(ProcessHandle(info.hProcess));
}

}  // namespace

FirewallState QueryFirewall(const std::wstring& programPath) {
    FirewallState state;
    state.asked = true;
    const ComScope com;
    ComRef<INetFwPolicy2> policy;
    if (FAILED(CoCreateInstance(CLSID_NetFwPolicy2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_INetFwPolicy2, policy.putVoid())) ||
        !policy.get())
        return state;
    long types = 0;
    if (FAILED(policy->get_CurrentProfileTypes(&types))) return state;
    const auto [profile, profileType] = StrictestProfile(types);
    VARIANT_BOOL enabled = VARIANT_FALSE;
    if (FAILED(policy->get_FirewallEnabled(profileType, &enabled))) return state;
    state.known = true;
    state.profile = profile;
    state.enabled = enabled != VARIANT_FALSE;
    state.rulesKnown = ReadRules(*policy.get(), profileType,
                                 programPath.empty() ? ThisProgramPath() : programPath, state);
    return state;
}

std::wstring ThisProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The delete finds nothing to delete when the program has no rule (netsh
// then ends with 1): only the added rule must succeed.
FirewallFix AllowThroughFirewall(const std::wstring& programPath) {
    if (!IsAdministrator()) return {FirewallFixResult::kNeedsAdministrator, {}};
    const std::vector<std::wstring> commands = FirewallFixArguments(programPath);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const long code = RunNetsh(commands[i]);
        if (code == -1)
            return {FirewallFixResult::kFailed,
                    "netsh did not start: " + SystemErrorText(static_cast<int>(GetLastError()))};
        if (code != 0 && i + 1 == commands.size())
            return {FirewallFixResult::kFailed,
                    "netsh " + ToUtf8(commands[i]) + " ended with " + std::to_string(code)};
    }
    return {FirewallFixResult::kDone, {}};
}

FirewallFix RunElevated(const std::wstring& programPath, const std::wstring& arguments) {
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    run.lpVerb = L"runas";
    run.lpFile = programPath.c_str();
    run.lpParameters = arguments.c_str();
    run.nShow = SW_HIDE;
    if (!ShellExecuteExW(&run)) {
        const DWORD error = GetLastError();
        if (error == ERROR_CANCELLED) return {FirewallFixResult::kCancelled, {}};
        return {FirewallFixResult::kFailed, SystemErrorText(static_cast<int>(error))};
    }
    if (!run.hProcess) return {FirewallFixResult::kFailed, "the elevated program gave no handle"};
    const long code = WaitForExit(ProcessHandle(run.hProcess));
    if (code == 0) return {FirewallFixResult::kDone, {}};
    return {FirewallFixResult::kFailed, "the elevated program ended with " + std::to_string(code)};
}

}  // namespace vimbrel::platform

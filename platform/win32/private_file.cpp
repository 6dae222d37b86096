#include "platform/private_file.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <aclapi.h>

#include <memory>
#include <vector>

namespace quorvel {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The account this process runs as.
std::vector<unsigned char> ProcessUserSid() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return {};
    }
    UniqueHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    std::vector<unsigned char> copy(::GetLengthSid(sid));
    ::CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid);
    return copy;
}

// Whether an access list lets everybody, every signed-in account or every user of the machine read.
bool OthersMayRead(const ACL* acl) {
    if (acl == nullptr) {
        return true; // no list at all grants everything to everyone
    }
    const WELL_KNOWN_SID_TYPE others[] = {WinWorldSid, WinAuthenticatedUserSid, WinBuiltinUsersSid};
    constexpr ACCESS_MASK kRead = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* entry = nullptr;
        if (!::GetAce(const_cast<ACL*>(acl), i, &entry)) {
            return true;
        }
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0) {
            continue;
        }
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        if ((allowed->Mask & kRead) == 0) {
            continue;
        }
        PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        for (WELL_KNOWN_SID_TYPE other : others) {
            if (::IsWellKnownSid(sid, other)) {
                return true;
            }
        }
    }
    return false;
}

// Whether the opened file belongs to this account and its access list keeps the other accounts out.
bool PrivateToThisAccount(HANDLE file) {
    PSID owner = nullptr;
    ACL* acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                          &acl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<unsigned char> user = ProcessUserSid();
    const bool ours = owner != nullptr && !user.empty() && ::EqualSid(owner, user.data()) && !OthersMayRead(acl);
    ::LocalFree(descriptor);
    return ours;
}

} // namespace

std::optional<std::string> ReadPrivateFile(const std::string& path, std::size_t maxSize) {
    // The checks are made on the opened file itself, so it cannot be swapped between the check and the read.
    UniqueHandle file(::CreateFileW(win32::Widen(path).c_str(), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || info.nFileSizeHigh != 0 ||
        info.nFileSizeLow > maxSize || !PrivateToThisAccount(file.get())) {
        return std::nullopt;
    }
    std::string bytes(maxSize + 1, '\0');
    std::size_t size = 0;
    while (size < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + size, static_cast<DWORD>(bytes.size() - size), &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            break;
        }
        size += read;
    }
    if (size > maxSize) {
        return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
}

} // namespace quorvel

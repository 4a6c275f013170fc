#include <QVToolbox/keychain/KeychainOptions.h>

#include <QVToolbox/keychain/KeychainStatus.h>

#include <QVPlatform/security/SecAccessControl.h>

namespace QVToolbox {

using namespace platform;

namespace {

constexpr KeychainEnumEntry<ItemClass> kItemClasses[] = {
    {ItemClass::genericPassword, kSecClassGenericPassword, "GenericPassword"},
    {ItemClass::internetPassword, kSecClassInternetPassword, "InternetPassword"},
};

constexpr KeychainEnumEntry<ProtocolType> kProtocolTypes[] = {
    {ProtocolType::ftp, kSecAttrProtocolFTP, "FTP"},
    {ProtocolType::ftpAccount, kSecAttrProtocolFTPAccount, "FTPAccount"},
    {ProtocolType::http, kSecAttrProtocolHTTP, "HTTP"},
    {ProtocolType::irc, kSecAttrProtocolIRC, "IRC"},
    {ProtocolType::nntp, kSecAttrProtocolNNTP, "NNTP"},
    {ProtocolType::pop3, kSecAttrProtocolPOP3, "POP3"},
    {ProtocolType::smtp, kSecAttrProtocolSMTP, "SMTP"},
    {ProtocolType::socks, kSecAttrProtocolSOCKS, "SOCKS"},
    {ProtocolType::imap, kSecAttrProtocolIMAP, "IMAP"},
    {ProtocolType::ldap, kSecAttrProtocolLDAP, "LDAP"},
    {ProtocolType::appleTalk, kSecAttrProtocolAppleTalk, "AppleTalk"},
    {ProtocolType::afp, kSecAttrProtocolAFP, "AFP"},
    {ProtocolType::telnet, kSecAttrProtocolTelnet, "Telnet"},
    {ProtocolType::ssh, kSecAttrProtocolSSH, "SSH"},
    {ProtocolType::ftps, kSecAttrProtocolFTPS, "FTPS"},
    {ProtocolType::https, kSecAttrProtocolHTTPS, "HTTPS"},
    {ProtocolType::httpProxy, kSecAttrProtocolHTTPProxy, "HTTPProxy"},
    {ProtocolType::httpsProxy, kSecAttrProtocolHTTPSProxy, "HTTPSProxy"},
    {ProtocolType::ftpProxy, kSecAttrProtocolFTPProxy, "FTPProxy"},
    {ProtocolType::smb, kSecAttrProtocolSMB, "SMB"},
    {ProtocolType::rtsp, kSecAttrProtocolRTSP, "RTSP"},
    {ProtocolType::rtspProxy, kSecAttrProtocolRTSPProxy, "RTSPProxy"},
    {ProtocolType::daap, kSecAttrProtocolDAAP, "DAAP"},
    {ProtocolType::eppc, kSecAttrProtocolEPPC, "EPPC"},
    {ProtocolType::ipp, kSecAttrProtocolIPP, "IPP"},
    {ProtocolType::nntps, kSecAttrProtocolNNTPS, "NNTPS"},
    {ProtocolType::ldaps, kSecAttrProtocolLDAPS, "LDAPS"},
    {ProtocolType::telnetS, kSecAttrProtocolTelnetS, "TelnetS"},
    {ProtocolType::imaps, kSecAttrProtocolIMAPS, "IMAPS"},
    {ProtocolType::ircs, kSecAttrProtocolIRCS, "IRCS"},
    {ProtocolType::pop3S, kSecAttrProtocolPOP3S, "POP3S"},
};

constexpr KeychainEnumEntry<AuthenticationType> kAuthenticationTypes[] = {
    {AuthenticationType::ntlm, kSecAttrAuthenticationTypeNTLM, "NTLM"},
    {AuthenticationType::msn, kSecAttrAuthenticationTypeMSN, "MSN"},
    {AuthenticationType::dpa, kSecAttrAuthenticationTypeDPA, "DPA"},
    {AuthenticationType::rpa, kSecAttrAuthenticationTypeRPA, "RPA"},
    {AuthenticationType::httpBasic, kSecAttrAuthenticationTypeHTTPBasic, "HTTPBasic"},
    {AuthenticationType::httpDigest, kSecAttrAuthenticationTypeHTTPDigest, "HTTPDigest"},
    {AuthenticationType::htmlForm, kSecAttrAuthenticationTypeHTMLForm, "HTMLForm"},
    {AuthenticationType::default_, kSecAttrAuthenticationTypeDefault, "Default"},
};

constexpr KeychainEnumEntry<Accessibility> kAccessibilities[] = {
    {Accessibility::whenUnlocked, kSecAttrAccessibleWhenUnlocked, "WhenUnlocked"},
    {Accessibility::afterFirstUnlock, kSecAttrAccessibleAfterFirstUnlock, "AfterFirstUnlock"},
    {Accessibility::always, kSecAttrAccessibleAlways, "Always"},
    {Accessibility::whenPasscodeSetThisDeviceOnly, kSecAttrAccessibleWhenPasscodeSetThisDeviceOnly,
     "WhenPasscodeSetThisDeviceOnly"},
    {Accessibility::whenUnlockedThisDeviceOnly, kSecAttrAccessibleWhenUnlockedThisDeviceOnly,
     "WhenUnlockedThisDeviceOnly"},
    {Accessibility::afterFirstUnlockThisDeviceOnly, kSecAttrAccessibleAfterFirstUnlockThisDeviceOnly,
     "AfterFirstUnlockThisDeviceOnly"},
    {Accessibility::alwaysThisDeviceOnly, kSecAttrAccessibleAlwaysThisDeviceOnly, "AlwaysThisDeviceOnly"},
};

constexpr KeychainEnumEntry<AuthenticationUI> kAuthenticationUIs[] = {
    {AuthenticationUI::allow, kSecUseAuthenticationUIAllow, "allow"},
    {AuthenticationUI::fail, kSecUseAuthenticationUIFail, "fail"},
    {AuthenticationUI::skip, kSecUseAuthenticationUISkip, "skip"},
};

}  // namespace

template <>
std::span<const KeychainEnumEntry<ItemClass>> keychainEnumEntries<ItemClass>() { return kItemClasses; }
template <>
std::span<const KeychainEnumEntry<ProtocolType>> keychainEnumEntries<ProtocolType>() { return kProtocolTypes; }
template <>
std::span<const KeychainEnumEntry<AuthenticationType>> keychainEnumEntries<AuthenticationType>() {
    return kAuthenticationTypes;
}
template <>
std::span<const KeychainEnumEntry<Accessibility>> keychainEnumEntries<Accessibility>() { return kAccessibilities; }
template <>
std::span<const KeychainEnumEntry<AuthenticationUI>> keychainEnumEntries<AuthenticationUI>() {
    return kAuthenticationUIs;
}

Any::Dictionary Options::query(bool ignoringAttributeSynchronizable) const {
    Any::Dictionary query;
    query[kSecClass] = rawValue(itemClass);
    if (accessGroup) query[kSecAttrAccessGroup] = *accessGroup;
    if (ignoringAttributeSynchronizable) {
        query[kSecAttrSynchronizable] = kSecAttrSynchronizableAny;
    } else {
        query[kSecAttrSynchronizable] = synchronizable ? kCFBooleanTrue : kCFBooleanFalse;
    }
    if (itemClass == ItemClass::genericPassword) {
        query[kSecAttrService] = service;
    } else {
        // A server without a host is written as "" rather than left out: left out, the
        // query would match (and removeAll would delete) every server's items.
        query[kSecAttrServer] = server && server->host() ? *server->host() : std::string();
        if (server && server->port()) query[kSecAttrPort] = *server->port();
        if (protocolType) query[kSecAttrProtocol] = rawValue(*protocolType);
        query[kSecAttrAuthenticationType] = rawValue(authenticationType);
    }
    if (authenticationPrompt) query[kSecUseOperationPrompt] = *authenticationPrompt;
    if (authenticationContext) query[kSecUseAuthenticationContext] = authenticationContext;
    return query;
}

Options::AttributesResult Options::attributesFor(const std::optional<std::string>& key, const Data& value) const {
    AttributesResult result;
    Any::Dictionary& out = result.attributes;
    if (key) {
        out = query(true);
        out[kSecAttrAccount] = *key;
    }
    out[kSecValueData] = value;
    if (label) out[kSecAttrLabel] = *label;
    if (comment) out[kSecAttrComment] = *comment;
    if (authenticationPolicy) {
        CFErrorRef error;
        auto acl = SecAccessControlCreateWithFlags(nullptr, rawValue(accessibility), authenticationPolicy->rawValue, &error);
        if (!acl) {
            if (error) {
                result.error = KeychainError::fromCFError(*error);
            } else {
                result.error = Status(Status::unexpectedError);
            }
            return result;
        }
        out[kSecAttrAccessControl] = acl;
    } else {
        out[kSecAttrAccessible] = rawValue(accessibility);
    }
    out[kSecAttrSynchronizable] = synchronizable ? kCFBooleanTrue : kCFBooleanFalse;
    return result;
}

}  // namespace QVToolbox

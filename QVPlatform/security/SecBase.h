// SecBase: the result codes and the dictionary vocabulary of the keychain item store.
//
//   Any::Dictionary query{{kSecClass, kSecClassGenericPassword}, {kSecAttrAccount, "alice"}};
//   SecItemCopyMatching(query, nullptr);   // errSecSuccess or errSecItemNotFound
//
// Keys and constant values are plain texts (their exact text belongs to this platform and
// may change; compare them only with the constants). Booleans are `Any(true)`/`Any(false)`,
// spelled kCFBooleanTrue/kCFBooleanFalse here. Constants only: safe from any thread.
#pragma once

#include <cstdint>

namespace platform {

using OSStatus = std::int32_t;

// Result codes the store answers.
inline constexpr OSStatus errSecSuccess = 0;
inline constexpr OSStatus errSecIO = -36;
inline constexpr OSStatus errSecParam = -50;
inline constexpr OSStatus errSecAllocate = -108;
inline constexpr OSStatus errSecUserCanceled = -128;
inline constexpr OSStatus errSecNotAvailable = -25291;
inline constexpr OSStatus errSecInvalidKeychain = -25295;
inline constexpr OSStatus errSecDuplicateItem = -25299;
inline constexpr OSStatus errSecItemNotFound = -25300;
inline constexpr OSStatus errSecInteractionNotAllowed = -25308;
inline constexpr OSStatus errSecDecode = -26275;
inline constexpr OSStatus errSecDatabaseLocked = -67869;

inline constexpr bool kCFBooleanTrue = true;
inline constexpr bool kCFBooleanFalse = false;

// Item classes.
inline constexpr const char* kSecClass = "class";
inline constexpr const char* kSecClassGenericPassword = "genp";
inline constexpr const char* kSecClassInternetPassword = "inet";

// Item values.
inline constexpr const char* kSecValueData = "v_Data";
inline constexpr const char* kSecValueRef = "v_Ref";
inline constexpr const char* kSecValuePersistentRef = "v_PersistentRef";

// Item attributes.
inline constexpr const char* kSecAttrAccessible = "pdmn";
inline constexpr const char* kSecAttrAccessControl = "accc";
inline constexpr const char* kSecAttrAccessGroup = "agrp";
inline constexpr const char* kSecAttrSynchronizable = "sync";
inline constexpr const char* kSecAttrSynchronizableAny = "syna";
inline constexpr const char* kSecAttrCreationDate = "cdat";
inline constexpr const char* kSecAttrModificationDate = "mdat";
inline constexpr const char* kSecAttrDescription = "desc";
inline constexpr const char* kSecAttrComment = "icmt";
inline constexpr const char* kSecAttrCreator = "crtr";
inline constexpr const char* kSecAttrType = "type";
inline constexpr const char* kSecAttrLabel = "labl";
inline constexpr const char* kSecAttrIsInvisible = "invi";
inline constexpr const char* kSecAttrIsNegative = "nega";
inline constexpr const char* kSecAttrAccount = "acct";
inline constexpr const char* kSecAttrService = "svce";
inline constexpr const char* kSecAttrGeneric = "gena";
inline constexpr const char* kSecAttrSecurityDomain = "sdmn";
inline constexpr const char* kSecAttrServer = "srvr";
inline constexpr const char* kSecAttrProtocol = "ptcl";
inline constexpr const char* kSecAttrAuthenticationType = "atyp";
inline constexpr const char* kSecAttrPort = "port";
inline constexpr const char* kSecAttrPath = "path";

// Accessibility (protection) values.
inline constexpr const char* kSecAttrAccessibleWhenUnlocked = "ak";
inline constexpr const char* kSecAttrAccessibleAfterFirstUnlock = "ck";
inline constexpr const char* kSecAttrAccessibleAlways = "dk";
inline constexpr const char* kSecAttrAccessibleWhenPasscodeSetThisDeviceOnly = "akpu";
inline constexpr const char* kSecAttrAccessibleWhenUnlockedThisDeviceOnly = "aku";
inline constexpr const char* kSecAttrAccessibleAfterFirstUnlockThisDeviceOnly = "cku";
inline constexpr const char* kSecAttrAccessibleAlwaysThisDeviceOnly = "dku";

// Protocols.
inline constexpr const char* kSecAttrProtocolFTP = "ftp ";
inline constexpr const char* kSecAttrProtocolFTPAccount = "ftpa";
inline constexpr const char* kSecAttrProtocolHTTP = "http";
inline constexpr const char* kSecAttrProtocolIRC = "irc ";
inline constexpr const char* kSecAttrProtocolNNTP = "nntp";
inline constexpr const char* kSecAttrProtocolPOP3 = "pop3";
inline constexpr const char* kSecAttrProtocolSMTP = "smtp";
inline constexpr const char* kSecAttrProtocolSOCKS = "sox ";
inline constexpr const char* kSecAttrProtocolIMAP = "imap";
inline constexpr const char* kSecAttrProtocolLDAP = "ldap";
inline constexpr const char* kSecAttrProtocolAppleTalk = "atlk";
inline constexpr const char* kSecAttrProtocolAFP = "afp ";
inline constexpr const char* kSecAttrProtocolTelnet = "teln";
inline constexpr const char* kSecAttrProtocolSSH = "ssh ";
inline constexpr const char* kSecAttrProtocolFTPS = "ftps";
inline constexpr const char* kSecAttrProtocolHTTPS = "htps";
inline constexpr const char* kSecAttrProtocolHTTPProxy = "htpx";
inline constexpr const char* kSecAttrProtocolHTTPSProxy = "htsx";
inline constexpr const char* kSecAttrProtocolFTPProxy = "ftpx";
inline constexpr const char* kSecAttrProtocolSMB = "smb ";
inline constexpr const char* kSecAttrProtocolRTSP = "rtsp";
inline constexpr const char* kSecAttrProtocolRTSPProxy = "rtsx";
inline constexpr const char* kSecAttrProtocolDAAP = "daap";
inline constexpr const char* kSecAttrProtocolEPPC = "eppc";
inline constexpr const char* kSecAttrProtocolIPP = "ipp ";
inline constexpr const char* kSecAttrProtocolNNTPS = "ntps";
inline constexpr const char* kSecAttrProtocolLDAPS = "ldps";
inline constexpr const char* kSecAttrProtocolTelnetS = "tels";
inline constexpr const char* kSecAttrProtocolIMAPS = "imps";
inline constexpr const char* kSecAttrProtocolIRCS = "ircs";
inline constexpr const char* kSecAttrProtocolPOP3S = "pops";

// Authentication types.
inline constexpr const char* kSecAttrAuthenticationTypeNTLM = "ntlm";
inline constexpr const char* kSecAttrAuthenticationTypeMSN = "msna";
inline constexpr const char* kSecAttrAuthenticationTypeDPA = "dpaa";
inline constexpr const char* kSecAttrAuthenticationTypeRPA = "rpaa";
inline constexpr const char* kSecAttrAuthenticationTypeHTTPBasic = "http";
inline constexpr const char* kSecAttrAuthenticationTypeHTTPDigest = "httd";
inline constexpr const char* kSecAttrAuthenticationTypeHTMLForm = "form";
inline constexpr const char* kSecAttrAuthenticationTypeDefault = "dflt";

// Search and return keys.
inline constexpr const char* kSecMatchLimit = "m_Limit";
inline constexpr const char* kSecMatchLimitOne = "m_LimitOne";
inline constexpr const char* kSecMatchLimitAll = "m_LimitAll";
inline constexpr const char* kSecReturnData = "r_Data";
inline constexpr const char* kSecReturnAttributes = "r_Attributes";
inline constexpr const char* kSecReturnRef = "r_Ref";
inline constexpr const char* kSecReturnPersistentRef = "r_PersistentRef";
// This platform's own: a list of attribute keys. Returns attribute dictionaries (as
// kSecReturnAttributes does) that hold only these attributes, and reads no other column.
inline constexpr const char* kSecReturnAttributeKeys = "r_AttributeKeys";

// Use keys.
inline constexpr const char* kSecUseOperationPrompt = "u_OpPrompt";
inline constexpr const char* kSecUseAuthenticationContext = "u_AuthCtx";
inline constexpr const char* kSecUseAuthenticationUI = "u_AuthUI";
inline constexpr const char* kSecUseAuthenticationUIAllow = "u_AuthUIA";
inline constexpr const char* kSecUseAuthenticationUIFail = "u_AuthUIF";
inline constexpr const char* kSecUseAuthenticationUISkip = "u_AuthUIS";

// Shared web credentials.
inline constexpr const char* kSecSharedPassword = "spwd";

// The error domain of result codes carried in a CFError.
inline constexpr const char* NSOSStatusErrorDomain = "NSOSStatusErrorDomain";

// The version of this platform's foundation framework (above every historical threshold).
inline constexpr double NSFoundationVersionNumber = 1953.1;

}  // namespace platform

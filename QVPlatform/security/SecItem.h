// SecItem: the keychain item store: add, search, update and delete generic and internet
// passwords, each call one transaction on one SQLite database.
//
//   SecItemAdd({{kSecClass, kSecClassGenericPassword}, {kSecAttrService, "app"},
//               {kSecAttrAccount, "alice"}, {kSecValueData, Data::fromString("s3cret")}}, nullptr);
//   Any out;
//   SecItemCopyMatching({{kSecClass, kSecClassGenericPassword}, {kSecAttrAccount, "alice"},
//                        {kSecReturnData, true}}, &out);      // errSecSuccess, out = the data
//
// Callers that read often keep one query and put the varying entries in (this platform's
// extensions below): SecItemCopyData for one secret, SecItemCopyAttributeTexts for a listing.
//
// Storage: <home>/Library/Keychains/keychain.db (folder 0700, files 0600), WAL with
// synchronous=FULL, BEGIN IMMEDIATE for writes, a busy timeout (a lock held longer answers
// errSecDatabaseLocked). A file that is not a sound database answers errSecInvalidKeychain
// and is never overwritten. The connection is reopened in a forked child and when the home
// folder changes.
//
// Rules: kSecClass is required (else errSecParam); every given attribute matches exactly
// (binary, case-sensitive); without kSecAttrSynchronizable only non-synchronizable items
// match, kSecAttrSynchronizableAny matches both; no kSecMatchLimit means one, and one is the
// oldest item. Uniqueness per class: generic (access group, service, account,
// synchronizable), internet (access group, server, port, protocol, authentication type,
// path, security domain, account, synchronizable); a second add, or an update that would
// make two items collide, answers errSecDuplicateItem and changes nothing. Update and delete
// with no match answer errSecItemNotFound. Unknown keys, kSecAttrSynchronizableAny in an add
// or update, a value of the wrong kind, or both kSecAttrAccessible and kSecAttrAccessControl:
// errSecParam. kSecUse…, kSecReturn… and kSecMatch… keys in an add are ignored. Creation and
// modification dates are kept by the store (given ones are ignored in writes).
//
// Secrets (kSecValueData) are sealed with AES-256-GCM; the associated data binds each to a
// random identifier of its row that never changes, so a secret moved to another row, or
// altered, fails to open (errSecDecode) and is never returned. The key is a file beside the
// database (0600), made once; its identifier is recorded in the database, and a missing or
// different key while sealed secrets exist answers errSecInvalidKeychain instead of making a
// new key. Threat model: the key beside the database protects copies and backups of the
// database, not an attacker who runs as the same user.
//
// Accessibility, synchronizable and access groups are stored and matched only: there is no
// lock state, no synchronisation and no entitlement check here. An item added with a
// kSecAttrAccessControl that carries constraints needs user presence to be read (any search
// that touches it): under kSecUseAuthenticationUIFail such a search answers
// errSecInteractionNotAllowed, under Skip such items are left out, under Allow (the default)
// the host's authentication agent is asked — no agent, or a refusal, answers
// errSecUserCanceled. Update and delete do not read secrets and ask no one.
//
// Thread rule: every call may be made from any thread and from several processes at once.
// The agent is called with no store lock held. Fork only while no other thread is inside a
// call (the child reopens the database; a lock held by another thread at the fork would stay
// held in the child).
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/security/LAContext.h>
#include <QVPlatform/security/SecBase.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Searches. With `result` null only the status tells whether anything matched. With return
// flags the result is: kSecReturnData alone, the data (or a list of them under
// kSecMatchLimitAll); kSecReturnPersistentRef alone, the persistent reference; otherwise one
// attribute dictionary (with kSecValueData / kSecValuePersistentRef when asked) or a list.
// kSecReturnAttributeKeys ({kSecAttrAccount, …}) returns dictionaries of only those
// attributes, without kSecClass: a listing that needs one attribute builds one per item.
OSStatus SecItemCopyMatching(const Any::Dictionary& query, Any* result);
// This platform's extension, for callers that run the same query many times with a few
// entries changed (a keychain reading key after key): SecItemCopyMatching of `query` with
// `entries` put in, each replacing the query's entry of the same key, without copying the
// query. The rules, results and statuses are SecItemCopyMatching's. Keys in `entries` must
// be distinct (else errSecParam); the values they point to must outlive the call.
struct SecItemQueryEntry {
    std::string_view key;
    const Any* value;
};
OSStatus SecItemCopyMatching(const Any::Dictionary& query, std::span<const SecItemQueryEntry> entries, Any* result);
// This platform's extension, for reading one secret: the data of the oldest item the query
// (with `entries` put in, as above) matches, moved into `out` with no copy. Every entry is
// checked as SecItemCopyMatching checks it; then the same rules and statuses as
// SecItemCopyMatching with kSecReturnData alone and kSecMatchLimitOne, whatever match limit
// and return keys the query names. `out` is empty unless errSecSuccess.
OSStatus SecItemCopyData(const Any::Dictionary& query, std::span<const SecItemQueryEntry> entries, Data& out);
// This platform's extension, for listings: the text attribute `attribute` (kSecAttrAccount,
// kSecAttrService…) of every item the query (with `entries` put in, as above) matches, oldest
// first, read straight from the store with no dictionary per item. Every entry is checked
// as SecItemCopyMatching checks it; then the same rules and statuses as SecItemCopyMatching
// with kSecMatchLimitAll and kSecReturnAttributeKeys {attribute}, whatever match limit and
// return keys the query names. An item whose attribute is absent, or not a text, adds
// nothing to `out`. An attribute the class does not have answers errSecParam.
OSStatus SecItemCopyAttributeTexts(const Any::Dictionary& query, std::span<const SecItemQueryEntry> entries,
                                   std::string_view attribute, std::vector<std::string>& out);
// Adds one item. `result` (when given) is set to null: return keys in an add are ignored.
OSStatus SecItemAdd(const Any::Dictionary& attributes, Any* result);
// Sets `attributesToUpdate` on every item that `query` matches, in one transaction.
OSStatus SecItemUpdate(const Any::Dictionary& query, const Any::Dictionary& attributesToUpdate);
// Deletes every item that `query` matches (kSecMatchLimit is ignored).
OSStatus SecItemDelete(const Any::Dictionary& query);

// The host's authentication agent: asked to approve a read of protected items. Receives the
// query's kSecUseOperationPrompt (empty when none) and its context (may be null). Returns
// true to allow.
using SecAuthenticationAgent = std::function<bool(const std::string& prompt, const std::shared_ptr<LAContext>& context)>;
// Replaces the agent (an empty function removes it). Thread-safe.
void SecItemSetAuthenticationAgent(SecAuthenticationAgent agent);

// The folder of the database and its key file: <home>/Library/Keychains.
std::filesystem::path SecKeychainFolder();
// The same folder under the home folder `home`.
std::filesystem::path SecKeychainFolder(const std::filesystem::path& home);

}  // namespace platform

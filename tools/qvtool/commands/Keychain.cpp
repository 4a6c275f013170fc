// `qvtool keychain`: passwords in the item store under QV_HOME, by key, for one service
// (generic passwords) or one server and protocol (internet passwords).
//
// A value left off the command line is read from standard input, so that it does not show in
// the process list. A keychain error (a Status, or an access-control error) prints its code
// and message and exits 1; a missing key prints nothing and exits 1.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

#include <cctype>
#include <iostream>

namespace qvtool {
namespace {

using namespace QVToolbox;

// Where the items of a command live: --service, or --server with --protocol.
struct Target {
    const std::optional<std::string>* service;
    const std::optional<std::string>* server;
    const std::optional<std::string>* protocol;
};

Target targetOptions(Verb& verb) {
    return {&verb.option("--service", "S", "generic passwords of the service S"),
            &verb.option("--server", "URL", "internet passwords of the server URL (with --protocol)"),
            &verb.option("--protocol", "P", "the server's protocol: https, http, ftp, ssh, imaps... (case ignored)")};
}

std::string protocolNames() {
    std::string names;
    for (ProtocolType type : allCases<ProtocolType>()) {
        std::string name = description(type);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names += (names.empty() ? "" : ", ") + name;
    }
    return names;
}

// The protocol whose name is `text`, ignoring case ("https" is HTTPS).
ProtocolType protocolArgument(const std::string& text) {
    for (ProtocolType type : allCases<ProtocolType>()) {
        const std::string name = description(type);
        const bool same = name.size() == text.size() &&
                          std::equal(name.begin(), name.end(), text.begin(), [](char a, char b) {
                              return std::tolower(static_cast<unsigned char>(a)) ==
                                     std::tolower(static_cast<unsigned char>(b));
                          });
        if (same) return type;
    }
    throw BadInput("--protocol " + shown(text) + " is not a protocol (one of " + protocolNames() + ")");
}

// The keychain the target options name; exactly one of --service and --server.
std::shared_ptr<Keychain> keychainOf(const Target& target) {
    const auto& service = *target.service;
    const auto& server = *target.server;
    const auto& protocol = *target.protocol;
    if (service && server) throw BadInput("give --service or --server, not both");
    if (!service && !server) throw BadInput("give --service S (generic passwords) or --server URL --protocol P");
    if (service) {
        if (protocol) throw BadInput("--protocol goes with --server, not --service");
        return Keychain::make(requireUtf8(*service, "--service"));
    }
    if (!protocol) throw BadInput("--server needs --protocol (one of " + protocolNames() + ")");
    const ProtocolType type = protocolArgument(*protocol);
    const auto url = platform::URL::string(requireUtf8(*server, "--server"));
    if (!url) throw BadInput("--server " + shown(*server) + " is not a URL");
    return Keychain::make(*url, type);
}

// Runs a keychain call; a thrown keychain error becomes one line with its code, status 1.
int guarded(const std::function<int()>& call) {
    try {
        return call();
    } catch (const KeychainError& e) {
        throw Failure("status " + std::to_string(e.code()) + ": " + e.what());
    }
}

// VALUE as given, or standard input without one final line break.
std::string valueArgument(const CLI::App& verb, const std::string& given) {
    if (verb.count("VALUE") > 0) return requireUtf8(given, "VALUE");
    std::string value = readInput("-", "VALUE");
    if (value.ends_with("\r\n")) {
        value.resize(value.size() - 2);
    } else if (value.ends_with('\n')) {
        value.pop_back();
    }
    return requireUtf8(value, "VALUE");
}

void defineSet(CLI::App& group) {
    Verb verb(group, "set", "stores VALUE under KEY (adds, or replaces the value)");
    const Target target = targetOptions(verb);
    const auto& key = verb.argument("KEY", "the key (the item's account)");
    const auto& value = verb.argument(
        "VALUE", "the value; left out, it is read from standard input (one final line break dropped)", true);
    verb.run([app = &verb.app(), target, &key, &value] {
        const auto keychain = keychainOf(target);
        const std::string text = valueArgument(*app, value);
        return guarded([&] {
            keychain->set(text, requireUtf8(key, "KEY"));
            return 0;
        });
    });
}

// A verb on one KEY of the target keychain; `action` answers the exit status.
void defineKeyVerb(CLI::App& group, const char* name, const char* description,
                   int (*action)(const Keychain& keychain, const std::string& key)) {
    Verb verb(group, name, description);
    const Target target = targetOptions(verb);
    const auto& key = verb.argument("KEY", "the key");
    verb.run([target, &key, action] {
        const auto keychain = keychainOf(target);
        return guarded([&] { return action(*keychain, requireUtf8(key, "KEY")); });
    });
}

int getValue(const Keychain& keychain, const std::string& key) {
    const auto value = keychain.get(key);
    if (!value) return 1;
    std::cout << *value << "\n";
    return 0;
}

int removeKey(const Keychain& keychain, const std::string& key) {
    if (!keychain.contains(key)) return 1;
    keychain.remove(key);
    return 0;
}

int printContains(const Keychain& keychain, const std::string& key) { return printBool(keychain.contains(key)); }

void defineList(CLI::App& group) {
    Verb verb(group, "list", "the keys of the service or server, one per line; none: status 1");
    const Target target = targetOptions(verb);
    verb.run([target] {
        const auto keys = keychainOf(target)->allKeys();
        for (const auto& key : keys) std::cout << key << "\n";
        return keys.empty() ? 1 : 0;
    });
}

void defineAll(CLI::App& group) {
    Verb verb(group, "all", "every key of a class: SERVICE-OR-SERVER<TAB>KEY per line; none: status 1");
    const auto& kind = verb.argument("CLASS", "generic or internet");
    verb.run([&kind] {
        if (kind != "generic" && kind != "internet") throw BadInput("CLASS " + shown(kind) + " is not generic or internet");
        const auto keys = Keychain::allKeys(kind == "generic" ? ItemClass::genericPassword : ItemClass::internetPassword);
        for (const auto& [owner, key] : keys) std::cout << owner << "\t" << key << "\n";
        return keys.empty() ? 1 : 0;
    });
}

void definePassword(CLI::App& group) {
    Verb verb(group, "password", "a generated password: four groups of three letters and digits joined by -");
    verb.run([] { return printResult(Keychain::generatePassword()); });
}

void define(CLI::App& group) {
    defineSet(group);
    defineKeyVerb(group, "get", "the value stored under KEY; a missing key prints nothing, status 1", getValue);
    defineKeyVerb(group, "remove", "removes KEY; status 1 when there was no such key", removeKey);
    defineKeyVerb(group, "contains", "true when KEY is stored", printContains);
    defineList(group);
    defineAll(group);
    definePassword(group);
    group.footer("Items live under QV_HOME/Library/Keychains. KEY, VALUE, S and URL are UTF-8 texts (else status 2).\n"
                 "A keychain error prints \"status CODE: MESSAGE\", status 1.");
}

const GroupRegistration registration{{"keychain", "passwords by key for a service or a server (set, get, list...)", 43, define}};

}  // namespace
}  // namespace qvtool

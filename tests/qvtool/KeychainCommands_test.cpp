// qvtool's keychain group: round trips through the item store under the runner's private
// QV_HOME, and the answers to bad arguments and to a keychain the store cannot read.
#include "ToolRunner.h"

#include <filesystem>
#include <fstream>
#include <regex>

using qvtest::answers;
using qvtest::refuses;
using qvtest::runTool;

namespace {

// The item store's folder of the tool's home, as `qvtool info` reports the home.
std::filesystem::path keychainFolder() {
    const std::string out = runTool({"info"}).out;
    const std::string label = "home folder: ";
    const auto at = out.find(label);
    if (at == std::string::npos) return {};
    const auto from = at + label.size();
    return std::filesystem::path(out.substr(from, out.find('\n', from) - from)) / "Library" / "Keychains";
}

// Status 1 with nothing printed at all.
::testing::AssertionResult missing(const std::vector<std::string>& arguments) {
    const auto r = runTool(arguments);
    if (r.status == 1 && r.out.empty() && r.err.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "status " << r.status << ", out \"" << r.out << "\", err \"" << r.err << "\"";
}

}  // namespace

TEST(QvtoolKeychain, GenericPasswordsSetGetContainsListAndRemove) {
    const std::vector<std::string> at{"--service", "cli.generic"};
    const auto with = [&](std::string verb, std::vector<std::string> words) {
        std::vector<std::string> line{"keychain", std::move(verb)};
        line.insert(line.end(), at.begin(), at.end());
        line.insert(line.end(), words.begin(), words.end());
        return line;
    };
    EXPECT_TRUE(missing(with("get", {"alice"})));
    EXPECT_TRUE(answers(with("contains", {"alice"}), "false\n"));
    EXPECT_TRUE(missing(with("list", {})));

    EXPECT_TRUE(answers(with("set", {"alice", "s3cret"}), ""));
    EXPECT_TRUE(answers(with("get", {"alice"}), "s3cret\n"));
    EXPECT_TRUE(answers(with("contains", {"alice"}), "true\n"));
    // A second set replaces the value.
    EXPECT_TRUE(answers(with("set", {"alice", "n3w pass"}), ""));
    EXPECT_TRUE(answers(with("get", {"alice"}), "n3w pass\n"));

    // Left out, the value comes from standard input without its final line break only.
    EXPECT_TRUE(answers(with("set", {"bob"}), "", "from stdin\n"));
    EXPECT_TRUE(answers(with("get", {"bob"}), "from stdin\n"));
    EXPECT_TRUE(answers(with("set", {"bob"}), "", "two\n\n"));
    EXPECT_TRUE(answers(with("get", {"bob"}), "two\n\n"));
    EXPECT_TRUE(answers(with("set", {"carol"}), "", "密码 ü"));
    EXPECT_TRUE(answers(with("get", {"carol"}), "密码 ü\n"));
    // An empty value is a value: printed as an empty line, status 0.
    EXPECT_TRUE(answers(with("set", {"dave", ""}), ""));
    EXPECT_TRUE(answers(with("get", {"dave"}), "\n"));

    EXPECT_TRUE(answers(with("list", {}), "alice\nbob\ncarol\ndave\n"));
    // Another service sees none of them.
    EXPECT_TRUE(missing({"keychain", "get", "--service", "cli.other", "alice"}));

    EXPECT_TRUE(answers(with("remove", {"alice"}), ""));
    EXPECT_TRUE(missing(with("get", {"alice"})));
    EXPECT_TRUE(missing(with("remove", {"alice"})));
    EXPECT_TRUE(answers(with("contains", {"alice"}), "false\n"));
    EXPECT_TRUE(answers(with("list", {}), "bob\ncarol\ndave\n"));
}

TEST(QvtoolKeychain, InternetPasswordsAreKeptPerServerAndProtocol) {
    const std::vector<std::string> https{"--server", "https://cli.example.com/login", "--protocol", "https"};
    std::vector<std::string> set{"keychain", "set"};
    set.insert(set.end(), https.begin(), https.end());
    set.insert(set.end(), {"alice", "web pw"});
    EXPECT_TRUE(answers(set, ""));
    EXPECT_TRUE(answers({"keychain", "get", "--server", "https://cli.example.com", "--protocol", "HTTPS", "alice"},
                        "web pw\n"));
    EXPECT_TRUE(answers({"keychain", "list", "--server", "https://cli.example.com", "--protocol", "https"}, "alice\n"));
    // Another protocol or host, or a generic password of that name, is another item.
    EXPECT_TRUE(missing({"keychain", "get", "--server", "https://cli.example.com", "--protocol", "http", "alice"}));
    EXPECT_TRUE(missing({"keychain", "get", "--server", "https://other.example.com", "--protocol", "https", "alice"}));
    EXPECT_TRUE(missing({"keychain", "get", "--service", "cli.example.com", "alice"}));

    EXPECT_TRUE(answers({"keychain", "set", "--service", "cli.all", "bob", "x"}, ""));
    const auto internet = runTool({"keychain", "all", "internet"});
    EXPECT_EQ(internet.status, 0);
    EXPECT_NE(internet.out.find("cli.example.com\talice\n"), std::string::npos) << internet.out;
    EXPECT_EQ(internet.out.find("cli.all"), std::string::npos) << internet.out;
    const auto generic = runTool({"keychain", "all", "generic"});
    EXPECT_EQ(generic.status, 0);
    EXPECT_NE(generic.out.find("cli.all\tbob\n"), std::string::npos) << generic.out;
    EXPECT_EQ(generic.out.find("cli.example.com"), std::string::npos) << generic.out;
}

TEST(QvtoolKeychain, GeneratedPasswordsHaveFourGroupsAndDiffer) {
    const auto first = runTool({"keychain", "password"});
    const auto second = runTool({"keychain", "password"});
    EXPECT_EQ(first.status, 0);
    EXPECT_TRUE(std::regex_match(first.out, std::regex("[A-Za-z0-9]{3}(-[A-Za-z0-9]{3}){3}\n"))) << first.out;
    EXPECT_NE(first.out, second.out);
}

TEST(QvtoolKeychain, RefusesBadArgumentsWithOneLine) {
    EXPECT_TRUE(refuses({"keychain", "get", "alice"}, "give --service S (generic passwords) or --server URL"));
    EXPECT_TRUE(refuses({"keychain", "get", "--service", "s", "--server", "https://a.example", "--protocol", "https", "k"},
                        "give --service or --server, not both"));
    EXPECT_TRUE(refuses({"keychain", "get", "--server", "https://a.example", "--protocol", "gopher", "k"},
                        "--protocol 'gopher' is not a protocol (one of ftp, ftpaccount, http,"));
    EXPECT_TRUE(refuses({"keychain", "get", "--server", "https://a.example", "k"}, "--server needs --protocol"));
    EXPECT_TRUE(refuses({"keychain", "get", "--service", "s", "--protocol", "https", "k"}, "--protocol goes with --server"));
    EXPECT_TRUE(refuses({"keychain", "set", "--service", "cli.bad", "k", "a\xFF"}, "VALUE is not valid UTF-8"));
    EXPECT_TRUE(refuses({"keychain", "set", "--service", "cli.bad", "k"}, "VALUE is not valid UTF-8", "\xC3\n"));
    EXPECT_TRUE(refuses({"keychain", "set", "--service", "cli.bad", "k\xFF", "v"}, "KEY is not valid UTF-8"));
    EXPECT_TRUE(refuses({"keychain", "all", "certificates"}, "CLASS 'certificates' is not generic or internet"));
    EXPECT_TRUE(refuses({"keychain", "get", "--service", "cli.bad"}, "KEY is required"));
    // Nothing was stored by the refused writes.
    EXPECT_TRUE(missing({"keychain", "list", "--service", "cli.bad"}));
}

TEST(QvtoolKeychain, AStoreErrorPrintsItsCodeAndMessage) {
    ASSERT_TRUE(answers({"keychain", "set", "--service", "cli.key", "alice", "pw"}, ""));
    const auto keyFile = keychainFolder() / "keychain.key";
    ASSERT_TRUE(std::filesystem::exists(keyFile)) << keyFile;
    const auto saved = keyFile.string() + ".saved";
    std::filesystem::rename(keyFile, saved);
    std::ofstream(keyFile, std::ios::binary) << "not a key";

    // The key file is not a key: the store answers errSecInvalidKeychain and keeps the file.
    EXPECT_TRUE(refuses({"keychain", "get", "--service", "cli.key", "alice"}, "keychain get: status -25295: ", {}, 1));
    EXPECT_TRUE(refuses({"keychain", "set", "--service", "cli.key", "bob", "x"}, "keychain set: status -25295: ", {}, 1));
    EXPECT_TRUE(refuses({"keychain", "contains", "--service", "cli.key", "alice"}, "status -25295: ", {}, 1));
    std::ifstream in(keyFile, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not a key");

    std::filesystem::rename(saved, keyFile);
    EXPECT_TRUE(answers({"keychain", "get", "--service", "cli.key", "alice"}, "pw\n"));
    EXPECT_TRUE(missing({"keychain", "get", "--service", "cli.key", "bob"}));
}

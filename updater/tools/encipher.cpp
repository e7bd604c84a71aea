// encipher: the deployment's enciphering tool. It prints the Base64 of each text
// enciphered under a pass phrase, the way the updater's Decifra_Texto reads it back, so a
// site can produce its built-in credentials and fill FW_PARAMETROS values stored with
// CRIPTOGRAFAR = 1.
//
//   encipher [--cipher lockbox|blowfish] (--deployment FILE | --pass-phrase TEXT) [TEXT...]
//
// Without TEXT it enciphers each line of standard input (LF or CR LF). Exit codes: 0 done,
// 1 the deployment file or the output failed, 2 wrong usage.

#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/cipher/deployment_file.h"
#include "settings/cipher/text_cipher.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "usage: encipher [--cipher lockbox|blowfish] (--deployment FILE | --pass-phrase TEXT) [TEXT...]\n"
    "Prints the Base64 of each TEXT enciphered under the pass phrase, one a line; without\n"
    "TEXT, of each line of standard input. --deployment takes the pass phrase and the\n"
    "cipher from a deployment file; --pass-phrase takes 16 bytes, with the cipher of\n"
    "--cipher (lockbox when not given).\n";

struct Options {
    std::optional<std::string> cipher;
    std::optional<std::string> deploymentFile;
    std::optional<std::string> passPhrase;
    std::vector<std::string> texts;
    bool help = false;
};

class UsageError {
public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

Options ParseArguments(int argc, char** argv)
{
    Options options;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || argument.size() < 2 || argument.substr(0, 2) != "--") {
            options.texts.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help") {
            options.help = true;
            continue;
        }
        std::optional<std::string>* target = nullptr;
        if (argument == "--cipher") {
            target = &options.cipher;
        } else if (argument == "--deployment") {
            target = &options.deploymentFile;
        } else if (argument == "--pass-phrase") {
            target = &options.passPhrase;
        } else {
            throw UsageError("unknown option " + std::string(argument));
        }
        if (target->has_value()) {
            throw UsageError(std::string(argument) + " is given twice");
        }
        if (i + 1 >= argc) {
            throw UsageError(std::string(argument) + " needs a value");
        }
        *target = argv[++i];
    }
    return options;
}

// The key's cipher and pass phrase from the options; a deployment file names both.
void ChooseKey(const Options& options, torvik::CipherKind& cipher, std::string& passPhrase)
{
    if (options.deploymentFile.has_value() == options.passPhrase.has_value()) {
        throw UsageError("give either --deployment or --pass-phrase");
    }
    if (options.deploymentFile) {
        if (options.cipher) {
            throw UsageError("--cipher cannot be given with --deployment: the deployment file names its cipher");
        }
        const torvik::DeploymentFile deployment = torvik::ReadDeploymentFile(*options.deploymentFile);
        cipher = deployment.cipher;
        passPhrase = deployment.passPhrase;
        return;
    }
    cipher = torvik::CipherKind::LockBox;
    if (options.cipher && !torvik::ParseCipherKind(*options.cipher, cipher)) {
        throw UsageError("unknown cipher \"" + *options.cipher + "\" (lockbox or blowfish)");
    }
    // A deployment's pass phrase is always 16 bytes; any other length is a typing or
    // quoting mistake that would give values no updater can read.
    if (options.passPhrase->size() != 16) {
        throw UsageError("the pass phrase must be 16 bytes, not " + std::to_string(options.passPhrase->size()));
    }
    passPhrase = *options.passPhrase;
}

int Run(int argc, char** argv)
{
    const Options options = ParseArguments(argc, argv);
    if (options.help) {
        std::cout << kUsageText;
        return std::cout.flush() ? 0 : kFailed;
    }
    torvik::CipherKind cipher = torvik::CipherKind::LockBox;
    std::string passPhrase;
    ChooseKey(options, cipher, passPhrase);
    // One key for every text: LMD is the expensive part.
    const torvik::CipherKey key = torvik::GenerateLMDKey(passPhrase);
    const auto print = [&](std::string_view text) {
        std::cout << torvik::Base64Encode(torvik::EncipherBlocks(cipher, key, text)) << '\n';
    };
    if (!options.texts.empty()) {
        for (const std::string& text : options.texts) {
            print(text);
        }
    } else {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            print(line);
        }
        if (std::cin.bad()) {
            std::cerr << "encipher: cannot read standard input\n";
            return kFailed;
        }
    }
    if (!std::cout.flush()) {
        std::cerr << "encipher: cannot write the output\n";
        return kFailed;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const UsageError& error) {
        std::cerr << "encipher: " << error.Message() << '\n' << kUsageText;
        return kUsage;
    } catch (const std::exception& error) {
        std::cerr << "encipher: " << error.what() << '\n';
        return kFailed;
    }
}

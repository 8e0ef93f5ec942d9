// The setup's command line: tokens split at blanks (no quoting); "/X..." and
// "/NAME:value" are switches, anything else is stored under "#0", "#1", ...
// Names are exact (case included); a later token replaces an earlier one.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class CommandLine {
public:
    explicit CommandLine(std::string_view arguments);

    // The value of a switch or positional word; null when absent.
    const std::string* Find(const std::string& name) const;
    bool Has(const std::string& name) const { return Find(name) != nullptr; }
    const std::map<std::string, std::string>& Values() const { return values_; }

private:
    std::map<std::string, std::string> values_;
};

// What the switches D, T, U, I, M and B ask of the application.
struct SwitchSettings {
    std::optional<std::string> MediaDirectory; // D
    uint32_t NotifyThreadId = 0;               // T
    bool RemovalMode = false;                  // U
    bool UnattendedMode = false;               // I
    std::string UnattendedFile;                // I, made absolute; empty when refused
    std::string StatusFile;                    // M, made absolute; empty when refused
    bool BatchMode = false;                    // B
    bool UnattendedFileRefused = false;        // the I value was empty or did not fit its field
    bool StatusFileRefused = false;            // the M value did not fit its field
};

// Capacity of the setup data's UnattendedFile and StatusFile fields.
constexpr std::size_t kSwitchFileCapacity = 512;

SwitchSettings ReadSwitches(const CommandLine& line, const std::string& currentDirectory);

// A bare file name (no backslash) joined to the current directory; a drive
// root ("C:\") is joined without a second backslash. Other values unchanged.
std::string MakeSwitchPathAbsolute(const std::string& value, const std::string& currentDirectory);

// Decimal like the run-time's atol, but a value that does not fit 32 bits is 0.
uint32_t ParseThreadId(const std::string& text);

#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/GeneTables.h"

// A mistake in how the tool was called. The tool reports it with a pointer to --help and
// exits with 1.
class CUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One option the tool knows. Options are looked up in one table for all subcommands, so a
// misspelt option is reported as unknown rather than as not applying.
struct SOptionSpec {
    const char* pszName;   // "--genes"
    const char* pszAlias;  // a short form such as "-o", or nullptr
    bool bTakesValue;
};

// The subcommand with its options and plain arguments, as typed. Options may come in any
// order after the subcommand, as "--name value" or "--name=value"; "--" ends the options.
// A value is always the next argument, so "--genes -10,..." works although it starts with
// a dash.
class CCommandLine {
public:
    CCommandLine(const std::vector<std::string>& args, const std::vector<SOptionSpec>& specs);

    bool WantsHelp() const { return m_bHelp; }
    bool WantsVersion() const { return m_bVersion; }
    const std::string& Subcommand() const { return m_strSubcommand; }
    const std::vector<std::string>& Arguments() const { return m_arguments; }

    bool Has(const std::string& name) const { return m_options.count(name) != 0; }
    const std::string& Value(const std::string& name) const { return m_options.at(name); }
    // Every option given, by its long name.
    std::vector<std::string> OptionNames() const;

private:
    bool m_bHelp = false;
    bool m_bVersion = false;
    std::string m_strSubcommand;
    std::vector<std::string> m_arguments;
    std::map<std::string, std::string> m_options;
};

// Strict readers of option values: the whole text must be the number (or list), and the
// message names the option and says what is wrong. Each throws CUsageError.
int64_t ParseInteger(const std::string& text, const std::string& what, int64_t min, int64_t max);
int32_t ParseInt32(const std::string& text, const std::string& what);
// Exactly `count` whole numbers within 32 bits, separated by commas.
std::vector<int32_t> ParseInt32List(const std::string& text, const std::string& what, size_t count);
double ParseReal(const std::string& text, const std::string& what, double min, double max);
// "WxH".
std::array<int, 2> ParseSize(const std::string& text, const std::string& what, int max);
// "all", "none" or special gene numbers (10 to 19) separated by commas; element g is true
// when gene g is named.
std::array<bool, kGeneCount + 1> ParseSpecialGeneList(const std::string& text,
                                                      const std::string& what);

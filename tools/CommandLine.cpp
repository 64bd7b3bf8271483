#include "tools/CommandLine.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

const SOptionSpec* FindSpec(const std::vector<SOptionSpec>& specs, const std::string& name) {
    for (const SOptionSpec& spec : specs) {
        if (name == spec.pszName || (spec.pszAlias && name == spec.pszAlias)) {
            return &spec;
        }
    }
    return nullptr;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return items;
}

// Spaces around list items are forgiven, since "1, 2, 3" is a natural way to type a list.
std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

CCommandLine::CCommandLine(const std::vector<std::string>& args,
                           const std::vector<SOptionSpec>& specs) {
    bool bOptionsEnded = false;
    bool bHaveSubcommand = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!bOptionsEnded && (arg == "-h" || arg == "--help")) {
            m_bHelp = true;
            continue;
        }
        if (!bOptionsEnded && arg == "--version") {
            m_bVersion = true;
            continue;
        }
        if (!bOptionsEnded && arg == "--") {
            bOptionsEnded = true;
            continue;
        }
        const bool bOption = !bOptionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!bOption) {
            if (!bHaveSubcommand) {
                m_strSubcommand = arg;
                bHaveSubcommand = true;
            } else {
                m_arguments.push_back(arg);
            }
            continue;
        }
        if (!bHaveSubcommand) {
            throw CUsageError("the subcommand must come before the option " + Quoted(arg));
        }
        std::string name = arg;
        std::string value;
        bool bInlineValue = false;
        const size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            bInlineValue = true;
        }
        const SOptionSpec* spec = FindSpec(specs, name);
        if (!spec) {
            throw CUsageError("unknown option " + Quoted(name));
        }
        if (spec->bTakesValue && !bInlineValue) {
            if (i + 1 >= args.size()) {
                throw CUsageError(name + " needs a value");
            }
            value = args[++i];
        } else if (!spec->bTakesValue && bInlineValue) {
            throw CUsageError(name + " takes no value");
        }
        if (!m_options.emplace(spec->pszName, value).second) {
            throw CUsageError(std::string(spec->pszName) + " is given more than once");
        }
    }
}

std::vector<std::string> CCommandLine::OptionNames() const {
    std::vector<std::string> names;
    for (const auto& [name, value] : m_options) {
        names.push_back(name);
    }
    return names;
}

int64_t ParseInteger(const std::string& text, const std::string& what, int64_t min, int64_t max) {
    // from_chars takes no leading '+', but people write one; a sign on its own is still junk.
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-') {
        ++first;
    }
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        throw CUsageError(what + ": " + Quoted(text) + " is out of range (" + std::to_string(min) +
                          " to " + std::to_string(max) + ")");
    }
    if (ec != std::errc() || end != last) {
        throw CUsageError(what + ": " + Quoted(text) + " is not a whole number");
    }
    if (value < min || value > max) {
        throw CUsageError(what + ": " + Quoted(text) + " is out of range (" + std::to_string(min) +
                          " to " + std::to_string(max) + ")");
    }
    return value;
}

int32_t ParseInt32(const std::string& text, const std::string& what) {
    return static_cast<int32_t>(ParseInteger(text, what, INT32_MIN, INT32_MAX));
}

std::vector<int32_t> ParseInt32List(const std::string& text, const std::string& what,
                                    size_t count) {
    const std::vector<std::string> items = SplitCommas(text);
    if (items.size() != count) {
        throw CUsageError(what + " needs exactly " + std::to_string(count) +
                          " values separated by commas, not " + std::to_string(items.size()));
    }
    std::vector<int32_t> values;
    for (size_t i = 0; i < items.size(); ++i) {
        values.push_back(
            ParseInt32(Trimmed(items[i]), what + " (value " + std::to_string(i + 1) + ")"));
    }
    return values;
}

double ParseReal(const std::string& text, const std::string& what, double min, double max) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    // from_chars also reads "inf" and "nan"; neither is a usable amount of anything here.
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        throw CUsageError(what + ": " + Quoted(text) + " is not a number");
    }
    if (value < min || value > max) {
        throw CUsageError(what + ": " + Quoted(text) + " is out of range (" +
                          std::to_string(static_cast<int64_t>(min)) + " to " +
                          std::to_string(static_cast<int64_t>(max)) + ")");
    }
    return value;
}

std::array<int, 2> ParseSize(const std::string& text, const std::string& what, int max) {
    const size_t x = text.find('x');
    if (x == std::string::npos) {
        throw CUsageError(what + ": " + Quoted(text) + " is not a size such as 400x300");
    }
    return {static_cast<int>(ParseInteger(text.substr(0, x), what + " (width)", 1, max)),
            static_cast<int>(ParseInteger(text.substr(x + 1), what + " (height)", 1, max))};
}

std::array<bool, kGeneCount + 1> ParseSpecialGeneList(const std::string& text,
                                                      const std::string& what) {
    std::array<bool, kGeneCount + 1> genes{};
    if (text == "all" || text == "none") {
        for (int g = 10; g <= kGeneCount; ++g) {
            genes[g] = text == "all";
        }
        return genes;
    }
    for (const std::string& item : SplitCommas(text)) {
        const std::string number = Trimmed(item);
        int64_t g = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), g);
        if (ec != std::errc() || end != number.data() + number.size()) {
            throw CUsageError(what + ": " + Quoted(item) +
                              " is not a gene number (use all, none or numbers 10 to 19)");
        }
        if (g < 10 || g > kGeneCount) {
            throw CUsageError(what + ": gene " + number +
                              " is not a special gene (only genes 10 to 19 can be switched)");
        }
        genes[static_cast<size_t>(g)] = true;
    }
    return genes;
}

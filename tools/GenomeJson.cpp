#include "tools/GenomeJson.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <system_error>
#include <vector>

#include "tools/CommandLine.h"

namespace {

// Ignored fields may nest arrays and objects; deeper than this is no genome anyone printed,
// and the bound keeps a hostile argument from exhausting the stack.
constexpr int kMaxDepth = 64;
// A number is quoted in a message up to this many characters.
constexpr size_t kMaxQuoted = 24;

class CJsonReader {
public:
    CJsonReader(const std::string& text, const std::string& what) : m_text(text), m_what(what) {}

    SGenomeJson Read() {
        SkipSpace();
        if (AtEnd()) {
            Fail("is empty; expected a genome such as " + Example());
        }
        if (Peek() != '{') {
            Fail("is not a JSON object; expected a genome such as " + Example());
        }
        ++m_pos;
        std::optional<std::array<int32_t, kGeneCount>> genes;
        std::optional<std::array<int32_t, kGeneCount>> gradients;
        bool bOffspring = false;
        SkipSpace();
        if (!Accept('}')) {
            for (;;) {
                SkipSpace();
                if (AtEnd() || Peek() != '"') {
                    SyntaxError("a field name in double quotes");
                }
                const std::string key = ReadString();
                SkipSpace();
                Expect(':');
                SkipSpace();
                if (key == "genes" || key == "gradients") {
                    auto& field = key == "genes" ? genes : gradients;
                    if (field) {
                        Fail("\"" + key + "\" is given twice");
                    }
                    field = ReadWholeNumbers(key);
                } else {
                    bOffspring = bOffspring || key == "offspring";
                    SkipValue(1);
                }
                SkipSpace();
                if (Accept('}')) {
                    break;
                }
                if (!Accept(',')) {
                    SyntaxError("',' or '}'");
                }
            }
        }
        SkipSpace();
        if (!AtEnd()) {
            Fail("has more after the genome's closing '}' (at byte " + std::to_string(m_pos + 1) +
                 "); give one genome");
        }
        if (!genes) {
            Fail(bOffspring ? "has no \"genes\" field: give one element of \"offspring\", not "
                              "the whole list"
                            : "has no \"genes\" field; expected a genome such as " + Example());
        }
        if (!gradients) {
            Fail("has no \"gradients\" field; expected a genome such as " + Example());
        }
        return SGenomeJson{*genes, *gradients};
    }

private:
    static std::string Example() { return "{\"genes\":[g1,...,g19],\"gradients\":[d1,...,d19]}"; }

    [[noreturn]] void Fail(const std::string& message) const {
        throw CUsageError(m_what + ": " + message);
    }

    [[noreturn]] void SyntaxError(const std::string& expected) const {
        std::string found = "the end";
        if (!AtEnd()) {
            const auto c = static_cast<unsigned char>(Peek());
            found = c >= 0x20 && c < 0x7F ? "'" + std::string(1, static_cast<char>(c)) + "'"
                                          : "byte " + std::to_string(c);
        }
        Fail("is not valid JSON: expected " + expected + " at byte " + std::to_string(m_pos + 1) +
             ", found " + found);
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return m_text[m_pos]; }

    bool Accept(char c) {
        if (!AtEnd() && Peek() == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void Expect(char c) {
        if (!Accept(c)) {
            SyntaxError(std::string("'") + c + "'");
        }
    }

    void SkipSpace() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
            ++m_pos;
        }
    }

    // A string at the current position (its opening quote), with escapes decoded as far as
    // telling field names apart needs.
    std::string ReadString() {
        Expect('"');
        std::string value;
        for (;;) {
            if (AtEnd()) {
                SyntaxError("the closing '\"' of a string");
            }
            const char c = Peek();
            if (static_cast<unsigned char>(c) < 0x20) {
                SyntaxError("the closing '\"' of a string");
            }
            ++m_pos;
            if (c == '"') {
                return value;
            }
            if (c != '\\') {
                value += c;
                continue;
            }
            if (AtEnd()) {
                SyntaxError("an escape after '\\'");
            }
            const char e = Peek();
            ++m_pos;
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    value += e;
                    break;
                case 'b':
                case 'f':
                case 'n':
                case 'r':
                case 't':
                    value += ' ';
                    break;
                case 'u': {
                    unsigned code = 0;
                    for (int i = 0; i < 4; ++i) {
                        if (AtEnd() || !std::isxdigit(static_cast<unsigned char>(Peek()))) {
                            SyntaxError("four hexadecimal digits after '\\u'");
                        }
                        const char h = Peek();
                        code = code * 16 +
                               static_cast<unsigned>(h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
                        ++m_pos;
                    }
                    // Only plain letters can spell a field this reader looks for.
                    value += code < 0x80 ? static_cast<char>(code) : '\x7f';
                    break;
                }
                default:
                    --m_pos;
                    SyntaxError("one of \\\" \\\\ \\/ \\b \\f \\n \\r \\t \\u after '\\'");
            }
        }
    }

    // The text of a JSON number at the current position; `bWhole` tells whether it has
    // neither fraction nor exponent. Empty if no number starts here.
    std::string ReadNumber(bool& bWhole) {
        const size_t start = m_pos;
        bWhole = true;
        Accept('-');
        auto digits = [this] {
            size_t n = 0;
            while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
                ++m_pos;
                ++n;
            }
            return n;
        };
        if (AtEnd() || Peek() < '0' || Peek() > '9') {
            if (m_pos == start) {
                return {};
            }
            SyntaxError("a digit");
        }
        if (Accept('0')) {
            if (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
                SyntaxError("no digit after a leading 0");
            }
        } else {
            digits();
        }
        if (Accept('.')) {
            bWhole = false;
            if (digits() == 0) {
                SyntaxError("a digit after '.'");
            }
        }
        if (!AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
            ++m_pos;
            bWhole = false;
            if (!Accept('+')) {
                Accept('-');
            }
            if (digits() == 0) {
                SyntaxError("a digit in the exponent");
            }
        }
        return m_text.substr(start, m_pos - start);
    }

    static std::string Quoted(const std::string& number) {
        return number.size() <= kMaxQuoted ? number : number.substr(0, kMaxQuoted) + "...";
    }

    // The field's array of exactly kGeneCount whole numbers within 32 bits.
    std::array<int32_t, kGeneCount> ReadWholeNumbers(const std::string& key) {
        const std::string field = "\"" + key + "\"";
        if (!Accept('[')) {
            Fail(field + " is not an array of " + std::to_string(kGeneCount) + " whole numbers");
        }
        std::vector<int32_t> values;
        SkipSpace();
        if (!Accept(']')) {
            for (;;) {
                SkipSpace();
                const std::string item = field + " value " + std::to_string(values.size() + 1);
                bool bWhole = true;
                const std::string number = ReadNumber(bWhole);
                if (number.empty()) {
                    Fail(item + " is not a whole number");
                }
                if (!bWhole) {
                    Fail(item + ": " + Quoted(number) + " is not a whole number");
                }
                int64_t value = 0;
                const auto [end, ec] =
                    std::from_chars(number.data(), number.data() + number.size(), value);
                if (ec != std::errc() || value < INT32_MIN || value > INT32_MAX) {
                    Fail(item + ": " + Quoted(number) + " is out of range (" +
                         std::to_string(INT32_MIN) + " to " + std::to_string(INT32_MAX) + ")");
                }
                values.push_back(static_cast<int32_t>(value));
                SkipSpace();
                if (Accept(']')) {
                    break;
                }
                if (!Accept(',')) {
                    SyntaxError("',' or ']'");
                }
            }
        }
        if (values.size() != kGeneCount) {
            Fail(field + " has " + std::to_string(values.size()) + " values, not " +
                 std::to_string(kGeneCount));
        }
        std::array<int32_t, kGeneCount> result{};
        std::copy(values.begin(), values.end(), result.begin());
        return result;
    }

    // Any JSON value, checked and passed over.
    void SkipValue(int depth) {
        if (depth > kMaxDepth) {
            Fail("nests arrays and objects deeper than " + std::to_string(kMaxDepth) + " levels");
        }
        if (AtEnd()) {
            SyntaxError("a value");
        }
        const char c = Peek();
        if (c == '"') {
            ReadString();
            return;
        }
        if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++m_pos;
            SkipSpace();
            if (Accept(close)) {
                return;
            }
            for (;;) {
                SkipSpace();
                if (c == '{') {
                    if (AtEnd() || Peek() != '"') {
                        SyntaxError("a field name in double quotes");
                    }
                    ReadString();
                    SkipSpace();
                    Expect(':');
                    SkipSpace();
                }
                SkipValue(depth + 1);
                SkipSpace();
                if (Accept(close)) {
                    return;
                }
                if (!Accept(',')) {
                    SyntaxError(std::string("',' or '") + close + "'");
                }
            }
        }
        for (const char* word : {"true", "false", "null"}) {
            if (m_text.compare(m_pos, std::char_traits<char>::length(word), word) == 0) {
                m_pos += std::char_traits<char>::length(word);
                return;
            }
        }
        bool bWhole = true;
        if (ReadNumber(bWhole).empty()) {
            SyntaxError("a value");
        }
    }

    const std::string& m_text;
    const std::string& m_what;
    size_t m_pos = 0;
};

}  // namespace

SGenomeJson ParseGenomeJson(const std::string& text, const std::string& what) {
    return CJsonReader(text, what).Read();
}

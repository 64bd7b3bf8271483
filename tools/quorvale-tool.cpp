// quorvale-tool: the biomorph model without the window, for scripts and teaching. Every
// subcommand builds one genome from the genome options, does one thing with it and prints
// the result as compact JSON, in the shape --genome-json reads back, so commands chain
// through pipes ("-" is standard input or output wherever a file is read or written). The
// one exception is code, which prints the creature code alone, ready for --code.

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/BioFile.h"
#include "document/FileIo.h"
#include "document/PictureCode.h"
#include "model/BioMorph.h"
#include "model/CreatureCode.h"
#include "model/GeneTables.h"
#include "model/Random.h"
#include "model/RecordingSurface.h"
#include "tools/CommandLine.h"
#include "tools/GenomeJson.h"
#include "tools/PngPicture.h"
#include "tools/StandardStreams.h"
#include "tools/SvgSurface.h"

namespace {

// The program's version, as its About box and --version show it.
constexpr const char* kVersion = kProgramVersion;

constexpr int kExitFailure = 1;  // usage errors, and files that could not be written
constexpr int kExitBadFile = 2;  // a .bio file that could not be read or was rejected

// Bounds on what one call may ask for. Mutation passes and offspring cost time and output
// in proportion; these leave room for any experiment while keeping a typo from hanging
// the tool.
constexpr double kMaxRate = 1000.0;
constexpr int64_t kMaxOffspring = 10000;
constexpr int kMaxPictureSide = 20000;
// A PNG picture is held whole in memory (4 bytes a pixel) while it is drawn and encoded.
constexpr int kMaxPngSide = 8000;

// A .bio file that could not be opened, was empty, cut short or rejected.
class CBadFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Anything else that stops a subcommand once it has been called correctly.
class CFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const char* const kGenomeOptions[] = {"--genes",   "--gradients",   "--basic",   "--file",
                                      "--present", "--genome-json", "--mutable", "--code"};

const std::vector<SOptionSpec> kOptionSpecs = {
    {"--genes", nullptr, true}, {"--gradients", nullptr, true},   {"--basic", nullptr, false},
    {"--file", nullptr, true},  {"--present", nullptr, true},     {"--mutable", nullptr, true},
    {"--at", nullptr, true},    {"--orientation", nullptr, true}, {"--seed", nullptr, true},
    {"--rate", nullptr, true},  {"--count", nullptr, true},       {"--size", nullptr, true},
    {"--output", "-o", true},   {"--genome-json", nullptr, true}, {"--format", nullptr, true},
    {"--code", nullptr, true},
};

// What a subcommand does with the genome once everything has been parsed.
using TAction = std::function<void(CBioMorph&)>;

struct SSubcommand {
    const char* pszName;
    std::vector<std::string> options;   // besides the genome options
    std::vector<std::string> required;  // options that must be given
    const char* pszArgument;            // the one plain argument it takes, or nullptr
    // Reads the subcommand's own options and returns what it does with the genome. Parsing
    // comes first so that a mistyped option is reported as such before any file is read.
    TAction (*pPrepare)(const CCommandLine&);
};

std::string UsageText() {
    std::string text = R"(Usage: quorvale-tool SUBCOMMAND [OPTIONS]

Grows, breeds, reads and writes biomorphs without the window and prints the
results on stdout as compact JSON (code prints a creature code). A genome is
printed as {"genes":[g1,...,g19],"gradients":[d1,...,d19]}, which
--genome-json reads back, so commands chain through pipes. Wherever a file is
read or written, "-" stands for stdin or stdout (a file named - is ./-).

Subcommands:
  develop [--at X,Y] [--orientation O]
      The strokes (in drawing order) and segment joints of the morph drawn from
      the origin X,Y (default 0,0) in orientation O (quarter turns 0 to 3,
      default 0), with its bounds and centring offset measured there:
      {"strokes":[[x0,y0,x1,y1],...],"joints":[[x0,y0,x1,y1],...],
       "bounds":[left,top,right,bottom],"offset":[x,y]}
  mutate --seed S [--rate R]
      The genome after seeding the random generator with S (0 to 4294967295)
      and one mutation at rate R (0 to 1000, default 1): R mutation passes, a
      fraction counting as a whole pass, so 1.5 makes two.
  monster --seed S
      The genome after seeding with S and one hopeful monster.
  offspring --seed S [--count N] [--rate R]
      After seeding with S, N offspring (0 to 10000, default 14), each a copy of
      the genome mutated at rate R, bred in turn: {"offspring":[genome,...]}
      Each element is a genome that --genome-json reads.
  info PATH.bio
      The genome stored in a .bio file ("-": read from stdin). Files do not
      store gradients 10, 12 and 13; they come from --gradients (0 by default).
      --genes, --basic, --file, --genome-json and --code do not apply.
  code
      The creature code of the genome on a line of its own (not JSON), such as
      Q15X2-GE51B-WD418-B4EGE-MPX29-J7RDB-N2R0, which --code reads back. It
      holds the genes and the gradients a .bio file stores. Genes within their
      limits with gradients of -2, 0 and 2 make a code of 40 characters starting
      Q1; any other genome makes a longer one starting Q2.
  save PATH.bio
      Writes the genome as a .bio file (164 bytes), replacing the file only once
      it is written whole. Prints nothing. "save -" writes the file to stdout
      (not to a terminal).
  render -o OUT [--format svg|png] [--size WxH] [--orientation O]
      Draws the morph centred in a picture (default 400x400) on white, as the
      program shows it: SVG when OUT ends in .svg, PNG (the program's own
      pixels; at most 8000x8000) when it ends in .png. Any other name needs
      --format, and a name ending in .svg or .png must agree with it. "-o -"
      writes the picture to stdout: SVG unless --format png is given (PNG is
      not written to a terminal). PNG needs a build with Qt. The picture carries
      the creature code: PNG in a tEXt chunk with the keyword Quorvale-Code,
      SVG in its <metadata>.
      The SVG holds the program's own pixels as filled shapes, so it shows
      exactly what the window shows, where XOR clears crossing strokes too.
      Built without Qt, or above 8000x8000, it holds the strokes themselves,
      drawn whole where the window clears them.

Genome options (every subcommand):
  --genes G1,...,G19      the 19 genes (whole numbers within 32 bits)
  --gradients D1,...,D19  the 19 gradients (default all 0); with --file or
                          --code only gradients 10, 12 and 13 are used, since
                          files and codes do not store them
  --basic                 the basic genome the program starts with
  --file PATH.bio         the genome stored in a .bio file ("-": stdin)
  --genome-json JSON      the genome as this tool prints it (genes and
                          gradients; other fields are ignored); "-" reads it
                          from stdin. --gradients does not apply.
  --code CODE             the genome in a creature code, as code prints it;
                          case, spaces and hyphens do not matter, and i, l and
                          o are read as 1, 1 and 0
  Without --genes, --basic, --file, --genome-json or --code the genome is that
  of a new morph. Stdin is read up to 4096 bytes; more is refused.
  --present LIST          the special genes that are expressed (default all)
  --mutable LIST          the special genes that mutation and hopeful monsters
                          may change (default none)
  LIST is all, none, or gene numbers from 10 to 19 separated by commas:
)";
    for (int g = 10; g <= kGeneCount; ++g) {
        text += (g % 2 == 0 ? "    " : "  ") + std::to_string(g) + " " + GeneName(g) +
                (g % 2 == 0 ? std::string(24 - std::string(GeneName(g)).size(), ' ') : "\n");
    }
    text += R"(  Gene 11 has no switch of its own: it is expressed with gene 10.

  -h, --help              shows this text
  --version               shows the version

Exit status: 0 on success; 1 for a usage error (a refused --genome-json or
--code included) or a file that could not be written; 2 for a .bio file that could
not be read or was rejected, from a file or from stdin.
)";
    return text;
}

// ---------------------------------------------------------------------------------------
// Output

void AppendInts(std::string& out, const int32_t* values, size_t count) {
    out += '[';
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            out += ',';
        }
        out += std::to_string(values[i]);
    }
    out += ']';
}

void AppendGenome(std::string& out, const CBioMorph& morph) {
    out += "{\"genes\":";
    AppendInts(out, &morph.m_Genes[1], kGeneCount);
    out += ",\"gradients\":";
    AppendInts(out, &morph.m_Gradients[1], kGeneCount);
    out += '}';
}

void Print(const std::string& text) {
    WriteStandardOutput(text.data(), text.size());
}

// ---------------------------------------------------------------------------------------
// Genome

// Reads a .bio file ("-": standard input) into the morph, which keeps its gradients 10, 12
// and 13 since files do not store them.
void LoadBioFile(const std::string& path, CBioMorph& morph) {
    std::vector<uint8_t> bytes;
    std::string error;
    const bool bStdin = IsStandardStream(path);
    if (bStdin ? !ReadStandardInput(kMaxReadBytes, "a .bio file", bytes, error)
               : !ReadFileBytes(path, bytes, error)) {
        throw CBadFileError(error);
    }
    const std::string name = bStdin ? "standard input" : ReadableName(path);
    const EBioLoad outcome = DecodeBioFile(bytes.data(), bytes.size(), morph);
    if (outcome == EBioLoad::Empty) {
        throw CBadFileError(name + " is empty.");
    }
    if (outcome != EBioLoad::Ok) {
        std::string message = name + ": " + BioLoadMessage(outcome);
        // A stream cut short is the likely cause (a pipe whose writer failed); say so.
        if (bStdin && outcome == EBioLoad::Truncated && bytes.size() < kBioFileSize) {
            message += " It ended after " + std::to_string(bytes.size()) +
                       " bytes; a .bio file has " + std::to_string(kBioFileSize) + ".";
        }
        throw CBadFileError(message);
    }
}

// The --genome-json value, or the JSON on standard input for "-".
SGenomeJson ReadGenomeJson(const std::string& value) {
    if (!IsStandardStream(value)) {
        return ParseGenomeJson(value, "--genome-json");
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadStandardInput(kMaxReadBytes, "a genome in JSON", bytes, error)) {
        throw CUsageError("--genome-json -: " + error);
    }
    return ParseGenomeJson(std::string(bytes.begin(), bytes.end()),
                           "--genome-json - (standard input)");
}

void ApplySpecialGeneOptions(const CCommandLine& line) {
    if (line.Has("--present")) {
        const auto present = ParseSpecialGeneList(line.Value("--present"), "--present");
        for (int g = 10; g <= kGeneCount; ++g) {
            g_SpecialGenes[g].bPresent = present[g] ? 1 : 0;
        }
    }
    if (line.Has("--mutable")) {
        const auto mutableGenes = ParseSpecialGeneList(line.Value("--mutable"), "--mutable");
        for (int g = 10; g <= kGeneCount; ++g) {
            g_SpecialGenes[g].bCanMutate = mutableGenes[g] ? 1 : 0;
        }
    }
}

// Builds the genome the options describe. Usage mistakes are all found before any file is
// read, so a bad option is never reported as a bad file.
void BuildGenome(const CCommandLine& line, CBioMorph& morph) {
    const int sources = line.Has("--genes") + line.Has("--basic") + line.Has("--file") +
                        line.Has("--genome-json") + line.Has("--code");
    if (sources > 1) {
        throw CUsageError("give only one of --genes, --basic, --file, --genome-json and --code");
    }
    if (line.Has("--genome-json") && line.Has("--gradients")) {
        throw CUsageError("--gradients does not apply with --genome-json, which holds them");
    }
    std::vector<int32_t> genes;
    std::vector<int32_t> gradients;
    if (line.Has("--genes")) {
        genes = ParseInt32List(line.Value("--genes"), "--genes", kGeneCount);
    }
    if (line.Has("--gradients")) {
        gradients = ParseInt32List(line.Value("--gradients"), "--gradients", kGeneCount);
    }
    std::optional<SCodeGenome> coded;
    if (line.Has("--code")) {
        const SCodeReading reading = CCreatureCode::Decode(line.Value("--code"));
        if (!reading) {
            throw CUsageError("--code: " + reading.Message());
        }
        coded = reading.genome;
    }
    ApplySpecialGeneOptions(line);

    if (line.Has("--genome-json")) {
        const SGenomeJson json = ReadGenomeJson(line.Value("--genome-json"));
        genes.assign(json.genes.begin(), json.genes.end());
        gradients.assign(json.gradients.begin(), json.gradients.end());
    }
    if (line.Has("--basic")) {
        morph.SetGenes(kBasicGenes);
    }
    if (!genes.empty()) {
        morph.SetGenes(genes.data());
    }
    if (!gradients.empty()) {
        GeneArray all{};
        std::copy(gradients.begin(), gradients.end(), all.begin() + 1);
        morph.SetGradients(all);
    }
    // Like a file, a code leaves gradients 10, 12 and 13 as --gradients gave them.
    if (coded) {
        coded->ApplyTo(morph);
    }
    if (line.Has("--file")) {
        LoadBioFile(line.Value("--file"), morph);
    }
}

int ParseOrientation(const CCommandLine& line) {
    if (!line.Has("--orientation")) {
        return 0;
    }
    return static_cast<int>(ParseInteger(line.Value("--orientation"), "--orientation", 0, 3));
}

uint32_t ParseSeed(const CCommandLine& line) {
    return static_cast<uint32_t>(ParseInteger(line.Value("--seed"), "--seed", 0, UINT32_MAX));
}

float ParseRate(const CCommandLine& line) {
    if (!line.Has("--rate")) {
        return 1.0f;
    }
    return static_cast<float>(ParseReal(line.Value("--rate"), "--rate", 0.0, kMaxRate));
}

// ---------------------------------------------------------------------------------------
// Subcommands

void Develop(CBioMorph& morph, int x, int y, int o) {
    CRecordingSurface surface;
    morph.Develop(&surface, x, y, o, 1);
    morph.Measure(x, y, o);

    std::string strokes;
    std::string joints;
    for (const CRecordingSurface::SOp& op : surface.Ops()) {
        const bool bStroke = op.kind == CRecordingSurface::EKind::Stroke;
        if (!bStroke && op.kind != CRecordingSurface::EKind::Joint) {
            continue;
        }
        std::string& list = bStroke ? strokes : joints;
        if (!list.empty()) {
            list += ',';
        }
        const int32_t ends[4] = {op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y};
        AppendInts(list, ends, 4);
    }
    const SRect& b = morph.m_rcBounds;
    const int32_t bounds[4] = {b.left, b.top, b.right, b.bottom};
    const int32_t offset[2] = {morph.m_ptOffset.x, morph.m_ptOffset.y};
    std::string out = "{\"strokes\":[" + strokes + "],\"joints\":[" + joints + "],\"bounds\":";
    AppendInts(out, bounds, 4);
    out += ",\"offset\":";
    AppendInts(out, offset, 2);
    out += "}\n";
    Print(out);
}

void PrintGenome(const CBioMorph& morph) {
    std::string out;
    AppendGenome(out, morph);
    Print(out + "\n");
}

void Offspring(CBioMorph& parent, uint32_t seed, float rate, int64_t count) {
    SeedRandom(seed);
    // Bred as the program breeds a generation: each child starts as a copy of the parent's
    // genes and gradients and is mutated before the next child is made.
    GeneArray gradients{};
    parent.GetGradients(gradients);
    std::string out = "{\"offspring\":[";
    for (int64_t i = 0; i < count; ++i) {
        CBioMorph child;
        child.SetGenes(parent.GetGenes());
        child.SetGradients(gradients);
        child.Mutate(rate);
        if (i > 0) {
            out += ',';
        }
        AppendGenome(out, child);
    }
    out += "]}\n";
    Print(out);
}

void Save(CBioMorph& morph, const std::string& path) {
    if (IsStandardStream(path)) {
        const std::vector<uint8_t> bytes = EncodeBioFile(morph);
        WriteStandardOutput(bytes.data(), bytes.size());
        return;
    }
    std::string error;
    if (!WriteFileAtomically(path, EncodeBioFile(morph), error)) {
        throw CFailure(error);
    }
}

enum class EPictureFormat { Svg, Png };

const char* FormatName(EPictureFormat format) {
    return format == EPictureFormat::Png ? "png" : "svg";
}

std::string LowerCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The extension of the file name at the end of the path, in lower case; empty when the name
// has none (a leading dot marks a hidden file, not an extension).
std::string LowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return {};
    }
    return LowerCase(name.substr(dot + 1));
}

// What render writes: the name's extension decides, --format decides for any other name and
// for stdout (SVG by default there, as before PNG existed), and the two must not disagree. A
// picture is never written in a format its name does not promise.
EPictureFormat ChoosePictureFormat(const CCommandLine& line, const std::string& path) {
    std::optional<EPictureFormat> given;
    if (line.Has("--format")) {
        const std::string format = LowerCase(line.Value("--format"));
        if (format == "svg" || format == "png") {
            given = format == "png" ? EPictureFormat::Png : EPictureFormat::Svg;
        } else {
            throw CUsageError("--format: '" + ReadableName(line.Value("--format")) +
                              "' is not a picture format render writes (svg or png)");
        }
    }
    if (IsStandardStream(path)) {
        return given.value_or(EPictureFormat::Svg);
    }
    const std::string ext = LowerExtension(path);
    std::optional<EPictureFormat> named;
    if (ext == "svg" || ext == "png") {
        named = ext == "png" ? EPictureFormat::Png : EPictureFormat::Svg;
    }
    // (Built up by appending: GCC 12 warns falsely about "'" + std::string at -O3.)
    std::string quoted = "'";
    quoted += ReadableName(path);
    quoted += '\'';
    if (named && given && *named != *given) {
        throw CUsageError("-o " + quoted + " ends in ." + ext + " but --format is " +
                          FormatName(*given));
    }
    if (named) {
        return *named;
    }
    if (given) {
        return *given;
    }
    if (ext.empty()) {
        throw CUsageError("-o " + quoted +
                          ": the name does not end in .svg or .png to tell the picture format; "
                          "add one or give --format svg or --format png");
    }
    throw CUsageError("-o " + quoted + ": render writes SVG and PNG pictures, not ." +
                      ReadableName(ext) +
                      "; name the file .svg or .png (or give --format svg or --format png)");
}

void Render(CBioMorph& morph, const std::array<int, 2>& size, int o, EPictureFormat format,
            const std::string& path) {
    // The code first: drawing leaves the genome as it was, but the picture is of this genome.
    const std::string code = CCreatureCode::Encode(morph);
    const int cx = size[0] / 2;
    const int cy = size[1] / 2;
    // Centred as the window centres the morph it engineers.
    auto draw = [&](IDrawSurface& surface) {
        morph.Measure(cx, cy, o);
        morph.Draw(surface, cx, cy, o);
    };
    std::vector<uint8_t> bytes;
    if (format == EPictureFormat::Png) {
        bytes = DrawPng(size[0], size[1], draw);
        if (!AddCodeToPng(bytes, code)) {
            throw CFailure("could not add the creature code to the PNG picture");
        }
    } else if (CanWritePng() && size[0] <= kMaxPngSide && size[1] <= kMaxPngSide) {
        // The program's own pixels traced into shapes: what the window shows, crossings that
        // XOR clears included, which strokes in a vector file cannot show.
        CSvgSurface surface(size[0], size[1]);
        surface.SetMetadata(SvgCodeMetadata(code));
        surface.SetInk(DrawInkSvg(size[0], size[1], draw));
        const std::string document = surface.Document();
        bytes.assign(document.begin(), document.end());
    } else {
        CSvgSurface surface(size[0], size[1]);
        surface.SetMetadata(SvgCodeMetadata(code));
        draw(surface);
        if (surface.DroppedCount() > 0) {
            std::cerr << "quorvale-tool: warning: the picture holds the first "
                      << surface.ElementCount() << " elements only; " << surface.DroppedCount()
                      << " more were left out\n";
        }
        const std::string document = surface.Document();
        bytes.assign(document.begin(), document.end());
    }
    if (IsStandardStream(path)) {
        WriteStandardOutput(bytes.data(), bytes.size());
        return;
    }
    std::string error;
    if (!WriteFileAtomically(path, bytes, error)) {
        throw CFailure(error);
    }
}

// Binary output is not written to a terminal, where it would only garble the screen.
void RefuseBinaryToTerminal(const std::string& path, const std::string& what) {
    if (IsStandardStream(path) && StandardOutputIsTerminal()) {
        throw CFailure("not writing " + what +
                       " to a terminal; redirect stdout to a file or a pipe, or name a file");
    }
}

TAction PrepareDevelop(const CCommandLine& line) {
    int x = 0;
    int y = 0;
    if (line.Has("--at")) {
        const std::vector<int32_t> at = ParseInt32List(line.Value("--at"), "--at", 2);
        x = at[0];
        y = at[1];
    }
    const int o = ParseOrientation(line);
    return [=](CBioMorph& morph) { Develop(morph, x, y, o); };
}

TAction PrepareMutate(const CCommandLine& line) {
    const uint32_t seed = ParseSeed(line);
    const float rate = ParseRate(line);
    return [=](CBioMorph& morph) {
        SeedRandom(seed);
        morph.Mutate(rate);
        PrintGenome(morph);
    };
}

TAction PrepareMonster(const CCommandLine& line) {
    const uint32_t seed = ParseSeed(line);
    return [=](CBioMorph& morph) {
        SeedRandom(seed);
        morph.HopefulMonster();
        PrintGenome(morph);
    };
}

TAction PrepareOffspring(const CCommandLine& line) {
    const uint32_t seed = ParseSeed(line);
    const float rate = ParseRate(line);
    const int64_t count =
        line.Has("--count") ? ParseInteger(line.Value("--count"), "--count", 0, kMaxOffspring) : 14;
    return [=](CBioMorph& morph) { Offspring(morph, seed, rate, count); };
}

TAction PrepareInfo(const CCommandLine& line) {
    const std::string path = line.Arguments()[0];
    return [=](CBioMorph& morph) {
        LoadBioFile(path, morph);
        PrintGenome(morph);
    };
}

TAction PrepareCode(const CCommandLine& /*line*/) {
    return [](CBioMorph& morph) { Print(CCreatureCode::Encode(morph) + "\n"); };
}

TAction PrepareSave(const CCommandLine& line) {
    const std::string path = line.Arguments()[0];
    RefuseBinaryToTerminal(path, "a .bio file");
    return [=](CBioMorph& morph) { Save(morph, path); };
}

TAction PrepareRender(const CCommandLine& line) {
    std::array<int, 2> size{400, 400};
    if (line.Has("--size")) {
        size = ParseSize(line.Value("--size"), "--size", kMaxPictureSide);
    }
    const int o = ParseOrientation(line);
    const std::string path = line.Value("--output");
    if (path.empty()) {
        throw CUsageError("-o needs a file name");
    }
    const EPictureFormat format = ChoosePictureFormat(line, path);
    if (format == EPictureFormat::Png) {
        if (!CanWritePng()) {
            throw CFailure(
                "this quorvale-tool was built without Qt and writes SVG pictures only; "
                "name the picture .svg");
        }
        if (size[0] > kMaxPngSide || size[1] > kMaxPngSide) {
            throw CUsageError("--size: a PNG picture is at most " + std::to_string(kMaxPngSide) +
                              "x" + std::to_string(kMaxPngSide) + " pixels");
        }
        RefuseBinaryToTerminal(path, "a PNG picture");
    }
    return [=](CBioMorph& morph) { Render(morph, size, o, format, path); };
}

const std::vector<SSubcommand> kSubcommands = {
    {"develop", {"--at", "--orientation"}, {}, nullptr, PrepareDevelop},
    {"mutate", {"--seed", "--rate"}, {"--seed"}, nullptr, PrepareMutate},
    {"monster", {"--seed"}, {"--seed"}, nullptr, PrepareMonster},
    {"offspring", {"--seed", "--count", "--rate"}, {"--seed"}, nullptr, PrepareOffspring},
    {"info", {}, {}, "PATH.bio", PrepareInfo},
    {"code", {}, {}, nullptr, PrepareCode},
    {"save", {}, {}, "PATH.bio", PrepareSave},
    {"render",
     {"--output", "--format", "--size", "--orientation"},
     {"--output"},
     nullptr,
     PrepareRender},
};

bool IsGenomeOption(const std::string& name) {
    for (const char* option : kGenomeOptions) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

const SSubcommand& CheckedSubcommand(const CCommandLine& line) {
    if (line.Subcommand().empty()) {
        throw CUsageError("no subcommand given");
    }
    const SSubcommand* command = nullptr;
    for (const SSubcommand& candidate : kSubcommands) {
        if (line.Subcommand() == candidate.pszName) {
            command = &candidate;
        }
    }
    if (!command) {
        throw CUsageError("unknown subcommand '" + line.Subcommand() + "'");
    }
    const std::string name = command->pszName;
    for (const std::string& option : line.OptionNames()) {
        const bool bOwn = std::find(command->options.begin(), command->options.end(), option) !=
                          command->options.end();
        if (!bOwn && !IsGenomeOption(option)) {
            throw CUsageError(option + " does not apply to " + name);
        }
    }
    for (const std::string& option : command->required) {
        if (!line.Has(option)) {
            throw CUsageError(name + " needs " + (option == "--output" ? "-o" : option));
        }
    }
    const size_t wanted = command->pszArgument ? 1 : 0;
    if (line.Arguments().size() < wanted) {
        throw CUsageError(name + " needs " + command->pszArgument);
    }
    if (line.Arguments().size() > wanted) {
        throw CUsageError("unexpected argument '" + line.Arguments()[wanted] + "'");
    }
    // info shows the file it is given; a second source of genes would only be overwritten.
    if (name == "info" && (line.Has("--genes") || line.Has("--basic") || line.Has("--file") ||
                           line.Has("--genome-json") || line.Has("--code"))) {
        throw CUsageError(
            "info reads its genes from PATH.bio; --genes, --basic, --file, --genome-json and "
            "--code do not apply (--gradients gives gradients 10, 12 and 13)");
    }
    return *command;
}

}  // namespace

int main(int argc, char** argv) {
    // A script that stops the tool part way through a save leaves no temporary file behind.
    RemoveTemporaryFileOnSignals();
    try {
        const CCommandLine line(std::vector<std::string>(argv + 1, argv + argc), kOptionSpecs);
        if (line.WantsHelp()) {
            Print(UsageText());
            return 0;
        }
        if (line.WantsVersion()) {
            Print(std::string("quorvale-tool ") + kVersion + "\n");
            return 0;
        }
        const SSubcommand& command = CheckedSubcommand(line);
        const TAction action = command.pPrepare(line);
        auto morph = std::make_unique<CBioMorph>();
        BuildGenome(line, *morph);
        action(*morph);
        return 0;
    } catch (const CUsageError& e) {
        std::cerr << "quorvale-tool: " << e.what()
                  << "\nTry 'quorvale-tool --help' for more information.\n";
        return kExitFailure;
    } catch (const CBadFileError& e) {
        std::cerr << "quorvale-tool: " << e.what() << "\n";
        return kExitBadFile;
    } catch (const std::exception& e) {
        std::cerr << "quorvale-tool: " << e.what() << "\n";
        return kExitFailure;
    }
}

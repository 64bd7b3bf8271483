// quorvale-thumbnailer INPUT OUTPUT SIZE: the picture a file manager shows for a .bio file.
// Desktops run it through the .thumbnailer entry with %i %o %s. It needs no display: it
// draws into an image and writes a PNG, and writes nothing at all for a file that is not a
// morph file.

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>
#include <cstdio>
#include <string>
#include <vector>

#include "document/FileIo.h"
#include "thumbnailer/Thumbnail.h"

namespace {

constexpr int kUsageError = 1;
constexpr int kNotAMorph = 2;
constexpr int kWriteError = 3;

const char kUsage[] =
    "Usage: quorvale-thumbnailer INPUT OUTPUT SIZE\n"
    "\n"
    "Writes OUTPUT, a SIZE x SIZE PNG picture of the biomorph stored in the .bio file\n"
    "INPUT, drawn as Quorvale draws it, on white. The whole creature is shown, centred,\n"
    "filling most of the picture: a small one is drawn enlarged, as Quorvale's zoom\n"
    "draws it, a large one is scaled down. SIZE is 1 to 2048.\n"
    "\n"
    "  -h, --help  shows this text\n"
    "\n"
    "Exit status: 0 when the picture was written; 1 for a usage error; 2 when INPUT\n"
    "is not a morph file (nothing is written); 3 when OUTPUT could not be written\n"
    "(it is then left empty, or not made at all).\n";

bool ParseSide(const char* text, int& side) {
    const std::string s(text);
    if (s.empty() || s.size() > 4 || s.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    side = std::stoi(s);
    return side >= Thumbnail::kMinSide && side <= Thumbnail::kMaxSide;
}

int Fail(int code, const std::string& what) {
    std::fprintf(stderr, "quorvale-thumbnailer: %s\n", what.c_str());
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    int side = 0;
    if (argc != 4 || !ParseSide(argv[3], side)) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    // Paths are taken as the bytes they are, whatever the locale makes of them.
    const std::string inputPath = argv[1];
    const std::string outputPath = argv[2];
    // Only a regular file is read, without waiting: a named pipe nobody writes to would
    // otherwise keep the file manager waiting for ever.
    std::vector<uint8_t> head;
    std::string error;
    if (!ReadFileBytes(inputPath, head, error)) {
        return Fail(kNotAMorph, error);
    }
    const QImage picture = Thumbnail::Render(head.data(), head.size(), side);
    if (picture.isNull()) {
        return Fail(kNotAMorph, ReadableName(inputPath) + " is not a Quorvale biomorph file.");
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture)) {
        return Fail(kWriteError, "The picture of " + ReadableName(inputPath) +
                                     " could not be made: " + writer.errorString().toStdString());
    }
    // Into the output file itself, not a new file renamed over it: a file manager may hold
    // the output open and read the picture back through its own handle. A failed write
    // leaves no picture, not even an empty one of our making.
    const std::vector<uint8_t> bytes(png.begin(), png.end());
    if (!WriteFileInPlace(outputPath, bytes, error)) {
        return Fail(kWriteError, error);
    }
    return 0;
}

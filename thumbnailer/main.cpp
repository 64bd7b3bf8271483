// quorvale-thumbnailer INPUT OUTPUT SIZE: the picture a file manager shows for a .bio file.
// Desktops run it through the .thumbnailer entry with %i %o %s. It needs no display: it
// draws into an image and writes a PNG, and writes nothing at all for a file that is not a
// morph file.

#include <QByteArray>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "thumbnailer/Thumbnail.h"

namespace {

constexpr int kUsageError = 1;
constexpr int kNotAMorph = 2;
constexpr int kWriteError = 3;

const char kUsage[] =
    "Usage: quorvale-thumbnailer INPUT OUTPUT SIZE\n"
    "\n"
    "Writes OUTPUT, a SIZE x SIZE PNG picture of the biomorph stored in the .bio file\n"
    "INPUT, drawn as Quorvale draws it, centred on white. A morph larger than SIZE is\n"
    "drawn whole and scaled down to fit (one over 512 pixels across, or SIZE if larger,\n"
    "shows its middle part). SIZE is 1 to 2048.\n"
    "\n"
    "  -h, --help  shows this text\n"
    "\n"
    "Exit status: 0 when the picture was written; 1 for a usage error; 2 when INPUT\n"
    "is not a morph file (nothing is written); 3 when OUTPUT could not be written.\n";

bool ParseSide(const char* text, int& side) {
    const std::string s(text);
    if (s.empty() || s.size() > 4 || s.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    side = std::stoi(s);
    return side >= Thumbnail::kMinSide && side <= Thumbnail::kMaxSide;
}

int Fail(int code, const char* what, const char* path) {
    std::fprintf(stderr, "quorvale-thumbnailer: %s: %s\n", path, what);
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
    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        return Fail(kNotAMorph, "cannot be read", argv[1]);
    }
    const QByteArray head = input.read(static_cast<qint64>(Thumbnail::kMaxRead));
    const QImage picture = Thumbnail::Render(reinterpret_cast<const uint8_t*>(head.constData()),
                                             static_cast<size_t>(head.size()), side);
    if (picture.isNull()) {
        return Fail(kNotAMorph, "not a Quorvale biomorph file", argv[1]);
    }
    // Written whole or not at all: a file manager must never cache half a picture.
    QSaveFile output(QString::fromLocal8Bit(argv[2]));
    if (!output.open(QIODevice::WriteOnly)) {
        return Fail(kWriteError, "cannot be written", argv[2]);
    }
    QImageWriter writer(&output, "png");
    if (!writer.write(picture) || !output.commit()) {
        output.cancelWriting();
        return Fail(kWriteError, "cannot be written", argv[2]);
    }
    return 0;
}
